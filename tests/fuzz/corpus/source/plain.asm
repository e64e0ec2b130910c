NPCTrades:
	db ABRA, MACHOP, 1, "ROCKY@@@@@@"
	db MACHOP, ABRA + 1, %11, "BOB@@@@@@@@"

Next:
