#include "platform/gba/thumb_search.h"

#include <algorithm>

#include <array>

#include "platform/gba/cartridge.h"
#include "support/byte_scan.h"
#include "support/piece_search.h"

namespace kestrane::gba {

bool patternAt(std::span<const std::uint8_t> bytes, std::size_t at, const ThumbPattern& pattern) {
    if (at + pattern.bytes.size() > bytes.size()) return false;
    for (std::size_t i = 0; i < pattern.bytes.size(); ++i) {
        if (pattern.bytes[i] >= 0 && bytes[at + i] != std::uint8_t(pattern.bytes[i])) return false;
    }
    return true;
}

PatternSearch::PatternSearch(const ThumbPattern& pattern)
    : pattern_(pattern),
      triple_{std::uint8_t(pattern.bytes[pattern.anchor]), std::uint8_t(pattern.bytes[pattern.anchor + 1]),
              std::uint8_t(pattern.bytes[pattern.anchor + 2])} {}

void PatternSearch::search(std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next) {
    forEachByteTriple(piece, triple_, [&](std::size_t i) {
        if (i < pattern_.anchor) return;
        const std::size_t start = i - pattern_.anchor;
        const std::int64_t place = at + std::int64_t(start);
        if (place % 2 != 0 || place >= next) return;
        if (patternAt(piece, start, pattern_)) found_.push_back(std::uint32_t(place));
    });
}

Result<std::vector<std::uint32_t>> findPattern(File& file, std::int64_t size, const ThumbPattern& pattern) {
    PatternSearch search(pattern);
    auto each = [&](std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next) { search.search(piece, at, next); };
    if (auto done = searchInPieces(file, size, search.overlap(), each); !done) return done.error();
    return search.found();
}

Result<std::optional<std::uint32_t>> poolPointer(File& file, std::uint32_t at, std::int64_t size) {
    std::array<std::uint8_t, 4> word{};
    if (std::int64_t(at) + 4 > size) return std::optional<std::uint32_t>();
    if (auto read = readExactly(file, at, word); !read) return read.error();
    const auto offset = romOffsetOf(readWord(word, 0));
    if (!offset || std::int64_t(*offset) >= size) return std::optional<std::uint32_t>();
    return offset;
}

Result<std::uint32_t> wordAt(File& file, std::uint32_t at) {
    std::array<std::uint8_t, 4> bytes{};
    if (auto read = readExactly(file, at, bytes); !read) return read.error();
    return readWord(bytes, 0);
}

Result<std::uint32_t> loadedPoolAt(File& file, std::uint32_t load) {
    std::array<std::uint8_t, 1> offset{};
    if (auto read = readExactly(file, load, offset); !read) return read.error();
    return ((load + 4) & ~3u) + 4u * offset[0];
}

Result<std::uint32_t> loadedWord(File& file, std::uint32_t load) {
    auto pool = loadedPoolAt(file, load);
    if (!pool) return pool.error();
    return wordAt(file, *pool);
}

Result<std::optional<std::uint32_t>> loadedPointer(File& file, std::uint32_t load, std::int64_t size) {
    auto pool = loadedPoolAt(file, load);
    if (!pool) return pool.error();
    return poolPointer(file, *pool, size);
}

Result<std::optional<std::uint32_t>> onlyCopy(File& file, std::int64_t size, const ThumbPattern& pattern) {
    auto copies = findPattern(file, size, pattern);
    if (!copies) return copies.error();
    if (copies->size() != 1) return std::optional<std::uint32_t>();
    return std::optional<std::uint32_t>(copies->front());
}

Result<std::vector<std::optional<std::uint32_t>>> pointersOfCopies(File& file, std::int64_t size, const ThumbPattern& pattern,
                                                                    std::uint32_t load) {
    auto copies = findPattern(file, size, pattern);
    if (!copies) return copies.error();
    std::vector<std::optional<std::uint32_t>> pointers;
    for (const std::uint32_t copy : *copies) {
        auto pointer = loadedPointer(file, copy + load, size);
        if (!pointer) return pointer.error();
        pointers.push_back(*pointer);
    }
    return pointers;
}

Result<std::optional<std::uint32_t>> pointerOfEveryCopy(File& file, std::int64_t size, const ThumbPattern& pattern,
                                                        std::uint32_t load) {
    auto pointers = pointersOfCopies(file, size, pattern, load);
    if (!pointers) return pointers.error();
    const auto& all = *pointers;
    if (all.empty() || std::ranges::any_of(all, [&](const auto& p) { return !p || p != all.front(); })) {
        return std::optional<std::uint32_t>();
    }
    return all.front();
}

}  // namespace kestrane::gba
