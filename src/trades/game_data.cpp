#include "trades/game_data.h"

#include <algorithm>
#include <vector>

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {

std::optional<std::uint8_t> genderRatioOf(const std::optional<GenderRatios>& ratios, SpeciesId species) {
    if (!ratios || species < 1 || species >= ratios->size()) return std::nullopt;
    return (*ratios)[species];
}

std::string itemLabel(const std::optional<ItemNames>& names, ItemId item) {
    if (item == 0) return "None";
    if (names && item < names->size()) return (*names)[item];
    return "Item " + hexOffset(item);
}

Result<ItemId> itemNumbered(std::int64_t number, int lastItem, std::string_view given) {
    if (number >= 0 && number <= lastItem) return ItemId(number);
    return refused(ErrorCode::UnknownItem, "The held item " + (given.empty() ? std::to_string(number) : excerpt(given)) +
                                               " is out of range: item numbers are 0 to " + std::to_string(lastItem) + ".");
}

Result<ItemId> resolveItem(std::string_view text, const std::optional<ItemNames>& names, int lastItem) {
    text = trimmed(text);
    if (sameLetters(text, "None")) return ItemId{0};
    if (auto value = parseNumber(text)) return itemNumbered(*value, lastItem, text);
    if (!names) {
        return refused(ErrorCode::UnknownItem, echoed(text) + " cannot be looked up: this ROM's item names are not where "
                                                              "the game keeps them. Give the item's number, 0 to " +
                                                              std::to_string(lastItem) + ".");
    }
    std::vector<NameCandidate> candidates;
    for (std::size_t item = 1; item < names->size(); ++item) candidates.push_back({(*names)[item], item});
    const NameMatch match = matchName(text, candidates);
    if (match.id) return ItemId(*match.id);
    if (!match.ambiguous.empty()) return refused(ErrorCode::AmbiguousName, ambiguousName(text, match.ambiguous, "items"));
    std::vector<std::string> suggestions;
    for (std::size_t item : match.nearest) suggestions.push_back((*names)[item]);
    return refused(ErrorCode::UnknownItem, echoed(text) + " is not an item of this ROM: give an item's name as the ROM "
                                                          "spells it (such as \"" + (*names)[std::min<std::size_t>(0xAE, names->size() - 1)] +
                                                          "\"), \"None\", or a number from 0 to " + std::to_string(lastItem) + "." +
                                                          didYouMean(suggestions));
}

}  // namespace kestrane
