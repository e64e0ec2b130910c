// Patches: every one applied by the tests' own applier, written from the
// formats' descriptions, gives the edited ROM byte for byte; the IPS traps
// and every refusal.
#include "patch/patch_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

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
    // Kestrane's own applier makes the same file of it.
    auto own = applyPatchFile(patchPath, from, dir.file("applied.gbc"));
    ASSERT_TRUE(own) << describe(own.error());
    EXPECT_EQ(own->bytesDiffer, differences(clean, edited).size());
    EXPECT_TRUE(readFile(dir.file("applied.gbc")) == edited);
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

// Applying what others made: patches written from the formats' own
// descriptions (BPS's four actions, IPS's runs and truncation) give their
// targets; a patch for another ROM, a damaged one or no patch at all is
// refused, the ROM and the output untouched.
TEST(Patches, AppliedAsTheFormatsDescribeThem) {
    TempDir dir;
    const Bytes rom = retailLikeRom("BYTE");
    const std::string romPath = dir.write("rom.gbc", rom);
    BpsWriter writer(rom);
    writer.sourceRead(0x1000).targetRead({1, 2, 3}).sourceCopy(0x200, 0x80).targetCopy(0x1000, 3).targetCopy(0x1003, 40)
        .sourceCopy(0x1000 + 0x80 + 46, 0x100).sourceCopy(0x10, 0x20).targetRead({9});
    writer.sourceCopy(writer.target().size(), rom.size() - writer.target().size());
    const Bytes bps = writer.finish();
    Bytes ips = {'P', 'A', 'T', 'C', 'H', 0x00, 0x01, 0x00, 0x00, 0x02, 0xAA, 0xBB,  // 2 bytes at 0x100
                 0x10, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x77,                    // a run of 256 × 0x77 at 0x100000
                 'E', 'O', 'F', 0x18, 0x00, 0x00};                                  // cut to 0x180000
    Bytes ipsTarget = rom;
    ipsTarget[0x100] = 0xAA, ipsTarget[0x101] = 0xBB;
    std::fill_n(ipsTarget.begin() + 0x100000, 256, 0x77);
    ipsTarget.resize(0x180000);
    Bytes longer = {'P', 'A', 'T', 'C', 'H', 0x20, 0x00, 0x04, 0x00, 0x01, 0x42, 'E', 'O', 'F'};  // one byte past the end
    Bytes longerTarget = rom;
    longerTarget.resize(0x200005, 0x00);
    longerTarget[0x200004] = 0x42;
    Bytes damaged = bps;
    damaged[20] ^= 1;
    Bytes otherRom = rom;
    otherRom[0x4000] ^= 1;
    struct Case {
        const char* name;
        Bytes patch;
        const Bytes& source;
        std::optional<Bytes> target;  // none: refused
        const char* message = "";
    };
    for (const Case& c : std::vector<Case>{
             {"BPS with every action", bps, rom, writer.target()},
             {"IPS with a run and the truncation", ips, rom, ipsTarget},
             {"IPS past the source's end", longer, rom, longerTarget},
             {"BPS for another ROM", bps, otherRom, std::nullopt, "This patch was made for a ROM whose CRC32 is 0x"},
             {"BPS changed on its way", damaged, rom, std::nullopt, "The patch is damaged: its own CRC32 is not the one it carries"},
             {"BPS cut short", Bytes(bps.begin(), bps.begin() + 10), rom, std::nullopt, "The patch is damaged"},
             {"IPS without its end", Bytes(ips.begin(), ips.end() - 6), rom, std::nullopt, "The patch is damaged: it ends before its \"EOF\""},
             {"no patch", rom, rom, std::nullopt, "The file is no patch: a BPS patch starts with \"BPS1\""},
         }) {
        SCOPED_TRACE(c.name);
        const std::string patchPath = dir.write("p.patch", c.patch), source = dir.write("source.gbc", c.source);
        const std::string out = dir.file("out.gbc");
        std::filesystem::remove(fsPath(out));
        auto applied = applyPatchFile(patchPath, source, out);
        if (c.target) {
            ASSERT_TRUE(applied) << describe(applied.error());
            EXPECT_TRUE(readFile(out) == *c.target);
            EXPECT_EQ(applied->format, c.patch[0] == 'B' ? PatchFormat::Bps : PatchFormat::Ips);
        } else {
            ASSERT_FALSE(applied);
            EXPECT_EQ(applied.error().kind, ErrorKind::Refused);
            EXPECT_NE(describe(applied.error()).find(c.message), std::string::npos) << describe(applied.error());
            EXPECT_FALSE(std::filesystem::exists(fsPath(out)));
        }
        EXPECT_TRUE(readFile(source) == c.source);
    }
    // Never written over the ROM or the patch.
    const std::string patchPath = dir.write("p.bps", bps);
    for (const std::string& target : {romPath, patchPath}) {
        auto over = applyPatchFile(patchPath, romPath, target);
        ASSERT_FALSE(over);
        EXPECT_NE(describe(over.error()).find("choose another file"), std::string::npos) << describe(over.error());
    }
    EXPECT_TRUE(readFile(romPath) == rom);
    EXPECT_TRUE(readFile(patchPath) == bps);
}

}  // namespace
}  // namespace kestrane
