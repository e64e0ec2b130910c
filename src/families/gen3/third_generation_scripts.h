// Which trades the maps' scripts of a third-generation ROM start: each
// trader's script sets `setvar 0x8008, N`, then reads the trade's species
// through GetInGameTradeSpeciesInfo (`copyvar 0x8004, 0x8008; specialvar
// 0x800D, the special`), inline or through a `call` of a script that does.
// The game keeps no count of its trades: the scripts are what it starts.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "support/file.h"
#include "support/result.h"

namespace kestrane::gen3 {

struct TradeScript {
    std::uint32_t at = 0;  // the setvar's first byte
    int trade = 0;         // N
    friend bool operator==(const TradeScript&, const TradeScript&) = default;
};

// Every such script in the file's first `size` bytes, read a piece at a
// time; `special` is GetInGameTradeSpeciesInfo's number in the release's
// table of specials.
Result<std::vector<TradeScript>> findTradeScripts(File& file, std::int64_t size, std::uint16_t special);

// The same search a piece at a time (searchInPieces), to share a pass of
// the file with others; `finish` reads the scripts that traders call.
class TradeScriptSearch {
public:
    TradeScriptSearch(std::int64_t size, std::uint16_t special);
    std::size_t overlap() const;
    void search(std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next);
    Result<std::vector<TradeScript>> finish(File& file);

private:
    std::int64_t size_;
    std::array<std::uint8_t, 10> read_;
    std::vector<TradeScript> scripts_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> calls_;  // (setvar, the called script), checked after the pass
};

}  // namespace kestrane::gen3
