#include "trades/game_data.h"

#include <algorithm>
#include <vector>

#include "support/hex_text.h"
#include "support/words.h"
#include "support/utf.h"
#include "text/game_text.h"

namespace kestrane {
namespace {

constexpr std::size_t kMaxItemName = 12;

}  // namespace

Result<std::optional<ItemNames>> readItemNames(File& file, const Release& release) {
    std::vector<std::uint8_t> bytes(kItemCount * (kMaxItemName + 1));
    auto got = readUpTo(file, release.itemNames, bytes);
    if (!got) return got.error();
    bytes.resize(*got);
    ItemNames names(kItemCount);
    names[0] = "None";
    std::size_t at = 0;
    for (int item = 1; item <= kItemCount; ++item) {
        std::size_t end = at;
        while (end < bytes.size() && end - at <= kMaxItemName && bytes[end] != kTerminator) {
            if (!release.charset().printable(bytes[end])) return std::optional<ItemNames>();
            ++end;
        }
        if (end >= bytes.size() || bytes[end] != kTerminator || end == at) return std::optional<ItemNames>();
        // The 256th is what item 0 would print: Kestrane calls it "None".
        if (item < kItemCount) names[std::size_t(item)] = toUtf8(decodeGameText(std::span(bytes).subspan(at, end - at), release.charset()));
        at = end + 1;
    }
    return std::optional<ItemNames>(std::move(names));
}

Result<RomSpeciesNames> readSpeciesNames(File& file, const Release& release) {
    const std::size_t length = release.speciesNameLength;
    std::vector<std::uint8_t> bytes(kDexSpecies * length);
    auto got = readUpTo(file, release.speciesNames, bytes);
    if (!got) return got.error();
    if (*got < bytes.size()) return RomSpeciesNames{{}, "the file ends before them"};
    const Charset& charset = release.charset();
    RomSpeciesNames read;
    for (int species = 1; species <= kDexSpecies; ++species) {
        const auto entry = std::span(bytes).subspan(std::size_t(species - 1) * length, length);
        const auto end = std::find(entry.begin(), entry.end(), kTerminator);
        const bool plain = std::all_of(entry.begin(), end, [&](std::uint8_t b) { return charset.printable(b); }) &&
                           std::all_of(end, entry.end(), [](std::uint8_t b) { return b == kTerminator; });
        const std::string where = "entry " + std::to_string(species) + " (at " +
                                  hexOffset(release.speciesNames + std::uint32_t((species - 1) * length)) + ")";
        if (end == entry.begin()) return RomSpeciesNames{{}, where + " is empty"};
        if (!plain) return RomSpeciesNames{{}, where + " is not plain game text"};
        read.names.push_back(toUtf8(decodeGameText(std::span(entry.begin(), end), charset)));
    }
    return read;
}

Result<std::optional<BaseData>> readBaseData(File& file, const Release& release) {
    std::vector<std::uint8_t> bytes(kDexSpecies * kBaseDataEntry);
    auto got = readUpTo(file, release.baseData, bytes);
    if (!got) return got.error();
    if (*got < bytes.size()) return std::optional<BaseData>();
    BaseData data;
    data.genderRatios.resize(kDexSpecies + 1);
    data.pictureSizes.resize(kDexSpecies + 1);
    for (int species = 1; species <= kDexSpecies; ++species) {
        const std::size_t entry = std::size_t(species - 1) * kBaseDataEntry;
        if (bytes[entry] != species) return std::optional<BaseData>();
        data.genderRatios[std::size_t(species)] = bytes[entry + kGenderRatioAt];
        data.pictureSizes[std::size_t(species)] = bytes[entry + kPictureSizeAt];
    }
    return std::optional<BaseData>(data);
}

std::optional<std::uint8_t> genderRatioOf(const std::optional<GenderRatios>& ratios, SpeciesId species) {
    if (!ratios || species < 1 || species >= ratios->size()) return std::nullopt;
    return (*ratios)[species];
}

std::string itemLabel(const std::optional<ItemNames>& names, ItemId item) {
    if (item == 0) return "None";
    if (names && item < names->size()) return (*names)[item];
    return "Item " + hexOffset(item);
}

Result<ItemId> itemNumbered(std::int64_t number, std::string_view given) {
    if (number >= 0 && number < kItemCount) return ItemId(number);
    return refused(ErrorCode::UnknownItem, "The held item " + (given.empty() ? std::to_string(number) : excerpt(given)) +
                                               " is out of range: item numbers are 0 to 255.");
}

Result<ItemId> resolveItem(std::string_view text, const std::optional<ItemNames>& names) {
    text = trimmed(text);
    if (sameLetters(text, "None")) return ItemId{0};
    if (auto value = parseNumber(text)) return itemNumbered(*value, text);
    if (!names) {
        return refused(ErrorCode::UnknownItem, echoed(text) + " cannot be looked up: this ROM's item names are not where "
                                                              "the game keeps them. Give the item's number, 0 to 255.");
    }
    std::vector<NameCandidate> candidates;
    for (std::size_t item = 1; item < names->size(); ++item) candidates.push_back({(*names)[item], item});
    const NameMatch match = matchName(text, candidates);
    if (match.id) return ItemId(*match.id);
    if (!match.ambiguous.empty()) return refused(ErrorCode::AmbiguousName, ambiguousName(text, match.ambiguous, "items"));
    std::vector<std::string> suggestions;
    for (std::size_t item : match.nearest) suggestions.push_back((*names)[item]);
    return refused(ErrorCode::UnknownItem, echoed(text) + " is not an item of this ROM: give an item's name as the ROM "
                                                          "spells it (such as \"" + (*names)[0xAE] +
                                                          "\"), \"None\", or a number from 0 to 255." + didYouMean(suggestions));
}

}  // namespace kestrane
