#include "library/hex_bytes.h"

#include <gtest/gtest.h>

#include "support/rom_image.h"
#include "support/fault_injection.h"

namespace kestrane {
namespace {

using testing::Bytes;
using testing::readFile;
using testing::TempDir;

struct Reports {
    std::vector<Error> seen;
    FailureReporter reporter() {
        return [this](const Error& e) { seen.push_back(e); };
    }
};

TEST(HexBytes, ReverseMovesGroupsOfTwoWithoutLookingAtThem) {
    EXPECT_EQ(reverseHexBytes("1234"), "3412");
    EXPECT_EQ(reverseHexBytes("ABCDEF"), "EFCDAB");
    EXPECT_EQ(reverseHexBytes("ABC"), "BC0A");
    EXPECT_EQ(reverseHexBytes("A"), "0A");
    EXPECT_EQ(reverseHexBytes(""), "");
    EXPECT_EQ(reverseHexBytes("zz!?"), "!?zz");
}

TEST(HexBytes, ConvertsBetweenBytesAndText) {
    EXPECT_EQ(bytesToHex(Bytes{0x05, 0x54, 0x92, 0xFF, 0x00}), "055492FF00");
    EXPECT_EQ(*hexToBytes("ff"), (Bytes{0xFF}));
    EXPECT_EQ(*hexToBytes("ABC"), (Bytes{0x0A, 0xBC}));
    EXPECT_EQ(*hexToBytes(""), Bytes{});
    for (auto [bad, pair] : {std::pair{"12G4", "G4"}, std::pair{"1 ", "1 "}, std::pair{"0x", "0x"}, std::pair{"-1", "-1"}}) {
        const HexBytes parsed = hexToBytes(bad);
        ASSERT_FALSE(parsed) << bad;
        EXPECT_EQ(parsed.badPair, pair) << bad;
        EXPECT_TRUE(parsed.bytes.empty()) << bad;
    }
}

TEST(HexBytes, ReadsAndWritesThroughTheFilePath) {
    TempDir dir;
    const std::string path = dir.write("rom.gb", Bytes{0x54, 0x92, 0x05, 0x00, 0x00, 0x00});
    Reports reports;

    EXPECT_EQ(*readHexBytes(path, 0, 2, reports.reporter()), "5492");
    EXPECT_EQ(*readHexBytes(path, 2, 1, reports.reporter()), "05");
    EXPECT_EQ(*readHexBytes(path, 2, 0, reports.reporter()), "");
    EXPECT_EQ(*readHexBytes(path, 2, -3, reports.reporter()), "");
    EXPECT_EQ(std::stoi(reverseHexBytes(*readHexBytes(path, 0, 2, reports.reporter())), nullptr, 16), 37460);

    ASSERT_TRUE(writeHexBytes(path, 3, "5492", reports.reporter()));
    ASSERT_TRUE(writeHexBytes(path, 5, "ff", reports.reporter()));
    EXPECT_EQ(readFile(path), (Bytes{0x54, 0x92, 0x05, 0x54, 0x92, 0xFF}));
    ASSERT_TRUE(writeHexBytes(path, 0, "ABC", reports.reporter()));
    ASSERT_TRUE(writeHexBytes(path, 0, "", reports.reporter()));
    EXPECT_EQ(readFile(path), (Bytes{0x0A, 0xBC, 0x05, 0x54, 0x92, 0xFF}));
    EXPECT_TRUE(reports.seen.empty());
}

TEST(HexBytes, FailuresAreReportedAndReturnedAndWriteNothing) {
    TempDir dir;
    const Bytes untouched{1, 2, 3, 4};
    const std::string path = dir.write("rom.gb", untouched);
    Reports reports;

    struct Case {
        const char* name;
        Result<void> outcome;
        ErrorCode code;
    };
    Case cases[] = {
        // The whole text is checked first, so the valid "12" is not written either.
        {"bad digit", writeHexBytes(path, 0, "12G4", reports.reporter()), ErrorCode::TypeMismatch},
        {"past the end", writeHexBytes(path, 3, "AABB", reports.reporter()), ErrorCode::InputPastEnd},
        {"negative offset", writeHexBytes(path, -1, "AA", reports.reporter()), ErrorCode::InputPastEnd},
        {"missing file", writeHexBytes(dir.file("none.gb"), 0, "AA", reports.reporter()), ErrorCode::FileNotFound},
        {"folder", writeHexBytes(dir.folder(), 0, "AA", reports.reporter()), ErrorCode::PathFileAccess},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.outcome) << c.name;
        EXPECT_EQ(c.outcome.error().code, c.code) << c.name;
        EXPECT_EQ(c.outcome.error().effect, FileEffect::NothingWritten) << c.name;
    }
    EXPECT_EQ(reports.seen.size(), std::size(cases));
    EXPECT_EQ(readFile(path), untouched);

    auto empty = readHexBytes("", 0, 2, reports.reporter());
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.error().code, ErrorCode::FileNotFound);
    auto past = readHexBytes(path, 3, 2, reports.reporter());
    ASSERT_FALSE(past);
    EXPECT_EQ(past.error().code, ErrorCode::InputPastEnd);
    EXPECT_EQ(reports.seen.size(), std::size(cases) + 2);
    EXPECT_EQ(reports.seen.back().code, ErrorCode::InputPastEnd);
}

TEST(HexBytes, FileLayerFailuresReachTheCaller) {
    TempDir dir;
    const std::string path = dir.write("rom.gb", Bytes{1, 2, 3, 4});
    // Calls of a write: open, size, write, close.
    for (int n = 1; n <= 4; ++n) {
        FaultInjectingFileSystem fs;
        fs.failCall(n, fileFailure(ErrorCode::DeviceIo, "injected"));
        Reports reports;
        auto written = writeHexBytes(path, 1, "AABB", reports.reporter(), fs);
        ASSERT_FALSE(written) << "call " << n;
        EXPECT_EQ(written.error().code, ErrorCode::DeviceIo);
        EXPECT_EQ(reports.seen.size(), 1u);
    }
    // A short write is finished, not mistaken for success or failure.
    FaultInjectingFileSystem shortening;
    shortening.shortenCall(3);
    ASSERT_TRUE(writeHexBytes(path, 0, "A1A2A3A4", {}, shortening));
    EXPECT_EQ(readFile(path), (Bytes{0xA1, 0xA2, 0xA3, 0xA4}));
}

}  // namespace
}  // namespace kestrane
