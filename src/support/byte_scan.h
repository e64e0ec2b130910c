// Passes over a whole ROM at memory speed: finding byte patterns, summing.
//
// The searches look for two fixed bytes a short distance apart (a rare pair
// even where each byte alone is common) and hand every place that has them
// to the caller, who checks the rest. The vector code tests 64 places, or
// sums 64 bytes, at a time: with AVX2 where the processor has it (chosen
// once, when first used), else with SSE2 (every x86-64 processor); elsewhere
// a plain loop does it. A pass over a 2 MiB ROM so costs less than reading
// the file does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kestrane {

// The widest vector code a pass may use.
enum class ScanWidth { Plain, Sse2, Avx2 };
// What the passes use: the widest this processor has, unless narrowed.
ScanWidth scanWidth();
// Narrows (or widens, up to what the processor has) the passes' vector code;
// gives what they now use. For measuring and for testing each path.
ScanWidth useScanWidth(ScanWidth width);

namespace detail {

// The first 64 places at or after `from` (a block of them, at from + 64k)
// among which a pair stands, with the places' bits; where none is left,
// {end, 0}, from which on the places must be tested one by one.
struct PairBlock {
    std::size_t at;
    std::uint64_t mask;
};
PairBlock nextPairBlock(const std::uint8_t* bytes, std::size_t size, std::size_t from, std::uint8_t first,
                        std::uint8_t second, std::size_t distance);

// The first block of 64 places, at or after `from` (an even place), whose
// two-byte tests hit: `heads` has bit k where the triple's first two bytes
// stand at at + k, `tails` bit k where its last two stand at at + k (so
// that it may start at at + k - 1). Where none is left, {end, 0, 0}: from
// end - 1 on (or 0), the places must be tested one by one.
struct TripleBlock {
    std::size_t at;
    std::uint64_t heads;
    std::uint64_t tails;
};
TripleBlock nextTripleBlock(const std::uint8_t* bytes, std::size_t size, std::size_t from, const std::uint8_t (&triple)[3]);

}  // namespace detail

// Calls found(i), in rising order, for every i with bytes[i] == first and
// bytes[i + distance] == second. Precondition: 1 <= distance <= 16.
template <typename Found>
void forEachBytePair(std::span<const std::uint8_t> bytes, std::uint8_t first, std::uint8_t second,
                     std::size_t distance, Found&& found) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    for (;;) {
        const detail::PairBlock block = detail::nextPairBlock(p, n, i, first, second, distance);
        i = block.at;
        if (block.mask == 0) break;
        for (std::uint64_t mask = block.mask; mask != 0; mask &= mask - 1) found(i + std::size_t(__builtin_ctzll(mask)));
        i += 64;
    }
    for (; i + distance < n; ++i) {
        if (p[i] == first && p[i + distance] == second) found(i);
    }
}

// Calls found(i), in rising order, for every i where the three bytes
// `triple` stand. Faster than a pair: the file is tested two bytes a place
// at every second place (a triple always puts its first two bytes, or its
// last two, at an even place), a third fewer operations a byte.
template <typename Found>
void forEachByteTriple(std::span<const std::uint8_t> bytes, const std::uint8_t (&triple)[3], Found&& found) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    auto test = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to && i + 2 < n; ++i) {
            if (p[i] == triple[0] && p[i + 1] == triple[1] && p[i + 2] == triple[2]) found(i);
        }
    };
    std::size_t i = 0;
    for (;;) {
        const detail::TripleBlock block = detail::nextTripleBlock(p, n, i, triple);
        i = block.at;
        if ((block.heads | block.tails) == 0) break;
        // Each start once, in rising order: a tail's start is the place before it.
        std::uint64_t starts = block.heads | block.tails >> 1;
        if ((block.tails & 1) != 0 && i > 0) test(i - 1, i);
        for (; starts != 0; starts &= starts - 1) {
            const std::size_t at = i + std::size_t(__builtin_ctzll(starts));
            test(at, at + 1);
        }
        i += 64;
    }
    test(i == 0 ? 0 : i - 1, n);
}

// The sum of the bytes.
std::uint64_t sumOfBytes(std::span<const std::uint8_t> bytes);

// How many bytes differ between two files' bytes, a longer one's extra bytes counted.
inline std::size_t countDifferences(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    std::size_t differ = (a.size() > b.size() ? a.size() : b.size()) - common;
    for (std::size_t i = 0; i < common; ++i) differ += a[i] != b[i];
    return differ;
}

}  // namespace kestrane
