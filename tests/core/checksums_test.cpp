// The ROM's check data: known answers, the state Kestrane reads, and saves
// that must leave a consistent ROM exactly as the games' build would make it.

#include <gtest/gtest.h>

#include "families/families.h"
#include "platform/gb/checksums.h"
#include "support/fault_injection.h"
#include "support/rom_image.h"
#include "trades/save.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

TEST(Checksums, KnownAnswers) {
    const std::string digits = "123456789";
    EXPECT_EQ(stadiumCrc({reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()}), 0x6E3B);
    EXPECT_EQ(stadiumCrc(Bytes(512, 0)), 0x3D9A);
    EXPECT_EQ(stadiumCrc({}), 0xFEFE);

    // The header checksum of a known header: x = x - b - 1 over 0x134-0x14C.
    Bytes rom(0x150, 0);
    const std::string title = "POKEMON_GLD";
    std::copy(title.begin(), title.end(), rom.begin() + 0x134);
    std::uint8_t x = 0;
    for (std::size_t at = 0x134; at < 0x14D; ++at) x = std::uint8_t(x - rom[at] - 1);
    rom[0x14D] = x;
    EXPECT_EQ(RomChecks(rom).state().of(Check::Header), ChecksumStatus::Consistent);
    rom[0x140] ^= 1;
    EXPECT_EQ(RomChecks(rom).state().of(Check::Header), ChecksumStatus::Stale);
}

TEST(Checksums, StateAsTheBuildLeavesItAndAfterAnyChange) {
    struct Case {
        const char* name;
        std::size_t size;
        bool stadium;
        ChecksumStatus global, stadiumState;
    };
    for (const Case& c : {Case{"2 MiB with Stadium data", 0x200000, true, ChecksumStatus::Consistent,
                               ChecksumStatus::Consistent},
                          Case{"2 MiB without", 0x200000, false, ChecksumStatus::Consistent, ChecksumStatus::Absent},
                          Case{"1 MiB", 0x100000, false, ChecksumStatus::Consistent, ChecksumStatus::Absent},
                          Case{"a size no piece divides", 0x123457, false, ChecksumStatus::Consistent, ChecksumStatus::Absent}}) {
        SCOPED_TRACE(c.name);
        Bytes rom = randomImage("BYTE", 3);
        rom.resize(c.size);
        buildChecksums(rom, c.stadium);
        ChecksumState state = RomChecks(rom).state();
        EXPECT_EQ(state.of(Check::Global), c.global);
        EXPECT_EQ(state.of(Check::Stadium), c.stadiumState);
        // Read from a file a piece at a time, the same state as from the whole image.
        TempDir dir;
        auto same = [&](const Bytes& image, const ChecksumState& whole) {
            auto file = nativeFileSystem().open(dir.write("rom.gbc", image), OpenMode::Read);
            auto read = readChecksumState(**file, std::int64_t(image.size()));
            ASSERT_TRUE(read);
            EXPECT_EQ(*read, whole);
        };
        same(rom, state);

        // Any byte changed makes them stale: one in the first half-bank, one the header
        // checksum covers, one in the data itself.
        for (std::size_t at : {std::size_t{0x100}, std::size_t{0x140}, c.size - 1}) {
            Bytes changed = rom;
            changed[at] ^= 0x10;
            state = RomChecks(changed).state();
            same(changed, state);
            EXPECT_EQ(state.of(Check::Global), ChecksumStatus::Stale) << at;
            if (c.stadium) {
                EXPECT_EQ(state.of(Check::Stadium), ChecksumStatus::Stale) << at;
            }
            // Brought up to date, they equal the build's result for the changed content.
            RomChecks checks(changed);
            checks.update(true, true, true);
            Bytes expected = changed;
            buildChecksums(expected, c.stadium);
            EXPECT_EQ(differences(changed, expected), std::vector<std::size_t>{}) << at;
        }
    }
    // A file that ends inside its header has no checksums, read either way.
    TempDir dir;
    Bytes cut(0x14E, 0x3C);
    auto file = nativeFileSystem().open(dir.write("cut.gbc", cut), OpenMode::Read);
    auto read = readChecksumState(**file, std::int64_t(cut.size()));
    ASSERT_TRUE(read);
    for (ChecksumStatus status : {read->of(Check::Header), read->of(Check::Global), read->of(Check::Stadium), RomChecks(cut).state().of(Check::Global)}) {
        EXPECT_EQ(status, ChecksumStatus::Absent);
    }
}

class ChecksumSave : public ::testing::Test {
protected:
    void SetUp() override {
        image = retailLikeRom("BYTE", 4);
        buildChecksums(image);
        path = dir.write("crystal.gbc", image);
        rom = *openRom(path, families::all());
        edit = uneditedEdit(*readTradeRecord(rom, Slot::fromNumber(3))->record);
        edit.nickname = *resolveName(rom, edit.shown, NameRole::Nickname, u"ZAPPY");
        edit.dvs = Dvs{15, 10, 10, 10};
    }
    // The file the games' build would make of the edited content.
    Bytes rebuilt(const Bytes& edited, bool stadium = true) {
        Bytes expected = edited;
        buildChecksums(expected, stadium);
        return expected;
    }

