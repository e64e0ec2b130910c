// What a third-generation ROM says of its species, read once when it is
// opened: their Pokédex numbers and names, and their base data (gender
// ratios, the two abilities), each where the game's code proves it is.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "families/gen3/third_generation_rows.h"
#include "support/file.h"
#include "support/result.h"
#include "trades/creature_list.h"
#include "trades/game_data.h"
#include "trades/game_family.h"
#include "trades/rom.h"

namespace kestrane {

struct ThirdGenerationSpecies {
    std::vector<Species> species;        // by Pokédex number where the ROM's table is one, else by internal index
    std::vector<std::string> gameNames;  // by internal index, as the game prints them
    std::string whyNot;                  // why the built-in list is shown
};

// The names the trade routine reads (its pool), numbered by the Pokédex
// table where the release keeps it.
Result<ThirdGenerationSpecies> readThirdGenerationSpecies(File& file, const Rom& rom);

// What the family keeps of an opened ROM: each species' gender ratio and two
// ability numbers (0: none) by internal index, where the base data is
// proven (else empty), the abilities' names, the mail table's rows.
struct ThirdGenerationData final : FamilyData {
    GenderRatios genderRatios;
    std::vector<std::array<std::uint8_t, 2>> abilities;
    // The abilities' names, by ability (where BufferStringBattle's table is one); empty: not read.
    std::vector<std::string> abilityNames;
    // The mail table's rows, their nine easy-chat words each; empty: not read.
    std::vector<std::array<std::uint16_t, 9>> mail;
    // The front pictures' tables where the release's code reads them (Ruby and Sapphire); none: found otherwise.
    std::optional<FrontPictureTables> pictures;
};

// The base data where GetGenderFromSpeciesAndPersonality reads it, or none
// where the routine is not found or its entries are not base data.
Result<std::optional<ThirdGenerationData>> readThirdGenerationBaseData(File& file, std::int64_t size, const Charset& charset);

// The mail table's rows, where it follows the release's own records as
// every build lays them out: only where the table stands where the release
// keeps it and holds no more than its own trades (a hack that moved or grew
// the table leaves the game reading its mail by a pointer not proven here).
Result<std::vector<std::array<std::uint16_t, 9>>> readThirdGenerationMail(File& file, const Rom& rom);

// The item names where ItemId_GetName reads them: entries of 44 bytes, each
// a name of 14 then its own number; as many as hold their number in turn
// (at least the 300 every release has), or none.
Result<std::optional<ItemNames>> readThirdGenerationItems(File& file, const Release& release, std::int64_t size);

}  // namespace kestrane
