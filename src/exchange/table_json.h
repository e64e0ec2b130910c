// The trade table as JSON, and a JSON table read back into edits. No Qt here.
//
//   { "game": {"code": "BYTE", "name": "Pokémon Crystal", "language": "English"},
//     "table": {"offset": 1035864, "records": 7, "foundBy": "usual place"},
//     "trades": [ {"slot": 1, "hasTrade": true, "location": "...", "requested": 63,
//                  "requestedName": "Abra", "offered": 95, "offeredName": "Onix",
//                  "nickname": "ROCKY", "originalTrainer": "KYLE",
//                  "id": 4660, "heldItem": 174, "heldItemName": "GOLD BERRY",
//                  "dvs": {"attack": 3, "defense": 7, "speed": 6, "special": 6},
//                  "shiny": false, "hpDv": 5, "genderRequirement": "either",
//                  "dialogSet": "collector", "nicknameBytes": "91 8E ...",
//                  "originalTrainerBytes": "...", "recordBytes": "..."},
//                ..., {"slot": 7, "hasTrade": false} ] }
// requestedName and offeredName (the ROM's names), heldItemName (null where
// the ROM's item names are unknown), shiny, hpDv, location and recordBytes
// are informative: import reads none of them.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"

namespace kestrane::exchange {

// An exported table file's name ends so.
inline constexpr std::string_view kTableExtension = ".json";
// No table file is read beyond this: a real one is about a thousandth of it.
inline constexpr std::int64_t kLargestTable = 1 << 20;

using Json = nlohmann::ordered_json;

Json gameJson(const Release& release);
// {offset, records, foundBy}, or null for a ROM without a trade table.
Json tableInfoJson(const Rom& rom);
Json tradeJson(const Rom& rom, const TradeReading& reading);
Json tableJson(const Rom& rom, const std::vector<TradeReading>& trades);

// "63 Abra" (the ROM's name for it), or "252 (no list entry)"
std::string speciesLabel(const Rom& rom, std::uint8_t species);

// A JSON table read against the ROM's current trades: the edits it asks
// for, resolved by the core, or every problem of its shape and its values.
Result<std::vector<TradeEdit>, Problems> planImport(const nlohmann::json& table, const Rom& rom,
                                                    const std::vector<TradeReading>& current);

// What `export` writes: the whole table as JSON text (one open of the ROM).
// A table with a trade past the end of a cut file is refused: it is no
// table to carry elsewhere.
Result<std::string> exportText(const Rom& rom, FileSystem& fs = nativeFileSystem());

// Writes the table to a file of its own (never the ROM itself).
Result<void> exportTo(const Rom& rom, const std::string& tablePath, FileSystem& fs = nativeFileSystem());

// The edits a table's text (from `tableName`, for messages) asks of the ROM
// as it is now, or every problem at once.
Result<std::vector<TradeEdit>, Problems> importEdits(std::string_view text, const std::string& tableName, const Rom& rom,
                                                     FileSystem& fs = nativeFileSystem());
// The same from a table file, refused unread when larger than kLargestTable.
Result<std::vector<TradeEdit>, Problems> importEditsFrom(const std::string& tablePath, const Rom& rom,
                                                         FileSystem& fs = nativeFileSystem());

}  // namespace kestrane::exchange
