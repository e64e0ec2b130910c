#include "trades/fields.h"

#include <optional>
#include <vector>

#include "support/words.h"

namespace kestrane {
namespace {

// The index of a key a person typed, without letter case.
template <typename Named>
std::optional<std::uint8_t> keyIndex(std::string_view typed, std::span<const Named> names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sameLetters(names[i].key, trimmed(typed))) return std::uint8_t(i);
    }
    return std::nullopt;
}

// "collector, happy or newbie (0 to 2)"
template <typename Named>
std::string choicesOf(std::span<const Named> names) {
    std::vector<std::string> keys;
    for (const Named& name : names) keys.emplace_back(name.key);
    return joinedList(keys, 0, "or") + " (0 to " + std::to_string(names.size() - 1) + ")";
}

// A key or a number below the count, else the refusal `notOne` makes of the text.
template <typename Named, typename Refusal>
Result<std::uint8_t> keyOrNumber(std::string_view text, std::span<const Named> names, Refusal notOne) {
    if (auto index = keyIndex(text, names)) return *index;
    if (auto number = parseNumber(text); number && *number < names.size()) return std::uint8_t(*number);
    return notOne(echoed(text));
}

Error noGenderRequirement(const std::string& given) {
    return refused(ErrorCode::UnknownGenderRequirement,
                   given + " is no gender requirement: give " + genderRequirementChoices() + ".");
}

Error noDialogSet(const std::string& given, const Release& release) {
    return refused(ErrorCode::UnknownDialogSet, given + " is no dialog set of " + std::string(release.name) + ": give " +
                                                    choicesOf(release.dialogSets) + ".");
}

}  // namespace

std::string genderRequirementChoices() { return choicesOf(std::span<const FieldName>(kGenderRequirements)); }

Result<GenderRequirement> resolveGenderRequirement(std::string_view text) {
    auto index = keyOrNumber(text, std::span<const FieldName>(kGenderRequirements), noGenderRequirement);
    if (!index) return index.error();
    return GenderRequirement(*index);
}

Result<GenderRequirement> genderRequirementNumbered(std::int64_t number) {
    if (number >= 0 && number < kGenderRequirementCount) return GenderRequirement(number);
    return noGenderRequirement(std::to_string(number));
}

Result<std::uint8_t> resolveDialogSet(std::string_view text, const Release& release) {
    return keyOrNumber(text, release.dialogSets, [&](const std::string& given) { return noDialogSet(given, release); });
}

Result<std::uint8_t> dialogSetNumbered(std::int64_t number, const Release& release) {
    if (number >= 0 && number < std::int64_t(release.dialogSets.size())) return std::uint8_t(number);
    return noDialogSet(std::to_string(number), release);
}

std::vector<std::string_view> choiceLabels(Field field, const Release& release) {
    std::vector<std::string_view> labels;
    if (field == Field::GenderRequirement) {
        for (const FieldName& name : kGenderRequirements) labels.push_back(name.label);
    } else if (field == Field::DialogSet) {
        for (const DialogSet& set : release.dialogSets) labels.push_back(set.label);
    }
    return labels;
}

std::string genderRequirementKey(GenderRequirement requirement) {
    return std::string(kGenderRequirements[std::size_t(requirement)].key);
}

std::string dialogSetKey(const Release& release, std::uint8_t set) {
    return set < release.dialogSets.size() ? std::string(release.dialogSets[set].key) : std::to_string(set);
}

}  // namespace kestrane
