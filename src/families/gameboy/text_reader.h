// The Game Boy families' texts as their text engine prints them: the
// traders' lines, and the strings the places and names are made of.
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
//           Polished Crystal's engine (its dialect) differs: 0x00-0x09 are
//           its commands and any other byte begins a string, '@' is 0x53,
//           a far pointer is big-endian with bit 15 ending the text that
//           jumped, and after 0x5D a string's characters are packed in a
//           Huffman code whose tree its ReadHuffmanChar walks. Which memory
//           holds which name is read from its GetTradeMonNames.
//   places  a landmark's name ends with 0x50; 0x1F is a soft break (a
//           blank), 0x1E and 0x25 show nothing, Japanese 0x35 shows
//           "ばん　どうろ" after a route's number. Red, Blue and Yellow
//           name no places: a trade's is the map whose script starts it
//           (first_generation.h).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "families/gameboy/game_boy_row.h"
#include "platform/gb/cartridge.h"
#include "support/bytes.h"
#include "support/file.h"
#include "support/result.h"
#include "trades/game_words.h"

namespace kestrane {

// The file's bytes, read a page at a time where they are asked for: the
// words are a few hundred bytes here and there.
class RomPages {
public:
    RomPages(File& file, std::int64_t size) : file_(file), size_(std::min(size, kLargestRomSize)) {}
    std::size_t size() const { return std::size_t(size_); }
    // The byte at `at` (which the caller checked is in the file).
    Result<std::uint8_t> at(std::uint32_t at) {
        auto& page = pages_[at / kPage];
        if (page.empty()) {
            page.resize(std::min<std::size_t>(kPage, std::size_t(size_) - at / kPage * kPage));
            if (auto read = readExactly(file_, at / kPage * kPage, page); !read) return read.error();
        }
        return page[at % kPage];
    }
    Result<std::uint16_t> littleEndian16(std::uint32_t at) {
        auto low = this->at(at);
        if (!low) return low.error();
        auto high = this->at(at + 1);
        if (!high) return high.error();
        return kestrane::littleEndian16(*low, *high);
    }

private:
    static constexpr std::uint32_t kPage = 0x1000;
    File& file_;
    std::int64_t size_;
    std::unordered_map<std::uint32_t, std::vector<std::uint8_t>> pages_;
};

// A string as the text engine prints it: its text, the byte after its
// end, and whether its end ended the whole text.
struct GameString {
    GameText text;
    std::uint32_t end = 0;
    bool endedText = false;
};
// The string at `at`, or a NotAText refusal that says why it is none (a
// failing read is an error of its own).
Result<GameString> readGameString(RomPages& rom, const Release& release, std::uint32_t at);

// The ROM's lines, or Kestrane's where the ROM's fail their checks (every
// pointer in its bank, every text well formed and ended within a few
// hundred bytes), and Kestrane's places; only a failing read is an error.
Result<TradeWordsRead> readTradeWords(File& file, const GameBoyRow& release, const RomSize& size);

}  // namespace kestrane
