MACRO npctrade
	db \1, \2
	dname \3, NAME_LENGTH
	dw \4
ENDM

NPCTrades:
	npctrade TRADE_GENDER_EITHER, ABRA,   "MUSCLE", 37460 ; a comment, "quoted"
	npctrade TRADE_GENDER_MALE,   MACHOP, "A'd",    $0102
	assert_table_length 2
