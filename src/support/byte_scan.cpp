#include "support/byte_scan.h"

#include <atomic>

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#define KESTRANE_X86 1
// mingw-w64's GCC cannot align its stack to 32 bytes, and an AVX2 value it
// keeps there would fault: Windows builds use SSE2.
#if !defined(_WIN32)
#define KESTRANE_AVX2 1
#include <cpuid.h>
#endif
#endif

namespace kestrane {
namespace {

ScanWidth widestHere() {
#if defined(KESTRANE_X86)
#if defined(KESTRANE_AVX2)
    // Asked here, on the first search, rather than through the compiler's
    // __builtin_cpu_supports, whose library runs a dozen CPUID queries as a
    // constructor at every start (each traps to the hypervisor on a virtual
    // machine), searching or not. AVX2 needs the processor's flag and the
    // system saving the 256-bit registers (OSXSAVE, then XCR0's SSE and AVX
    // state bits).
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) && (c & bit_OSXSAVE) && (c & bit_AVX)) {
        unsigned low = 0, high = 0;
        asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
        if ((low & 0x6) == 0x6 && __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_AVX2)) return ScanWidth::Avx2;
    }
#endif
    return ScanWidth::Sse2;
#else
    return ScanWidth::Plain;
#endif
}

std::atomic<ScanWidth>& chosen() {
    static std::atomic<ScanWidth> width{widestHere()};
    return width;
}

detail::PairBlock plainBlock(std::size_t from) { return {from, 0}; }

#if defined(KESTRANE_X86)

detail::PairBlock sse2Block(const std::uint8_t* p, std::size_t n, std::size_t i, std::uint8_t first, std::uint8_t second,
                            std::size_t distance) {
    const __m128i a = _mm_set1_epi8(static_cast<char>(first));
    const __m128i b = _mm_set1_epi8(static_cast<char>(second));
    auto pairs = [&](std::size_t at) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + distance));
        return _mm_and_si128(_mm_cmpeq_epi8(x, a), _mm_cmpeq_epi8(y, b));
    };
    for (; i + 64 + distance <= n; i += 64) {
        const __m128i m0 = pairs(i), m1 = pairs(i + 16), m2 = pairs(i + 32), m3 = pairs(i + 48);
        // One test for the 64 places: most blocks hold no pair.
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3))) == 0) continue;
        const std::uint64_t mask = std::uint64_t(unsigned(_mm_movemask_epi8(m0))) |
                                   std::uint64_t(unsigned(_mm_movemask_epi8(m1))) << 16 |
                                   std::uint64_t(unsigned(_mm_movemask_epi8(m2))) << 32 |
                                   std::uint64_t(unsigned(_mm_movemask_epi8(m3))) << 48;
        return {i, mask};
    }
    return {i, 0};
}

#if defined(KESTRANE_AVX2)
__attribute__((target("avx2"))) detail::PairBlock avx2Block(const std::uint8_t* p, std::size_t n, std::size_t i,
                                                            std::uint8_t first, std::uint8_t second, std::size_t distance) {
    const __m256i a = _mm256_set1_epi8(static_cast<char>(first));
    const __m256i b = _mm256_set1_epi8(static_cast<char>(second));
    auto pairs = [&](std::size_t at) __attribute__((target("avx2"))) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + at));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + at + distance));
        return _mm256_and_si256(_mm256_cmpeq_epi8(x, a), _mm256_cmpeq_epi8(y, b));
    };
    auto bits = [](__m256i m) __attribute__((target("avx2"))) { return std::uint64_t(std::uint32_t(_mm256_movemask_epi8(m))); };
    // 128 places a test, then the block of 64 that holds the pair.
    for (; i + 128 + distance <= n; i += 128) {
        const __m256i m0 = pairs(i), m1 = pairs(i + 32), m2 = pairs(i + 64), m3 = pairs(i + 96);
        const __m256i any = _mm256_or_si256(_mm256_or_si256(m0, m1), _mm256_or_si256(m2, m3));
        if (_mm256_testz_si256(any, any)) continue;
        if (const std::uint64_t low = bits(m0) | bits(m1) << 32; low != 0) return {i, low};
        return {i + 64, bits(m2) | bits(m3) << 32};
    }
    for (; i + 64 + distance <= n; i += 64) {
        if (const std::uint64_t mask = bits(pairs(i)) | bits(pairs(i + 32)) << 32; mask != 0) return {i, mask};
    }
    return {i, 0};
}

