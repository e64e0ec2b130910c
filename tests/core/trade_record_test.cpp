// Reading a trade, planning an edit and saving it: exact bytes, whole files.
#include "trades/trade_record.h"

#include <gtest/gtest.h>

#include "support/fault_injection.h"
#include "support/rom_image.h"
#include "support/utf.h"
#include "trades/save.h"
#include "trades/trainer_id.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

const std::uint32_t kGoldSlot1 = slotOffset(kGoldSilverTable, 1);

class TradeRecordTest : public ::testing::Test {
protected:
    // A retail-like Gold image, saved as rom.gb.
    void SetUp() override { use(retailLikeRom("AAUE")); }

    void use(const Bytes& image) {
        rom = image;
        path = dir.write("rom.gb", rom);
        auto opened = openRom(path);
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
    EXPECT_EQ(r.genderRequirement, 0);
    EXPECT_TRUE(std::equal(r.raw.begin(), r.raw.end(), rom.begin() + kGoldSlot1));
    EXPECT_EQ(read(4).genderRequirement, 2);
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
        EXPECT_EQ(toUtf8(r.trainerName), toUtf8(c.shown));
    }
}

TEST_F(TradeRecordTest, SavesExactlyTheEditedBytes) {
    GivenEdit text;
    text.requestedSpecies = "1";
    text.offeredSpecies = "celebi";
    text.nickname = "Zap";
    text.trainerName = "[PK]\\h4A";
    text.trainerId = "37460";
    text.heldItem = "gold berry";
    text.dvs = "15/10/10/10";
    text.genderRequirement = "female";
    text.dialogSet = "newbie";
    Bytes record = saveAndReadRecord(edited(text));
    const Bytes expected = {2,    1,    251,  0x99, 0xA0, 0xAF, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x50, 0xFA, 0xAA,
                            0xAE, 0x54, 0x92, 0xE1, 0x4A, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x50, 2,    0};
    EXPECT_EQ(record, expected);

    // Shown again, the trade reads as saved; saving it unedited writes nothing.
    TradeRecord again = read();
    EXPECT_EQ(again.nickname, u"Zap");
    EXPECT_EQ(again.trainerId, 37460);
    FaultInjectingFileSystem fs;
    auto unchanged = writeTradeRecord(value, uneditedEdit(again), {}, fs);
    ASSERT_TRUE(unchanged);
    EXPECT_TRUE(unchanged->written.empty());
    EXPECT_EQ(std::count(fs.calls().begin(), fs.calls().end(), FileOp::Write), 0);
    EXPECT_EQ(std::count(fs.calls().begin(), fs.calls().end(), FileOp::Flush), 0);
    EXPECT_EQ(readFile(path), rom);
}

TEST_F(TradeRecordTest, WritesEachGameAtItsOwnOffsets) {
    for (const char* code : {"AAXE", "BYTE", "BYTU"}) {
        use(retailLikeRom(code, 7));
        const int slot = code[0] == 'B' ? 7 : 6;
        TradeEdit edit = uneditedEdit(read(slot));
        edit.trainerId = 65535;
        ASSERT_TRUE(writeTradeRecord(value, edit));
        const std::uint32_t idAt = slotOffset(usualTable(code), slot) + 17;
        Bytes after = readFile(path);
        EXPECT_EQ(differences(rom, after), (std::vector<std::size_t>{idAt, idAt + 1})) << code;
        EXPECT_EQ(after[idAt], 0xFF);
        EXPECT_EQ(after[idAt + 1], 0xFF);
    }
}

