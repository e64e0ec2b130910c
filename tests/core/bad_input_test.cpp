// The bad-input table of docs/reliability.md, through the core: each row
// gets its message, and the file is byte for byte what it was.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "support/bad_inputs.h"
#include "support/fault_injection.h"
#include "support/file_systems.h"
#include "support/opened_rom.h"
#include "support/rom_image.h"
#include "trades/releases.h"
#include "trades/save.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;


TEST(BadInput, OpeningWhatIsNoRom) {
    TempDir dir;
    for (const BadOpen& row : badOpens(dir)) {
        SCOPED_TRACE(row.name);
        const bool exists = std::filesystem::is_regular_file(fsPath(row.path));
        const Bytes before = exists ? readFile(row.path) : Bytes{};
        auto opened = openRom(row.path);
        if (!row.code) {
            ASSERT_TRUE(opened && opened->table);
            auto reading = readTradeRecord(*opened, Slot::fromNumber(1));
            ASSERT_TRUE(reading && reading->record);
            TradeEdit edit = uneditedEdit(*reading->record);
            edit.trainerId = 7;
            ASSERT_TRUE(writeTradeRecord(*opened, edit));
            EXPECT_EQ(readFile(row.path)[slotOffset(kCrystalTable, 1) + kRecord32.trainerIdAt], 7);
            continue;
        }
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.error().code, *row.code);
        EXPECT_EQ(opened.error().kind, row.kind);
        EXPECT_NE(opened.error().message.find(row.message), std::string::npos) << opened.error().message;
        if (exists) {
            EXPECT_EQ(readFile(row.path), before);
        }
    }
}

class BadSave : public ::testing::Test {
protected:
    void SetUp() override {
        OpenedRom opened = openedRom(dir, "gold.gb", retailLikeRom("AAUE", 4));
        rom = opened.image;
        path = opened.path;
        value = opened.rom;
        edit = uneditedEdit(opened.trade);
        edit.nickname = *resolveName(value, opened.trade, NameRole::Nickname, u"NEW");
        edit.trainerId = 1;
    }
    void expectRefused(ErrorCode code, ErrorKind kind, const std::string& message, FileSystem& fs) {
        auto saved = writeTradeRecord(value, edit, {}, fs);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.error().code, code);
        EXPECT_EQ(saved.error().kind, kind);
        EXPECT_NE(describe(saved.error()).find(message), std::string::npos) << describe(saved.error());
        if (std::filesystem::exists(fsPath(path))) {
            EXPECT_EQ(readFile(path), rom);
        }
    }
    void expectRefused(ErrorCode code, ErrorKind kind, const std::string& message) {
        expectRefused(code, kind, message, nativeFileSystem());
    }

    TempDir dir;
    Bytes rom;
    std::string path;
    Rom value;
    TradeEdit edit;
};

TEST_F(BadSave, FilesThatChangedOrCannotBeWritten) {
    ReadOnlyFileSystem readOnly;
    expectRefused(ErrorCode::PermissionDenied, ErrorKind::FileFailure, "permission denied. Nothing was written.", readOnly);

    {
        // Another program's save holds the file past the wait.
        auto held = nativeFileSystem().open(path, OpenMode::ReadWrite);
        ASSERT_TRUE(held && (*held)->lock(std::chrono::milliseconds(0)));
        auto busy = writeTradeRecord(value, edit, SaveOptions{ChecksumPolicy::KeepConsistent, std::chrono::milliseconds(60)});
        ASSERT_FALSE(busy);
        EXPECT_EQ(busy.error().code, ErrorCode::FileBusy);
        EXPECT_EQ(busy.error().kind, ErrorKind::Refused);
        EXPECT_NE(describe(busy.error()).find("another program is saving it; try again when it has finished. Nothing was written."),
                  std::string::npos);
        EXPECT_EQ(readFile(path), rom);
    }

    Bytes cut(rom.begin(), rom.begin() + slotOffset(kGoldSilverTable, 1) + 20);
    dir.write("gold.gb", cut);
    rom = cut;
    expectRefused(ErrorCode::FileTooShort, ErrorKind::ChangedByOther, "now ends at 1035352 bytes");
    auto reading = readTradeRecord(value, Slot::fromNumber(1));
    ASSERT_FALSE(reading);
    EXPECT_EQ(reading.error().kind, ErrorKind::ChangedByOther);

    rom = retailLikeRom("BYTE", 4);  // replaced by another game
    dir.write("gold.gb", rom);
    expectRefused(ErrorCode::GameChangedOnDisk, ErrorKind::ChangedByOther, "game code is now \"BYTE\"");

    std::filesystem::remove(fsPath(path));
    expectRefused(ErrorCode::FileNotFound, ErrorKind::FileFailure, "the file does not exist. Nothing was written.");
    EXPECT_FALSE(std::filesystem::exists(fsPath(path)));  // not created by the attempt
}