#endif

// Two bytes a place at every even place: the triple's first two, or its
// last two. 256 places a test; then the block of 64 that hit, its bits:
// a word's match sets both its bytes' bits, the even one names the word.
constexpr std::uint64_t kEvenBits = 0x5555555555555555;

detail::TripleBlock sse2Triples(const std::uint8_t* p, std::size_t n, std::size_t i, const std::uint8_t (&t)[3]) {
    const __m128i head = _mm_set1_epi16(static_cast<short>(t[0] | t[1] << 8));
    const __m128i tail = _mm_set1_epi16(static_cast<short>(t[1] | t[2] << 8));
    auto load = [&](std::size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)); };
    auto bits = [&](std::size_t at, const __m128i& word) {
        std::uint64_t mask = 0;
        for (std::size_t k = 0; k < 64; k += 16) mask |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(load(at + k), word)))) << k;
        return mask & kEvenBits;
    };
    for (; i + 256 <= n; i += 256) {
        __m128i any = _mm_setzero_si128();
        for (std::size_t k = 0; k < 256; k += 16) {
            const __m128i x = load(i + k);
            any = _mm_or_si128(any, _mm_or_si128(_mm_cmpeq_epi16(x, head), _mm_cmpeq_epi16(x, tail)));
        }
        if (_mm_movemask_epi8(any) == 0) continue;
        for (std::size_t at = i; at < i + 256; at += 64) {
            if (const detail::TripleBlock block{at, bits(at, head), bits(at, tail)}; (block.heads | block.tails) != 0) return block;
        }
    }
    return {i, 0, 0};
}

#if defined(KESTRANE_AVX2)
__attribute__((target("avx2"))) detail::TripleBlock avx2Triples(const std::uint8_t* p, std::size_t n, std::size_t i,
                                                                const std::uint8_t (&t)[3]) {
    const __m256i head = _mm256_set1_epi16(static_cast<short>(t[0] | t[1] << 8));
    const __m256i tail = _mm256_set1_epi16(static_cast<short>(t[1] | t[2] << 8));
    auto load = [&](std::size_t at) __attribute__((target("avx2"))) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + at));
    };
    auto bits = [&](std::size_t at, const __m256i& word) __attribute__((target("avx2"))) {
        const auto low = std::uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi16(load(at), word)));
        const auto high = std::uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi16(load(at + 32), word)));
        return (std::uint64_t(low) | std::uint64_t(high) << 32) & kEvenBits;
    };
    for (; i + 256 <= n; i += 256) {
        // Unrolled by hand: two independent chains, no loop counter.
        auto hits = [&](std::size_t at) __attribute__((target("avx2"))) {
            const __m256i x = load(at);
            return _mm256_or_si256(_mm256_cmpeq_epi16(x, head), _mm256_cmpeq_epi16(x, tail));
        };
        const __m256i a = _mm256_or_si256(_mm256_or_si256(hits(i), hits(i + 32)), _mm256_or_si256(hits(i + 64), hits(i + 96)));
        const __m256i b = _mm256_or_si256(_mm256_or_si256(hits(i + 128), hits(i + 160)), _mm256_or_si256(hits(i + 192), hits(i + 224)));
        const __m256i any = _mm256_or_si256(a, b);
        if (_mm256_testz_si256(any, any)) continue;
        for (std::size_t at = i; at < i + 256; at += 64) {
            if (const detail::TripleBlock block{at, bits(at, head), bits(at, tail)}; (block.heads | block.tails) != 0) return block;
        }
    }
    return {i, 0, 0};
}

