// What Red, Blue and Yellow keep apart from their trade table, where the
// second generation's rows name other tables: their species, numbered by
// internal index, and the maps' scripts that start each trade.
//
//   species   MonsterNames: 10 bytes a name, by internal index from 1 (a
//             name may fill all ten; the slots with no creature have names
//             too). PokedexOrder: a byte an internal index, its Pokédex
//             number, 0 for a slot with no creature; every number from 1
//             to the last appears once, which proves the table.
//   scripts   a map's script starts trade N with ld a, N (or xor a for 0);
//             ld [wWhichTrade], a; then predef DoInGameTradeDialogue
//             (ld a, 0x54; call Predef), there or where a jr or jp right
//             after the store lands (the Cinnabar Lab trade room's first
//             trader jumps to the second's predef):
//               3E NN | AF   EA ?? ??   [18 dd | C3 lo hi ->]   3E 54   CD ?? ??
//             The RAM address and the call's target move in hacks; other
//             code writes wWhichTrade too, so the predef decides.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/releases.h"
#include "trades/creature_list.h"
#include "families/gen1/first_generation_code.h"
#include "families/gen1/first_generation_rows.h"

namespace kestrane {

struct TradeScript {
    std::uint32_t at = 0;  // the ld a, N (or xor a)
    int trade = 0;         // N
};

// Every place a script starts a trade, in the file's first bytes (at most
// the largest ROM).
Result<std::vector<TradeScript>> findTradeScripts(File& file, std::int64_t fileSize);

// A file's scripts, searched for once an opening however many steps ask:
// the search reads every bank.
class TradeScriptsOnce {
public:
    Result<std::span<const TradeScript>> in(File& file, std::int64_t fileSize) {
        if (!found_) {
            auto scripts = findTradeScripts(file, fileSize);
            if (!scripts) return scripts.error();
            found_ = std::move(*scripts);
        }
        return std::span<const TradeScript>(*found_);
    }

private:
    std::optional<std::vector<TradeScript>> found_;
};

// The trades a table must hold for its scripts: the highest a script
// starts, plus one; none where no script starts one.
std::optional<int> recordsScriptsNeed(std::span<const TradeScript> scripts);

// Where each of a table's first `records` trades happens, as shown
// (placesOfStartedTrades, by the release's maps).
std::vector<std::string> firstGenerationPlaces(const Release& release, std::span<const TradeScript> scripts, int records);

struct FirstGenerationSpecies {
    std::vector<Species> species;        // every internal index with a Pokédex number
    std::vector<std::string> gameNames;  // by internal index ([0] empty), as the game prints them
    std::string whyNot;                  // why the ROM's tables are not taken, where they are not
};
// The species as the ROM names and numbers them, where the code finds the
// tables; or why not: without a proven Pokédex order none (shown by their
// stored index), without proven names the built-in names by number.
Result<FirstGenerationSpecies> readFirstGenerationSpecies(File& file, const Release& release, const FirstGenerationCode& code);

}  // namespace kestrane
