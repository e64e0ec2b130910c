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
//
// Polished Crystal's 32-byte record (its master branch): +0 dialog set;
// +1..+2 and +3..+4 the requested and offered species as a word whose
// second byte is gender << 7 | ext << 5 | form (the species ext x 256 + the
// low byte; the requested one's gender bit unused, its form 0 for any);
// +5..+15 nickname (10 letters and '@'); +16..+18 six DVs, a nibble each
// (HP, Attack, Defense, Speed, Sp. Atk, Sp. Def); +19 personality (bit 7
// shiny, bits 5-6 ability, 3 the hidden one, bits 0-4 nature); +20 ball;
// +21 held item; +22..+23 ID; +24..+30 trainer's name (7 bytes, the game
// adds the '@'); +31 zero. Its 3.x releases' is 33 bytes: the trainer's
// name ended by its own '@' at +31, the zero at +32.
#pragma once

#include "trades/record_layout.h"

namespace kestrane {

namespace layouts {
inline constexpr std::uint8_t kVanilla32Calls[] = {0, 1, 2, 3, 14, 16, 17, 19, 30};
inline constexpr std::uint8_t kVanilla16Calls[] = {0, 1, 2, 3, 7, 9, 10, 12, 15};
inline constexpr std::uint8_t kSpecies16Calls[] = {0, 1, 3, 5, 16, 18, 19, 21, 29};
inline constexpr std::uint8_t kItems16Calls[] = {0, 1, 3, 5, 16, 18, 20, 22, 30};
inline constexpr std::uint8_t kSpeciesWords[] = {1, 3};
inline constexpr std::uint8_t kPolishedCalls[] = {0, 1, 3, 5, 16, 19, 20, 21, 23, 24};
// The DVs given in the summary screen's order, stored HP, Atk, Def, Spe, SAt, SDf.
inline constexpr std::uint8_t kPolishedDvOrder[] = {0, 1, 2, 4, 5, 3};
inline constexpr NumberPlace kPolishedNumbers[] = {
    {Field::RequestedForm, 2, 1, 1, 31, {}, 5, 0},   {Field::Form, 4, 1, 1, 31, {}, 5, 0},
    {Field::OfferedGender, 4, 1, 1, 1, {}, 1, 7},    {Field::StatDvs, 16, 1, 6, 15, kPolishedDvOrder, 4, 0},
    {Field::Personality, 19, 1, 1, 0xFF},            {Field::Ball, 20, 1, 1, 0xFF},
};
inline constexpr std::uint8_t kPolishedTerminator = 0x53;
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

inline constexpr RecordLayout kRecordPolished{
    .key = kOwnLayoutKey, .description = "Polished Crystal's own (32 bytes)", .size = 32, .dialogSetAt = 0,
    .requestedSpeciesAt = 1, .offeredSpeciesAt = 3, .speciesWidth = 2, .speciesHighShift = 5, .speciesHighBits = 1,
    .lastSpecies = 291, .eggSpecies = 255, .nickname = {5, 10, true, layouts::kPolishedTerminator}, .dvsAt = {},
    .heldItemAt = 21, .trainerIdAt = 22, .trainerName = NameLayout{24, 7, false, layouts::kPolishedTerminator},
    .genderRequirementAt = {}, .zeroAt = 31, .zeroCount = 1, .callerOffsets = layouts::kPolishedCalls, .wordReads = {},
    .numbers = layouts::kPolishedNumbers};
// Its 3.x releases': the trainer's name ends with its own '@'.
inline constexpr RecordLayout kRecordPolished3 = [] {
    RecordLayout layout = kRecordPolished;
    layout.key = "3.x";
    layout.description = "Polished Crystal 3.x's (33 bytes: the trainer's name ends with its own '@')";
    layout.size = 33;
    layout.trainerName = NameLayout{24, 7, true, layouts::kPolishedTerminator};
    layout.zeroAt = 32;
    return layout;
}();

}  // namespace kestrane