TEST_F(TradeRecordTest, TrainerIdIsCheckedRoundedAndWrittenLowByteFirst) {
    struct Accepted {
        std::string text;
        std::uint8_t low, high;
    };
    for (const Accepted& c : std::vector<Accepted>{{"0", 0x00, 0x00},
                                                   {"65535", 0xFF, 0xFF},
                                                   {"37460", 0x54, 0x92},
                                                   {" 12 ", 0x0C, 0x00},
                                                   {"1.4", 0x01, 0x00},
                                                   {"0.5", 0x01, 0x00},
                                                   {"1.5", 0x02, 0x00},
                                                   {"2.5", 0x03, 0x00},
                                                   {"65534.5", 0xFF, 0xFF},
                                                   {"65535.000", 0xFF, 0xFF},
                                                   {"-0", 0x00, 0x00},
                                                   {"+7", 0x07, 0x00},
                                                   {"007", 0x07, 0x00},
                                                   {".9", 0x01, 0x00}}) {
        GivenEdit text;
        text.trainerId = c.text;
        Bytes record = saveAndReadRecord(edited(text));
        EXPECT_EQ(record[17], c.low) << c.text;
        EXPECT_EQ(record[18], c.high) << c.text;
    }

    struct Refused {
        std::string text;
        ErrorCode code;
    };
    for (const Refused& c : std::vector<Refused>{{"", ErrorCode::IdNotANumber},
                                                 {"   ", ErrorCode::IdNotANumber},
                                                 {"1e5", ErrorCode::IdNotANumber},
                                                 {"0x10", ErrorCode::IdNotANumber},
                                                 {"12abc", ErrorCode::IdNotANumber},
                                                 {"1.2.3", ErrorCode::IdNotANumber},
                                                 {".", ErrorCode::IdNotANumber},
                                                 {"1 2", ErrorCode::IdNotANumber},
                                                 {"\uff11", ErrorCode::IdNotANumber},
                                                 {"-1", ErrorCode::IdOutOfRange},
                                                 {"-0.5", ErrorCode::IdOutOfRange},
                                                 {"65536", ErrorCode::IdOutOfRange},
                                                 {"70000", ErrorCode::IdOutOfRange},
                                                 {"65535.0001", ErrorCode::IdOutOfRange},
                                                 {"99999999999999999999", ErrorCode::IdOutOfRange}}) {
        GivenEdit text;
        text.trainerId = c.text;
        SCOPED_TRACE(c.text);
        expectRefused(text, c.code);
        auto parsed = parseTrainerId(c.text);
        ASSERT_FALSE(parsed);
        if (c.code == ErrorCode::IdOutOfRange) EXPECT_EQ(parsed.error().message, kIdRangeMessage);
        else EXPECT_NE(parsed.error().message.find(kIdRangeMessage), std::string::npos);
    }
}

