// The words of a ROM's trades: what each trader says, and where the trade
// happens, as the ROM's family read them (in the ROM's language), or
// Kestrane's own where the ROM's are not to be found.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/releases.h"
#include "trades/values.h"

namespace kestrane {

// What a trader says, in order: asking, after a no, after the wrong
// creature, on the trade, and afterwards.
struct LinePhase {
    std::string_view key;    // "intro": what JSON and `show` call it
    std::string_view label;  // "Asking": what the window calls it
};
inline constexpr std::array<LinePhase, 5> kLinePhases = {{{"intro", "Asking"},
                                                         {"cancel", "On a no"},
                                                         {"wrong", "Wrong creature"},
                                                         {"complete", "On the trade"},
                                                         {"after", "Afterwards"}}};

// The names a trader's text fills in at run time: the requested species
// followed by ♂ or ♀ where the trade asks for a gender, the offered
// species, the requested species alone.
enum class LineName : std::uint8_t { None, RequestedWithGender, Offered, Requested };

// A text as the game keeps it: characters (lines "\n", paragraphs "\n\n"),
// and names filled in at run time.
struct TextPiece {
    std::u16string text;
    LineName name = LineName::None;  // not None: a name
};
using GameText = std::vector<TextPiece>;

struct TradeWordsRead {
    std::vector<std::array<GameText, 5>> lines;  // by dialog set; empty: the ROM's are not read
    std::string linesWhyNot;                     // why the built-in lines are shown, where they are
    std::vector<std::string> places;  // the own trades' places by slot, as shown ("Violet City, Johto")
    std::string placesWhyNot;
    // The trainer's name every trade gives, where the records hold none
    // ("TRAINER"); else empty. The ROM's where its
    // code names it, else Kestrane's, and why.
    std::string givenTrainer;
    std::string givenTrainerWhyNot;
};

// What a record's place is called where no place of the release's is its.
inline constexpr std::string_view kUsedPlace = "Used in the game";
inline constexpr std::string_view kUnusedPlace = "Not used in the game";

// Where each of a table's first `records` trades happens, in a game whose
// maps' scripts say which trade they start (`started`: each script's
// trade): the release's own place (`own`, by record; empty: none) where the
// scripts start the trades as the release's own do (each trade the release
// starts, once, and no other); otherwise "Used in the game" or "Not used in
// the game", by whether a script starts it.
std::vector<std::string> placesOfStartedTrades(std::span<const std::string_view> own, std::span<const int> started, int records);

// Kestrane's own words: its lines (the opening of each set) and places.
TradeWordsRead builtInTradeWords(const Release& release, std::string why);
// The same where the ROM's words were not asked for: made once a release,
// since every quick open (a show, a save) holds them.
std::shared_ptr<const TradeWordsRead> wordsNotRead(const Release& release);

// The names a trader's lines fill in, as the game prints them.
struct LineNames {
    std::string requested;   // "ABRA"
    std::string offered;     // "MACHOP"
    std::optional<GenderRequirement> genderRequirement;
};

// The five lines of a dialog set with the names filled in (UTF-8; lines
// "\n", paragraphs "\n\n"); a set the ROM's table lacks gives empty lines.
std::array<std::string, 5> traderLines(const TradeWordsRead& words, const Release& release, std::uint8_t set,
                                       const LineNames& names);

}  // namespace kestrane
