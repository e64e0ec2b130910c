// Passes over a whole ROM at memory speed: finding byte patterns, summing.
//
// The searches look for two fixed bytes a short distance apart (a rare pair
// even where each byte alone is common) and hand every place that has them
// to the caller, who checks the rest. With SSE2 (every x86-64 processor)
// sixty-four places are tested, or sixteen bytes summed, at once; elsewhere
// a plain loop does it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrane {

// Calls found(i), in rising order, for every i with bytes[i] == first and
// bytes[i + distance] == second. Precondition: 1 <= distance <= 16.
template <typename Found>
void forEachBytePair(std::span<const std::uint8_t> bytes, std::uint8_t first, std::uint8_t second,
                     std::size_t distance, Found&& found) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi8(static_cast<char>(first));
    const __m128i b = _mm_set1_epi8(static_cast<char>(second));
    auto matches = [&](std::size_t at) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + distance));
        return std::uint64_t(unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(x, a), _mm_cmpeq_epi8(y, b)))));
    };
    for (; i + 64 + distance <= n; i += 64) {
        std::uint64_t mask = matches(i) | matches(i + 16) << 16 | matches(i + 32) << 32 | matches(i + 48) << 48;
        for (; mask != 0; mask &= mask - 1) found(i + std::size_t(__builtin_ctzll(mask)));
    }
#endif
    for (; i + distance < n; ++i) {
        if (p[i] == first && p[i + distance] == second) found(i);
    }
}

// The sum of the bytes.
inline std::uint64_t sumOfBytes(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    std::uint64_t sum = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i lanes = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        // Each half of the absolute differences from zero is the sum of eight bytes.
        lanes = _mm_add_epi64(lanes, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), zero));
    }
    sum = std::uint64_t(_mm_cvtsi128_si64(lanes)) + std::uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(lanes, lanes)));
#endif
    for (; i < n; ++i) sum += p[i];
    return sum;
}

// How many bytes differ between two files' bytes, a longer one's extra bytes counted.
inline std::size_t countDifferences(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    std::size_t differ = (a.size() > b.size() ? a.size() : b.size()) - common;
    for (std::size_t i = 0; i < common; ++i) differ += a[i] != b[i];
    return differ;
}

}  // namespace kestrane