// Another program acting on the file in the middle of a save: the save
// stops or fails, says so, and owns up to every byte it may have written.
TEST_F(BadSave, AnotherProgramActingDuringTheSave) {
    // Consistent checksums: the save writes the record, then the checksums.
    Bytes image = retailLikeRom("BYTE", 4);
    buildChecksums(image);
    OpenedRom opened = openedRom(dir, "crystal.gbc", image);
    TradeEdit crystalEdit = uneditedEdit(opened.trade);
    crystalEdit.nickname = *resolveName(opened.rom, opened.trade, NameRole::Nickname, u"NEW");
    const std::uint32_t record = slotOffset(kCrystalTable, 1);
    auto inRecord = [&](std::size_t at) { return at >= record && at < record + 32; };
    FaultInjectingFileSystem counting;
    ASSERT_TRUE(writeTradeRecord(opened.rom, crystalEdit, {}, counting));
    const int writes = int(std::count(counting.calls().begin(), counting.calls().end(), FileOp::Write));
    struct Case {
        const char* name;
        FileOp before;
        int nth;
        std::function<void()> act;
        ErrorCode code;
        const char* message;
        std::size_t size;  // of the file afterwards
    };
    const std::string other = dir.write("other.gbc", retailLikeRom("BYTE", 9));
    std::vector<Case> cases = {
             // Just before the check that precedes the last write (the Stadium data).
             {"cut to 1 MiB before the Stadium data is written", FileOp::Size, 1 + writes,
              [&] { std::filesystem::resize_file(fsPath(opened.path), 1 << 20); }, ErrorCode::FileSizeChanged,
              "another program changed the file's size while it was being saved (from 2,097,152 to 1,048,576 bytes).", 1 << 20},
             {"a byte changed elsewhere", FileOp::Flush, 1,
              [&] {
                  Bytes now = readFile(opened.path);
                  now[0x100000] ^= 0xFF;
                  dir.write("crystal.gbc", now);
              },
              ErrorCode::VerifyFailed, "the checksums it wrote do not match the file", kRomSize},
    };
#if !defined(_WIN32)  // Windows renames nothing over a file that is open
    cases.push_back({"replaced by rename", FileOp::Flush, 1,
                     [&] {
                         std::filesystem::copy_file(fsPath(other), fsPath(dir.file("swap")));
                         std::filesystem::rename(fsPath(dir.file("swap")), fsPath(opened.path));
                     },
                     ErrorCode::FileReplaced, "another program replaced the file while it was being saved", kRomSize});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("crystal.gbc", image);
        FaultInjectingFileSystem fs;
        fs.actBefore(c.before, c.act, c.nth);
        auto saved = writeTradeRecord(opened.rom, crystalEdit, {}, fs);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.error().code, c.code);
        EXPECT_NE(describe(saved.error()).find(c.message), std::string::npos) << describe(saved.error());
        EXPECT_EQ(readFile(opened.path).size(), c.size);
        if (c.code == ErrorCode::FileSizeChanged) {
            // Every write before it went out, and the error says so; the last did not grow the file back.
            EXPECT_EQ(saved.error().mayHold.size(), std::size_t(writes - 1));
        }
        if (c.code == ErrorCode::FileReplaced) {
            EXPECT_EQ(readFile(opened.path), readFile(other));
        }
    }

    // Killed after its first write: the record is new and the checksums
    // stale, never new checksums over an old record.
    dir.write("crystal.gbc", image);
    FaultInjectingFileSystem failing;
    failing.failNext(FileOp::Write, fileFailure(ErrorCode::DeviceIo, "injected"), 2);
    ASSERT_FALSE(writeTradeRecord(opened.rom, crystalEdit, {}, failing));
    const auto changed = differences(image, readFile(opened.path));
    ASSERT_FALSE(changed.empty());
    EXPECT_TRUE(std::all_of(changed.begin(), changed.end(), inRecord));

