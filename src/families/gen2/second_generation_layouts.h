// Gold, Silver and Crystal's record layouts, and those of the bases built on Crystal.
//
// The 32-byte record (every Gold, Silver and Crystal but the Japanese
// releases), offsets from its first byte:
//   +0        dialog set (which lines the trader speaks)
//   +1        requested species (the one the player gives)
//   +2        offered species
//   +3..+13   nickname: 11 bytes of game text, at most 10 characters, then 0x50
//   +14..+15  DVs: +14 Attack x 16 + Defense, +15 Speed x 16 + Special
//   +16       held item (0: none)
//   +17..+18  original trainer's ID, little-endian
//   +19..+29  original trainer's name, 11 bytes like the nickname
//   +30       gender requirement of the creature the player gives (0 either, 1 male, 2 female)
//   +31       always 0x00
//
// The 16-byte record of the Japanese releases: +0 dialog set, +1 requested
// and +2 offered species, +3..+6 nickname (4 bytes padded with 0x50, no
// terminator: the game adds it), +7..+8 DVs, +9 held item, +10..+11 ID,
// +12..+14 trainer's name (3 bytes, likewise), +15 gender requirement.
#pragma once

#include "trades/record_layout.h"

namespace kestrane {

namespace layouts {
inline constexpr std::uint8_t kVanilla32Calls[] = {0, 1, 2, 3, 14, 16, 17, 19, 30};
inline constexpr std::uint8_t kVanilla16Calls[] = {0, 1, 2, 3, 7, 9, 10, 12, 15};
inline constexpr std::uint8_t kSpecies16Calls[] = {0, 1, 3, 5, 16, 18, 19, 21, 29};
inline constexpr std::uint8_t kItems16Calls[] = {0, 1, 3, 5, 16, 18, 20, 22, 30};
inline constexpr std::uint8_t kSpeciesWords[] = {1, 3};
}  // namespace layouts

inline constexpr RecordLayout kRecordOf32Bytes{.key = kOwnLayoutKey, .description = "the games' own", .size = 32, .dialogSetAt = 0,
                                        .requestedSpeciesAt = 1, .offeredSpeciesAt = 2, .nickname = {3, 10, true, 0x20},
                                        .dvsAt = 14, .heldItemAt = 16, .trainerIdAt = 17,
                                        .trainerName = NameLayout{19, 10, true, 0x20}, .genderRequirementAt = 30,
                                        .zeroAt = 31, .zeroCount = 1, .callerOffsets = layouts::kVanilla32Calls, .wordReads = {}};
inline constexpr RecordLayout kRecordOf16Bytes{.key = kOwnLayoutKey, .description = "the games' own", .size = 16, .dialogSetAt = 0,
                                        .requestedSpeciesAt = 1, .offeredSpeciesAt = 2, .nickname = {3, 4, false, 0x50},
                                        .dvsAt = 7, .heldItemAt = 9, .trainerIdAt = 10,
                                        .trainerName = NameLayout{12, 3, false, 0x50}, .genderRequirementAt = 15,
                                        .callerOffsets = layouts::kVanilla16Calls, .wordReads = {}};
// The 16-bit species base (pokecrystal16): the species are words, the
// trainer's name 7 characters and its end; two zero bytes close the record.
inline constexpr RecordLayout kRecordWideSpecies{
    .key = "16-bit species", .description = "16-bit species IDs, as the pokecrystal16 base lays them out", .size = 32,
    .dialogSetAt = 0, .requestedSpeciesAt = 1, .offeredSpeciesAt = 3, .speciesWidth = 2, .nickname = {5, 10, true, 0x20},
    .dvsAt = 16, .heldItemAt = 18, .trainerIdAt = 19, .trainerName = NameLayout{21, 7, true, 0x20},
    .genderRequirementAt = 29, .zeroAt = 30, .zeroCount = 2, .callerOffsets = layouts::kSpecies16Calls,
    .wordReads = layouts::kSpeciesWords};
// Its fork that widens items too: the item a word as well.
inline constexpr RecordLayout kRecordWideItems{
    .key = "16-bit species and items",
    .description = "16-bit species and item IDs, as the pokecrystal16 base's fork that widens items lays them out",
    .size = 32, .dialogSetAt = 0, .requestedSpeciesAt = 1, .offeredSpeciesAt = 3, .speciesWidth = 2,
    .nickname = {5, 10, true, 0x20}, .dvsAt = 16, .heldItemAt = 18, .itemWidth = 2, .trainerIdAt = 20,
    .trainerName = NameLayout{22, 7, true, 0x20}, .genderRequirementAt = 30, .zeroAt = 31, .zeroCount = 1,
    .callerOffsets = layouts::kItems16Calls, .wordReads = layouts::kSpeciesWords};

}  // namespace kestrane
