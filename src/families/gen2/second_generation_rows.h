// Gold, Silver and Crystal's rows (and the bases built on Crystal): what
// each release keeps where, beside what every Game Boy row names.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "families/gameboy/game_boy_row.h"
#include "trades/game_family.h"

namespace kestrane {

// How a picture pointer's stored bank becomes the real one.
enum class PictureBanks {
    Crystal,     // stored + 0x36
    GoldSilver,  // 0x13 -> 0x1F, 0x14 -> 0x20, 0x1F -> 0x2E, any other as stored
    Real,        // as stored (the 16-bit species base)
};

// Where the pictures' pointers are, and how their banks are stored.
struct PictureTables {
    std::uint32_t pointers;       // 6 bytes a species, species 1 first
    std::uint32_t unownPointers;  // 6 bytes a letter
    PictureBanks banks;
};

// Where a trade happens: a place and its region.
enum class Region { Johto, Kanto, None };  // None: a place no region has ("Not used in the game")
struct Place {
    std::string_view name;  // "Violet City"
    Region region;
};

// Where the games name their places: the landmarks, 4 bytes an entry (x,
// y and a 2-byte pointer to the name in the table's bank).
struct Landmarks {
    std::uint32_t at;
    std::array<std::uint8_t, kListedSlots> ofSlot;  // the landmark of each own trade's place
    std::array<std::string_view, 2> regionWords;    // "Johto", "Kanto", in the release's language
};

struct SecondGenerationRow : GameBoyRow {
    std::uint32_t palettes;  // 8 bytes a species, by species ID (0: its pictures are not read)
    PictureTables pictures;
    std::span<const Place> places;  // by slot, for the release's own trades
    Landmarks landmarks;            // unread where tradeCommand says which trades are started
    // Polished Crystal's: the command of the object events that start a
    // trade (an object of type 5, then the command, the trade's index and
    // 0): which trades its maps start. 0: the landmarks name the places.
    std::uint8_t tradeCommand = 0;
    // Polished Crystal's code reads a traded creature's ID one byte late
    // (+23 and +24): the ID the game gives is not the one stored.
    bool readsIdLate = false;
};

// The row a release of the family is (precondition: it is one).
inline const SecondGenerationRow& secondGenerationRow(const Release& release) {
    return static_cast<const SecondGenerationRow&>(release);
}

std::span<const Release* const> secondGenerationRows();
std::span<const KnownRelease> secondGenerationKnownReleases();

const GameFamily& secondGenerationFamily();

}  // namespace kestrane
