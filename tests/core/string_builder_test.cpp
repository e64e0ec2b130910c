#include "library/string_builder.h"

#include <gtest/gtest.h>

namespace kestrane {
namespace {

TEST(StringBuilder, GrowsByWholeChunksAndKeepsContent) {
    StringBuilder sb;
    EXPECT_EQ(sb.toString(), u"");
    EXPECT_EQ(sb.capacityBytes(), 0);

    ASSERT_TRUE(sb.append(u"A"));
    EXPECT_EQ(sb.capacityBytes(), 16384);
    ASSERT_TRUE(sb.append(u"BC"));
    ASSERT_TRUE(sb.append(u""));
    EXPECT_EQ(sb.toString(), u"ABC");
    EXPECT_EQ(sb.lengthBytes(), 6);

    StringBuilder big;
    ASSERT_TRUE(big.append(std::u16string(10000, u'x')));
    EXPECT_EQ(big.capacityBytes(), 32768);  // two growth steps in one call
    EXPECT_EQ(big.toString(), std::u16string(10000, u'x'));
    // Exactly filling a chunk must not grow it.
    StringBuilder exact;
    ASSERT_TRUE(exact.append(std::u16string(8192, u'y')));
    EXPECT_EQ(exact.capacityBytes(), 16384);
}

TEST(StringBuilder, TheStringReplacesContentAndEmptyReleasesStorage) {
    StringBuilder sb;
    ASSERT_TRUE(sb.setTheString(u"abcdef"));
    ASSERT_TRUE(sb.setTheString(u"abc"));
    EXPECT_EQ(sb.toString(), u"abc");
    EXPECT_EQ(sb.capacityBytes(), 16384);
    // The stale "def" is spare room, not content.
    EXPECT_EQ(sb.find(u"def", 1, 0), 0);
    EXPECT_EQ(sb.find(u"cd", 1, 0), 0);
    ASSERT_TRUE(sb.append(u"X"));
    EXPECT_EQ(sb.toString(), u"abcX");

    ASSERT_TRUE(sb.setTheString(u""));
    EXPECT_EQ(sb.toString(), u"");
    EXPECT_EQ(sb.capacityBytes(), 0);
    EXPECT_EQ(sb.lengthBytes(), 0);
}

TEST(StringBuilder, FindGivesOneBasedContentPositions) {
    StringBuilder sb;
    ASSERT_TRUE(sb.append(u"Hello hello"));
    EXPECT_EQ(sb.find(u"hello", 1, 0), 7);
    EXPECT_EQ(sb.find(u"hello", 1, 1), 1);  // ignoring case
    EXPECT_EQ(sb.find(u"hello", 0, 1), 1);  // start below 1: from the first character
    EXPECT_EQ(sb.find(u"hello", -5, 0), 7);
    EXPECT_EQ(sb.find(u"Hello", 2, 0), 0);
    EXPECT_EQ(sb.find(u"o", 6, 0), 11);     // an occurrence at the last character counts
    EXPECT_EQ(sb.find(u"xyz", 1, 0), 0);
    EXPECT_EQ(sb.find(u"o", 500, 0), 0);
    // An occurrence running on into the growth blanks is not in the content.
    EXPECT_EQ(sb.find(u"hello ", 1, 0), 0);
    EXPECT_EQ(sb.find(u"hello ", 1, 1), 1);
}

TEST(StringBuilder, RefusesToPassTheSigned32BitLimit) {
    StringBuilder sb;
    const std::u16string half(std::size_t{1} << 29, u'z');  // 2^30 bytes
    ASSERT_TRUE(sb.append(half));
    auto second = sb.append(half);  // would make 2^31 bytes
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error().code, ErrorCode::Overflow);
    EXPECT_EQ(sb.lengthBytes(), 1 << 30);  // unchanged by the refused append
}

}  // namespace
}  // namespace kestrane
