#include "families/gen3/third_generation_scripts.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "platform/gba/cartridge.h"
#include "support/byte_scan.h"
#include "support/piece_search.h"

namespace kestrane::gen3 {
namespace {

constexpr std::uint8_t kSetvar = 0x16, kCopyvar = 0x19, kSpecialvar = 0x26, kCall = 0x04;
constexpr std::size_t kSetvarLength = 5, kCallLength = 5, kReadLength = 10;
// The most trades a script may name: a table holds at most 16 records.
constexpr int kMostTrades = 16;

// copyvar 0x8004, 0x8008; specialvar 0x800D, special
std::array<std::uint8_t, kReadLength> speciesRead(std::uint16_t special) {
    return {kCopyvar, 0x04, 0x80, 0x08, 0x80, kSpecialvar, 0x0D, 0x80, std::uint8_t(special), std::uint8_t(special >> 8)};
}

}  // namespace

TradeScriptSearch::TradeScriptSearch(std::int64_t size, std::uint16_t special) : size_(size), read_(speciesRead(special)) {}

std::size_t TradeScriptSearch::overlap() const { return kSetvarLength + std::max(kReadLength, kCallLength); }

void TradeScriptSearch::search(std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next) {
    // setvar 0x8008, N (16 08 80 N 00): its first three bytes found by the byte scan.
    static constexpr std::uint8_t kSetvarHead[3] = {kSetvar, 0x08, 0x80};
    const std::size_t overlap = this->overlap();
    forEachByteTriple(piece, kSetvarHead, [&](std::size_t i) {
        if (i + overlap > piece.size() || at + std::int64_t(i) >= next || piece[i + 4] != 0 || piece[i + 3] >= kMostTrades) return;
        const auto after = piece.subspan(i + kSetvarLength);
        const auto place = std::uint32_t(at + std::int64_t(i));
        if (std::equal(read_.begin(), read_.end(), after.begin())) {
            scripts_.push_back({place, piece[i + 3]});
        } else if (after[0] == kCall) {
            const std::uint32_t pointer = gba::readWord(after, 1);
            if (auto target = gba::romOffsetOf(pointer); target && std::int64_t(*target) + std::int64_t(kReadLength) <= size_) {
                calls_.emplace_back(place, *target);
            }
        }
    });
}

Result<std::vector<TradeScript>> TradeScriptSearch::finish(File& file) {
    std::vector<TradeScript> scripts = scripts_;
    // A called script, read once however many traders call it.
    std::map<std::uint32_t, bool> reads;
    for (const auto& [place, target] : calls_) {
        if (!reads.contains(target)) {
            std::array<std::uint8_t, kReadLength> bytes{};
            if (auto got = readExactly(file, target, bytes); !got) return got.error();
            reads[target] = bytes == read_;
        }
        if (!reads[target]) continue;
        std::array<std::uint8_t, 1> trade{};
        if (auto got = readExactly(file, place + 3, trade); !got) return got.error();
        scripts.push_back({place, trade[0]});
    }
    std::ranges::sort(scripts, {}, &TradeScript::at);
    return scripts;
}

Result<std::vector<TradeScript>> findTradeScripts(File& file, std::int64_t size, std::uint16_t special) {
    TradeScriptSearch search(size, special);
    auto each = [&](std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next) { search.search(piece, at, next); };
    if (auto done = searchInPieces(file, size, search.overlap(), each); !done) return done.error();
    return search.finish(file);
}

}  // namespace kestrane::gen3
