// Reading a trade: every field from its offsets, names as the editor shows them.
#include "trades/trade_record.h"

#include <gtest/gtest.h>

#include "core/trade_fixture.h"
#include "support/fault_injection.h"
#include "support/utf.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

TEST_F(TradeRecordTest, ReadsEveryFieldFromItsOffsetsAndChangesNothing) {
    TradeRecord r = read();
    EXPECT_EQ(r.offset, kGoldSlot1);
    EXPECT_EQ(r.location, "Violet City, Johto");
    EXPECT_EQ(r.dialogSet, 0);
    EXPECT_EQ(r.requestedSpecies, 69);
    EXPECT_EQ(r.offeredSpecies, 95);
    EXPECT_EQ(r.nickname, u"ROCKY");
    EXPECT_EQ(r.dvs, (Dvs{9, 6, 6, 6}));
    EXPECT_EQ(r.heldItem, 0x53);
    EXPECT_EQ(r.trainerId, 48926);
    EXPECT_EQ(r.trainerName, u"KYLE");
    EXPECT_EQ(r.genderRequirement, GenderRequirement::Either);
    EXPECT_TRUE(std::equal(r.raw.begin(), r.raw.end(), rom.begin() + kGoldSlot1));
    EXPECT_EQ(read(4).genderRequirement, GenderRequirement::Female);
    EXPECT_EQ(read(4).dialogSet, 2);
    EXPECT_EQ(read(2).offset, kGoldSilverTable);
    EXPECT_EQ(readFile(path), rom);

    // Slot 7 of Gold has no record: answered without opening the file.
    FaultInjectingFileSystem fs;
    auto noTrade = readTradeRecord(value, Slot::fromNumber(7), fs);
    ASSERT_TRUE(noTrade);
    EXPECT_FALSE(noTrade->record);
    EXPECT_TRUE(fs.calls().empty());

    // A whole table with one open.
    auto table = readTradeTable(value, fs);
    ASSERT_TRUE(table);
    EXPECT_EQ(std::count(fs.calls().begin(), fs.calls().end(), FileOp::Open), 1);
    ASSERT_EQ(table->size(), 7u);
    EXPECT_EQ((*table)[0].record->raw, r.raw);
    EXPECT_FALSE((*table)[6].record);
}

TEST_F(TradeRecordTest, TrainerIdIsLittleEndian) {
    struct Case {
        std::uint8_t low, high;
        std::uint16_t id;
    };
    for (Case c : {Case{0x34, 0x12, 4660}, Case{0xFF, 0xFF, 65535}, Case{0x00, 0x80, 32768}, Case{0x00, 0x00, 0},
                   Case{0x05, 0x00, 5}}) {
        rom[kGoldSlot1 + 17] = c.low;
        rom[kGoldSlot1 + 18] = c.high;
        use(rom);
        EXPECT_EQ(read().trainerId, c.id);
    }
}

TEST_F(TradeRecordTest, NamesAreShownAsTheEditorShowsThem) {
    struct Case {
        Bytes field;
        std::u16string shown;
    };
    for (const Case& c : std::vector<Case>{
             {{0x80, 0x81, 0x50, 0x82, 0x82, 0x82, 0x82, 0x82, 0x82, 0x82}, u"AB"},
             {{0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89}, u"ABCDEFGHIJ"},
             {{0x54, 0x54, 0x54, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50}, u"POK\u00e9POK\u00e9POK\u00e9"},
             {{0x00, 0x00, 0x80, 0x00, 0x81, 0x00, 0x50, 0x00, 0x00, 0x00}, u"A B"},
             {{0x80, 0xE1, 0x81, 0x53, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20}, u"A[PK]B[RIVAL]"},
             {{0x80, 0x4B, 0x81, 0x01, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20}, u"AB"},
             {{0x50, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, u""},
         }) {
        std::copy(c.field.begin(), c.field.end(), rom.begin() + kGoldSlot1 + 3);
        std::copy(c.field.begin(), c.field.end(), rom.begin() + kGoldSlot1 + 19);
        use(rom);
        TradeRecord r = read();
        EXPECT_EQ(toUtf8(r.nickname), toUtf8(c.shown));
        EXPECT_EQ(toUtf8(*r.trainerName), toUtf8(c.shown));
    }
}

}  // namespace
}  // namespace kestrane