#endif

std::uint64_t sse2Sum(const std::uint8_t* p, std::size_t n, std::size_t& i) {
    const __m128i zero = _mm_setzero_si128();
    // Four sums at once: each add waits for none of the others.
    __m128i s0 = zero, s1 = zero, s2 = zero, s3 = zero;
    auto sad = [&](std::size_t at) { return _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)), zero); };
    for (; i + 64 <= n; i += 64) {
        s0 = _mm_add_epi64(s0, sad(i));
        s1 = _mm_add_epi64(s1, sad(i + 16));
        s2 = _mm_add_epi64(s2, sad(i + 32));
        s3 = _mm_add_epi64(s3, sad(i + 48));
    }
    // Each half of a sum of absolute differences from zero is the sum of eight bytes.
    const __m128i lanes = _mm_add_epi64(_mm_add_epi64(s0, s1), _mm_add_epi64(s2, s3));
    return std::uint64_t(_mm_cvtsi128_si64(lanes)) + std::uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(lanes, lanes)));
}

#if defined(KESTRANE_AVX2)
__attribute__((target("avx2"))) std::uint64_t avx2Sum(const std::uint8_t* p, std::size_t n, std::size_t& i) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i s0 = zero, s1 = zero;
    auto sad = [&](std::size_t at) __attribute__((target("avx2"))) {
        return _mm256_sad_epu8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + at)), zero);
    };
    for (; i + 64 <= n; i += 64) {
        s0 = _mm256_add_epi64(s0, sad(i));
        s1 = _mm256_add_epi64(s1, sad(i + 32));
    }
    const __m256i s = _mm256_add_epi64(s0, s1);
    const __m128i lanes = _mm_add_epi64(_mm256_castsi256_si128(s), _mm256_extracti128_si256(s, 1));
    return std::uint64_t(_mm_cvtsi128_si64(lanes)) + std::uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(lanes, lanes)));
}
#endif

#endif

}  // namespace

ScanWidth scanWidth() { return chosen().load(std::memory_order_relaxed); }

ScanWidth useScanWidth(ScanWidth width) {
    const ScanWidth widest = widestHere();
    chosen().store(width > widest ? widest : width, std::memory_order_relaxed);
    return scanWidth();
}

namespace detail {

PairBlock nextPairBlock(const std::uint8_t* bytes, std::size_t size, std::size_t from, std::uint8_t first,
                        std::uint8_t second, std::size_t distance) {
    switch (scanWidth()) {
#if defined(KESTRANE_X86)
#if defined(KESTRANE_AVX2)
    case ScanWidth::Avx2: return avx2Block(bytes, size, from, first, second, distance);
#endif
    case ScanWidth::Sse2: return sse2Block(bytes, size, from, first, second, distance);
#endif
    default: return plainBlock(from);
    }
}

TripleBlock nextTripleBlock(const std::uint8_t* bytes, std::size_t size, std::size_t from, const std::uint8_t (&triple)[3]) {
    switch (scanWidth()) {
#if defined(KESTRANE_X86)
#if defined(KESTRANE_AVX2)
    case ScanWidth::Avx2: return avx2Triples(bytes, size, from, triple);
#endif
    case ScanWidth::Sse2: return sse2Triples(bytes, size, from, triple);
#endif
    default: return {from, 0, 0};
    }
}

}  // namespace detail

std::uint64_t sumOfBytes(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    std::uint64_t sum = 0;
    switch (scanWidth()) {
#if defined(KESTRANE_X86)
#if defined(KESTRANE_AVX2)
    case ScanWidth::Avx2: sum = avx2Sum(p, n, i); break;
#endif
    case ScanWidth::Sse2: sum = sse2Sum(p, n, i); break;
#endif
    default: break;
    }
    for (; i < n; ++i) sum += p[i];
    return sum;
}

}  // namespace kestrane
