#include "families/gen3/third_generation_table.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/gba/cartridge.h"
#include "platform/gba/thumb_search.h"
#include "support/hex_text.h"
#include "support/piece_search.h"

namespace kestrane::gen3 {
namespace {

constexpr ReleaseFacts kReleases[] = {
    {"BPEE", 0, "Pok\u00e9mon Emerald", 0x338ED0, 4, 3},
    {"BPRE", 0, "Pok\u00e9mon FireRed", 0x26CF8C, 9, 1},
    {"BPRE", 1, "Pok\u00e9mon FireRed (1.1)", 0x26CFFC, 9, 1},
    {"BPGE", 0, "Pok\u00e9mon LeafGreen", 0x26CF6C, 9, 1},
    {"BPGE", 1, "Pok\u00e9mon LeafGreen (1.1)", 0x26CFDC, 9, 1},
    {"AXVE", 0, "Pok\u00e9mon Ruby", 0x215AC4, 3, 2},
    {"AXVE", 1, "Pok\u00e9mon Ruby (1.1)", 0x215ADC, 3, 2},
    {"AXVE", 2, "Pok\u00e9mon Ruby (1.2)", 0x215ADC, 3, 2},
    {"AXPE", 0, "Pok\u00e9mon Sapphire", 0x215A54, 3, 2},
    {"AXPE", 1, "Pok\u00e9mon Sapphire (1.1)", 0x215A6C, 3, 2},
    {"AXPE", 2, "Pok\u00e9mon Sapphire (1.2)", 0x215A6C, 3, 2},
};

// GetInGameTradeSpeciesInfo, the same Thumb code in every release: the
// table's pointer in its pool at +0x38, the species names' at +0x40.
constexpr int kSpeciesInfo[] = {
    0x70, 0xB5, 0x0C, 0x48, 0x00, 0x88, 0x04, 0x01, 0x24, 0x1A, 0xA4, 0x00, 0x0A, 0x48, 0x24, 0x18, 0x0A, 0x48,
    0x21, 0x8F, 0x0B, 0x26, 0x71, 0x43, 0x09, 0x4D, 0x49, 0x19, -1,   -1,   -1,   -1,   0x08, 0x48, 0xA1, 0x89,
    0x71, 0x43, 0x49, 0x19, -1,   -1,   -1,   -1,   0x20, 0x8F, 0x70, 0xBC, 0x02, 0xBC, 0x08, 0x47, -1,   -1,
    -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,
};
constexpr gba::ThumbPattern kSpeciesInfoForm{kSpeciesInfo, 0};
constexpr std::uint32_t kNamesPool = 0x40;

// The pools that name the table, from the routine's first byte: its own,
// BufferInGameTradeMonName's (the function after it, at +72) and
// CreateInGameTradePokemonInternal's (at +172).
struct Pool {
    std::uint32_t at;
    std::string_view function;
};
constexpr Pool kTablePools[] = {{0x38, "GetInGameTradeSpeciesInfo"},
                                {72 + 0x4C, "BufferInGameTradeMonName"},
                                {172 + 0x15C, "CreateInGameTradePokemonInternal"}};

constexpr std::uint32_t kPads[] = {0x0B, 0x15, 0x16, 0x17, 0x21, 0x22, 0x23, 0x3A, 0x3B};
constexpr std::uint32_t kNicknameAt = 0x00, kTrainerAt = 0x2B, kNameLength = 11;
constexpr std::uint32_t kSpeciesAt = 0x0C, kRequestedAt = 0x38, kIvsAt = 0x0E, kAbilityAt = 0x14, kGenderAt = 0x36;
constexpr int kLastSpecies = 411;
// A run of records the scan takes for a table: the fewest trades a release has.
constexpr int kFewestRecords = 3;

std::uint16_t halfWord(std::span<const std::uint8_t> b, std::uint32_t at) { return std::uint16_t(b[at] | b[at + 1] << 8); }

}  // namespace

std::span<const ReleaseFacts> releaseFacts() { return kReleases; }

const ReleaseFacts* factsOf(std::string_view code, std::uint8_t version) {
    for (const ReleaseFacts& r : kReleases) {
        if (r.code == code && r.version == version) return &r;
    }
    return nullptr;
}

bool isTradeRecord(std::span<const std::uint8_t> r) {
    if (r.size() < kRecordSize) return false;
    if (std::any_of(std::begin(kPads), std::end(kPads), [&](std::uint32_t at) { return r[at] != 0; })) return false;
    if (std::any_of(r.begin() + kIvsAt, r.begin() + kIvsAt + 6, [](std::uint8_t iv) { return iv > 31; })) return false;
    if (r[kAbilityAt] > 1 || r[kGenderAt] > 1) return false;
    if (halfWord(r, kSpeciesAt) > kLastSpecies || halfWord(r, kRequestedAt) > kLastSpecies) return false;
    for (std::uint32_t name : {kNicknameAt, kTrainerAt}) {
        if (std::find(r.begin() + name, r.begin() + name + kNameLength, 0xFF) == r.begin() + name + kNameLength) return false;
    }
    return true;
}

Result<std::optional<FoundTable>> findTradeTable(File& file, std::int64_t size) {
    auto copies = gba::findPattern(file, size, kSpeciesInfoForm);
    if (!copies) return copies.error();
    if (copies->size() > 1) {
        return refused(ErrorCode::TableMoved, "The code that reads the trade table (GetInGameTradeSpeciesInfo) stands at " +
                                                  std::to_string(copies->size()) + " places, " + hexOffset((*copies)[0]) + " and " +
                                                  hexOffset((*copies)[1]) + ": Kestrane cannot tell which one the game runs.");
    }
    if (copies->size() == 1) {
        const std::uint32_t routine = copies->front();
        FoundTable found{TableFoundBy::Routine, 0, routine, std::nullopt};
        std::optional<std::uint32_t> table;
        for (const Pool& pool : kTablePools) {
            auto pointer = gba::poolPointer(file, routine + pool.at, size);
            if (!pointer) return pointer.error();
            if (!*pointer) {
                return refused(ErrorCode::TableMoved, std::string(pool.function) + "'s pointer to the trade table (at " +
                                                          hexOffset(routine + pool.at) + ") names no byte of the file.");
            }
            if (table && *pointer != *table) {
                return refused(ErrorCode::TableMoved, "The game's code reads the trade table at two places: " +
                                                          std::string(kTablePools[0].function) + " at " + hexOffset(*table) + ", " +
                                                          std::string(pool.function) + " at " + hexOffset(**pointer) +
                                                          ". A hack that moved it must change every pointer; Kestrane writes none.");
            }
            table = *pointer;
        }
        found.table = *table;
        auto names = gba::poolPointer(file, routine + kNamesPool, size);
        if (!names) return names.error();
        found.speciesNames = *names;
        return std::optional<FoundTable>(found);
    }
    // No routine: the one run of records that pass the checks.
    std::vector<std::uint32_t> runs;
    std::int64_t runEnd = 0;  // where the last run's records found so far end
    const std::size_t overlap = std::size_t(kRecordSize) * kFewestRecords;
    auto search = [&](std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next) {
        for (std::size_t i = (4 - std::size_t(at % 4)) % 4; i + overlap <= piece.size() && at + std::int64_t(i) < next; i += 4) {
            int run = 0;
            while (run < kFewestRecords && isTradeRecord(piece.subspan(i + std::size_t(run) * kRecordSize))) ++run;
            if (run < kFewestRecords) continue;
            const std::int64_t place = at + std::int64_t(i);
            // A run found again a record further on is the same table.
            if (runs.empty() || place >= runEnd) runs.push_back(std::uint32_t(place));
            runEnd = place + std::int64_t(overlap);
        }
    };
    if (auto done = searchInPieces(file, size, overlap, search); !done) return done.error();
    if (runs.size() != 1) return std::optional<FoundTable>();
    return std::optional<FoundTable>(FoundTable{TableFoundBy::Records, runs.front(), std::nullopt, std::nullopt});
}

Result<bool> isExpansionBase(File& file) {
    constexpr std::int64_t kMagicAt = 0x204;
    std::array<std::uint8_t, 6> magic{};
    auto read = readUpTo(file, kMagicAt, magic);
    if (!read) return read.error();
    return *read == magic.size() && std::memcmp(magic.data(), "RHHEXP", 6) == 0;
}

}  // namespace kestrane::gen3
