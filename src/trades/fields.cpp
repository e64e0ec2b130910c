#include "trades/fields.h"

#include <optional>
#include <vector>

#include "support/words.h"

namespace kestrane {
namespace {

// The index of what a person typed among keys (or as a number below their count).
template <typename Named>
std::optional<std::uint8_t> indexOf(std::string_view typed, std::span<const Named> names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sameLetters(names[i].key, trimmed(typed))) return std::uint8_t(i);
    }
    if (auto number = parseNumber(typed); number && *number < names.size()) return std::uint8_t(*number);
    return std::nullopt;
}

}  // namespace

std::string genderRequirementChoices() {
    std::vector<std::string> keys;
    for (const FieldName& name : kGenderRequirements) keys.emplace_back(name.key);
    return joinedList(keys, 0, "or") + " (0 to " + std::to_string(kGenderRequirements.size() - 1) + ")";
}

Result<std::uint8_t> resolveGenderRequirement(std::string_view text) {
    if (auto index = indexOf(text, std::span<const FieldName>(kGenderRequirements))) return *index;
    return refused(ErrorCode::UnknownGenderRequirement, echoed(text) + " is no gender requirement: give " +
                                                            genderRequirementChoices() + ".");
}

Result<std::uint8_t> resolveDialogSet(std::string_view text, const Release& release) {
    const auto& sets = release.dialogSets;
    if (auto index = indexOf(text, sets)) return *index;
    std::vector<std::string> keys;
    for (const DialogSet& set : sets) keys.emplace_back(set.key);
    const std::string names = joinedList(keys, 0, "or");
    return refused(ErrorCode::UnknownDialogSet, echoed(text) + " is no dialog set of " +
                                                    std::string(release.name) + ": give " + names + " (0 to " +
                                                    std::to_string(sets.size() - 1) + ").");
}

std::string genderRequirementKey(std::uint8_t requirement) {
    return requirement < kGenderRequirements.size() ? std::string(kGenderRequirements[requirement].key)
                                                    : std::to_string(requirement);
}

std::string dialogSetKey(const Release& release, std::uint8_t set) {
    return set < release.dialogSets.size() ? std::string(release.dialogSets[set].key) : std::to_string(set);
}

}  // namespace kestrane
