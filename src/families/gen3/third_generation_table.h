// The third generation's trade table, found through the game's own code:
// GetInGameTradeSpeciesInfo, the same Thumb code in every release, and the
// literal pools of the functions beside it and of the trade scene's strings
// function, which must name the same table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "families/gen3/third_generation_scripts.h"
#include "support/file.h"
#include "support/result.h"

namespace kestrane::gen3 {

inline constexpr std::uint32_t kRecordSize = 0x3C;

// A copy of the routine, and the table its pools agree on.
struct SpeciesInfoCopy {
    std::uint32_t routine = 0;  // GetInGameTradeSpeciesInfo's first byte
    std::uint32_t table = 0;
    friend bool operator==(const SpeciesInfoCopy&, const SpeciesInfoCopy&) = default;
};

// Every copy of the routine in the image's first `size` bytes, read a
// piece at a time; or, by the function whose pool says so, why the table
// is refused (a sentence without its full stop): pools that disagree (the
// trade scene's too, where its code stands once), a pool that names no
// byte of the file.
struct SpeciesInfo {
    std::vector<SpeciesInfoCopy> copies;
    std::string refusal;
};
// With the trade scripts (third_generation_scripts.h), in one pass of the
// file: each piece read once, searched for all three while it is in the cache.
struct SpeciesInfoAndScripts {
    SpeciesInfo info;
    std::vector<TradeScript> scripts;
};
Result<SpeciesInfoAndScripts> findSpeciesInfoAndScripts(File& file, std::int64_t size, std::uint16_t special);

// The species names' table the routine at `routine` reads (its pool at
// +0x40); none where the pool names no byte of the file.
Result<std::optional<std::uint32_t>> speciesNamesOf(File& file, std::uint32_t routine, std::int64_t size);

// The base data GetGenderFromSpeciesAndPersonality reads (the same Thumb
// code in every release; its pool holds the table's pointer): where the
// one copy of the routine points, or none where there is not exactly one
// or it names no byte of the file.
Result<std::optional<std::uint32_t>> findBaseData(File& file, std::int64_t size);

// The item table ItemId_GetName reads (44-byte entries, the name first):
// where the one copy of the routine points, or none where there is not
// exactly one or it names no byte of the file.
Result<std::optional<std::uint32_t>> findItems(File& file, std::int64_t size);

// The tables SpeciesToNationalPokedexNum's code reads (its twin, the Hoenn
// order's, has the same code): where each copy's `ldr r0, [pc, #n]` points.
Result<std::vector<std::uint32_t>> findPokedexTables(File& file, std::int64_t size);

// The ability names BufferStringBattle reads (13 bytes a name): where every
// copy of its `ldrb r1, [r0]; movs r0, #13; muls r1, r0; ldr r0, =names`
// points, or none where there is no copy or they disagree.
Result<std::optional<std::uint32_t>> findAbilityNames(File& file, std::int64_t size);

// Whether the image is of one of the community's expansion bases (the magic
// "RHHEXP" at 0x204), which keep the record's size but not its layout.
Result<bool> isExpansionBase(File& file);

}  // namespace kestrane::gen3
