// Windows only: the ROM shared with an emulator, a program that locks
// writers out, and the read-only attribute.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include "support/opened_rom.h"
#include "support/rom_image.h"
#include "trades/save.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

const std::uint32_t kCrystalSlot1 = slotOffset(kCrystalTable, 1);

class WindowsFile : public ::testing::Test {
protected:
    void SetUp() override {
        OpenedRom opened = openedRom(dir, "Kristall \u00e9.gbc", retailLikeRom("BYTE", 21));
        rom = opened.image;
        path = opened.path;
        value = opened.rom;
        edit = uneditedEdit(opened.trade);
        edit.requestedSpecies = 1;
        edit.offeredSpecies = 2;
        edit.trainerId = 513;
    }
    HANDLE holdOpen(DWORD access, DWORD share) const {
        return ::CreateFileW(fsPath(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    }
    Bytes expectedAfterSave() const {
        Bytes expected = rom;
        expected[kCrystalSlot1 + 1] = 1;
        expected[kCrystalSlot1 + 2] = 2;
        expected[kCrystalSlot1 + 17] = 0x01;
        expected[kCrystalSlot1 + 18] = 0x02;
        return expected;
    }

    TempDir dir;
    Bytes rom;
    std::string path;
    Rom value;
    TradeEdit edit;
};

TEST_F(WindowsFile, SavesWhileAnEmulatorHoldsTheRomOpen) {
    HANDLE emulator = holdOpen(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(emulator, INVALID_HANDLE_VALUE);
    auto saved = writeTradeRecord(value, edit);
    ::CloseHandle(emulator);
    ASSERT_TRUE(saved) << describe(saved.error());
    EXPECT_EQ(differences(readFile(path), expectedAfterSave()), std::vector<std::size_t>{});
}

TEST_F(WindowsFile, RefusesWhenAnotherProgramLocksWritersOut) {
    HANDLE locker = holdOpen(GENERIC_READ, FILE_SHARE_READ);
    ASSERT_NE(locker, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(readTradeRecord(value, Slot::fromNumber(1)));  // reading is still allowed
    auto saved = writeTradeRecord(value, edit);
    ::CloseHandle(locker);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().code, ErrorCode::PathFileAccess);
    EXPECT_NE(saved.error().message.find("in use by another program"), std::string::npos) << saved.error().message;
    EXPECT_EQ(saved.error().effect, FileEffect::NothingWritten);
    EXPECT_EQ(readFile(path), rom);
}

TEST_F(WindowsFile, TheReadOnlyAttributeIsClearedOnlyWhenAsked) {
    const std::wstring wide = fsPath(path).wstring();
    ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    // Windows refuses writers; Wine running as root maps the attribute to
    // permissions that root ignores, so there the refusal cannot be seen.
    const HANDLE probe = holdOpen(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    const bool enforced = probe == INVALID_HANDLE_VALUE;
    if (!enforced) ::CloseHandle(probe);
    if (enforced) {
        auto refused = writeTradeRecord(value, edit);
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.error().code, ErrorCode::PermissionDenied);
        EXPECT_EQ(readFile(path), rom);
    }

    ASSERT_TRUE(nativeFileSystem().setReadOnly(path, false));
    EXPECT_FALSE(::GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(writeTradeRecord(value, edit));
    EXPECT_EQ(readFile(path), expectedAfterSave());
}

}  // namespace
}  // namespace kestrane
