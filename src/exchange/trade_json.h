// Trades as JSON objects: what `export` writes and the command line's
// --json output shows. For the command line and the table file only; the
// window knows no JSON.
//
//   { "game": {"code": "BYTE", "name": "Pokémon Crystal", "language": "English", "layout": "vanilla", "revision": 0},
//     "table": {"offset": 1035864, "records": 7, "foundBy": "usual place", "source": "data/events/npc_trades.asm"},
//     "trades": [ {"slot": 1, "hasTrade": true, …the keys of trade_keys.h…, "sourceLine": 15},
//                 …, {"slot": 7, "hasTrade": false} ] }
#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "trades/rom.h"
#include "trades/trade_record.h"

namespace kestrane::exchange {

using Json = nlohmann::ordered_json;

// Where the build tree the ROM was made from holds the table: its trade
// file (relative to the tree) and each record's row, in the table's order.
struct SourcePlaces {
    std::string file;
    std::vector<int> lines;
};

// {code, name, language, layout, revision}: the release, the record layout
// its code reads and the header's revision.
Json gameJson(const Rom& rom);
// {offset, records, foundBy}, or null for a ROM without a trade table.
// With `source`, its file too.
Json tableInfoJson(const Rom& rom, const SourcePlaces* source = nullptr);
// With `source`, the line of the trade's row.
Json tradeJson(const Rom& rom, const TradeReading& reading, const SourcePlaces* source = nullptr);
// Every slot's trade.
Json tradesJson(const Rom& rom, const std::vector<TradeReading>& trades, const SourcePlaces* source = nullptr);
// The whole table: game, table and trades.
Json tableJson(const Rom& rom, const std::vector<TradeReading>& trades, const SourcePlaces* source = nullptr);

}  // namespace kestrane::exchange
