// Ruby, Sapphire, Emerald, FireRed and LeafGreen: their releases' facts,
// the 60-byte trade record's checks, and the trade table found through the
// game's own code (GetInGameTradeSpeciesInfo and the literal pools of the
// functions beside it), or by its records alone where that code is nowhere.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "support/file.h"
#include "support/result.h"

namespace kestrane::gen3 {

inline constexpr std::uint32_t kRecordSize = 0x3C;

struct ReleaseFacts {
    std::string_view code;   // "BPEE"
    std::uint8_t version;    // the header's byte at 0xBC
    std::string_view name;   // "Pokémon Emerald"
    std::uint32_t usualTable;
    int records;   // the trades its scripts start
    int mailRows;  // the mail table that follows the records
};

// The eleven English releases, in the order messages list them.
std::span<const ReleaseFacts> releaseFacts();
const ReleaseFacts* factsOf(std::string_view code, std::uint8_t version);

// Whether 60 bytes pass the checks every record of the games passes: the
// pads are 0, each IV at most 31, the ability number and the OT gender 0 or
// 1, both species at most 411, both names ending with 0xFF.
bool isTradeRecord(std::span<const std::uint8_t> record);

enum class TableFoundBy { Routine, Records };

struct FoundTable {
    TableFoundBy by = TableFoundBy::Routine;
    std::uint32_t table = 0;
    std::optional<std::uint32_t> routine;       // GetInGameTradeSpeciesInfo's first byte
    std::optional<std::uint32_t> speciesNames;  // the pointer the same routine reads the names by
};

// The trade table of an image of `size` bytes: through the one copy of the
// routine, the pools of the three functions read from it agreeing on the
// table; where the routine is nowhere, the one run of records that pass the
// checks (none where there are several). Refused by name: two copies of
// the routine, pools that disagree, a pool that points past the file.
Result<std::optional<FoundTable>> findTradeTable(File& file, std::int64_t size);

// Whether the image is of one of the community's expansion bases (the magic
// "RHHEXP" at 0x204), which keep the record's size but not its layout.
Result<bool> isExpansionBase(File& file);

}  // namespace kestrane::gen3
