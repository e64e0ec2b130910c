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

// GetGenderFromSpeciesAndPersonality: the species times 28 into the base
// data, its gender ratio (+0x10) against the personality's low byte; its
// `ldr r1, [pc, #n]` (at +8) loads the base data's pointer.
constexpr int kGenderRoutine[] = {
    0x00, 0xB5, 0x0B, 0x1C, 0x00, 0x04, 0x02, 0x0C, -1,   0x49, 0xD0, 0x00, 0x80, 0x1A, 0x80, 0x00, 0x40, 0x18, 0x00, 0x7C,
    0x00, 0x28, -1,   0xD0, 0x00, 0x28, -1,   0xDB, 0xFF, 0x28, -1,   0xDC, 0xFE, 0x28, -1,   0xDA, 0xD0, 0x00, 0x80, 0x1A,
    0x80, 0x00, 0x40, 0x18, 0x01, 0x7C, 0xFF, 0x20, 0x18, 0x40, 0x81, 0x42, -1,   0xD8, 0x00, 0x20, -1,   0xE0,
};
constexpr gba::ThumbPattern kGenderRoutineForm{kGenderRoutine, 48};  // ands r0, r3; cmp r1, r0
constexpr std::uint32_t kGenderLoad = 8;

// ItemId_GetName: the item (through SanitizeItemId) times 44 into the
// items; its `ldr r1, [pc, #n]` (at +18) loads their pointer.
constexpr int kItemName[] = {0x00, 0xB5, 0x00, 0x04, 0x00, 0x0C, -1,   -1,   -1,   -1,   0x00, 0x04, 0x00,
                             0x0C, 0x2C, 0x21, 0x48, 0x43, -1,   0x49, 0x40, 0x18, 0x02, 0xBC, 0x08, 0x47};
constexpr gba::ThumbPattern kItemNameForm{kItemName, 14};  // movs r1, #44; muls r0, r1
constexpr std::uint32_t kItemsLoad = 18;

// SpeciesToNationalPokedexNum: species 0 is 0, else table[species - 1];
// its `ldr r0, [pc, #n]` at +10.
constexpr int kPokedexNumber[] = {0x00, 0xB5, 0x00, 0x04, 0x01, 0x0C, 0x00, 0x29, -1,   0xD0, -1,
                                  0x48, 0x01, 0x39, 0x49, 0x00, 0x09, 0x18, 0x08, 0x88, -1,   0xE0};
constexpr gba::ThumbPattern kPokedexNumberForm{kPokedexNumber, 12};  // subs r1, #1; lsls r1, r1, #1
constexpr std::uint32_t kPokedexLoad = 10;

// BufferStringBattle's ability name: the ability times 13 into the names,
// its `ldr r0, [pc, #n]` at +6.
constexpr int kAbilityName[] = {0x01, 0x78, 0x0D, 0x20, 0x41, 0x43, -1, 0x48, 0x0C, 0x18};
constexpr gba::ThumbPattern kAbilityNameForm{kAbilityName, 2};
constexpr std::uint32_t kAbilityNamesLoad = 6;

// Where the one copy of a routine loads a pointer, or none.
Result<std::optional<std::uint32_t>> pointerOfOnly(File& file, std::int64_t size, const gba::ThumbPattern& form, std::uint32_t load) {
    auto copy = gba::onlyCopy(file, size, form);
    if (!copy || !*copy) return copy;
    return gba::loadedPointer(file, **copy + load, size);
}

// The trade scene's strings function (BufferTradeSceneStrings in Emerald,
// TradeBufferOTnameAndNicknames in FireRed and LeafGreen, SetTradeSceneStrings
// in Ruby and Sapphire): the record of gSpecialVar_0x8004 times 60, its OT
// name (+0x2B) copied; its `ldr r0, [pc, #n]` at +10 loads the table's pointer.
constexpr int kSceneStrings[] = {-1,   0x48, 0x00, 0x88, 0x04, 0x01, 0x24, 0x1A, 0xA4, 0x00, -1,   0x48, 0x24, 0x18,
                                 -1,   0x48, 0x21, 0x1C, 0x2B, 0x31, -1,   -1,   -1,   -1,   -1,   0x48, 0x21, 0x1C};
constexpr gba::ThumbPattern kSceneStringsForm{kSceneStrings, 16};  // adds r1, r4, #0; adds r1, #0x2B
constexpr std::uint32_t kSceneTableLoad = 10;

}  // namespace

