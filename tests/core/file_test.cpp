// A file Kestrane makes never takes the place of the ROM, of a device, or of a read-only file, and is never half written.
#include "support/file.h"

#include <gtest/gtest.h>

#include "support/fault_injection.h"
#include "support/file_systems.h"
#include "support/rom_image.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

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

}  // namespace
}  // namespace kestrane
