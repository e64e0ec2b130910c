// Patches: every one applied by the tests' own applier, written from the
// formats' descriptions, gives the edited ROM byte for byte; the IPS traps
// and every refusal.
#include "patch/patch_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "patch/patch_formats.h"
#include "support/patch_applier.h"
#include "support/rom_image.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

struct PatchCase {
    const char* name;
    std::size_t size;                      // of the clean ROM
    std::function<void(Bytes&)> edit;      // the edited ROM made from the clean one
    std::size_t largestBps;                // the patch may be no larger
};

void PrintTo(const PatchCase& c, std::ostream* os) { *os << c.name; }

const PatchCase kPatchCases[] = {
    {"a trade edit", kRomSize, [](Bytes& r) { r[kCrystalTable + 40] ^= 0x11, r[0x14E] ^= 1, r[0x14F] ^= 2; }, 100},
    {"a whole hack: bytes changed all over", kRomSize,
     [](Bytes& r) { for (std::size_t at = 0x200; at < r.size(); at += 4099) r[at] = std::uint8_t(r[at] + 1); }, 4000},
    {"a long run of one byte (a run record in IPS, a copy of itself in BPS)", kRomSize,
     [](Bytes& r) { std::fill_n(r.begin() + 0x100000, 70000, 0x00); }, 2000},
    {"a change at 0x454F46, which an IPS record may not start at", 8 * 1024 * 1024,
     [](Bytes& r) { r[0x454F46] ^= 0xFF, r[0x454F47] ^= 0xFF; }, 100},
    {"a longer ROM", kRomSize, [](Bytes& r) { r.resize(kRomSize + 5000, 0x42); }, 200},
    {"a shorter ROM (IPS's truncation)", kRomSize, [](Bytes& r) { r.resize(kRomSize / 2); }, 100},
};

class Patches : public ::testing::TestWithParam<std::tuple<PatchCase, const char*>> {};

TEST_P(Patches, AppliedByAnIndependentApplierGiveTheEditedRom) {
    const auto& [c, extension] = GetParam();
    TempDir dir;
    Bytes clean = randomImage("BYTE", 4);
    clean.resize(c.size, 0x11);
    Bytes edited = clean;
    c.edit(edited);
    const std::string from = dir.write("clean.gbc", clean), to = dir.write("hack.gbc", edited);
    const std::string patchPath = dir.file(std::string("hack.") + extension);
    auto written = createPatch(from, to, patchPath, GameCheck::SameGame);
    ASSERT_TRUE(written) << describe(written.error());
    const Bytes patch = readFile(patchPath);
    EXPECT_EQ(written->patchSize, patch.size());
    EXPECT_EQ(written->bytesDiffer, differences(clean, edited).size());
    const Applied applied = std::string(extension) == "bps" ? applyBps(clean, patch) : applyIps(clean, patch);
    ASSERT_EQ(applied.problem, "");
    EXPECT_TRUE(applied.target == edited);
    if (std::string(extension) == "bps") {
        EXPECT_LE(patch.size(), c.largestBps);
    }
    EXPECT_EQ(readFile(from), clean);
    EXPECT_EQ(readFile(to), edited);
}

INSTANTIATE_TEST_SUITE_P(Formats, Patches, ::testing::Combine(::testing::ValuesIn(kPatchCases), ::testing::Values("bps", "ips")),
                         [](const auto& info) {
                             std::string name = std::string(std::get<1>(info.param)) + "_";
                             for (char ch : std::string(std::get<0>(info.param).name)) name += std::isalnum(ch) ? ch : '_';
                             return name;
                         });

TEST(Patches, RefusedWithAClearMessage) {
    TempDir dir;
    const Bytes crystal = retailLikeRom("BYTE");
    Bytes edited = crystal;
    edited[kCrystalTable + 5] ^= 1;
    const std::string clean = dir.write("clean.gbc", crystal), hack = dir.write("hack.gbc", edited);
    const std::string gold = dir.write("gold.gb", retailLikeRom("AAUE"));
    struct Case {
        std::string clean, edited, patch;
        bool any;
        const char* message;  // empty: written
    };
    for (const Case& c : std::vector<Case>{
             {clean, clean, dir.file("p.bps"), false, "are the same: nothing differs; no patch written."},
             {gold, hack, dir.file("p.bps"), false, "is not the same game as"},
             {gold, hack, dir.file("p.bps"), true, ""},
             {clean, hack, dir.file("p.zip"), false, "names no patch format: give a file name ending in .bps"},
             {dir.file("missing.gbc"), hack, dir.file("p.ips"), false, "the file does not exist"},
             {clean, hack, hack, false, "names no patch format"},
             {clean, hack, dir.file("P.IPS"), false, ""},
         }) {
        SCOPED_TRACE(c.patch + " " + c.message);
        auto written = createPatch(c.clean, c.edited, c.patch, c.any ? GameCheck::AnyGame : GameCheck::SameGame);
        if (!*c.message) {
            EXPECT_TRUE(written) << describe(written.error());
            continue;
        }
        ASSERT_FALSE(written);
        EXPECT_NE(describe(written.error()).find(c.message), std::string::npos) << describe(written.error());
    }
    EXPECT_EQ(readFile(hack), edited);
    // A change past 16 MiB is beyond IPS.
    Bytes large(17 * 1024 * 1024, 0), changed = large;
    changed[0x1000010] = 1;
    auto beyond = ipsPatch(large, changed);
    ASSERT_FALSE(beyond);
    EXPECT_NE(beyond.error().message.find("past the 16 MiB an IPS patch can reach; write a .bps patch instead"), std::string::npos);
}

}  // namespace
}  // namespace kestrane
