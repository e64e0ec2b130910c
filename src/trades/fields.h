// The trade's fields beyond species, names and ID, as people give them: the
// dialog set (which lines the trader speaks) and the gender requirement of
// the creature the player gives. The held item is in game_data.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"
#include "trades/field_names.h"
#include "trades/releases.h"
#include "trades/values.h"

namespace kestrane {

// "either", "male", "female".
std::string genderRequirementKey(GenderRequirement requirement);

// "either", "male" or "female"; a name or a number, without letter case.
Result<GenderRequirement> resolveGenderRequirement(std::string_view text);
// A gender requirement given as a number (0-2).
Result<GenderRequirement> genderRequirementNumbered(std::int64_t number);

// the release's dialog sets' keys ("collector", "happy" …); the key or the
// label, without letter case, or a number the game has.
Result<std::uint8_t> resolveDialogSet(std::string_view text, const Release& release);
// A dialog set given as a number the game has.
Result<std::uint8_t> dialogSetNumbered(std::int64_t number, const Release& release);

// The labels of a Choice field's values, by number: "Either", "Male",
// "Female"; the release's dialog sets. Empty for any other field.
std::vector<std::string_view> choiceLabels(Field field, const Release& release);

// The key of a dialog set byte, or its number where the game has no such set.
std::string dialogSetKey(const Release& release, std::uint8_t set);

}  // namespace kestrane
