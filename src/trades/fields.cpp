#include "trades/fields.h"

#include <algorithm>
#include <optional>
#include <string>

#include "support/words.h"

namespace kestrane {
namespace {

// The index of what a person typed among names (or as a number below their count).
std::optional<std::uint8_t> indexOf(std::string_view typed, auto&& names, std::size_t count) {
    const std::string_view text = trimmed(typed);
    for (std::size_t i = 0; i < count; ++i) {
        if (sameLetters(names(i), text)) return std::uint8_t(i);
    }
    if (text.size() == 1 && text[0] >= '0' && std::size_t(text[0] - '0') < count) return std::uint8_t(text[0] - '0');
    return std::nullopt;
}

}  // namespace

Result<std::uint8_t> resolveGenderRequirement(std::string_view text) {
    if (auto index = indexOf(text, [](std::size_t i) { return kGenderRequirements[i]; }, kGenderRequirements.size())) {
        return *index;
    }
    return refused(ErrorCode::UnknownGenderRequirement,
                   "\"" + std::string(text) + "\" is no gender requirement: give either, male or female (0 to 2).");
}

Result<std::uint8_t> resolveDialogSet(std::string_view text, const GameInfo& game) {
    const auto& sets = game.facts.dialogSets;
    if (auto index = indexOf(text, [&](std::size_t i) { return sets[i].key; }, sets.size())) return *index;
    std::string names;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        names += std::string(i == 0 ? "" : i + 1 == sets.size() ? " or " : ", ") + std::string(sets[i].key);
    }
    return refused(ErrorCode::UnknownDialogSet, "\"" + std::string(text) + "\" is no dialog set of " +
                                                    std::string(game.name) + ": give " + names + " (0 to " +
                                                    std::to_string(sets.size() - 1) + ").");
}

}  // namespace kestrane
