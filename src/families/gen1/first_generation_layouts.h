// Red, Blue and Yellow's record layout: 14 bytes, +0 requested and +1
// offered species (the games' internal indexes, not Pokédex numbers), +2
// dialog set, +3..+13 nickname (10 characters and the terminator). The
// trainer's name, ID and DVs are chosen when the trade happens.
#pragma once

#include "trades/record_layout.h"

namespace kestrane {

inline constexpr RecordLayout kRecordOf14Bytes{.key = kOwnLayoutKey, .description = "the games' own", .size = 14, .dialogSetAt = 2,
                                        .requestedSpeciesAt = 0, .offeredSpeciesAt = 1, .lastSpecies = 190,
                                        .nickname = {3, 10, true, 0x50}, .dvsAt = {}, .heldItemAt = {}, .trainerIdAt = {},
                                        .trainerName = {}, .genderRequirementAt = {}, .callerOffsets = {}, .wordReads = {}};
// Japanese Red and Green's: 8 bytes, the same first three, then a nickname
// of 5 bytes padded with 0x50 (none when it is full: the game ends it itself).
inline constexpr RecordLayout kRecordOf8Bytes{.key = kOwnLayoutKey, .description = "the games' own", .size = 8, .dialogSetAt = 2,
                                       .requestedSpeciesAt = 0, .offeredSpeciesAt = 1, .lastSpecies = 190,
                                       .nickname = {3, 5, false, 0x50}, .dvsAt = {}, .heldItemAt = {}, .trainerIdAt = {},
                                       .trainerName = {}, .genderRequirementAt = {}, .callerOffsets = {}, .wordReads = {}};
}  // namespace kestrane