#if !defined(_WIN32)
    // A whole-file lock another program holds is waited for, as Kestrane's own.
    dir.write("crystal.gbc", image);
    const int held = ::open(opened.path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    auto busy = writeTradeRecord(opened.rom, crystalEdit, SaveOptions{ChecksumPolicy::KeepConsistent, std::chrono::milliseconds(60)});
    ::close(held);
    ASSERT_FALSE(busy);
    EXPECT_EQ(busy.error().code, ErrorCode::FileBusy);
    EXPECT_EQ(readFile(opened.path), image);
#endif
}

// A file Kestrane makes (a table, a picture, a patch, a copy) never takes
// the place of the ROM or of a device, and a failure leaves no half file.
TEST(NewFile, NeverTheRomNeverASpecialFileNeverHalfWritten) {
    TempDir dir;
    const Bytes rom = retailLikeRom("BYTE");
    const std::string romPath = dir.write("rom.gbc", rom);
    const Bytes bytes = {1, 2, 3};
    const ProtectedFile never[] = {{romPath, "the ROM"}};
    std::filesystem::create_hard_link(fsPath(romPath), fsPath(dir.file("hard.gbc")));
    std::error_code noLinks;
    std::filesystem::create_symlink(fsPath(romPath), fsPath(dir.file("link.png")), noLinks);
    const std::string readOnly = dir.write("ro.json", {9});
    ASSERT_TRUE(nativeFileSystem().setReadOnly(readOnly, true));
    struct Case {
        std::string path;
        std::optional<ErrorCode> code;  // none: written
        const char* message;
    };
    std::vector<Case> cases = {
        {romPath, ErrorCode::NotAnOutput, "is the ROM itself"},
        {dir.file("hard.gbc"), ErrorCode::NotAnOutput, "is the ROM itself (the same file as"},
        {dir.folder(), ErrorCode::NotAnOutput, "is a folder"},
        {deviceFile(), ErrorCode::NotAnOutput, "is not a regular file"},
        {readOnly, ErrorCode::ReadOnlyFile, "is read-only"},
        {dir.write("old.json", Bytes(4000, 'x')), std::nullopt, ""},
        {dir.file("new.png"), std::nullopt, ""},
    };
    if (!noLinks) cases.push_back({dir.file("link.png"), ErrorCode::NotAnOutput, "is the ROM itself"});
    if (auto fifo = makeFifo(dir.file("fifo.png"))) cases.push_back({*fifo, ErrorCode::NotAnOutput, "is not a regular file"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        auto written = writeNewFile(nativeFileSystem(), c.path, bytes, never);
        if (!c.code) {
            ASSERT_TRUE(written) << describe(written.error());
            EXPECT_EQ(readFile(c.path), bytes);
            continue;
        }
        ASSERT_FALSE(written);
        EXPECT_EQ(written.error().code, *c.code);
        EXPECT_NE(written.error().message.find(c.message), std::string::npos) << written.error().message;
    }
    EXPECT_EQ(readFile(romPath), rom);
    EXPECT_EQ(readFile(readOnly), Bytes{9});

    // Every call failing in turn: the old file stays whole, no temporary is left.
    const std::string table = dir.write("table.json", Bytes(4000, 'x'));
    const auto files = [&] {
        return std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator{});
    };
    const auto before = files();
    FaultInjectingFileSystem counting;
    ASSERT_TRUE(writeNewFile(counting, table, bytes));
    const int calls = int(counting.calls().size());
    for (int n = 1; n <= calls; ++n) {
        SCOPED_TRACE("call " + std::to_string(n));
        dir.write("table.json", Bytes(4000, 'x'));
        FaultInjectingFileSystem fs;
        fs.failCall(n, fileFailure(ErrorCode::DiskFull, "the disk is full"));
        auto written = writeNewFile(fs, table, Bytes(5000, 'y'));
        const Bytes now = readFile(table);
        if (written) {
            EXPECT_EQ(now, Bytes(5000, 'y'));
        } else {
            EXPECT_TRUE(now == Bytes(4000, 'x') || now == Bytes(5000, 'y'));  // a failed folder sync comes after the rename
        }
        EXPECT_EQ(files(), before);
    }
}

// Names, IDs and species that cannot be written: trade_record_test.cpp;
// ROMs without a trade table: rom_test.cpp.

}  // namespace
}  // namespace kestrane
