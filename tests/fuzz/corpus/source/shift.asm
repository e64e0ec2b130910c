npctrade: MACRO
	db \1, \2
	shift
	dw \2
	db 0
	ENDM
NPCTrades:
	npctrade 1, 2, $FFFF
