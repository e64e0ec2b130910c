// The whole-file passes agree with their plain definitions on every path the
// processor has, at every length and start (the vector blocks' edges).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/byte_scan.h"

namespace kestrane {
namespace {

TEST(ByteScan, EveryPathFindsWhatAPlainLoopFinds) {
    std::mt19937 rng(7);
    std::vector<std::uint8_t> bytes(1300);
    for (ScanWidth width : {ScanWidth::Plain, ScanWidth::Sse2, ScanWidth::Avx2}) {
        const ScanWidth used = useScanWidth(width);
        if (used != width) continue;  // a path this processor lacks
        SCOPED_TRACE(int(width));
        for (int round = 0; round < 200; ++round) {
            // Few values, so that pairs stand everywhere: in runs, at block edges, at the end.
            for (std::uint8_t& b : bytes) b = std::uint8_t(rng() % (round % 2 ? 3 : 256));
            const std::size_t start = rng() % 300, length = rng() % (bytes.size() - start);
            const std::span<const std::uint8_t> part(bytes.data() + start, length);
            const std::size_t distance = 1 + rng() % 16;
            const std::uint8_t first = std::uint8_t(rng() % 3), second = std::uint8_t(rng() % 3);
            std::vector<std::size_t> expected, found;
            for (std::size_t i = 0; i + distance < part.size(); ++i) {
                if (part[i] == first && part[i + distance] == second) expected.push_back(i);
            }
            forEachBytePair(part, first, second, distance, [&](std::size_t at) { found.push_back(at); });
            ASSERT_EQ(found, expected) << "round " << round << ", " << length << " bytes from " << start << ", distance " << distance;
            const std::uint8_t triple[3] = {first, second, std::uint8_t(rng() % 3)};
            expected.clear();
            found.clear();
            for (std::size_t i = 0; i + 2 < part.size(); ++i) {
                if (part[i] == triple[0] && part[i + 1] == triple[1] && part[i + 2] == triple[2]) expected.push_back(i);
            }
            forEachByteTriple(part, triple, [&](std::size_t at) { found.push_back(at); });
            ASSERT_EQ(found, expected) << "round " << round << ", triples in " << length << " bytes from " << start;
            std::uint64_t sum = 0;
            for (std::uint8_t b : part) sum += b;
            ASSERT_EQ(sumOfBytes(part), sum) << "round " << round;
        }
    }
    useScanWidth(ScanWidth::Avx2);
#if (defined(__x86_64__) || defined(_M_X64)) && !defined(_WIN32)
    // Every path this processor has is taken: asked the compiler's own way,
    // its answer and the passes' agree (a wrong one skips the AVX2 path above).
    EXPECT_EQ(scanWidth() == ScanWidth::Avx2, bool(__builtin_cpu_supports("avx2")));
#endif
}

}  // namespace
}  // namespace kestrane
