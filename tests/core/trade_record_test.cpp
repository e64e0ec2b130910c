#include "trades/trade_record.h"

#include <gtest/gtest.h>

#include "helpers/rom_image.h"
#include "support/fault_injection.h"
#include "support/utf.h"
#include "trades/trainer_id.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

constexpr std::uint32_t kGoldSlot1 = 0xFCC45;
constexpr std::uint32_t kCrystalSlot7 = 0xFCF19;

class TradeRecordTest : public ::testing::Test {
protected:
    // A Gold image with trade 1 filled in, saved as rom.gb.
    void SetUp() override {
        rom = makeRom("AAUE");
        putRecord(rom, kGoldSlot1, TradeBytes{});
        path = dir.write("rom.gb", rom);
    }

    TradeRecord read(int slot = 0, const std::string& code = "AAUE") {
        auto reading = readTradeRecord(path, code, slot);
        EXPECT_TRUE(reading) << reading.error().message;
        EXPECT_TRUE(reading->record);
        return *reading->record;
    }

    // Saves an edit of trade 1 and gives the bytes +0..+27 afterwards,
    // checking that no byte outside the editor's fields changed.
    Bytes saveAndReadRecord(const TradeEdit& edit) {
        auto saved = writeTradeRecord(path, "AAUE", 0, edit);
        EXPECT_TRUE(saved) << saved.error().message;
        Bytes after = readFile(path);
        for (std::size_t at : differences(rom, after)) {
            std::size_t offset = at - kGoldSlot1;
            bool editorOwns = at >= kGoldSlot1 && (offset < 12 || (offset >= 16 && offset < 28));
            EXPECT_TRUE(editorOwns) << "byte " << at << " changed";
        }
        return Bytes(after.begin() + kGoldSlot1, after.begin() + kGoldSlot1 + 28);
    }

    // Expects a refusal with this code and the file exactly as it was.
    void expectRefused(const TradeEdit& edit, ErrorCode code, int slot = 0, const std::string& game = "AAUE") {
        auto saved = writeTradeRecord(path, game, slot, edit);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.error().code, code) << saved.error().message;
        EXPECT_FALSE(saved.error().message.empty());
        EXPECT_EQ(readFile(path), rom);
    }

    TempDir dir;
    Bytes rom;
    std::string path;
};

TEST_F(TradeRecordTest, ReadsEveryFieldFromItsOffsetsAndChangesNothing) {
    TradeRecord r = read();
    EXPECT_EQ(r.base, kGoldSlot1);
    EXPECT_EQ(r.location, "Violet City, Johto");
    EXPECT_EQ(r.requestedSpecies, 63);
    EXPECT_EQ(r.offeredSpecies, 95);
    EXPECT_EQ(r.nickname, u"ROCKY");
    EXPECT_EQ(r.trainerName, u"KYLE");
    EXPECT_EQ(r.trainerId, 4660);
    EXPECT_TRUE(std::equal(r.raw.begin(), r.raw.end(), rom.begin() + kGoldSlot1));
    EXPECT_EQ(readFile(path), rom);

    // Silver reads the same offsets; Crystal has its own table.
    rom[0x13F + 2] = 'X';
    dir.write("rom.gb", rom);
    EXPECT_EQ(read(0, "AAXE").base, kGoldSlot1);
    EXPECT_EQ(read(0, "AAXE").nickname, u"ROCKY");
    EXPECT_EQ(read(4, "BYTE").location, "Pewter City, Johto");
    EXPECT_EQ(read(6, "BYTE").base, kCrystalSlot7);
    EXPECT_EQ(read(6, "BYTE").location, "Power Plant, Kanto");
}

