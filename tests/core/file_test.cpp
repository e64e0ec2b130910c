// A file Kestrane makes never takes the place of the ROM, of a device, or of a read-only file, and is never half written.
#include "support/file.h"

#include <gtest/gtest.h>

#include <random>

#include "support/byte_scan.h"
#include "support/fault_injection.h"
#include "support/memory_file_system.h"
#include "support/file_systems.h"
#include "support/rom_image.h"
#include "support/holding_file.h"
#include "support/piece_search.h"
#include "support/new_file.h"
#include "support/large_memory.h"

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

// One opening reads through what it holds: every read, search and write
// through a HoldingFile gives what the file itself gives, whatever is held
// (nothing, a bank, the file's last bytes, the whole file), and a find that
// straddles two pieces of a search is found once.
TEST(HoldingFile, GivesWhatTheFileHoldsWhateverIsHeld) {
    std::mt19937 rng(11);
    Bytes bytes(600'000);
    for (std::uint8_t& b : bytes) b = std::uint8_t(rng());
    const std::uint8_t triple[3] = {0xCB, 0x37, 0x5F};
    // Across the first piece's end, at the file's start and end, and elsewhere.
    const auto pieceEnd = std::size_t(kSearchPiece);
    for (std::size_t at : {pieceEnd - 1, pieceEnd - 2, std::size_t(0), bytes.size() - 3, std::size_t(0x12345)}) {
        std::copy_n(triple, 3, bytes.begin() + std::ptrdiff_t(at));
    }
    std::vector<std::int64_t> expected;
    for (std::size_t i = 0; i + 2 < bytes.size(); ++i) {
        if (bytes[i] == 0xCB && bytes[i + 1] == 0x37 && bytes[i + 2] == 0x5F) expected.push_back(std::int64_t(i));
    }
    MemoryFileSystem fs;
    fs.put("rom.gbc", bytes);
    const auto size = std::int64_t(bytes.size());
    struct Case {
        const char* name;
        std::function<Result<void>(HoldingFile&)> hold;
        bool whole = false;  // the whole file still held after it, for a save to change
    };
    const std::int64_t lastBank = size / 0x4000 * 0x4000;  // the file ends inside it
    const auto aBank = std::span<const std::uint8_t>(bytes).subspan(0x8000, 0x4000);
    const Case cases[] = {
        {"nothing held", [](HoldingFile&) { return Result<void>(); }},
        {"a bank held", [](HoldingFile& f) { return f.hold(0x4000, 0x4000); }},
        {"the last bytes held, past the end asked", [&](HoldingFile& f) { return f.hold(size - 100, 0x4000); }},
        {"the whole file held", [&](HoldingFile& f) { return f.holdWhole(size); }, true},
        {"a bank kept from bytes just read",
         [&](HoldingFile& f) {
             f.keep(0x8000, aBank);
             return Result<void>();
         }},
        {"the whole file held, then the last bank, past the end, and a bank kept",
         [&](HoldingFile& f) {
             if (auto whole = f.holdWhole(size); !whole) return whole;
             if (auto last = f.hold(lastBank, 0x4000); !last) return last;
             f.keep(0x8000, aBank);
             return Result<void>();
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto opened = fs.open("rom.gbc", OpenMode::ReadWrite);
        ASSERT_TRUE(opened);
        HoldingFile file(**opened);
        ASSERT_TRUE(c.hold(file));
        EXPECT_EQ(file.whole().has_value(), c.whole);
        for (int read = 0; read < 300; ++read) {
            const std::int64_t from = std::int64_t(rng() % std::uint32_t(size + 50));
            Bytes got(rng() % 20000);
            auto n = readUpTo(file, from, got);
            ASSERT_TRUE(n);
            const std::size_t there = std::size_t(std::clamp<std::int64_t>(size - from, 0, std::int64_t(got.size())));
            ASSERT_EQ(*n, there) << "from " << from;
            ASSERT_TRUE(std::equal(got.begin(), got.begin() + std::ptrdiff_t(there), bytes.begin() + from)) << "from " << from;
        }
        std::vector<std::int64_t> found;
        ASSERT_TRUE(searchInPieces(file, size, 2, [&](std::span<const std::uint8_t> piece, std::int64_t at, std::int64_t next) {
            forEachByteTriple(piece, triple, [&](std::size_t i) {
                if (at + std::int64_t(i) < next) found.push_back(at + std::int64_t(i));
            });
        }));
        EXPECT_EQ(found, expected);
        // A write makes what was held stale: later reads see the new byte.
        const std::uint8_t changed[1] = {std::uint8_t(bytes[0x4100] ^ 0xFF)};
        ASSERT_TRUE(writeExactly(file, 0x4100, changed));
        std::uint8_t back[1] = {};
        ASSERT_TRUE(readExactly(file, 0x4100, back));
        EXPECT_EQ(back[0], changed[0]);
        ASSERT_TRUE(writeExactly(file, 0x4100, std::span<const std::uint8_t>(bytes).subspan(0x4100, 1)));
    }
}

// Large buffers: every byte of the size asked is there to write and read
// back, small or large; on Linux a large one starts at a huge page's
// boundary, where the system can give it one huge page.
TEST(LargeMemory, EveryByteAskedForWhateverTheSize) {
    constexpr std::size_t kMiB = std::size_t(1) << 20;
    for (std::size_t size : {std::size_t(1), std::size_t(4095), kMiB - 1, kMiB, 2 * kMiB, 2 * kMiB + 1, 3 * kMiB + 5}) {
        SCOPED_TRACE(size);
        const LargeMemory memory(size);
        const std::span<std::uint8_t> bytes = memory.bytes();
        ASSERT_EQ(bytes.size(), size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(i * 7 + size);
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < size; ++i) wrong += bytes[i] != std::uint8_t(i * 7 + size);
        EXPECT_EQ(wrong, 0u);
#if defined(__linux__)
        if (size >= kMiB) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % (2 * kMiB), 0u);
        }
#endif
    }
}

}  // namespace
}  // namespace kestrane
