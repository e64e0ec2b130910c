// The trade's fields beyond species, names and ID, as people name them: the
// dialog set (which lines the trader speaks) and the gender requirement of
// the creature the player gives. The held item is in game_data.h.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "support/result.h"
#include "trades/games.h"

namespace kestrane {

// "either", "male", "female": by the record's +30.
inline constexpr std::array<std::string_view, 3> kGenderRequirements = {"either", "male", "female"};

// "either", "male" or "female"; a name or a number, without letter case.
Result<std::uint8_t> resolveGenderRequirement(std::string_view text);

// "collector", "happy", "newbie" (and in Crystal "girl"); the key or the
// label, without letter case, or a number the game has.
Result<std::uint8_t> resolveDialogSet(std::string_view text, const GameInfo& game);

}  // namespace kestrane
