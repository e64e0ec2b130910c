// Saving trades: exactly the edited bytes, one transaction, refused where the file changed.
#include "trades/save.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "core/trade_fixture.h"
#include "families/families.h"
#include "platform/gb/checksums.h"
#include "support/fault_injection.h"
#include "support/file_systems.h"
#include "support/first_generation_image.h"
#include "support/hex_text.h"
#include "support/opened_rom.h"
#include "support/utf.h"
#include "trades/save_history.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

class SaveTest : public TradeRecordTest {};

TEST_F(SaveTest, SavesExactlyTheEditedBytes) {
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

// Each byte of the file is read once a step: an opening reads the routine's
// bank (and the whole file where it searches or sums it), a table is read in
// one read, a save that keeps the checksums reads the file once, and its
// proof reads back only what it wrote.
TEST(ReadOnce, EachStepReadsWhatItNeedsOnce) {
    TempDir dir;
    Bytes image = retailLikeRom("BYTE", 4);
    buildChecksums(image);
    const std::string path = dir.write("crystal.gbc", image);
    Bytes moved = randomImage("BYTE");
    putTable(moved, kCrystalTable + 48, retailTrades("BYTE"));
    putRoutine(moved, kCrystalRoutine + 48, kCrystalTable + 48);
    const std::string movedPath = dir.write("moved.gbc", moved);
    // A hack that moved both to a bank of their own: the search's piece holds that bank.
    Bytes rebanked = randomImage("BYTE");
    putTable(rebanked, 0x1A0800, retailTrades("BYTE"));
    putRoutine(rebanked, 0x1A0100, 0x1A0800);
    const std::string rebankedPath = dir.write("rebanked.gbc", rebanked);
    // Red: its scripts, searched for in every bank, and its tables, each where its code reads it.
    const std::string redPath = dir.write("red.gb", firstGenerationRom("POKEMON RED"));
    const auto redSize = std::int64_t(readFile(redPath).size());
    const Rom rom = *openRom(path, families::all());
    TradeEdit edit = uneditedEdit(*readTradeRecord(rom, Slot::fromNumber(1))->record);
    const auto size = std::int64_t(kRomSize);
    constexpr std::int64_t kBank = 0x4000, kSmall = 1024;
    const RomParts quick{.gameData = false, .checksums = false, .readOnly = false};
    struct Case {
        const char* name;
        std::function<bool(FileSystem&)> step;
        std::int64_t most;  // bytes read
        int reads = 0;      // the most read calls, where they are counted
    };
    const Case cases[] = {
        {"locating the table in place: its bank", [&](FileSystem& fs) { return bool(openRom(path, families::all(), fs, quick)); }, kBank + kSmall},
        {"locating it with the checksums: the file once, in pieces, and its bank",
         [&](FileSystem& fs) { return bool(openRom(path, families::all(), fs, {.gameData = false, .checksums = true, .readOnly = false})); },
         size + kBank + kSmall},
        {"locating a moved table: the file once, and its bank", [&](FileSystem& fs) { return bool(openRom(movedPath, families::all(), fs, quick)); },
         size + kBank + kSmall},
        {"locating a table moved to another bank: the file once, and the usual bank where it is not",
         [&](FileSystem& fs) {
             auto opened = openRom(rebankedPath, families::all(), fs, quick);
             return opened && opened->table && opened->table->offset == 0x1A0800;
         },
         size + kBank + kSmall},
        {"opening Red with its game data: the file once (its scripts), and the banks of the trade routine, of bank 0's "
         "routines, of the Pokédex order and of the texts",
         [&](FileSystem& fs) {
             auto opened = openRom(redPath, families::all(), fs);
             return opened && opened->table && opened->words->places[7] == "Cinnabar Lab Trade Room";
         },
         redSize + 4 * kBank},
        {"reading the table: its records in one read",
         [&](FileSystem& fs) {
             auto trades = readTradeTable(rom, fs);
             return trades && trades->size() == 7;
         },
         kSmall, 1},
        {"a save keeping the checksums: the file once",
         [&](FileSystem& fs) {
             edit.trainerId = edit.shown.trainerId == 4660 ? 4661 : 4660;
             auto saved = writeTradeRecord(rom, edit, {}, fs);
             if (saved) edit.shown = saved->records.front();
             return saved && saved->checksumsUpdated;
         },
         size + kSmall},
        {"a save leaving them (stale after it): the bank and the record",
         [&](FileSystem& fs) {
             edit.trainerId = edit.shown.trainerId == 4660 ? 4661 : 4660;
             auto saved = writeTradeRecord(rom, edit, SaveOptions{ChecksumPolicy::Leave}, fs);
             if (saved) edit.shown = saved->records.front();
             return bool(saved);
         },
         kBank + kSmall},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaultInjectingFileSystem counting;
        ASSERT_TRUE(c.step(counting));
        EXPECT_LE(counting.bytesRead(), c.most);
        if (c.reads > 0) {
            EXPECT_LE(std::count(counting.calls().begin(), counting.calls().end(), FileOp::Read), c.reads);
        }
    }
}

TEST_F(SaveTest, WritesEachGameAtItsOwnOffsets) {
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
    // Japanese Gold and Silver 1.1 keep 1.0's places: one edit, the same bytes.
    for (const char* code : {"AAUJ", "AAXJ"}) {
        std::vector<Bytes> saved;
        for (std::uint8_t revision : {0, 1}) {
            Bytes image = retailLikeRom(code, 7);
            image[0x14C] = revision;
            use(image);
            TradeEdit edit = uneditedEdit(read(2));
            edit.trainerId = 0x1234;
            edit.nickname = *resolveName(value, read(2), NameRole::Nickname, u"\u30a2\u30a4");
            ASSERT_TRUE(writeTradeRecord(value, edit)) << code;
            saved.push_back(readFile(path));
            saved.back()[0x14C] = 0;
        }
        EXPECT_EQ(saved[0], saved[1]) << code;
        EXPECT_EQ(differences(retailLikeRom(code, 7), saved[0]).size(), 5u) << code;
    }
}

// The 16-bit species base and its fork that widens items: every trade read
// as the base built it, every field written where its code reads it.
TEST_F(SaveTest, TheSixteenBitBasesReadAndWriteEveryField) {
    struct Case {
        const char* name;
        bool items16;
        std::uint32_t table;
        std::uint16_t goldBerry;
    };
    for (const Case& c : {Case{"16-bit species", false, kSpecies16Table, 0xAE},
                          Case{"16-bit species and items", true, kItems16Table, 0x8F},
                          Case{"16-bit species, the table moved", false, 0xFD300, 0xAE}}) {
        SCOPED_TRACE(c.name);
        Bytes image = species16Rom(c.items16, 300);
        if (c.table != kSpecies16Table && c.table != kItems16Table) {
            putTable16(image, c.table, retailTrades16(), c.items16);
            putRoutine16(image, c.items16 ? kItems16Routine : kSpecies16Routine, c.table, c.items16);
        }
        use(image);
        const std::vector<Trade16> trades = retailTrades16();
        for (int slot = 1; slot <= 7; ++slot) {
            const Trade16& t = trades[std::size_t(slot == 1 ? 1 : slot == 2 ? 0 : slot - 1)];
            TradeRecord r = read(slot);
            EXPECT_EQ(r.offset, slotOffset(c.table, slot));
            EXPECT_EQ(r.requestedSpecies, t.requested);
            EXPECT_EQ(r.offeredSpecies, t.offered);
            EXPECT_EQ(r.heldItem, t.item);
            EXPECT_EQ(r.trainerId, t.id);
            EXPECT_EQ(r.dvs, (Dvs{t.dvs[0] >> 4, t.dvs[0] & 15, t.dvs[1] >> 4, t.dvs[1] & 15}));
            EXPECT_EQ(std::uint8_t(*r.genderRequirement), t.gender);
            EXPECT_EQ(r.dialogSet, t.dialog);
            EXPECT_TRUE(std::equal(r.raw.begin(), r.raw.end(), image.begin() + r.offset));
        }
        EXPECT_EQ(toUtf8(read(1).nickname), "ROCKY");
        EXPECT_EQ(toUtf8(*read(1).trainerName), "KYLE");

        // Species past 251, named by the ROM; past the last and the egg refused, 0 warned of, as on vanilla.
        GivenEdit text;
        text.requestedSpecies = "300";
        text.offeredSpecies = "added 299";
        text.nickname = "Zap";
        text.trainerName = "[PK]\\h4A";
        text.trainerId = "37460";
        text.heldItem = "gold berry";
        text.dvs = "15/10/10/10";
        text.genderRequirement = "female";
        text.dialogSet = "newbie";
        const std::uint32_t at = slotOffset(c.table, 1);
        auto saved = writeTradeRecord(value, edited(text));
        ASSERT_TRUE(saved) << describe(saved.error());
        const Bytes after = readFile(path);
        for (std::size_t changed : differences(rom, after)) EXPECT_TRUE(changed >= at && changed < at + 32) << changed;
        Trade16 expected{2, 300, 299, {}, {0xFA, 0xAA}, c.goldBerry, 37460, {}, 2};
        expected.nickname = {0x99, 0xA0, 0xAF, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50};
        expected.trainer = {0xE1, 0x4A, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50};
        const Bytes wanted = record16(expected, c.items16);
        // The base's rebuild pads names its own way: the bytes past each terminator aside.
        const std::uint32_t nickEnd = 5 + 4, trainerAt = c.items16 ? 22 : 21, trainerEnd = trainerAt + 3;
        for (std::uint32_t k = 0; k < 32; ++k) {
            if ((k >= nickEnd && k < 15) || (k >= trainerEnd && k < trainerAt + 7)) continue;
            EXPECT_EQ(after[at + k], wanted[k]) << "byte +" << k;
        }
        rom = after;
        EXPECT_EQ(read(1).requestedSpecies, 300);
        EXPECT_EQ(value.species->name(299), "ADDED 299");
        for (const char* species : {"65533", "301"}) {
            GivenEdit offered;
            offered.offeredSpecies = species;
            expectRefused(offered, ErrorCode::SpeciesOutOfRange);
        }
        TradeRecord none = read(1);
        none.offeredSpecies = 0;
        none.requestedSpecies = 0xFFFD;
        std::vector<std::string> warned;
        for (const TradeWarning& w : tradeWarnings(value, none)) warned.push_back(w.text);
        EXPECT_EQ(warned, (std::vector<std::string>{
                              "Species 65533 is the egg, not a creature, so no player can ever give the trader one.",
                              "Species 0 is no creature, so the player would receive a broken one."}));
        // The gender ratios through the base data's indirect table.
        none = read(1);
        none.requestedSpecies = 113;
        none.genderRequirement = GenderRequirement::Male;
        ASSERT_EQ(tradeWarnings(value, none).size(), 1u);
        EXPECT_EQ(tradeWarnings(value, none)[0].text, "Chansey is always female, so a trader asking for a male one can never trade.");
    }
}

// Red, Blue and Yellow: every trade read as the game's build holds it; an
// edit equals the build of the same edit, its checksums kept consistent.
TEST_F(SaveTest, RedBlueAndYellowReadAndWriteTheirRecords) {
    for (const char* title : {"POKEMON RED", "POKEMON BLUE", "POKEMON YELLOW"}) {
        SCOPED_TRACE(title);
        const Bytes image = firstGenerationRom(title);
        use(image);
        const std::uint32_t table = usualTable(title);
        const std::vector<Trade14> trades = retailTrades14(title);
        const std::vector<int> started = retailScriptTrades(title);
        for (int slot = 1; slot <= 10; ++slot) {
            const Trade14& t = trades[std::size_t(slot - 1)];
            const TradeRecord r = read(slot);
            EXPECT_EQ(r.offset, table + 14u * std::uint32_t(slot - 1));
            EXPECT_EQ(r.requestedSpecies, t.requested);
            EXPECT_EQ(r.offeredSpecies, t.offered);
            EXPECT_EQ(r.dialogSet, t.dialog);
            EXPECT_TRUE(std::equal(r.raw.begin(), r.raw.end(), record14(t).begin()));
            EXPECT_FALSE(r.trainerName || r.trainerId || r.dvs || r.heldItem || r.genderRequirement);
            const bool used = std::find(started.begin(), started.end(), slot - 1) != started.end() || slot == 8 || slot == 9;
            EXPECT_EQ(r.location == "Not used in the game", !used) << r.location;
        }
        EXPECT_EQ(toUtf8(read(2).nickname), std::string(title) == "POKEMON YELLOW" ? "MILES" : "MARCEL");
        EXPECT_EQ(value.species->numberOf(read(2).offeredSpecies), 122);  // Mr. Mime, by its internal index

        // Trade 1: offered Pikachu, nicknamed SPARKY, the happy lines.
        GivenEdit text;
        text.offeredSpecies = "pikachu";
        text.nickname = "SPARKY";
        text.dialogSet = "happy";
        auto saved = writeTradeRecord(value, edited(text), SaveOptions{ChecksumPolicy::KeepConsistent});
        ASSERT_TRUE(saved) << describe(saved.error());
        Bytes after = readFile(path);
        Trade14 expected = trades[0];
        expected.offered = 0x54;
        expected.dialog = 2;
        expected.nickname = nameField("SPARKY");
        const Bytes wanted = record14(expected);
        EXPECT_EQ(Bytes(after.begin() + table, after.begin() + table + 14), wanted);
        for (std::size_t at : differences(image, after)) {
            EXPECT_TRUE((at >= table && at < table + 14) || at == 0x14E || at == 0x14F) << at;
        }
        const ChecksumState checks = RomChecks(after).state();
        EXPECT_EQ(checks.of(Check::Header), ChecksumStatus::Consistent);
        EXPECT_EQ(checks.of(Check::Global), ChecksumStatus::Consistent);
        rom = after;

        // What the records do not hold is refused by name; a record must stay one of the table's.
        GivenEdit id;
        id.trainerId = "5";
        expectRefused(id, ErrorCode::NoSuchField);
        GivenEdit none;
        none.offeredSpecies = "0";
        auto hidden = writeTradeRecord(value, edited(none));
        ASSERT_FALSE(hidden);
        EXPECT_EQ(hidden.error().code, ErrorCode::WouldHideRecord);
        EXPECT_NE(describe(hidden.error()).find("keeps no count of its trades"), std::string::npos) << describe(hidden.error());
        EXPECT_EQ(readFile(path), rom);

        // A slot with no creature (internal index 0x1F) is shown by its index, warned of, and kept.
        after[table + 14 + 1] = 0x1F;
        use(after);
        const TradeRecord missing = read(2);
        EXPECT_EQ(speciesLabel(value, missing.offeredSpecies), "#31 (no list entry)");
        std::vector<std::string> warned;
        for (const TradeWarning& w : tradeWarnings(value, missing)) warned.push_back(w.text);
        EXPECT_EQ(warned, (std::vector<std::string>{"Species #31 has no Pok\u00e9dex number, no creature, so the player would "
                                                    "receive a broken one."}));
        GivenEdit renamed;
        renamed.nickname = "GLITCH";
        TradeEdit kept = resolveEdit(value, missing, renamed).value();
        ASSERT_TRUE(writeTradeRecord(value, kept));
        EXPECT_EQ(readFile(path)[table + 14 + 1], 0x1F);
    }
}

TEST_F(SaveTest, RefusesWhenTheFileIsNoLongerWhatWasShown) {
    TradeEdit edit = uneditedEdit(read());
    edit.nickname = *resolveName(value, read(), NameRole::Nickname, u"NEW");
    const Bytes untouched = rom;
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
             // A rebuild moved the table the game reads: the records shown are dead bytes now.
             {"the routine now reads a copy",
              [](Bytes& r) {
                  std::copy_n(r.begin() + kGoldSilverTable, 6 * 32, r.begin() + 0xFD200);
                  putRoutine(r, kGoldSilverRoutine, 0xFD200);
              },
              ErrorCode::TableMoved},
             {"the routine replaced by a jump to code of another form",
              [](Bytes& r) {
                  std::copy_n(r.begin() + kGoldSilverTable, 6 * 32, r.begin() + 0xFD300);
                  putJump(r, kGoldSilverRoutine, 0xFD280);
              },
              ErrorCode::TableMoved},
         }) {
        SCOPED_TRACE(c.name);
        rom = untouched;
        c.change(rom);
        dir.write("rom.gb", rom);
        auto saved = writeTradeRecord(value, edit);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.error().code, c.code);
        EXPECT_EQ(saved.error().kind, ErrorKind::ChangedByOther);
        EXPECT_EQ(saved.error().effect, FileEffect::NothingWritten);
        EXPECT_EQ(readFile(path), rom);
    }

    // A release known by its title is checked by the rule that recognised it.
    const Bytes red = firstGenerationRom("POKEMON RED");
    const std::string redPath = dir.write("red.gb", red);
    const Rom opened = *openRom(redPath, families::all());
    TradeEdit redEdit = uneditedEdit(*readTradeRecord(opened, Slot::fromNumber(1))->record);
    redEdit.nickname = *resolveName(opened, redEdit.shown, NameRole::Nickname, u"NEW");
    Bytes blue = red;
    std::copy_n("POKEMON BLUE", 12, blue.begin() + 0x134);
    dir.write("red.gb", blue);
    auto replaced = writeTradeRecord(opened, redEdit);
    ASSERT_FALSE(replaced);
    EXPECT_EQ(replaced.error().code, ErrorCode::GameChangedOnDisk);
    EXPECT_NE(replaced.error().message.find("its title is now \"POKEMON BLUE\""), std::string::npos) << replaced.error().message;
    EXPECT_EQ(readFile(redPath), blue);

    std::filesystem::remove(fsPath(path));
    auto gone = writeTradeRecord(value, edit);
    ASSERT_FALSE(gone);
    EXPECT_EQ(gone.error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(gone.error().kind, ErrorKind::FileFailure);
    EXPECT_EQ(describe(gone.error()).substr(describe(gone.error()).size() - 20), "Nothing was written.");
    EXPECT_FALSE(std::filesystem::exists(fsPath(path)));
}

