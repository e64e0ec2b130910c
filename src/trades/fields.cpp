#include "trades/fields.h"

#include <algorithm>
#include <optional>
#include <string>

namespace kestrane {
namespace {

std::string lowered(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    text = first == std::string_view::npos ? std::string_view() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
    std::string out(text);
    for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return out;
}

// The index of text among names (or as a number below their count).
std::optional<std::uint8_t> indexOf(const std::string& text, auto&& names, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (lowered(names(i)) == text) return std::uint8_t(i);
    }
    if (text.size() == 1 && text[0] >= '0' && std::size_t(text[0] - '0') < count) return std::uint8_t(text[0] - '0');
    return std::nullopt;
}

}  // namespace

Result<std::uint8_t> resolveGenderRequirement(std::string_view text) {
    const std::string key = lowered(text);
    if (auto index = indexOf(key, [](std::size_t i) { return kGenderRequirements[i]; }, kGenderRequirements.size())) {
        return *index;
    }
    return refused(ErrorCode::UnknownGenderRequirement,
                   "\"" + std::string(text) + "\" is no gender requirement: give either, male or female (0 to 2).");
}

Result<std::uint8_t> resolveDialogSet(std::string_view text, const GameInfo& game) {
    const std::string key = lowered(text);
    const auto& sets = game.facts.dialogSets;
    if (auto index = indexOf(key, [&](std::size_t i) { return sets[i].key; }, sets.size())) return *index;
    std::string names;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        names += std::string(i == 0 ? "" : i + 1 == sets.size() ? " or " : ", ") + std::string(sets[i].key);
    }
    return refused(ErrorCode::UnknownDialogSet, "\"" + std::string(text) + "\" is no dialog set of " +
                                                    std::string(game.name) + ": give " + names + " (0 to " +
                                                    std::to_string(sets.size() - 1) + ").");
}

}  // namespace kestrane
