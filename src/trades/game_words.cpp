#include "trades/game_words.h"

#include <algorithm>
#include <map>

#include <mutex>
#include <unordered_map>

#include "support/utf.h"

namespace kestrane {

std::vector<std::string> placesOfStartedTrades(std::span<const std::string_view> own, std::span<const int> started, int records) {
    std::map<int, int> count;
    for (int trade : started) ++count[trade];
    bool asReleased = std::all_of(count.begin(), count.end(), [&](const auto& s) { return s.first < int(own.size()); });
    for (int trade = 0; trade < int(own.size()); ++trade) {
        const int times = count.contains(trade) ? count.at(trade) : 0;
        asReleased = asReleased && times == (own[std::size_t(trade)].empty() ? 0 : 1);
    }
    std::vector<std::string> places;
    for (int trade = 0; trade < records; ++trade) {
        if (asReleased && trade < int(own.size()) && !own[std::size_t(trade)].empty()) places.emplace_back(own[std::size_t(trade)]);
        else places.emplace_back(count.contains(trade) ? kUsedPlace : kUnusedPlace);
    }
    return places;
}

TradeWordsRead builtInTradeWords(const Release& release, std::string why) {
    TradeWordsRead words;
    words.linesWhyNot = why;
    words.placesWhyNot = why;
    words.places = release.family().builtInPlaces(release);
    return words;
}

std::shared_ptr<const TradeWordsRead> wordsNotRead(const Release& release) {
    static std::mutex guard;
    static std::unordered_map<const Release*, std::shared_ptr<const TradeWordsRead>> made;
    const std::lock_guard<std::mutex> lock(guard);
    auto& words = made[&release];
    if (!words) words = std::make_shared<const TradeWordsRead>(builtInTradeWords(release, "not read"));
    return words;
}

std::array<std::string, 5> traderLines(const TradeWordsRead& words, const Release& release, std::uint8_t set,
                                       const LineNames& names) {
    std::array<std::string, 5> lines;
    if (words.lines.empty()) {
        // Kestrane's own: the set's opening.
        if (set < release.dialogSets.size()) lines[0] = std::string(release.dialogSets[set].opening);
        return lines;
    }
    if (set >= words.lines.size()) return lines;
    const char* sign = names.genderRequirement == GenderRequirement::Male     ? "\u2642"
                       : names.genderRequirement == GenderRequirement::Female ? "\u2640"
                                                                               : "";
    for (std::size_t phase = 0; phase < lines.size(); ++phase) {
        for (const TextPiece& piece : words.lines[set][phase]) {
            switch (piece.name) {
            case LineName::None: lines[phase] += toUtf8(piece.text); break;
            case LineName::RequestedWithGender: lines[phase] += names.requested + sign; break;
            case LineName::Offered: lines[phase] += names.offered; break;
            case LineName::Requested: lines[phase] += names.requested; break;
            }
        }
    }
    return lines;
}

}  // namespace kestrane
