// Trades that the game can never carry out, or carries out into something
// broken: said, never refused, since a hack may want the odd thing.
#pragma once

#include <string>
#include <vector>

#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"
#include "trades/trade_text.h"

namespace kestrane {

struct TradeWarning {
    Field field;       // the field that makes it so
    std::string text;  // "Chansey is always female, so a trader asking for a male one can never trade."
};

// What is wrong with a trade as its record stands, as far as the ROM's own
// data (gender ratios, item names) tells; where it tells nothing, nothing.
std::vector<TradeWarning> tradeWarnings(const Rom& rom, const TradeRecord& record);
// The same for a trade as an edit would save it; none where the edit
// itself is refused (its problems say more).
std::vector<TradeWarning> tradeWarnings(const Rom& rom, const TradeEdit& edit);

// "Warning: Trade Number 4: Chansey is always female, …"
std::string warningLine(Slot slot, const TradeWarning& warning);

}  // namespace kestrane