TEST_F(TradeRecordTest, EditedNamesAreEncodedAndFittedToTenBytes) {
    struct Case {
        std::string text;
        Bytes field;
    };
    for (const Case& c : std::vector<Case>{
             {"", {0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
             {"A", {0x80, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
             // Ten characters leave no room for the terminator: the 11th byte, never written, is it.
             {"ABCDEFGHIJ", {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89}},
             {"[PK][PK][PK][PK][PK][PK][PK][PK][PK]", {0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0xE1, 0x50}},
             {"a b", {0xA0, 0x7F, 0xA1, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
             {"HO-OH", {0x87, 0x8E, 0xE3, 0x8E, 0x87, 0x50, 0x20, 0x20, 0x20, 0x20}},
             {"MR. ZAP", {0x8C, 0x91, 0xE8, 0x7F, 0x99, 0x80, 0x8F, 0x50, 0x20, 0x20}},
             {"\u2642'sPOK\u00e9", {0xEF, 0xD4, 0x54, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
         }) {
        GivenEdit text;
        text.nickname = c.text;
        text.trainerName = c.text;
        Bytes record = saveAndReadRecord(edited(text));
        EXPECT_EQ(Bytes(record.begin() + 3, record.begin() + 13), c.field) << c.text;
        EXPECT_EQ(Bytes(record.begin() + 19, record.begin() + 29), c.field) << c.text;
        EXPECT_EQ(record[13], 0x50);
        EXPECT_EQ(record[29], 0x50);
    }
}

TEST_F(TradeRecordTest, EveryProblemOfAnEditIsToldAtOnce) {
    struct Case {
        std::u16string text;
        ErrorCode code;
        std::string named;
    };
    for (const Case& c : std::vector<Case>{{u"AB%C", ErrorCode::UnencodableName, "\"%\" (U+0025), character 3"},
                                           {u"R@D", ErrorCode::UnencodableName, "\"@\" (U+0040), character 2"},
                                           {u"Caf\u00e8", ErrorCode::UnencodableName, "(U+00E8), character 4"},
                                           {u"{", ErrorCode::UnencodableName, "\"{\" (U+007B), character 1"},
                                           {u"\U0001F600", ErrorCode::UnencodableName, "(U+1F600), character 1"},
                                           {u"\u00a3", ErrorCode::UnencodableName, "(U+00A3), character 1"},
                                           {u"a\tb", ErrorCode::UnencodableName, "(U+0009), character 2"},
                                           {std::u16string(1, u'\0'), ErrorCode::UnencodableName, "(U+0000)"},
                                           {u"\u3042", ErrorCode::UnencodableName, "(U+3042), character 1"},
                                           {std::u16string(1, u'\xD800'), ErrorCode::UnencodableName, "(U+FFFD)"},
                                           {u"ABCDEFGHIJK", ErrorCode::NameTooLong, "needs 11 bytes"}}) {
        SCOPED_TRACE(toUtf8(c.text));
        GivenEdit text;
        text.nickname = toUtf8(c.text);
        text.trainerName = toUtf8(c.text);
        text.trainerId = "70000";
        text.offeredSpecies = "";
        text.heldItem = "Lucky Eg";
        text.dvs = "0/16/0/0";
        text.genderRequirement = "3";
        text.dialogSet = "girl";  // Crystal's alone
        auto resolved = resolveEdit(value, read(), text);
        ASSERT_FALSE(resolved);
        const Problems& problems = resolved.error();
        ASSERT_EQ(problems.size(), 8u);
        EXPECT_EQ(problems[4].code, ErrorCode::UnknownItem);
        EXPECT_EQ(problems[5].code, ErrorCode::DvOutOfRange);
        EXPECT_EQ(problems[6].code, ErrorCode::UnknownGenderRequirement);
        EXPECT_EQ(problems[7].code, ErrorCode::UnknownDialogSet);
        EXPECT_EQ(problems[0].code, ErrorCode::IdOutOfRange);
        EXPECT_EQ(problems[1].code, ErrorCode::SpeciesNotChosen);
        for (int i : {2, 3}) {
            EXPECT_EQ(problems[std::size_t(i)].code, c.code);
            EXPECT_NE(problems[std::size_t(i)].message.find(c.named), std::string::npos) << problems[std::size_t(i)].message;
            EXPECT_NE(problems[std::size_t(i)].message.find(i == 2 ? "nickname" : "trainer"), std::string::npos);
        }
    }
    // Typed values the text door cannot give are refused by the plan, all at once too.
    TradeEdit typed = uneditedEdit(read());
    typed.offeredSpecies = 252;
    typed.dvs = Dvs{0, 16, 0, 0};
    typed.genderRequirement = 3;
    typed.dialogSet = 3;
    typed.nickname = NameBytes(11, 0x80);
    auto planned = planTradeRecord(value, typed);
    ASSERT_FALSE(planned);
    EXPECT_EQ(planned.error().size(), 5u);
    expectRefused(typed, ErrorCode::SpeciesOutOfRange);
}

TEST_F(TradeRecordTest, AnUneditedNameKeepsBytesTheEditorCannotShow) {
    // 0x4B and 0x01 have no character, the blanks around are trimmed, and
    // the bytes after the terminator are arbitrary: all must survive.
    const Bytes field = {0x00, 0x80, 0x4B, 0x01, 0x81, 0x00, 0x50, 0x12, 0x34, 0x56};
    std::copy(field.begin(), field.end(), rom.begin() + kGoldSlot1 + 3);
    use(rom);
    GivenEdit text;
    text.nickname = "AB";  // what the box shows
    text.trainerId = "1";
    Bytes record = saveAndReadRecord(edited(text));
    EXPECT_EQ(Bytes(record.begin() + 3, record.begin() + 13), field);
    EXPECT_EQ(record[17], 1);
}

TEST_F(TradeRecordTest, ExactNameBytesAreWrittenAsGivenButNotBesideAnEditedText) {
    const NameBytes exact = {0x80, 0xE1, 0x50, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    // As a table from another ROM carries them: bytes and the text they show.
    for (const char* beside : {"", "A[PK]", "KYLE"}) {
        GivenEdit text;
        text.trainerNameBytes = exact;
        if (*beside) text.trainerName = beside;
        Bytes record = saveAndReadRecord(edited(text));
        EXPECT_EQ(Bytes(record.begin() + 19, record.begin() + 29), exact) << beside;
        use(retailLikeRom("AAUE"));
    }
    GivenEdit both;
    both.nicknameBytes = exact;
    both.nickname = "OTHER";  // neither the bytes' text nor the file's
    expectRefused(both, ErrorCode::ConflictingName);
    both.nicknameBytes = NameBytes(9, 0x80);
    expectRefused(both, ErrorCode::NameTooLong);
}

TEST_F(TradeRecordTest, SpeciesMustBeChosenUnlessTheStoredOneHasNoEntry) {
    for (auto [requested, offered, code] :
         {std::tuple{"", "95", ErrorCode::SpeciesNotChosen}, std::tuple{"69", "", ErrorCode::SpeciesNotChosen},
          std::tuple{"69", "252", ErrorCode::SpeciesOutOfRange}, std::tuple{"300", "95", ErrorCode::SpeciesOutOfRange},
          std::tuple{"69", "-2", ErrorCode::SpeciesNotChosen}}) {
        GivenEdit text;
        text.requestedSpecies = requested;
        text.offeredSpecies = offered;
        expectRefused(text, code);
    }

    rom[kGoldSlot1 + 1] = 252;
    rom[kGoldSlot1 + 2] = 255;
    use(rom);
    GivenEdit kept;
    kept.requestedSpecies = "";
    kept.offeredSpecies = "#255";
    kept.trainerId = "2";
    Bytes record = saveAndReadRecord(edited(kept));
    EXPECT_EQ(record[1], 252);
    EXPECT_EQ(record[2], 255);
    GivenEdit chosen;
    chosen.requestedSpecies = "0";
    EXPECT_EQ(saveAndReadRecord(edited(chosen))[1], 0);
}

TEST_F(TradeRecordTest, RefusesWhenTheFileIsNoLongerWhatWasShown) {
    TradeEdit edit = uneditedEdit(read());
    edit.nickname = *resolveName(value, read(), NameRole::Nickname, u"NEW");
    const Bytes original = rom;
    struct Case {
        const char* name;
        std::function<void(Bytes&)> change;
        ErrorCode code;
    };
    for (const Case& c : std::vector<Case>{
             // Another program changed the record, even a byte that the edit does not touch.
             {"byte +0", [](Bytes& r) { r[kGoldSlot1] ^= 1; }, ErrorCode::TradeChangedOnDisk},
             {"byte +13", [](Bytes& r) { r[kGoldSlot1 + 13] ^= 1; }, ErrorCode::TradeChangedOnDisk},
             {"byte +31", [](Bytes& r) { r[kGoldSlot1 + 31] ^= 1; }, ErrorCode::TradeChangedOnDisk},
             {"another game", [](Bytes& r) { std::copy_n("BYTE", 4, r.begin() + 0x13F); }, ErrorCode::GameChangedOnDisk},
             {"shortened", [](Bytes& r) { r.resize(kGoldSlot1 + 20); }, ErrorCode::FileTooShort},
         }) {
        SCOPED_TRACE(c.name);
        rom = original;
        c.change(rom);
        dir.write("rom.gb", rom);
        auto saved = writeTradeRecord(value, edit);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.error().code, c.code);
        EXPECT_EQ(saved.error().kind, ErrorKind::ChangedByOther);
        EXPECT_EQ(saved.error().effect, FileEffect::NothingWritten);
        EXPECT_EQ(readFile(path), rom);
    }

    std::filesystem::remove(fsPath(path));
    auto gone = writeTradeRecord(value, edit);
    ASSERT_FALSE(gone);
    EXPECT_EQ(gone.error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(gone.error().kind, ErrorKind::FileFailure);
    EXPECT_EQ(describe(gone.error()).substr(describe(gone.error()).size() - 20), "Nothing was written.");
    EXPECT_FALSE(std::filesystem::exists(fsPath(path)));
}

TEST_F(TradeRecordTest, RefusesTradesOfAnotherRomOrSlot) {
    TradeRecord shown = read();
    TradeRecord elsewhere = shown;
    elsewhere.slot = Slot::fromNumber(2);  // trade 1's bytes, said to be trade 2's
    expectRefused(uneditedEdit(elsewhere), ErrorCode::WrongRecord);
    elsewhere.slot = Slot::fromNumber(7);  // Gold has no seventh trade
    expectRefused(uneditedEdit(elsewhere), ErrorCode::NoTrade);
    const TradeEdit twice[] = {uneditedEdit(shown), uneditedEdit(shown)};
    auto saved = saveTrades(value, twice);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().code, ErrorCode::WrongRecord);

    Rom noTable = value;
    noTable.table.reset();
    noTable.noTable = refused(ErrorCode::NoTradeTable, "none");
    auto refusedSave = writeTradeRecord(noTable, uneditedEdit(shown));
    ASSERT_FALSE(refusedSave);
    EXPECT_EQ(refusedSave.error().code, ErrorCode::NoTradeTable);
    EXPECT_EQ(readFile(path), rom);
}

TEST_F(TradeRecordTest, SeveralTradesAreOneTransaction) {
    use(retailLikeRom("BYTE", 9));
    std::vector<TradeEdit> edits;
    for (int slot = 1; slot <= 7; ++slot) {
        TradeEdit edit = uneditedEdit(read(slot));
        edit.trainerId = std::uint16_t(slot);
        edits.push_back(edit);
    }
    auto preview = previewSave(value, edits);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->size(), 14u);  // every ID's two bytes
    EXPECT_EQ(readFile(path), rom);

    FaultInjectingFileSystem fs;
    auto saved = saveTrades(value, edits, {}, fs);
    ASSERT_TRUE(saved) << describe(saved.error());
    for (FileOp op : {FileOp::Open, FileOp::Flush, FileOp::Close}) {
        EXPECT_EQ(std::count(fs.calls().begin(), fs.calls().end(), op), 1);
    }
    EXPECT_EQ(saved->bytesChanged, 14u);
    ASSERT_EQ(saved->records.size(), 7u);
    const Bytes after = readFile(path);
    for (int slot = 1; slot <= 7; ++slot) {
        const std::uint32_t idAt = slotOffset(kCrystalTable, slot) + 17;
        EXPECT_EQ(after[idAt], slot);
        EXPECT_EQ(after[idAt + 1], 0);
        EXPECT_EQ(saved->records[std::size_t(slot - 1)].trainerId, slot);
    }
    EXPECT_EQ(differences(rom, after).size(), preview->size());

    // Slots refused: nothing of the others is written either, and every problem is told.
    rom = after;
    edits[3].dvs = Dvs{16, 0, 0, 0};
    edits[5].genderRequirement = 7;
    auto refusedAll = saveTrades(value, edits);
    ASSERT_FALSE(refusedAll);
    EXPECT_EQ(refusedAll.error().code, ErrorCode::DvOutOfRange);
    EXPECT_EQ(describe(refusedAll.error()),
              "Trade Number 4: The Attack DV 16 is out of range: each DV is 0 to 15.\n"
              "Trade Number 6: 7 is no gender requirement: give either, male or female (0 to 2).\nNothing was written.");
    EXPECT_EQ(readFile(path), rom);
}

// A save never leaves a table Kestrane would not find again: where a
// record is known by its bytes alone (a table found by the scan, a trade the
// ROM added), a value that would hide it is refused.
TEST_F(TradeRecordTest, ASaveLeavesEveryRecordFindable) {
    Bytes scanned = randomImage("BYTE", 5);
    putTable(scanned, 0x123456, retailTrades("BYTE"));
    Bytes nine = retailLikeRom("AAUE");
    auto trades = retailTrades("AAUE");
    trades.resize(9);
    putTable(nine, kGoldSilverTable, trades);
    const Bytes gold = retailLikeRom("AAUE");
    struct Case {
        const char* name;
        const Bytes& image;
        int slot;
        GivenEdit text;
        std::optional<ErrorCode> code;  // none: saved
        const char* message = "";
    };
    auto typed = [](auto field, const char* value) {
        GivenEdit t;
        t.*field = value;
        return t;
    };
    const char* scan = "; a table found by its records alone must keep every record recognisable.";
    for (const Case& c : std::vector<Case>{
             {"offered 0 in a scanned table", scanned, 1, typed(&GivenEdit::offeredSpecies, "0"), ErrorCode::WouldHideRecord,
              "The offered species 0 is no creature"},
             {"requested 0 in a scanned table", scanned, 1, typed(&GivenEdit::requestedSpecies, "0"),
              ErrorCode::WouldHideRecord, "The requested species 0 is no creature"},
             {"a name ended early", scanned, 1, typed(&GivenEdit::nickname, "AB\\CD"), ErrorCode::WouldHideRecord,
              "The nickname holds bytes that are no plain name (80 81 50 82 83 50 20 20 20 20)"},
             {"the rival's token", scanned, 3, typed(&GivenEdit::trainerName, "[RIVAL]"), ErrorCode::WouldHideRecord,
              "The trainer's name holds bytes that are no plain name"},
             {"a byte that is no character", scanned, 1, typed(&GivenEdit::nickname, "\\h00"), ErrorCode::WouldHideRecord,
              "The nickname holds bytes that are no plain name"},
             {"a hex escape that names no byte", scanned, 1, typed(&GivenEdit::nickname, "\\hZZ"),
              ErrorCode::UnencodableName, "holds \"\\hZZ\" at character 1, which names no byte"},
             {"a plain name in a scanned table", scanned, 1, typed(&GivenEdit::nickname, "ZAP"), std::nullopt},
             {"offered 0 in an added trade", nine, 9, typed(&GivenEdit::offeredSpecies, "0"), ErrorCode::WouldHideRecord,
              "The offered species 0 is no creature; a trade this ROM added is known by its bytes alone"},
             {"a new name in an added trade", nine, 9, typed(&GivenEdit::trainerName, "ME"), std::nullopt},
             {"offered 0 where the game's routine vouches for the table", gold, 1, typed(&GivenEdit::offeredSpecies, "0"),
              std::nullopt},
         }) {
        SCOPED_TRACE(c.name);
        use(c.image);
        const TradeTable table = *value.table;
        auto edit = resolveEdit(value, read(c.slot), c.text);
        auto saved = edit ? writeTradeRecord(value, *edit) : Result<SaveReport>(nothingWritten(together(edit.error())));
        if (c.code) {
            ASSERT_FALSE(saved);
            EXPECT_EQ(saved.error().code, *c.code);
            EXPECT_NE(describe(saved.error()).find(c.message), std::string::npos) << describe(saved.error());
            EXPECT_NE(describe(saved.error()).find(c.slot == 9 || c.code == ErrorCode::UnencodableName ? "" : scan),
                      std::string::npos);
            EXPECT_EQ(readFile(path), c.image);
        } else {
            ASSERT_TRUE(saved) << describe(saved.error());
        }
        auto again = openRom(path);
        ASSERT_TRUE(again && again->table) << again->noTable.message;
        EXPECT_EQ(again->table->offset, table.offset);
        EXPECT_EQ(again->table->records, table.records);
    }
}

}  // namespace
}  // namespace kestrane