Result<std::vector<std::uint32_t>> findPokedexTables(File& file, std::int64_t size) {
    auto pointers = gba::pointersOfCopies(file, size, kPokedexNumberForm, kPokedexLoad);
    if (!pointers) return pointers.error();
    std::vector<std::uint32_t> tables;
    for (const auto& pointer : *pointers) {
        if (pointer) tables.push_back(*pointer);
    }
    return tables;
}

Result<std::optional<std::uint32_t>> findAbilityNames(File& file, std::int64_t size) {
    return gba::pointerOfEveryCopy(file, size, kAbilityNameForm, kAbilityNamesLoad);
}

Result<std::optional<std::uint32_t>> findItems(File& file, std::int64_t size) { return pointerOfOnly(file, size, kItemNameForm, kItemsLoad); }

Result<std::optional<std::uint32_t>> findBaseData(File& file, std::int64_t size) {
    return pointerOfOnly(file, size, kGenderRoutineForm, kGenderLoad);
}

namespace {

// What the copies of the routine and of the trade scene's reader found say.
Result<SpeciesInfo> speciesInfoOf(File& file, std::int64_t size, const std::vector<std::uint32_t>& copies,
                                  const std::vector<std::uint32_t>& scenes) {
    SpeciesInfo found;
    auto twoPlaces = [](std::uint32_t table, std::string_view other, const std::string& at) {
        return "The game's code reads the trade table at two places: " + std::string(kTablePools[0].function) + " at " +
               hexOffset(table) + ", " + std::string(other) + " at " + at +
               ". A hack that moved it must change every pointer; Kestrane writes none";
    };
    for (const std::uint32_t routine : copies) {
        std::optional<std::uint32_t> table;
        for (const Pool& pool : kTablePools) {
            auto pointer = gba::poolPointer(file, routine + pool.at, size);
            if (!pointer) return pointer.error();
            if (!*pointer) {
                found.refusal = std::string(pool.function) + "'s pointer to the trade table (at " + hexOffset(routine + pool.at) +
                                ") names no byte of the file";
                return found;
            }
            if (table && *pointer != *table) {
                found.refusal = twoPlaces(*table, pool.function, hexOffset(**pointer));
                return found;
            }
            table = *pointer;
        }
        found.copies.push_back({routine, *table});
    }
    // The fourth pool: where the trade scene's code stands once, it names the same table.
    if (scenes.size() == 1 && !found.copies.empty()) {
        auto pointer = gba::loadedPointer(file, scenes.front() + kSceneTableLoad, size);
        if (!pointer) return pointer.error();
        if (*pointer != found.copies.front().table) {
            found.refusal = twoPlaces(found.copies.front().table, "the trade scene's strings",
                                      *pointer ? hexOffset(**pointer) : std::string("no byte of the file"));
        }
    }
    return found;
}

}  // namespace

Result<SpeciesInfoAndScripts> findSpeciesInfoAndScripts(File& file, std::int64_t size, std::uint16_t special) {
    gba::PatternSearch copies(kSpeciesInfoForm), scenes(kSceneStringsForm);
    TradeScriptSearch scripts(size, special);
    // Each piece searched three times while it is in the cache (one scan
    // for the three triples at once costs as much: docs/performance.md).
    auto each = [&](std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next) {
        copies.search(piece, at, next);
        scenes.search(piece, at, next);
        scripts.search(piece, at, next);
    };
    const std::size_t overlap = std::max({copies.overlap(), scenes.overlap(), scripts.overlap()});
    if (auto done = searchInPieces(file, size, overlap, each); !done) return done.error();
    auto info = speciesInfoOf(file, size, copies.found(), scenes.found());
    if (!info) return info.error();
    auto found = scripts.finish(file);
    if (!found) return found.error();
    return SpeciesInfoAndScripts{std::move(*info), std::move(*found)};
}

Result<std::optional<std::uint32_t>> speciesNamesOf(File& file, std::uint32_t routine, std::int64_t size) {
    return gba::poolPointer(file, routine + kNamesPool, size);
}

Result<bool> isExpansionBase(File& file) {
    constexpr std::int64_t kMagicAt = 0x204;
    std::array<std::uint8_t, 6> magic{};
    auto read = readUpTo(file, kMagicAt, magic);
    if (!read) return read.error();
    return *read == magic.size() && std::memcmp(magic.data(), "RHHEXP", 6) == 0;
}

}  // namespace kestrane::gen3
