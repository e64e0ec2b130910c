// Synthetic Polished Crystal images, from the facts of its public source:
// the header (title PKPCRYSTAL, code PKPC, version 0x32, or 0x30 for its
// 3.0.0-3.1.1 releases), GetTradeAttribute at 0xFD5FB with its ten callers
// in its bank reading NPCTrades at 0xFD67B (9 records of 32 bytes, 33 in the
// 3.x releases), GetPokemonName in the home bank naming species through
// PokemonNames at 0xD8BA0 (bank 0x36, entry 0 first, 10 bytes a name padded
// with '@', 0x53). No real image's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/rom_image.h"

namespace kestrane::testing {

inline constexpr std::uint32_t kPolishedTable = 0xFD67B, kPolishedRoutine = 0xFD5FB;
inline constexpr std::uint32_t kPolishedNames = 0xD8BA0, kPolishedNamesRoutine = 0x3A10;

struct PolishedTrade {
    std::uint8_t dialog = 0;
    std::uint16_t requested = 63;    // the species, 1-291
    std::uint8_t requestedForm = 0;  // 0: any
    std::uint16_t offered = 66;
    std::uint8_t offeredForm = 0;
    bool female = false;
    std::string nickname = "Muscle";  // letters, blanks and digits, written by hand
    std::uint8_t dvs[3] = {0xEE, 0xEE, 0xEE};
    std::uint8_t personality = 0x63;  // the hidden ability, Adamant
    std::uint8_t ball = 2;
    std::uint8_t item = 0x1D;
    std::uint16_t id = 37460;
    std::string trainer = "Mike";
};

// The nine trades as its source writes them (the items and balls made-up numbers).
std::vector<PolishedTrade> polishedTrades();
// Text by hand in its character set: A-Z 0x80.., a-z 0xA0.., blank 0x7F,
// 0-9 0xE0.., then '@' (0x53) up to `field` bytes.
Bytes polishedText(std::string_view text, std::size_t field);
// A record's bytes (33 in the 3.x releases).
Bytes polishedRecord(const PolishedTrade& trade, bool threeX = false);
void putPolishedTable(Bytes& rom, std::uint32_t at, const std::vector<PolishedTrade>& trades, bool threeX = false);
// GetTradeAttribute at `at` reading `table` (both in bank 0x3F), with its callers.
void putPolishedRoutine(Bytes& rom, std::uint32_t at, std::uint32_t table, bool threeX = false);
// An object event that starts trade `trade` (type 5, command 0x94), at `at`.
void putTradeObject(Bytes& rom, std::uint32_t at, int trade);
inline constexpr std::uint32_t kPolishedObjects = 0x94000;  // where the image's eight trades' objects stand, 16 bytes apart
// The image: `version` its header's byte, `threeX` its record; objects start its first eight trades.
Bytes polishedCrystalRom(bool threeX = false, std::uint8_t version = 0x32, std::uint32_t seed = 1);
// A species' name as the image holds it (the games' 1-251 in capitals, the added ones made up).
std::string polishedSpeciesName(int species);

}  // namespace kestrane::testing
