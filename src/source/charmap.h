// A build tree's charmap (constants/charmap.asm, or charmap.asm at the
// root of older trees): the text the assembler turns into the game's bytes.
// The trees' charmaps differ ('d is 0xD0 in English Crystal, 0xD8 in
// Spanish, 0xBB in Red), so a tree's names are read and written by its own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"

namespace kestrane {

class SourceCharmap {
public:
    struct Entry {
        std::string text;  // UTF-8, as the literal spells it
        std::uint8_t byte;
    };
    explicit SourceCharmap(std::vector<Entry> entries) : entries_(std::move(entries)) {}

    // The bytes of a string literal's text: the longest entry at each
    // place, as the assembler matches; none where a character has none.
    std::optional<std::vector<std::uint8_t>> encode(std::string_view text) const;
    // The text of bytes: each byte by its first entry; none where one has none.
    std::optional<std::string> decode(std::span<const std::uint8_t> bytes) const;
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// The main charmap of the file's text: its `charmap "X", $NN` lines (or
// decimal, or %binary), the blocks between `pushc` and `popc` and after a
// `newcharmap` skipped (they are other charmaps). A line of the main
// charmap that is not of that form is refused, naming its number.
// With `block`, the charmap that `newcharmap <block>` opens instead (up to
// the next `newcharmap` or `setcharmap`), whose entries may also be
// `ctxtmap "X", $NN, <code>` (Polished Crystal's, with each character's
// Huffman code); refused where the file opens no such block.
Result<SourceCharmap> readCharmap(std::string_view text, std::string_view block = {});

// The charmap a tree's names are written in where its trade file writes
// them with `rawchar` (`setcharmap no_ngrams`: Polished Crystal's names
// never hold its n-grams), else none (the main one).
inline constexpr std::string_view kRawCharmap = "no_ngrams";

}  // namespace kestrane
