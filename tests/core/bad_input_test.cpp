// The bad-input table of docs/reliability.md, through the core: each row
// gets its message, and the file is byte for byte what it was.
#include <gtest/gtest.h>

#include "support/bad_inputs.h"
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

// Names, IDs and species that cannot be written: trade_record_test.cpp;
// ROMs without a trade table: rom_test.cpp.

}  // namespace
}  // namespace kestrane