    TempDir dir;
    Bytes image;
    std::string path;
    Rom rom;
    TradeEdit edit;
};

TEST_F(ChecksumSave, AConsistentRomStaysConsistentAsTheBuildWouldMakeIt) {
    auto saved = writeTradeRecord(rom, edit);
    ASSERT_TRUE(saved) << describe(saved.error());
    EXPECT_TRUE(saved->checksumsUpdated);
    EXPECT_EQ(checksumNote(*rom.release, *saved, ChecksumPolicy::KeepConsistent), "checksums updated");
    const Bytes after = readFile(path);
    EXPECT_EQ(differences(after, rebuilt(after)), std::vector<std::size_t>{});
    const ChecksumState state = RomChecks(*const_cast<Bytes*>(&after)).state();
    EXPECT_EQ(state.of(Check::Global), ChecksumStatus::Consistent);
    EXPECT_EQ(state.of(Check::Stadium), ChecksumStatus::Consistent);
    // Only the record, the global checksum and the Stadium data moved.
    for (std::size_t at : differences(image, after)) {
        const bool record = at >= slotOffset(kCrystalTable, 3) && at < slotOffset(kCrystalTable, 3) + 32;
        EXPECT_TRUE(record || at == 0x14E || at == 0x14F || at >= kStadiumAt) << at;
    }
    // The preview lists the same bytes, checksums included.
    dir.write("crystal.gbc", image);
    auto preview = previewSave(rom, std::span(&edit, 1));
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->size(), differences(image, after).size());
    EXPECT_EQ(readFile(path), image);
}

TEST_F(ChecksumSave, StaleOrLeftChecksumsAreNotTouched) {
    struct Case {
        const char* name;
        std::function<void(Bytes&)> prepare;
        ChecksumPolicy policy;
        bool globalKept, stadiumKept;
        std::string note;
    };
    for (const Case& c : std::vector<Case>{
             {"stale global", [](Bytes& r) { r[0x14E] ^= 1; }, ChecksumPolicy::KeepConsistent, false, true,
              "checksums updated, but the global checksum was already stale and was left as it was (" + std::string(kFixChecksumsHint) + ")"},
             {"stale Stadium", [](Bytes& r) { r[0x1FFE00] ^= 1, buildChecksums(r, false); }, ChecksumPolicy::KeepConsistent, true, false,
              "checksums updated, but the Stadium data was already stale and was left as it was (" + std::string(kFixChecksumsHint) + ")"},
             {"both stale", [](Bytes& r) { r[0x14E] ^= 1, r[0x1FFE00] ^= 1; }, ChecksumPolicy::KeepConsistent, false,
              false, "the checksums were already stale and were left as they were (" + std::string(kFixChecksumsHint) + ")"},
             {"left as asked", [](Bytes&) {}, ChecksumPolicy::Leave, false, false, "checksums left as they were"},
         }) {
        SCOPED_TRACE(c.name);
        Bytes before = image;
        c.prepare(before);
        dir.write("crystal.gbc", before);
        auto saved = writeTradeRecord(rom, edit, SaveOptions{c.policy});
        ASSERT_TRUE(saved) << describe(saved.error());
        EXPECT_EQ(checksumNote(*rom.release, *saved, c.policy), c.note);
        const Bytes after = readFile(path);
        Bytes expected = before;
        const std::uint32_t record = slotOffset(kCrystalTable, 3);
        std::copy(after.begin() + record, after.begin() + record + 32, expected.begin() + record);
        // In the build's order: the Stadium data, then the global checksum over it.
        if (c.stadiumKept) {
            const Bytes reference = rebuilt(expected);
            std::copy_n(reference.begin() + kStadiumAt, kStadiumLength, expected.begin() + kStadiumAt);
        }
        if (c.globalKept) buildChecksums(expected, false);
        EXPECT_EQ(differences(after, expected), std::vector<std::size_t>{});
    }
}

TEST_F(ChecksumSave, FixingMakesThemConsistentInOneTransaction) {
    Bytes stale = image;
    stale[0x14E] ^= 1;
    stale[0x1FFE10] ^= 1;
    dir.write("crystal.gbc", stale);
    FaultInjectingFileSystem fs;
    auto fixed = saveTrades(rom, {}, SaveOptions{ChecksumPolicy::MakeConsistent}, fs);
    ASSERT_TRUE(fixed) << describe(fixed.error());
    EXPECT_EQ(readFile(path), image);
    EXPECT_EQ(std::count(fs.calls().begin(), fs.calls().end(), FileOp::Flush), 1);
    // Consistent already: nothing written.
    auto again = saveTrades(rom, {}, SaveOptions{ChecksumPolicy::MakeConsistent});
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->written.empty());
}

}  // namespace
}  // namespace kestrane
