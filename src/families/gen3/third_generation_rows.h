// Ruby, Sapphire, Emerald, FireRed and LeafGreen's rows: the 60-byte
// record every one of them keeps, and what each release keeps where.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "trades/game_family.h"
#include "trades/releases.h"

namespace kestrane {

// Where a release keeps its front pictures' tables: its own places (Ruby and
// Sapphire), or none, where the header at 0x100 points to them.
struct FrontPictureTables {
    std::uint32_t fronts, palettes, shinyPalettes;
};

// Which half of Deoxys's sheet the party view shows.
enum class DeoxysFrame { First, Second };

struct ThirdGenerationRow : Release {
    std::uint32_t pokedexTable;  // internal index -> Pokédex number, u16 x 411 from species 1
    int mailRows;                // the mail table that follows the records
    std::span<const std::string_view> places;  // the own trades' places, by record
    std::uint16_t speciesSpecial;              // GetInGameTradeSpeciesInfo's number among the specials
    std::optional<FrontPictureTables> pictures;     // none: the header's pointers
    DeoxysFrame deoxys;
};

// The row a release of the family is (precondition: it is one).
inline const ThirdGenerationRow& thirdGenerationRow(const Release& release) {
    return static_cast<const ThirdGenerationRow&>(release);
}

std::span<const Release* const> thirdGenerationRows();
std::span<const KnownRelease> thirdGenerationKnownReleases();

const GameFamily& thirdGenerationFamily();

}  // namespace kestrane
