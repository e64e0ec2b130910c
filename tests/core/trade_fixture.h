// The start of the trade tests: a retail-like Gold image saved as a file,
// opened, and helpers that read, resolve and save its trades.
#pragma once

#include <gtest/gtest.h>

#include "families/families.h"
#include "support/rom_image.h"
#include "trades/save.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"

namespace kestrane::testing {

inline const std::uint32_t kGoldSlot1 = slotOffset(kGoldSilverTable, 1);

class TradeRecordTest : public ::testing::Test {
protected:
    // A retail-like Gold image, saved as rom.gb.
    void SetUp() override { use(retailLikeRom("AAUE")); }

    void use(const Bytes& image) {
        rom = image;
        path = dir.write("rom.gb", rom);
        auto opened = openRom(path, families::all());
        ASSERT_TRUE(opened && opened->table);
        value = *opened;
    }

    TradeRecord read(int slot = 1) {
        auto reading = readTradeRecord(value, Slot::fromNumber(slot));
        EXPECT_TRUE(reading) << reading.error().message;
        EXPECT_TRUE(reading->record);
        return *reading->record;
    }

    // Saves an edit of trade 1 and gives its 32 bytes afterwards, checking
    // that no byte outside the fields the edit may change moved.
    Bytes saveAndReadRecord(const TradeEdit& edit) {
        auto saved = writeTradeRecord(value, edit);
        EXPECT_TRUE(saved) << describe(saved.error());
        Bytes after = readFile(path);
        for (std::size_t at : differences(rom, after)) {
            const std::size_t offset = at - kGoldSlot1;
            EXPECT_TRUE(at >= kGoldSlot1 && offset < 32 && offset != 13 && offset != 29 && offset != 31)
                << "byte " << at << " changed";
        }
        rom = after;
        return Bytes(after.begin() + kGoldSlot1, after.begin() + kGoldSlot1 + 32);
    }

    // The edit a text asks for, of trade 1.
    TradeEdit edited(const GivenEdit& text) {
        auto edit = resolveEdit(value, read(), text);
        EXPECT_TRUE(edit) << edit.error().front().message;
        return edit ? *edit : uneditedEdit(read());
    }
    // Expects a text refused with this code (its first problem).
    void expectRefused(const GivenEdit& text, ErrorCode code) {
        auto edit = resolveEdit(value, read(), text);
        ASSERT_FALSE(edit);
        EXPECT_EQ(edit.error().front().code, code) << edit.error().front().message;
    }

    // Expects a refusal with this code, nothing written and the file exactly as it was.
    void expectRefused(const TradeEdit& edit, ErrorCode code) {
        auto saved = writeTradeRecord(value, edit);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.error().code, code) << saved.error().message;
        EXPECT_EQ(saved.error().effect, FileEffect::NothingWritten);
        EXPECT_EQ(readFile(path), rom);
    }

    TempDir dir;
    Bytes rom;
    std::string path;
    Rom value;
};

}  // namespace kestrane::testing