TEST_F(SaveTest, RefusesTradesOfAnotherRomOrSlot) {
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

TEST_F(SaveTest, SeveralTradesAreOneTransaction) {
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
    edits[5].genderRequirement = GenderRequirement(7);
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
TEST_F(SaveTest, ASaveLeavesEveryRecordFindable) {
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
        auto again = openRom(path, families::all());
        ASSERT_TRUE(again && again->table) << again->noTable.message;
        EXPECT_EQ(again->table->offset, table.offset);
        EXPECT_EQ(again->table->records, table.records);
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
             // The read-back of the written ranges is the save's proof.
             {"a written byte written over", FileOp::Flush, 1,
              [&] {
                  Bytes now = readFile(opened.path);
                  now[record + 3] ^= 0xFF;  // the nickname's first letter
                  dir.write("crystal.gbc", now);
              },
              ErrorCode::VerifyFailed, "the bytes read back differ from those written", kRomSize},
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

// Every kind of save (a trade, an import of several, a checksum fix) is
// undone and done again byte for byte through a save's transaction; an undo
// after another program changed those bytes is refused, nothing written.
TEST_F(BadSave, EverySaveUndoneAndRedone) {
    Bytes image = retailLikeRom("BYTE", 6);
    buildChecksums(image);
    image[0x14E] ^= 1;  // stale, for the fix to mend
    OpenedRom opened = openedRom(dir, "crystal.gbc", image);
    auto edited = [&](int slot) {
        TradeEdit e = uneditedEdit(*readTradeRecord(opened.rom, Slot::fromNumber(slot))->record);
        e.trainerId = std::uint16_t(slot * 1000);
        e.dvs = Dvs{15, 10, 10, 10};
        return e;
    };
    SaveHistory history;
    struct Kind {
        const char* what;
        std::function<Result<SaveReport>()> save;
    };
    for (const Kind& kind : std::vector<Kind>{
             {"Save of Trade Number 1", [&] { return writeTradeRecord(opened.rom, edited(1)); }},
             {"Import", [&] { const TradeEdit all[] = {edited(2), edited(5), edited(7)}; return saveTrades(opened.rom, all); }},
             {"Checksum Fix", [&] { return saveTrades(opened.rom, {}, SaveOptions{ChecksumPolicy::MakeConsistent}); }},
         }) {
        SCOPED_TRACE(kind.what);
        const Bytes before = readFile(opened.path);
        auto saved = kind.save();
        ASSERT_TRUE(saved) << describe(saved.error());
        const Bytes after = readFile(opened.path);
        ASSERT_NE(after, before);
        history.saved(kind.what, saved->changes);
        ASSERT_EQ(history.toUndo()->what, kind.what);
        ASSERT_TRUE(rewindSave(opened.rom, history.toUndo()->changes, Rewind::Undo));
        EXPECT_EQ(readFile(opened.path), before);
        history.undone();
        ASSERT_TRUE(rewindSave(opened.rom, history.toRedo()->changes, Rewind::Redo));
        EXPECT_EQ(readFile(opened.path), after);
        history.redone();
    }
    // Undone three times, back to the start; then another program changes a byte the last save wrote.
    EXPECT_FALSE(history.toRedo());
    Bytes changedElsewhere = readFile(opened.path);
    const std::uint32_t written = history.toUndo()->changes.front().offset;  // a byte of the global checksum
    ASSERT_TRUE(written == 0x14E || written == 0x14F);
    changedElsewhere[written] ^= 0xFF;
    dir.write("crystal.gbc", changedElsewhere);
    auto refusedUndo = rewindSave(opened.rom, history.toUndo()->changes, Rewind::Undo);
    ASSERT_FALSE(refusedUndo);
    EXPECT_EQ(refusedUndo.error().kind, ErrorKind::ChangedByOther);
    EXPECT_NE(describe(refusedUndo.error()).find("another program changed the byte " + hexOffset(written) + " since that save"), std::string::npos)
        << describe(refusedUndo.error());
    EXPECT_EQ(readFile(opened.path), changedElsewhere);
    // Another program's save of another trade moved only the checksums on:
    // undoing a trade's save puts its bytes back and makes them again.
    buildChecksums(changedElsewhere);
    dir.write("crystal.gbc", changedElsewhere);
    history.undone();  // the checksum fix, as if refused
    auto otherSave = writeTradeRecord(opened.rom, [&] {
        TradeEdit e = edited(3);
        e.trainerId = 3333;
        return e;
    }());
    ASSERT_TRUE(otherSave) << describe(otherSave.error());
    const Bytes beforeUndo = readFile(opened.path);
    ASSERT_TRUE(rewindSave(opened.rom, history.toUndo()->changes, Rewind::Undo));
    Bytes expected = beforeUndo;
    for (const ByteChange& c : history.toUndo()->changes) {
        if (!isCheckByte(c.offset)) expected[c.offset] = c.before;
    }
    buildChecksums(expected);
    EXPECT_EQ(readFile(opened.path), expected);
    history.redone();
    // A new save after an undo drops what could be redone.
    history.undone();
    history.saved("Save of Trade Number 3", {{0, 1, 2}});
    EXPECT_FALSE(history.toRedo());
    EXPECT_EQ(history.toUndo()->what, "Save of Trade Number 3");
}

// Read-only is the user's word: a save is refused unless asked to make the
// ROM writable; a copy (Save As) leaves the ROM exactly as it was, and a copy
// that fails part-way leaves no file at all.
TEST_F(BadSave, ReadOnlyRomsAndCopies) {
    ASSERT_TRUE(nativeFileSystem().setReadOnly(path, true));
    auto refusedSave = writeTradeRecord(value, edit);
    ASSERT_FALSE(refusedSave);
    EXPECT_EQ(refusedSave.error().code, ErrorCode::ReadOnlyFile);
    EXPECT_EQ(describe(refusedSave.error()), "\"" + path + "\" is read-only. Nothing was written.");
    EXPECT_EQ(readFile(path), rom);
    EXPECT_TRUE(nativeFileSystem().status(path)->readOnly);

    const std::string copy = dir.file("copy.gb");
    auto copied = saveTradesAs(value, std::span(&edit, 1), copy);
    ASSERT_TRUE(copied) << describe(copied.error());
    EXPECT_EQ(readFile(path), rom);
    EXPECT_EQ(saveTradesAs(value, std::span(&edit, 1), path).error().code, ErrorCode::NotAnOutput);
    // Asked to make it writable, a save that is refused leaves the mark as it was.
    struct Refused {
        const char* name;
        std::function<Result<SaveReport>()> save;
        ErrorCode code;
    };
    for (const Refused& r : std::vector<Refused>{
             {"a fix of a file that may be cut off", [&] {
                  Bytes cut = rom;
                  cut[0x148] = 7;  // 4 MiB, says the header
                  dir.write("gold.gb", cut);
                  auto fixed = saveTrades(value, {}, SaveOptions{.checksums = ChecksumPolicy::MakeConsistent, .makeWritable = true});
                  EXPECT_EQ(readFile(path), cut);
                  dir.write("gold.gb", rom);
                  return fixed;
              }, ErrorCode::TooLargeForChecksums},
             {"another program's lock", [&] {
                  FaultInjectingFileSystem busy;
                  busy.failNext(FileOp::Lock, fileFailure(ErrorCode::FileBusy, "another program is saving it"));
                  return writeTradeRecord(value, edit, SaveOptions{.makeWritable = true}, busy);
              }, ErrorCode::FileBusy},
             {"a failing write", [&] {
                  FaultInjectingFileSystem full;
                  full.failNext(FileOp::Write, fileFailure(ErrorCode::DiskFull, "the disk is full"));
                  return writeTradeRecord(value, edit, SaveOptions{.makeWritable = true}, full);
              }, ErrorCode::DiskFull},
         }) {
        SCOPED_TRACE(r.name);
        auto outcome = r.save();
        ASSERT_FALSE(outcome);
        EXPECT_EQ(outcome.error().code, r.code) << describe(outcome.error());
        EXPECT_TRUE(nativeFileSystem().status(path)->readOnly);
        EXPECT_EQ(readFile(path), rom);
    }
    auto expected = writeTradeRecord(value, edit, SaveOptions{.makeWritable = true});
    ASSERT_TRUE(expected) << describe(expected.error());
    EXPECT_FALSE(nativeFileSystem().status(path)->readOnly);
    EXPECT_EQ(readFile(copy), readFile(path));

    // Every call of a copy failing in turn: no copy, or a whole one; the ROM as it was.
    dir.write("gold.gb", rom);
    std::filesystem::remove(fsPath(copy));
    FaultInjectingFileSystem counting;
    ASSERT_TRUE(saveTradesAs(value, std::span(&edit, 1), copy, {}, counting));
    const Bytes whole = readFile(copy);
    const int calls = int(counting.calls().size());
    for (int n = 1; n <= calls; ++n) {
        SCOPED_TRACE("call " + std::to_string(n));
        std::filesystem::remove(fsPath(copy));
        FaultInjectingFileSystem fs;
        fs.failCall(n, fileFailure(ErrorCode::DiskFull, "the disk is full"));
        auto outcome = saveTradesAs(value, std::span(&edit, 1), copy, {}, fs);
        const bool exists = std::filesystem::exists(fsPath(copy));
        if (outcome || exists) {
            ASSERT_TRUE(exists);
            EXPECT_EQ(readFile(copy), whole);  // a failed folder sync comes after the rename
        }
        EXPECT_EQ(readFile(path), rom);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator{}),
                  exists ? 2 : 1);
    }
}

}  // namespace
}  // namespace kestrane
