// The trade table as JSON, and the command line's way of turning values
// given by name or number into a TradeEdit. No Qt here.
//
//   { "game": {"code": "BYTE", "name": "Pokémon Crystal", "language": "English"},
//     "trades": [ {"slot": 1, "hasTrade": true, "location": "...", "requested": 63,
//                  "offered": 95, "nickname": "ROCKY", "originalTrainer": "KYLE",
//                  "id": 4660, "nicknameBytes": "91 8E ...", "originalTrainerBytes": "...",
//                  "recordBytes": "..."}, ..., {"slot": 7, "hasTrade": false} ] }
#pragma once

#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <vector>

#include "support/result.h"
#include "trades/games.h"
#include "trades/trade_record.h"

namespace kestrane::cli {

using Json = nlohmann::ordered_json;

// Every slot of a ROM, in list order.
using TradeTable = std::vector<TradeReading>;

Json gameJson(const GameInfo& game);
Json tradeJson(int slotIndex, const TradeReading& reading);
Json tableJson(const GameInfo& game, const TradeTable& table);

// "91 8E 82"
std::string spacedHex(std::span<const std::uint8_t> bytes);
// "63 Abra", or "252 (no list entry)"
std::string speciesLabel(std::uint8_t species);

// A species given by number (0-251) or by name ("abra"). The number of the
// stored byte is always accepted: it keeps the byte, even one of 252-255.
Result<int> speciesValue(const std::string& given, std::uint8_t stored, const std::string& what);

// A JSON table read against the ROM's current trades: the edits to save, or
// every problem found (then nothing may be written).
struct ImportPlan {
    std::vector<std::pair<int, TradeEdit>> edits;  // slot index, edit
    std::vector<std::string> problems;
};
ImportPlan planImport(const nlohmann::json& table, const GameInfo& game, const TradeTable& current);

}  // namespace kestrane::cli
