// The ROM's own words for its trades: what each trader says, and where the
// trade happens, read from the ROM in its language, and Kestrane's own
// words where the ROM's are not to be found.
//
//   lines   a text is a run of commands: 0x00, then characters up to 0x50;
//           0x01 and a 2-byte RAM address (a name filled in at run time);
//           0x16 and a 3-byte far pointer (address little-endian, then the
//           bank: that text, then on); 0x50 ends it. In characters: 0x4F a
//           new line, 0x55 a new line too (the box scrolls), 0x51 a new
//           paragraph, 0x57 ends the whole text; 0x54 is "POKé" (Japanese
//           "ポケモン"), and in Japanese 0x4A "が" and 0x56 "⋯⋯".
//           The routine that reads the lines' table decides where it is, as
//           the trade table's does (trade_table.h).
//           Red, Blue and Yellow's table holds a word a dialog set, each
//           naming five words (one a phase) in the table's bank, each a
//           text that is a far text (0x17) and its end.
//   places  a landmark's name ends with 0x50; 0x1F is a soft break (a
//           blank), 0x1E and 0x25 show nothing, Japanese 0x35 shows
//           "ばん　どうろ" after a route's number. Red, Blue and Yellow
//           name no places: a trade's is the map whose script starts it
//           (first_generation.h).
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

// A text as the game keeps it: characters (lines "\n", paragraphs "\n\n"),
// and names filled in at run time (by their RAM address).
struct TextPiece {
    std::u16string text;
    std::uint16_t name = 0;  // not 0: a name, at this RAM address
};
using GameText = std::vector<TextPiece>;

struct TradeWordsRead {
    std::vector<std::array<GameText, 5>> lines;  // by dialog set; empty: the ROM's are not read
    std::string linesWhyNot;                     // why the built-in lines are shown, where they are
    std::vector<std::string> places;  // the own trades' places by slot, as shown ("Violet City, Johto")
    std::string placesWhyNot;
    // The trainer's name every trade gives, where the records hold none
    // (Red, Blue and Yellow: "TRAINER"); else empty. The ROM's where its
    // code names it, else Kestrane's, and why.
    std::string givenTrainer;
    std::string givenTrainerWhyNot;
};

// Kestrane's own words: its lines (the opening of each set) and places.
TradeWordsRead builtInTradeWords(const Release& release, std::string why);
// The same where the ROM's words were not asked for: made once a release,
// since every quick open (a show, a save) holds them.
std::shared_ptr<const TradeWordsRead> wordsNotRead(const Release& release);

// The ROM's lines, or Kestrane's where the ROM's fail their checks (every
// pointer in its bank, every text well formed and ended within a few
// hundred bytes), and Kestrane's places; only a failing read is an error.
Result<TradeWordsRead> readTradeWords(File& file, const Release& release, const RomSize& size);
// Gold, Silver and Crystal's places: each own trade's landmark as the ROM
// names it, with its region (Kestrane's where a name fails, and why).
Result<void> readLandmarkPlaces(File& file, const Release& release, const RomSize& size, TradeWordsRead& words);
// Red, Blue and Yellow's places, by the maps' scripts that start each
// trade, and the trainer's name where the game's code names it.
Result<void> readScriptPlaces(File& file, const Release& release, const RomSize& size, const struct FirstGenerationCode& code,
                              std::span<const struct TradeScript> scripts, TradeWordsRead& words);

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