TEST_F(TradeRecordTest, SlotsWithoutARecordAreAnsweredWithoutOpeningTheFile) {
    FaultInjectingFileSystem fs;
    auto noTrade = readTradeRecord(path, "AAUE", 6, fs);
    ASSERT_TRUE(noTrade);
    EXPECT_EQ(noTrade->answer, LookupAnswer::NoTrade);
    EXPECT_FALSE(noTrade->record);
    auto noLayout = readTradeRecord(path, "aaue", 0, fs);
    ASSERT_TRUE(noLayout);
    EXPECT_EQ(noLayout->answer, LookupAnswer::NoLayout);
    EXPECT_TRUE(fs.calls().empty());

    for (int slot : {-1, 7}) {
        auto outside = readTradeRecord(path, "BYTE", slot);
        ASSERT_FALSE(outside);
        EXPECT_EQ(outside.error().code, ErrorCode::SlotOutOfRange);
    }
}

TEST_F(TradeRecordTest, AWholeTableIsReadWithOneOpen) {
    FaultInjectingFileSystem fs;
    auto table = readRomTable(path, fs);
    ASSERT_TRUE(table) << table.error().message;
    EXPECT_EQ(std::count(fs.calls().begin(), fs.calls().end(), FileOp::Open), 1);
    ASSERT_NE(table->identity.game, nullptr);
    ASSERT_EQ(table->trades.size(), 7u);
    for (int slot = 0; slot < 7; ++slot) {
        auto one = readTradeRecord(path, "AAUE", slot);
        ASSERT_TRUE(one);
        EXPECT_EQ(table->trades[std::size_t(slot)].answer, one->answer);
        if (one->record) {
            EXPECT_EQ(table->trades[std::size_t(slot)].record->raw, one->record->raw);
        }
    }
    EXPECT_FALSE(table->trades[6].record);

    dir.write("other.gb", makeRom("AAUF"));
    auto other = readRomTable(dir.file("other.gb"));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->identity.game, nullptr);
    EXPECT_TRUE(other->trades.empty());
    dir.write("rom.gb", Bytes(rom.begin(), rom.begin() + 0xFCC60));
    auto cut = readRomTable(path);
    ASSERT_FALSE(cut);
    EXPECT_EQ(cut.error().code, ErrorCode::FileTooShort);
}

TEST_F(TradeRecordTest, TrainerIdIsLittleEndian) {
    struct Case {
        std::uint8_t low, high;
        std::uint16_t id;
    };
    for (Case c : {Case{0x34, 0x12, 4660}, Case{0xFF, 0xFF, 65535}, Case{0x00, 0x80, 32768}, Case{0x00, 0x00, 0},
                   Case{0x05, 0x00, 5}}) {
        rom[kGoldSlot1 + 16] = c.low;
        rom[kGoldSlot1 + 17] = c.high;
        dir.write("rom.gb", rom);
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
             {{0x00, 0x00, 0x80, 0x00, 0x81, 0x00, 0x50, 0x00, 0x00, 0x00}, u"A B"},
             {{0x80, 0xE1, 0x81, 0x53, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20}, u"AB"},
             {{0x50, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, u""},
         }) {
        std::copy(c.field.begin(), c.field.end(), rom.begin() + kGoldSlot1 + 2);
        std::copy(c.field.begin(), c.field.end(), rom.begin() + kGoldSlot1 + 18);
        dir.write("rom.gb", rom);
        TradeRecord r = read();
        EXPECT_EQ(toUtf8(r.nickname), toUtf8(c.shown));
        EXPECT_EQ(toUtf8(r.trainerName), toUtf8(c.shown));
    }
}

TEST_F(TradeRecordTest, FilesThatEndInsideTheRecordAreRefused) {
    for (std::size_t length : {std::size_t{0}, std::size_t{0x143}, std::size_t{kGoldSlot1},
                               std::size_t{kGoldSlot1 + 1}, std::size_t{kGoldSlot1 + 27}}) {
        Bytes cut(rom.begin(), rom.begin() + static_cast<std::ptrdiff_t>(length));
        dir.write("rom.gb", cut);
        auto reading = readTradeRecord(path, "AAUE", 0);
        ASSERT_FALSE(reading) << length;
        EXPECT_EQ(reading.error().code, ErrorCode::FileTooShort);
        EXPECT_NE(reading.error().message.find(std::to_string(length) + " bytes"), std::string::npos);
    }
    dir.write("rom.gb", Bytes(rom.begin(), rom.begin() + kGoldSlot1 + 28));
    EXPECT_TRUE(readTradeRecord(path, "AAUE", 0));

    auto missing = readTradeRecord(dir.file("gone.gb"), "AAUE", 0);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, ErrorCode::FileNotFound);
}

