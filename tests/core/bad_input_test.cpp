// The bad-input table of docs/reliability.md, through the core: each row
// gets its message, and the file is byte for byte what it was.
#include <fstream>

#include <gtest/gtest.h>

#include "support/file_systems.h"
#include "support/rom_image.h"
#include "trades/games.h"
#include "trades/save.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;


// A folder path longer than 254 characters, made of real folders.
std::string longFolder(const TempDir& dir) {
    std::string folder = dir.folder();
    while (folder.size() <= 300) folder += "/" + std::string(60, 'd');
    std::filesystem::create_directories(fsPath(folder));
    return folder;
}

TEST(BadInput, OpeningWhatIsNoRom) {
    TempDir dir;
    Bytes header = randomImage("AAUE");
    header.resize(0x142);
    Bytes random = randomImage("", 99);
    random[0x13F] = 0x13;  // no game code of the three, whatever the seed gives
    const std::optional<std::string> fifo = makeFifo(dir.file("pipe.gb"));
    struct Row {
        const char* name;
        std::string path;
        ErrorCode code;
        const char* message;
    };
    std::vector<Row> rows = {
        {"missing path", dir.file("missing.gb"), ErrorCode::FileNotFound, "the file does not exist"},
        {"empty path", "", ErrorCode::FileNotFound, "no file name was given"},
        {"a directory", dir.folder(), ErrorCode::PathFileAccess, "it is a folder, not a file"},
        {"an empty file", dir.write("empty.gb", {}), ErrorCode::FileTooShort, "too short to be a Game Boy ROM (0 bytes)"},
        {"0x142 bytes", dir.write("short.gb", header), ErrorCode::FileTooShort, "(322 bytes)"},
        {"a device", deviceFile(), ErrorCode::PathFileAccess, "not a regular file"},
    };
    if (fifo) rows.push_back({"a FIFO", *fifo, ErrorCode::PathFileAccess, "not a regular file"});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const bool exists = std::filesystem::is_regular_file(fsPath(row.path));
        const Bytes before = exists ? readFile(row.path) : Bytes{};
        auto identity = identifyRom(row.path);
        ASSERT_FALSE(identity);
        EXPECT_EQ(identity.error().code, row.code);
        EXPECT_NE(identity.error().message.find(row.message), std::string::npos) << identity.error().message;
        if (exists) {
            EXPECT_EQ(readFile(row.path), before);
        }
    }
    for (const std::string& path : {dir.write("random.gb", random), dir.write("lower.gbc", randomImage("byte"))}) {
        const Bytes before = readFile(path);
        auto identity = identifyRom(path);
        ASSERT_TRUE(identity);
        EXPECT_EQ(identity->game, nullptr) << path;
        EXPECT_EQ(readFile(path), before);
    }
}

TEST(BadInput, PathsWithSpacesAccentsAndLength) {
    TempDir dir;
    for (const std::string& folder : {dir.file("My ROMs \u00e9t\u00e9 \u30ed\u30e0"), longFolder(dir)}) {
        std::filesystem::create_directories(fsPath(folder));
        const std::string path = folder + "/Kristall \u00e9.gbc";
        ASSERT_GT(folder.size(), 20u);
        Bytes rom = retailLikeRom("BYTE");
        {
            std::ofstream(fsPath(path), std::ios::binary).write(reinterpret_cast<const char*>(rom.data()), std::streamsize(rom.size()));
        }
        auto opened = openRom(path);
        ASSERT_TRUE(opened && opened->table) << path;
        auto reading = readTradeRecord(*opened, Slot::fromNumber(1));
        ASSERT_TRUE(reading && reading->record);
        TradeEdit edit = uneditedEdit(*reading->record);
        edit.trainerId = u"7";
        ASSERT_TRUE(writeTradeRecord(*opened, edit)) << path;
        EXPECT_EQ(readFile(path)[slotOffset(kCrystalTable, 1) + 17], 7);
    }
}

class BadSave : public ::testing::Test {
protected:
    void SetUp() override {
        rom = retailLikeRom("AAUE", 4);
        path = dir.write("gold.gb", rom);
        value = *openRom(path);
        auto reading = readTradeRecord(value, Slot::fromNumber(1));
        ASSERT_TRUE(reading && reading->record);
        edit = uneditedEdit(*reading->record);
        edit.nickname = u"NEW";
        edit.trainerId = u"1";
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
