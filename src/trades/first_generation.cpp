#include "trades/first_generation.h"

#include <algorithm>
#include <map>

#include "support/byte_scan.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "text/game_text.h"

namespace kestrane {
namespace {

constexpr std::uint8_t kLoadA = 0x3E, kXorA = 0xAF, kStoreA = 0xEA, kCall = 0xCD;
constexpr std::uint8_t kTradePredef = 0x54;
constexpr std::uint8_t kPredefCall[3] = {kLoadA, kTradePredef, kCall};  // ld a, 0x54; call
constexpr std::uint32_t kNameLength = 10;

}  // namespace

Result<std::vector<TradeScript>> findTradeScripts(File& file, std::int64_t fileSize) {
    std::vector<TradeScript> scripts;
    // From the predef's ld a, 0x54: the store 3 bytes before it, the index before that, the call after.
    auto searched = searchInPieces(file, std::min(fileSize, kLargestRomSize), 8,
                                   [&](std::span<const std::uint8_t> piece, std::int64_t base, std::int64_t next) {
                                       forEachByteTriple(piece, kPredefCall, [&](std::size_t at) {
                                           if (at < 4 || piece[at - 3] != kStoreA) return;
                                           std::optional<TradeScript> script;
                                           if (at >= 5 && piece[at - 5] == kLoadA) script = TradeScript{std::uint32_t(base) + std::uint32_t(at - 5), piece[at - 4]};
                                           else if (piece[at - 4] == kXorA) script = TradeScript{std::uint32_t(base) + std::uint32_t(at - 4), 0};
                                           if (script && base + std::int64_t(at) < next) scripts.push_back(*script);
                                       });
                                   });
    if (!searched) return searched.error();
    return scripts;
}

std::optional<int> recordsScriptsNeed(std::span<const TradeScript> scripts) {
    if (scripts.empty()) return std::nullopt;
    return std::max_element(scripts.begin(), scripts.end(), [](const TradeScript& a, const TradeScript& b) { return a.trade < b.trade; })->trade + 1;
}

std::vector<std::string> firstGenerationPlaces(const Release& release, std::span<const TradeScript> scripts, int records) {
    const auto& own = release.firstGeneration->places;
    std::map<int, int> started;
    for (const TradeScript& script : scripts) ++started[script.trade];
    bool asReleased = true;
    for (int trade = 0; trade < int(own.size()); ++trade) {
        const auto count = started.count(trade) ? started.at(trade) : 0;
        asReleased = asReleased && count == (own[std::size_t(trade)].empty() ? 0 : 1);
    }
    asReleased = asReleased && std::all_of(started.begin(), started.end(), [&](const auto& s) { return s.first < int(own.size()); });
    std::vector<std::string> places;
    for (int trade = 0; trade < records; ++trade) {
        if (asReleased && trade < int(own.size()) && !own[std::size_t(trade)].empty()) places.emplace_back(own[std::size_t(trade)]);
        else places.emplace_back(started.count(trade) ? kUsedPlace : kUnusedPlace);
    }
    return places;
}

Result<FirstGenerationSpecies> readFirstGenerationSpecies(File& file, const Release& release, std::int64_t fileSize) {
    const FirstGenerationTables& tables = *release.firstGeneration;
    const auto count = std::size_t(tables.internalIndexes);
    FirstGenerationSpecies read;
    std::vector<std::uint8_t> order(count), names(count * kNameLength);
    for (auto [at, bytes] : {std::pair{tables.pokedexOrder, std::span<std::uint8_t>(order)},
                             std::pair{release.speciesNames.at, std::span<std::uint8_t>(names)}}) {
        if (at + std::int64_t(bytes.size()) > fileSize) {
            read.whyNot = "the file ends before them";
            return read;
        }
        if (auto got = readExactly(file, at, bytes); !got) return got.error();
    }
    // Every number from 1 to the last, once.
    const int last = *std::max_element(order.begin(), order.end());
    std::vector<int> seen(std::size_t(last) + 1);
    for (std::uint8_t number : order) ++seen[number];
    if (last == 0 || std::any_of(seen.begin() + 1, seen.end(), [](int n) { return n != 1; })) {
        read.whyNot = "the Pok\u00e9dex order at " + hexOffset(tables.pokedexOrder) + " numbers no species once each";
        return read;
    }
    const Charset& charset = release.charset();
    read.gameNames.emplace_back();
    for (std::size_t index = 1; index <= count; ++index) {
        const auto entry = std::span(names).subspan((index - 1) * kNameLength, kNameLength);
        const auto end = std::find(entry.begin(), entry.end(), kTerminator);
        const bool plain = end != entry.begin() && std::all_of(entry.begin(), end, [&](std::uint8_t b) { return charset.printable(b); });
        if (!plain) {
            read.whyNot = "the name of internal index " + std::to_string(index) + " (at " +
                          hexOffset(release.speciesNames.at + std::uint32_t(index - 1) * kNameLength) + ") is not plain game text";
            read.gameNames.clear();
            read.species.clear();
            return read;
        }
        read.gameNames.push_back(toUtf8(decodeGameText(std::span(entry.begin(), end), charset)));
        if (order[index - 1] != 0) read.species.push_back({SpeciesId(index), order[index - 1], read.gameNames.back()});
    }
    return read;
}

}  // namespace kestrane
