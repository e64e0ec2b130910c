#include "families/gen1/first_generation.h"

#include <algorithm>

#include "families/gameboy/charsets.h"
#include "platform/gb/banks.h"
#include "platform/gb/cartridge.h"
#include "support/byte_scan.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "text/game_text.h"
#include "trades/game_words.h"
#include "support/piece_search.h"

namespace kestrane {
namespace {

constexpr std::uint8_t kLoadA = 0x3E, kXorA = 0xAF, kStoreA = 0xEA, kCall = 0xCD;
constexpr std::uint8_t kTradePredef = 0x54;
constexpr std::uint8_t kPredefCall[3] = {kLoadA, kTradePredef, kCall};  // ld a, 0x54; call

}  // namespace

namespace {

// The trade a store of wWhichTrade ending just before `end` sets (ld a, N
// or xor a, then ld [nn], a), with its first byte; none where none stands there.
std::optional<TradeScript> storeBefore(std::span<const std::uint8_t> bank, std::size_t end, std::uint32_t base) {
    if (end < 4 || bank[end - 3] != kStoreA) return std::nullopt;
    if (end >= 5 && bank[end - 5] == kLoadA) return TradeScript{base + std::uint32_t(end - 5), bank[end - 4]};
    if (bank[end - 4] == kXorA) return TradeScript{base + std::uint32_t(end - 4), 0};
    return std::nullopt;
}

// The scripts of one bank: a store of the trade followed by the predef's
// call, directly or through a jr or jp to it in the same bank.
void scriptsIn(std::span<const std::uint8_t> bank, std::uint32_t base, std::vector<TradeScript>& scripts) {
    constexpr std::uint8_t kJr = 0x18, kJp = 0xC3;
    std::vector<TradeScript> found;
    forEachByteTriple(bank, kPredefCall, [&](std::size_t predef) {
        if (auto direct = storeBefore(bank, predef, base)) found.push_back(*direct);
        // A jr reaches 129 bytes back and 126 on.
        const std::size_t from = predef > 129 ? predef - 129 : 0, to = std::min(bank.size() - 1, predef + 127);
        for (std::size_t jr = from; jr < to; ++jr) {
            if (bank[jr] != kJr || std::ptrdiff_t(jr) + 2 + std::int8_t(bank[jr + 1]) != std::ptrdiff_t(predef)) continue;
            if (auto jumped = storeBefore(bank, jr, base)) found.push_back(*jumped);
        }
        const std::uint32_t address = base < kBankSize ? std::uint32_t(predef) : kBankSize + std::uint32_t(predef);
        const std::uint8_t jp[3] = {kJp, std::uint8_t(address & 0xFF), std::uint8_t(address >> 8)};
        forEachByteTriple(bank, jp, [&](std::size_t at) {
            if (auto jumped = storeBefore(bank, at, base)) found.push_back(*jumped);
        });
    });
    std::ranges::sort(found, {}, &TradeScript::at);
    scripts.insert(scripts.end(), found.begin(), found.end());
}

}  // namespace

Result<std::vector<TradeScript>> findTradeScripts(File& file, std::int64_t fileSize) {
    std::vector<TradeScript> scripts;
    // Pieces start at a bank and hold whole banks (but the file's last):
    // a script and the predef it reaches lie in one bank.
    auto searched = searchInPieces(file, std::min(fileSize, kLargestRomSize), 0,
                                   [&](std::span<const std::uint8_t> piece, std::int64_t base, std::int64_t) {
                                       for (std::size_t bank = 0; bank < piece.size(); bank += kBankSize) {
                                           scriptsIn(piece.subspan(bank, std::min<std::size_t>(kBankSize, piece.size() - bank)),
                                                     std::uint32_t(base) + std::uint32_t(bank), scripts);
                                       }
                                   });
    if (!searched) return searched.error();
    return scripts;
}

std::optional<int> recordsScriptsNeed(std::span<const TradeScript> scripts) {
    if (scripts.empty()) return std::nullopt;
    return std::max_element(scripts.begin(), scripts.end(), [](const TradeScript& a, const TradeScript& b) { return a.trade < b.trade; })->trade + 1;
}

std::vector<std::string> firstGenerationPlaces(const Release& release, std::span<const TradeScript> scripts, int records) {
    std::vector<int> started;
    for (const TradeScript& script : scripts) started.push_back(script.trade);
    return placesOfStartedTrades(firstGenerationRow(release).first.places, started, records);
}

Result<FirstGenerationSpecies> readFirstGenerationSpecies(File& file, const Release& release, const FirstGenerationCode& code) {
    const auto count = std::size_t(firstGenerationRow(release).first.internalIndexes);
    FirstGenerationSpecies read;
    // Without the order, an internal index has no number to be shown by.
    if (!code.pokedexOrder.at) {
        read.whyNot = code.pokedexOrder.whyNot;
        return read;
    }
    // The code's tables lie in the file and their banks (readFirstGenerationCode).
    std::vector<std::uint8_t> order(count);
    if (auto got = readExactly(file, *code.pokedexOrder.at, order); !got) return got.error();
    // Every number from 1 to the last, once.
    const int last = *std::max_element(order.begin(), order.end());
    std::vector<int> seen(std::size_t(last) + 1);
    for (std::uint8_t number : order) ++seen[number];
    if (last == 0 || last >= kSpeciesCount || std::any_of(seen.begin() + 1, seen.end(), [](int n) { return n != 1; })) {
        read.whyNot = "the Pok\u00e9dex order at " + hexOffset(*code.pokedexOrder.at) + " numbers no species once each";
        return read;
    }
    // The numbers are proven; where the names are not, the built-in names by number.
    auto builtIn = [&](std::string why) {
        read.whyNot = std::move(why);
        read.gameNames.clear();
        read.species.clear();
        for (std::size_t index = 1; index <= count; ++index) {
            if (order[index - 1] != 0) read.species.push_back({SpeciesId(index), order[index - 1], std::string(speciesName(order[index - 1]))});
        }
        return read;
    };
    if (!code.names.at) return builtIn(code.names.whyNot);
    const std::uint32_t length = code.nameLength;
    std::vector<std::uint8_t> names(count * length);
    if (auto got = readExactly(file, *code.names.at, names); !got) return got.error();
    const Charset& charset = release.charset();
    read.gameNames.emplace_back();
    for (std::size_t index = 1; index <= count; ++index) {
        const auto entry = std::span(names).subspan((index - 1) * length, length);
        const auto end = std::find(entry.begin(), entry.end(), kTerminator);
        const bool plain = end != entry.begin() && std::all_of(entry.begin(), end, [&](std::uint8_t b) { return charset.printable(b); });
        if (!plain) {
            return builtIn("the name of internal index " + std::to_string(index) + " (at " +
                           hexOffset(*code.names.at + std::uint32_t(index - 1) * length) + ") is not plain game text");
        }
        read.gameNames.push_back(toUtf8(decodeGameText(std::span(entry.begin(), end), charset)));
        if (order[index - 1] != 0) read.species.push_back({SpeciesId(index), order[index - 1], read.gameNames.back()});
    }
    return read;
}

}  // namespace kestrane
