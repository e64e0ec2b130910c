// Finding a Game Boy Advance game's tables through its code: a Thumb
// routine by its bytes (wildcards where builds differ: calls, literal
// pools), and the 32-bit pointers its literal pools hold.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "support/file.h"
#include "support/result.h"

namespace kestrane::gba {

// A routine's form: -1 for a byte that may be anything; the three fixed
// bytes from `anchor` are what the whole file is searched for first.
struct ThumbPattern {
    std::span<const int> bytes;
    std::size_t anchor = 0;
};

// Whether bytes[at..] has the form; false where they end first.
bool patternAt(std::span<const std::uint8_t> bytes, std::size_t at, const ThumbPattern& pattern);

// The places where a form stands, found a piece at a time (searchInPieces,
// support/piece_search.h): several searches share one pass of the file.
class PatternSearch {
public:
    explicit PatternSearch(const ThumbPattern& pattern);
    std::size_t overlap() const { return pattern_.bytes.size() - 1; }
    void search(std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next);
    // In rising order.
    const std::vector<std::uint32_t>& found() const { return found_; }

private:
    ThumbPattern pattern_;
    std::uint8_t triple_[3];
    std::vector<std::uint32_t> found_;
};

// Every place (a Thumb routine starts at an even one) in the file's first
// `size` bytes where the form stands, in rising order; read a piece at a
// time, never the whole file at once.
Result<std::vector<std::uint32_t>> findPattern(File& file, std::int64_t size, const ThumbPattern& pattern);

// The file offset the literal pool word at `at` points to; none where it
// names no byte of the cartridge's ROM (or no byte of a file of `size`).
Result<std::optional<std::uint32_t>> poolPointer(File& file, std::uint32_t at, std::int64_t size);

// The little-endian word at `at`.
Result<std::uint32_t> wordAt(File& file, std::uint32_t at);
// Where the pool word an `ldr rN, [pc, #n]` at `load` reads lies: past the
// instruction, at the word boundary after pc + 4.
Result<std::uint32_t> loadedPoolAt(File& file, std::uint32_t load);
// The word that `ldr` reads, and the file offset it points to (as poolPointer).
Result<std::uint32_t> loadedWord(File& file, std::uint32_t load);
Result<std::optional<std::uint32_t>> loadedPointer(File& file, std::uint32_t load, std::int64_t size);
// The one place of the form in the file; none where there is not exactly one.
Result<std::optional<std::uint32_t>> onlyCopy(File& file, std::int64_t size, const ThumbPattern& pattern);
// What each copy of the form loads with its `ldr` at `load` (none where it names no byte of the file).
Result<std::vector<std::optional<std::uint32_t>>> pointersOfCopies(File& file, std::int64_t size, const ThumbPattern& pattern,
                                                                    std::uint32_t load);
// What every copy loads, one place; none where there is no copy, one names
// no byte of the file, or two disagree.
Result<std::optional<std::uint32_t>> pointerOfEveryCopy(File& file, std::int64_t size, const ThumbPattern& pattern,
                                                        std::uint32_t load);

}  // namespace kestrane::gba