TEST_F(TradeRecordTest, SavesExactlyTheEditedBytes) {
    TradeEdit edit = uneditedEdit(read());
    edit.requestedSpecies = 1;
    edit.offeredSpecies = 251;
    edit.nickname = u"Zap";
    edit.trainerName = u"[PK]\\h4A";
    edit.trainerId = u"37460";
    Bytes record = saveAndReadRecord(edit);
    Bytes expected(rom.begin() + kGoldSlot1, rom.begin() + kGoldSlot1 + 28);
    Bytes fields = {1, 251, 0x99, 0xA0, 0xAF, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    std::copy(fields.begin(), fields.end(), expected.begin());
    Bytes tail = {0x54, 0x92, 0x53, 0x4A, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    std::copy(tail.begin(), tail.end(), expected.begin() + 16);
    EXPECT_EQ(record, expected);

    // Shown again, the trade reads as saved; saving it unedited writes nothing.
    TradeRecord again = read();
    EXPECT_EQ(again.nickname, u"Zap");
    EXPECT_EQ(again.trainerId, 37460);
    rom = readFile(path);
    auto unchanged = writeTradeRecord(path, "AAUE", 0, uneditedEdit(again));
    ASSERT_TRUE(unchanged);
    EXPECT_TRUE(unchanged->written.empty());
    EXPECT_EQ(readFile(path), rom);
}

TEST_F(TradeRecordTest, WritesEachGameAtItsOwnOffsets) {
    for (const char* code : {"AAXE", "BYTE"}) {
        rom = makeRom(code, 7);
        dir.write("rom.gb", rom);
        int slot = code[0] == 'B' ? 6 : 5;
        TradeEdit edit = uneditedEdit(read(slot, code));
        edit.trainerId = u"65535";
        ASSERT_TRUE(writeTradeRecord(path, code, slot, edit));
        std::uint32_t idAt = (code[0] == 'B' ? kCrystalSlot7 : 0xFCCC5) + 16;
        Bytes after = readFile(path);
        for (std::size_t at : differences(rom, after)) EXPECT_TRUE(at == idAt || at == idAt + 1) << code << " " << at;
        EXPECT_EQ(after[idAt], 0xFF);
        EXPECT_EQ(after[idAt + 1], 0xFF);
    }
}

TEST_F(TradeRecordTest, TrainerIdIsCheckedRoundedAndWrittenLowByteFirst) {
    struct Accepted {
        std::u16string text;
        std::uint8_t low, high;
    };
    for (const Accepted& c : std::vector<Accepted>{{u"0", 0x00, 0x00},
                                                   {u"65535", 0xFF, 0xFF},
                                                   {u"37460", 0x54, 0x92},
                                                   {u" 12 ", 0x0C, 0x00},
                                                   {u"1.4", 0x01, 0x00},
                                                   {u"0.5", 0x01, 0x00},
                                                   {u"1.5", 0x02, 0x00},
                                                   {u"2.5", 0x03, 0x00},
                                                   {u"65534.5", 0xFF, 0xFF},
                                                   {u"65535.000", 0xFF, 0xFF},
                                                   {u"-0", 0x00, 0x00},
                                                   {u"+7", 0x07, 0x00},
                                                   {u"007", 0x07, 0x00},
                                                   {u".9", 0x01, 0x00}}) {
        TradeEdit edit = uneditedEdit(read());
        edit.trainerId = c.text;
        Bytes record = saveAndReadRecord(edit);
        EXPECT_EQ(record[16], c.low) << toUtf8(c.text);
        EXPECT_EQ(record[17], c.high) << toUtf8(c.text);
    }

    rom = readFile(path);
    struct Refused {
        std::u16string text;
        ErrorCode code;
    };
    for (const Refused& c : std::vector<Refused>{{u"", ErrorCode::IdNotANumber},
                                                 {u"   ", ErrorCode::IdNotANumber},
                                                 {u"1e5", ErrorCode::IdNotANumber},
                                                 {u"0x10", ErrorCode::IdNotANumber},
                                                 {u"12abc", ErrorCode::IdNotANumber},
                                                 {u"1.2.3", ErrorCode::IdNotANumber},
                                                 {u".", ErrorCode::IdNotANumber},
                                                 {u"1 2", ErrorCode::IdNotANumber},
                                                 {u"\uff11", ErrorCode::IdNotANumber},
                                                 {u"-1", ErrorCode::IdOutOfRange},
                                                 {u"-0.5", ErrorCode::IdOutOfRange},
                                                 {u"65536", ErrorCode::IdOutOfRange},
                                                 {u"70000", ErrorCode::IdOutOfRange},
                                                 {u"65535.0001", ErrorCode::IdOutOfRange},
                                                 {u"99999999999999999999", ErrorCode::IdOutOfRange}}) {
        TradeEdit edit = uneditedEdit(read());
        edit.trainerId = c.text;
        SCOPED_TRACE(toUtf8(c.text));
        expectRefused(edit, c.code);
        auto parsed = parseTrainerId(c.text);
        ASSERT_FALSE(parsed);
        if (c.code == ErrorCode::IdOutOfRange) EXPECT_EQ(parsed.error().message, kIdRangeMessage);
        else EXPECT_NE(parsed.error().message.find(kIdRangeMessage), std::string::npos);
    }
}

TEST_F(TradeRecordTest, EditedNamesAreEncodedAndFittedToTenBytes) {
    struct Case {
        std::u16string text;
        Bytes field;
    };
    for (const Case& c : std::vector<Case>{
             {u"", {0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
             {u"A", {0x80, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
             // Ten characters leave no room for the terminator.
             {u"ABCDEFGHIJ", {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89}},
             {u"[PK][PK][PK][PK][PK][PK][PK][PK][PK]", {0x53, 0x53, 0x53, 0x53, 0x53, 0x53, 0x53, 0x53, 0x53, 0x50}},
             {u"a b", {0xA0, 0x00, 0xA1, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}},
         }) {
        TradeEdit edit = uneditedEdit(read());
        edit.nickname = c.text;
        edit.trainerName = c.text;
        Bytes record = saveAndReadRecord(edit);
        EXPECT_EQ(Bytes(record.begin() + 2, record.begin() + 12), c.field) << toUtf8(c.text);
        EXPECT_EQ(Bytes(record.begin() + 18, record.begin() + 28), c.field) << toUtf8(c.text);
    }
}

TEST_F(TradeRecordTest, NamesThatCannotBeWrittenAreRefused) {
    struct Case {
        std::u16string text;
        ErrorCode code;
        std::string named;
    };
    for (const Case& c : std::vector<Case>{{u"AB-C", ErrorCode::UnencodableName, "\"-\" (U+002D), character 3"},
                                           {u"R&D", ErrorCode::UnencodableName, "\"&\" (U+0026), character 2"},
                                           {u"Caf\u00e9", ErrorCode::UnencodableName, "(U+00E9), character 4"},
                                           {u"[", ErrorCode::UnencodableName, "\"[\" (U+005B), character 1"},
                                           {u"\U0001F600", ErrorCode::UnencodableName, "(U+1F600), character 1"},
                                           {u"\u00a3", ErrorCode::UnencodableName, "(U+00A3), character 1"},
                                           {u"a\tb", ErrorCode::UnencodableName, "(U+0009), character 2"},
                                           {std::u16string(1, u'\0'), ErrorCode::UnencodableName, "(U+0000)"},
                                           {u"\u3042", ErrorCode::UnencodableName, "(U+3042), character 1"},
                                           {std::u16string(1, u'\xD800'), ErrorCode::UnencodableName, "(U+D800)"},
                                           {u"ABCDEFGHIJK", ErrorCode::NameTooLong, "needs 11 bytes"}}) {
        for (bool nickname : {true, false}) {
            TradeEdit edit = uneditedEdit(read());
            (nickname ? edit.nickname : edit.trainerName) = c.text;
            auto saved = writeTradeRecord(path, "AAUE", 0, edit);
            ASSERT_FALSE(saved) << toUtf8(c.text);
            EXPECT_EQ(saved.error().code, c.code);
            EXPECT_NE(saved.error().message.find(c.named), std::string::npos) << saved.error().message;
            EXPECT_NE(saved.error().message.find(nickname ? "nickname" : "trainer"), std::string::npos);
            EXPECT_EQ(readFile(path), rom);
        }
    }
}

TEST_F(TradeRecordTest, AnUneditedNameKeepsBytesTheEditorCannotShow) {
    // 0xE1 and 0x53 have no character, the blanks around are trimmed, and
    // the bytes after the terminator are arbitrary: all must survive.
    const Bytes field = {0x00, 0x80, 0xE1, 0x53, 0x81, 0x00, 0x50, 0x12, 0x34, 0x56};
    std::copy(field.begin(), field.end(), rom.begin() + kGoldSlot1 + 2);
    dir.write("rom.gb", rom);
    TradeEdit edit = uneditedEdit(read());
    ASSERT_EQ(edit.nickname, u"AB");
    edit.trainerId = u"1";
    Bytes record = saveAndReadRecord(edit);
    EXPECT_EQ(Bytes(record.begin() + 2, record.begin() + 12), field);
    EXPECT_EQ(record[16], 1);
}

TEST_F(TradeRecordTest, ExactNameBytesAreWrittenAsGivenButNotBesideAnEditedText) {
    const NameBytes exact = {0x80, 0xE1, 0x50, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    TradeEdit edit = uneditedEdit(read());
    edit.trainerNameBytes = exact;
    Bytes record = saveAndReadRecord(edit);
    EXPECT_EQ(Bytes(record.begin() + 18, record.end()), Bytes(exact.begin(), exact.end()));

    rom = readFile(path);
    TradeEdit both = uneditedEdit(read());
    both.nicknameBytes = exact;
    both.nickname = u"OTHER";
    expectRefused(both, ErrorCode::ConflictingName);
}

TEST_F(TradeRecordTest, SpeciesMustBeChosenUnlessTheStoredOneHasNoEntry) {
    TradeEdit none = uneditedEdit(read());
    none.requestedSpecies = kNoSpeciesChosen;
    expectRefused(none, ErrorCode::SpeciesNotChosen);
    none = uneditedEdit(read());
    none.offeredSpecies = kNoSpeciesChosen;
    expectRefused(none, ErrorCode::SpeciesNotChosen);
    for (int bad : {252, 300, -2}) {
        TradeEdit edit = uneditedEdit(read());
        edit.offeredSpecies = bad;
        expectRefused(edit, ErrorCode::SpeciesOutOfRange);
    }

    rom[kGoldSlot1] = 252;
    rom[kGoldSlot1 + 1] = 255;
    dir.write("rom.gb", rom);
    TradeEdit kept = uneditedEdit(read());
    kept.requestedSpecies = kNoSpeciesChosen;
    kept.offeredSpecies = kNoSpeciesChosen;
    kept.trainerId = u"2";
    Bytes record = saveAndReadRecord(kept);
    EXPECT_EQ(record[0], 252);
    EXPECT_EQ(record[1], 255);
    TradeEdit chosen = uneditedEdit(read());
    chosen.requestedSpecies = 0;
    EXPECT_EQ(saveAndReadRecord(chosen)[0], 0);
}

TEST_F(TradeRecordTest, RefusesWhenTheFileIsNoLongerWhatWasShown) {
    const TradeEdit edit = [&] {
        TradeEdit e = uneditedEdit(read());
        e.nickname = u"NEW";
        return e;
    }();

    // Another program changed the record, even a byte that is not the editor's.
    for (std::uint32_t offset : {0u, 5u, 13u, 17u, 27u}) {
        Bytes changed = rom;
        changed[kGoldSlot1 + offset] ^= 0xFF;
        dir.write("rom.gb", changed);
        rom = changed;
        expectRefused(edit, ErrorCode::TradeChangedOnDisk);
        rom[kGoldSlot1 + offset] ^= 0xFF;
    }

    // The file now holds another game.
    Bytes crystal = rom;
    std::copy_n("BYTE", 4, crystal.begin() + 0x13F);
    dir.write("rom.gb", crystal);
    rom = crystal;
    expectRefused(edit, ErrorCode::GameChangedOnDisk);

    // Shortened so that the record is cut.
    rom.resize(kGoldSlot1 + 20);
    dir.write("rom.gb", rom);
    expectRefused(edit, ErrorCode::FileTooShort);

    // Removed.
    std::filesystem::remove(path);
    auto gone = writeTradeRecord(path, "AAUE", 0, edit);
    ASSERT_FALSE(gone);
    EXPECT_EQ(gone.error().code, ErrorCode::FileNotFound);
    EXPECT_NE(gone.error().message.find("Nothing was written."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(TradeRecordTest, RefusesSlotsAndGamesWithoutThisRecord) {
    const TradeEdit edit = uneditedEdit(read());
    expectRefused(edit, ErrorCode::NoTrade, 6);
    expectRefused(edit, ErrorCode::NoLayout, 0, "AAUF");
    expectRefused(edit, ErrorCode::SlotOutOfRange, 7);
    expectRefused(edit, ErrorCode::WrongRecord, 1);          // trade 1 shown, trade 2 selected
    expectRefused(edit, ErrorCode::WrongRecord, 0, "BYTE");  // a Gold trade into a Crystal table
}

TEST_F(TradeRecordTest, EveryFailingFileCallIsReportedNeverSuccess) {
    TradeEdit edit = uneditedEdit(read());
    edit.nickname = u"NEW";
    edit.trainerId = u"1";
    Bytes expectedRecord = saveAndReadRecord(edit);
    Bytes expectedFile = readFile(path);
    dir.write("rom.gb", rom);

    FaultInjectingFileSystem counting;
    ASSERT_TRUE(writeTradeRecord(path, "AAUE", 0, edit, counting));
    const int callsOfASave = static_cast<int>(counting.calls().size());
    EXPECT_EQ(std::count(counting.calls().begin(), counting.calls().end(), FileOp::Open), 1);
    EXPECT_EQ(std::count(counting.calls().begin(), counting.calls().end(), FileOp::Write), 2);
    EXPECT_EQ(std::count(counting.calls().begin(), counting.calls().end(), FileOp::Flush), 1);

    for (int n = 1; n <= callsOfASave; ++n) {
        dir.write("rom.gb", rom);
        FaultInjectingFileSystem fs;
        fs.failCall(n, makeError(ErrorCode::DeviceIo, "injected"));
        auto saved = writeTradeRecord(path, "AAUE", 0, edit, fs);
        ASSERT_FALSE(saved) << "call " << n;
        Bytes after = readFile(path);
        ASSERT_EQ(after.size(), rom.size());
        if (after == rom) continue;
        EXPECT_NE(saved.error().message.find("may hold part of the new trade"), std::string::npos)
            << "call " << n << ": " << saved.error().message;
    }
    for (int n = 1; n <= callsOfASave; ++n) {
        dir.write("rom.gb", rom);
        FaultInjectingFileSystem fs;
        fs.shortenCall(n);
        auto saved = writeTradeRecord(path, "AAUE", 0, edit, fs);
        ASSERT_TRUE(saved) << "call " << n << ": " << saved.error().message;
        EXPECT_EQ(readFile(path), expectedFile) << "call " << n;
    }
}

}  // namespace
}  // namespace kestrane
