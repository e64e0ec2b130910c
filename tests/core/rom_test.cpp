// Identifying a ROM, finding its trade table, and which record each slot shows.
#include "trades/rom.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/fault_injection.h"
#include "support/hex_text.h"
#include "support/rom_image.h"
#include "trades/pokedex.h"
#include "trades/trade_record.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

TEST(IdentifyRom, RecognisesTheReleasesExactly) {
    TempDir dir;
    struct Case {
        const char* code;
        std::uint8_t version;    // the header's version byte (0x14C)
        const char* name;        // nullptr: not edited
        const char* language;    // or, when not edited, the refusal's message
    };
    for (const Case& c : {Case{"AAUE", 0, "Pok\u00e9mon Gold", "English"}, Case{"AAXE", 0, "Pok\u00e9mon Silver", "English"},
                          Case{"BYTE", 1, "Pok\u00e9mon Crystal", "English"},
                          Case{"BYTU", 0, "Pok\u00e9mon Crystal (Australia)", "English"},
                          Case{"BYTF", 0, "Pok\u00e9mon Crystal", "French"}, Case{"BYTS", 0, "Pok\u00e9mon Crystal", "Spanish"},
                          Case{"AAUJ", 0, "Pok\u00e9mon Gold", "Japanese"}, Case{"AAXJ", 0, "Pok\u00e9mon Silver", "Japanese"},
                          // Known releases without a public source that rebuilds them: named, never guessed at.
                          Case{"BYTD", 0, nullptr, "This is Pok\u00e9mon Crystal in German (BYTD), which Kestrane does not support yet."},
                          Case{"BYTI", 0, nullptr, "This is Pok\u00e9mon Crystal in Italian (BYTI), which Kestrane does not support yet."},
                          Case{"AAUJ", 1, nullptr, "This is Pok\u00e9mon Gold in Japanese, revision 1.1 (AAUJ), which Kestrane does not support yet."},
                          Case{"aaue", 0, nullptr, "Unsupported ROM."}, Case{"byte", 0, nullptr, "Unsupported ROM."},
                          Case{"ZZZZ", 0, nullptr, "Unsupported ROM."}, Case{"\x00\x00\x00\x00", 0, nullptr, "Unsupported ROM."}}) {
        Bytes rom = randomImage(std::string_view(c.code, 4));
        rom[0x14C] = c.version;
        const std::string path = dir.write("rom.gbc", rom);
        auto identity = identifyRom(path);
        ASSERT_TRUE(identity) << identity.error().message;
        EXPECT_EQ(identity->gameCode, std::string(c.code, 4));
        if (c.name) {
            ASSERT_NE(identity->release, nullptr) << c.code;
            EXPECT_EQ(identity->release->name, c.name);
            EXPECT_EQ(identity->release->code, c.code);
            EXPECT_EQ(identity->release->language, c.language);
        } else {
            EXPECT_EQ(identity->release, nullptr) << c.code;
            auto opened = openRom(path);
            ASSERT_FALSE(opened);
            EXPECT_EQ(opened.error().code, ErrorCode::UnsupportedRom);
            EXPECT_EQ(opened.error().message, c.language);
            EXPECT_NE(opened.error().detail.find("Kestrane edits Pok\u00e9mon Gold (AAUE, AAUJ), Silver (AAXE, AAXJ) and "
                                                 "Crystal (BYTE, BYTU, BYTF, BYTS)"),
                      std::string::npos);
        }
        EXPECT_EQ(readFile(path), rom);
    }
    EXPECT_EQ(printableGameCode("AAUF"), "AAUF");
    EXPECT_EQ(printableGameCode(std::string("\x00\xFF" "AB", 4)), "00 FF 41 42");
}

TEST(IdentifyRom, RefusesWhatIsNoRomFileWithAMessage) {
    TempDir dir;
    Bytes header = randomImage("BYTE");
    header.resize(0x143);
    const std::string exact = dir.write("exact.gb", header);
    ASSERT_TRUE(identifyRom(exact));  // the header is all it needs

    header.resize(0x142);
    const std::string cut = dir.write("cut.gb", header);
    const std::string empty = dir.write("empty.gb", {});

    struct Case {
        std::string path;
        ErrorCode code;
        ErrorKind kind;
    };
    for (const Case& c : {Case{dir.file("missing.gb"), ErrorCode::FileNotFound, ErrorKind::FileFailure},
                          Case{"", ErrorCode::FileNotFound, ErrorKind::FileFailure},
                          Case{dir.folder(), ErrorCode::PathFileAccess, ErrorKind::FileFailure},
                          Case{cut, ErrorCode::FileTooShort, ErrorKind::Refused},
                          Case{empty, ErrorCode::FileTooShort, ErrorKind::Refused},
                          Case{dir.file("cut.gb/x"), ErrorCode::PathNotFound, ErrorKind::FileFailure}}) {
        auto identity = identifyRom(c.path);
        ASSERT_FALSE(identity) << c.path;
        EXPECT_EQ(identity.error().code, c.code) << c.path << ": " << identity.error().message;
        EXPECT_EQ(identity.error().kind, c.kind) << c.path;
        EXPECT_EQ(identity.error().effect, FileEffect::NotWriting);
    }
    EXPECT_EQ(readFile(cut).size(), 0x142u);

    FaultInjectingFileSystem failing;
    failing.failNext(FileOp::Read, fileFailure(ErrorCode::DeviceIo, "injected"));
    auto broken = identifyRom(exact, failing);
    ASSERT_FALSE(broken);
    EXPECT_EQ(broken.error().code, ErrorCode::DeviceIo);
    EXPECT_NE(broken.error().message.find("exact.gb"), std::string::npos);
}

// Where the table is, for every way a ROM can keep it, and every way it can fail.
struct Locating {
    const char* name;
    const char* code;
    std::function<void(Bytes&)> build;  // on a random image of the code
    std::uint32_t offset;               // 0: no table
    int records;
    FoundBy foundBy;
    const char* refusal;  // a part of the message when there is no table
};

void PrintTo(const Locating& c, std::ostream* os) { *os << c.name; }

std::vector<TradeBytes> ownTrades(const char* code) { return retailTrades(code); }

const Locating kLocating[] = {
    {"retail Crystal", "BYTE", [](Bytes& r) { r = retailLikeRom("BYTE"); }, kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"retail Gold", "AAUE", [](Bytes& r) { r = retailLikeRom("AAUE"); }, kGoldSilverTable, 6, FoundBy::UsualPlace, ""},
    {"retail Silver", "AAXE", [](Bytes& r) { r = retailLikeRom("AAXE"); }, kGoldSilverTable, 6, FoundBy::UsualPlace, ""},
    {"Australian Crystal", "BYTU", [](Bytes& r) { r = retailLikeRom("BYTU"); }, kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"French Crystal", "BYTF", [](Bytes& r) { r = retailLikeRom("BYTF"); }, kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"Spanish Crystal", "BYTS", [](Bytes& r) { r = retailLikeRom("BYTS"); }, kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"Japanese Gold", "AAUJ", [](Bytes& r) { r = retailLikeRom("AAUJ"); }, 0xFCC23, 6, FoundBy::UsualPlace, ""},
    {"Japanese Silver moved by 40, its 16-byte routine pointing to it", "AAXJ",
     [](Bytes& r) {
         putTable(r, 0xFCC23 + 40, ownTrades("AAXJ"), 16);
         putRoutine(r, 0xFCB8E + 40, 0xFCC23 + 40, 16);
     },
     0xFCC23 + 40, 6, FoundBy::TableRoutine, ""},
    {"Japanese Gold moved, routine gone: the scan finds it", "AAUJ",
     [](Bytes& r) { putTable(r, 0x123457, ownTrades("AAUJ"), 16); }, 0x123457, 6, FoundBy::RecordScan, ""},
    {"a 32-byte routine in a Japanese ROM points nowhere it counts", "AAUJ",
     [](Bytes& r) {
         putTable(r, 0x40000, ownTrades("AAUJ"), 16);
         putTable(r, 0x80000, ownTrades("AAUJ"), 16);
         putRoutine(r, 0xFCB8E, 0xFCC23, 32);
     },
     0, 0, FoundBy::UsualPlace, "found 2 runs of trade records"},
    {"moved by 48, routine points to it", "BYTE",
     [](Bytes& r) {
         putTable(r, kCrystalTable + 48, ownTrades("BYTE"));
         putRoutine(r, kCrystalRoutine + 48, kCrystalTable + 48);
     },
     kCrystalTable + 48, 7, FoundBy::TableRoutine, ""},
    {"moved, routine gone: the scan finds it", "AAUE",
     [](Bytes& r) { putTable(r, 0x123456, ownTrades("AAUE")); }, 0x123456, 6, FoundBy::RecordScan, ""},
    {"nine records", "BYTE",
     [](Bytes& r) {
         auto trades = ownTrades("BYTE");
         trades.push_back(TradeBytes{});
         trades.push_back(TradeBytes{3, 1, 251, nameField("ADDED"), {1, 2}, 0, 7, nameField("ME"), 2});
         putTable(r, kCrystalTable, trades);
     },
     kCrystalTable, 9, FoundBy::UsualPlace, ""},
    {"Gold with a seventh record added", "AAUE",
     [](Bytes& r) {
         auto trades = ownTrades("AAUE");
         trades.push_back(TradeBytes{});
         putTable(r, kGoldSilverTable, trades);
     },
     kGoldSilverTable, 7, FoundBy::UsualPlace, ""},
    {"two candidate runs", "BYTE",
     [](Bytes& r) {
         putTable(r, 0x40000, ownTrades("BYTE"));
         putTable(r, 0x80000, ownTrades("BYTE"));
     },
     0, 0, FoundBy::UsualPlace, "found 2 runs of trade records (at 0x40000 and 0x80000)"},
    {"records in another format", "BYTE",
     [](Bytes& r) {
         // 16-bit species and an 8-byte trainer name: +29 holds the gender byte.
         for (int i = 0; i < 7; ++i) {
             Bytes record(32, 0x50);
             record[0] = 0;
             record[1] = 0x3F, record[2] = 0, record[3] = 0x42, record[4] = 0;
             record[29] = 0, record[30] = 0, record[31] = 0;
             std::copy(record.begin(), record.end(), r.begin() + kCrystalTable + 32 * i);
         }
         putRoutine(r, kCrystalRoutine, kCrystalTable);
     },
     0, 0, FoundBy::UsualPlace, "points to 0xFCE58, where the record of Trade Number 2 fails the checks"},
    {"routine points outside its bank", "BYTE",
     [](Bytes& r) {
         putRoutine(r, kCrystalRoutine, kCrystalTable);
         r[kCrystalRoutine + 15] = 0x80;  // address 0x8E58
     },
     0, 0, FoundBy::UsualPlace, "points outside its own bank"},
    {"routine points past the end of the file", "BYTE",
     [](Bytes& r) {
         putRoutine(r, 0x1FC000, 0x1FF000);
         r.resize(0x1FE000);
     },
     0, 0, FoundBy::UsualPlace, "at 0x1FC000, points to 0x1FF000, past the end of the file"},
    // Files shorter than their headers say: the table is the game's whole
    // table, cut, whichever way it is found; cut before it, there is none.
    {"file cut inside the table", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r.resize(kCrystalTable + 100);
     },
     kCrystalTable, 7, FoundBy::UsualPlace, ""},
    {"moved table cut inside record 7", "BYTE",
     [](Bytes& r) {
         putTable(r, kCrystalTable + 48, ownTrades("BYTE"));
         putRoutine(r, kCrystalRoutine + 48, kCrystalTable + 48);
         r.resize(kCrystalTable + 48 + 6 * 32 + 20);
     },
     kCrystalTable + 48, 7, FoundBy::TableRoutine, ""},
    {"table found by the scan, cut inside record 7", "BYTE",
     [](Bytes& r) {
         putTable(r, 0x123456, ownTrades("BYTE"));
         r.resize(0x123456 + 6 * 32 + 20);
     },
     0x123456, 7, FoundBy::RecordScan, ""},
    {"file cut before the table", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r.resize(kCrystalTable - 100);
     },
     0, 0, FoundBy::UsualPlace, "points to 0xFCE58, past the end of the file"},
    {"header says 512 KiB: a table at the end is no cut one", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r[0x148] = 0x04;
         r.resize(kCrystalTable + 100);
     },
     0, 0, FoundBy::UsualPlace, "points to 0xFCE58, where the file ends before the table's end"},
    // The game's own routine decides: one bad byte is no reason to take another place.
    {"record 0's dialog set byte 9: refused, no scan", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r[kCrystalTable] = 9;
     },
     0, 0, FoundBy::UsualPlace, "at 0xFCDC2, points to 0xFCE58, where the record of Trade Number 2 fails the checks: its "
                                "dialog set byte is 9"},
    {"record 0's last byte 1: refused, no scan", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         r[kCrystalTable + 31] = 1;
     },
     0, 0, FoundBy::UsualPlace, "its last byte is 0x01, not 0x00"},
    {"the routine points to a copy; the old table at the usual place is stale", "BYTE",
     [](Bytes& r) {
         r = retailLikeRom("BYTE");
         auto trades = ownTrades("BYTE");
         trades[1].nickname = nameField("EDITED");
         putTable(r, 0xFF000, trades);
         putRoutine(r, kCrystalRoutine, 0xFF000);
     },
     0xFF000, 7, FoundBy::TableRoutine, ""},
    {"the routine points to bytes that are no table, though the usual place holds one", "AAUE",
     [](Bytes& r) {
         r = retailLikeRom("AAUE");
         putRoutine(r, kGoldSilverRoutine, 0xFF000);
     },
     0, 0, FoundBy::UsualPlace, "points to 0xFF000, where the record of Trade Number 2 fails the checks"},
    {"Japanese Silver's stale copies of the routine and the table in unused space", "AAXJ",
     [](Bytes& r) {
         r = retailLikeRom("AAXJ");
         auto trades = ownTrades("AAXJ");
         trades[0].requested = 1;
         putTable(r, 0xFEBBF, trades, 16);
         putRoutine(r, 0xFEB2A, 0xFEBBF, 16);
     },
     0xFCC23, 6, FoundBy::UsualPlace, ""},
    {"code moved: two copies of the routine point to different tables", "BYTE",
     [](Bytes& r) {
         putTable(r, 0xFD000, ownTrades("BYTE"));
         putTable(r, 0xFE000, ownTrades("BYTE"));
         putRoutine(r, 0xFC100, 0xFD000);
         putRoutine(r, 0xFC200, 0xFE000);
     },
     0, 0, FoundBy::UsualPlace,
     "2 copies of the routine that reads it point to different places (at 0xFC100 to 0xFD000 and at 0xFC200 to 0xFE000)"},
    {"8 MiB with 299,593 copies of the routine, none usable: told in short", "BYTE",
     [](Bytes& r) {
         r.resize(8 * 1024 * 1024);
         for (std::uint32_t at = 0x4000, n = 0; n < 299593; ++n, at += 21) putRoutine(r, at, at + 0x40);
     },
     0, 0, FoundBy::UsualPlace, "299,593 copies of the routine that reads it point to different places (at 0x4000 to "
                                "0x4040, at 0x4015 to 0x4055, at 0x402A to 0x406A, at 0x403F to 0x407F and 299,589 more)"},
    {"8 MiB Japanese: a repeated record pattern is no table", "AAUJ",
     [](Bytes& r) {
         r.resize(8 * 1024 * 1024);
         putTable(r, 0x100000, std::vector<TradeBytes>(40, ownTrades("AAUJ")[0]), 16);
     },
     0, 0, FoundBy::UsualPlace, "found no run of trade records (and 1 run longer than a table can be)"},
};

class LocatingTable : public ::testing::TestWithParam<Locating> {};

TEST_P(LocatingTable, FindsTheTableOrSaysWhyNot) {
    const Locating& c = GetParam();
    TempDir dir;
    Bytes image = randomImage(c.code, 5);
    c.build(image);
    const std::string path = dir.write("rom.gbc", image);
    auto rom = openRom(path);
    ASSERT_TRUE(rom) << rom.error().message;
    if (c.offset) {
        ASSERT_TRUE(rom->table) << rom->noTable.message;
        EXPECT_EQ(rom->table->offset, c.offset);
        EXPECT_EQ(rom->table->records, c.records);
        EXPECT_EQ(rom->table->foundBy, c.foundBy);
        EXPECT_EQ(rom->slotCount(), std::max(7, c.records));
    } else {
        ASSERT_FALSE(rom->table) << rom->table->offset;
        EXPECT_EQ(rom->noTable.code, ErrorCode::NoTradeTable);
        EXPECT_EQ(rom->noTable.kind, ErrorKind::Refused);
        EXPECT_NE(rom->noTable.message.find(c.refusal), std::string::npos) << rom->noTable.message;
        EXPECT_NE(rom->noTable.message.find("keeps its trade table at " + hexOffset(usualTable(c.code))), std::string::npos);
        EXPECT_NE(rom->noTable.message.find("The file was not changed."), std::string::npos);
        auto reading = readTradeRecord(*rom, Slot::fromNumber(1));
        ASSERT_FALSE(reading);
        EXPECT_EQ(reading.error().code, ErrorCode::NoTradeTable);
    }
    EXPECT_EQ(readFile(path), image);
}

INSTANTIATE_TEST_SUITE_P(Rom, LocatingTable, ::testing::ValuesIn(kLocating),
                         [](const auto& info) {
                             std::string name;
                             for (char c : std::string(info.param.name)) name += std::isalnum(c) ? c : '_';
                             return name;
                         });

TEST(Rom, EachSlotShowsItsRecordAndLocation) {
    struct Row {
        int slot;
        const char* goldSilverLocation;  // nullptr: no trade
        std::uint32_t goldSilverOffset;
        const char* crystalLocation;
        std::uint32_t crystalOffset;
    };
    // Slot 1 shows the table's second record, slot 2 its first.
    const Row rows[] = {
        {1, "Violet City, Johto", 0xFCC44, "Violet City, Johto", 0xFCE78},
        {2, "Goldenrod City, Johto", 0xFCC24, "Goldenrod City, Johto", 0xFCE58},
        {3, "Olivine City, Johto", 0xFCC64, "Olivine City, Johto", 0xFCE98},
        {4, "Blackthorn City, Johto", 0xFCC84, "Blackthorn City, Johto", 0xFCEB8},
        {5, "Pewter City, Kanto", 0xFCCA4, "Pewter City, Kanto", 0xFCED8},  // in Kanto, in Crystal too
        {6, "Route 14, Kanto", 0xFCCC4, "Route 14, Kanto", 0xFCEF8},
        {7, nullptr, 0, "Power Plant, Kanto", 0xFCF18},
    };
    TempDir dir;
    for (const char* code : {"AAUE", "AAXE", "BYTE", "BYTU"}) {
        auto rom = openRom(dir.write("rom.gbc", retailLikeRom(code)));
        ASSERT_TRUE(rom && rom->table) << code;
        const bool crystal = code[0] == 'B';
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(code) + " slot " + std::to_string(row.slot));
            auto place = rom->place(Slot::fromNumber(row.slot));
            const char* location = crystal ? row.crystalLocation : row.goldSilverLocation;
            if (!location) {
                EXPECT_FALSE(place);
                continue;
            }
            ASSERT_TRUE(place);
            EXPECT_EQ(place->offset, crystal ? row.crystalOffset : row.goldSilverOffset);
            EXPECT_EQ(place->location, location);
        }
    }
    // Records beyond the game's own are the ROM's additions.
    Bytes nine = retailLikeRom("AAUE");
    auto trades = retailTrades("AAUE");
    trades.resize(9);
    putTable(nine, kGoldSilverTable, trades);
    auto rom = openRom(dir.write("nine.gb", nine));
    ASSERT_TRUE(rom && rom->table);
    EXPECT_EQ(rom->slotCount(), 9);
    for (int slot : {7, 8, 9}) {
        auto place = rom->place(Slot::fromNumber(slot));
        ASSERT_TRUE(place) << slot;
        EXPECT_EQ(place->offset, kGoldSilverTable + 32u * std::uint32_t(slot - 1));
        EXPECT_EQ(place->location, kAddedLocation);
    }
    EXPECT_EQ(slotName(12), "Trade Number 12");
    EXPECT_FALSE(slotFromNumber(10, 9));
    EXPECT_FALSE(slotFromNumber(0, 9));
    EXPECT_EQ(slotFromNumber(9, 9)->number(), 9);
}

TEST(Species, ListEntriesNamesAndTypedText) {
    auto list = speciesList();
    ASSERT_EQ(list.size(), 252u);
    EXPECT_EQ(list[0], "?????");
    EXPECT_EQ(list[1], "Bulbasaur ");
    EXPECT_EQ(list[29], "Nidoran (f)");
    EXPECT_EQ(list[32], "Nidoran (m)");
    EXPECT_EQ(list[38], "Ninetails ");
    EXPECT_EQ(list[83], "Farfetch'd ");
    EXPECT_EQ(list[122], "Mr. Mime ");
    EXPECT_EQ(list[151], "Mew");
    EXPECT_EQ(list[201], "Unown");
    EXPECT_EQ(list[250], "Ho-oh ");
    EXPECT_EQ(list[251], "Celebi ");
    int withoutBlank = 0;
    for (std::string_view name : list) withoutBlank += name.back() != ' ';
    EXPECT_EQ(withoutBlank, 5);
    EXPECT_EQ(speciesName(63), "Abra");

    const std::string longText(10'000'000, 'a');
    // What a person types, and the stored byte it is typed over.
    struct Typed {
        const char* text;
        std::uint8_t stored;
        int species;  // -1: refused
        ErrorCode code = ErrorCode::SpeciesNotChosen;
        const char* near = "";  // the names a refusal offers
    };
    for (const Typed& t : {Typed{"abra", 1, 63}, Typed{" ABRA ", 1, 63}, Typed{"nidoran (m)", 1, 32},
                           Typed{"?????", 1, 0}, Typed{"Ninetales", 1, 38}, Typed{"ninetails", 1, 38},
                           Typed{"Vaporeon", 1, 134}, Typed{"Ariados", 1, 168}, Typed{"swinub", 1, 220},
                           Typed{"25", 1, 25}, Typed{"0025", 1, 25}, Typed{"0", 1, 0}, Typed{"251", 1, 251}, Typed{"252", 252, 252},
                           Typed{"#252", 252, 252}, Typed{"", 255, 255}, Typed{"", 5, -1},
                           Typed{"252", 5, -1, ErrorCode::SpeciesOutOfRange},
                           Typed{"99999", 5, -1, ErrorCode::SpeciesOutOfRange},
                           Typed{"99999999999999999999", 5, -1, ErrorCode::SpeciesOutOfRange}, Typed{"Abr", 5, -1},
                           Typed{"-1", 5, -1},
                           // Letter case, blanks and punctuation aside, ♀ and ♂ as f and m.
                           Typed{"Nidoran\u2640", 1, 29}, Typed{"nidoran f", 1, 29}, Typed{"NIDORAN M", 1, 32},
                           Typed{"Mr.Mime", 1, 122}, Typed{"mr mime", 1, 122}, Typed{"farfetchd", 1, 83},
                           Typed{"hooh", 1, 250}, Typed{"porygon 2", 1, 233},
                           Typed{"Pikachoo", 5, -1, ErrorCode::SpeciesNotChosen, " Did you mean Pikachu?"},
                           Typed{"nidoran", 5, -1, ErrorCode::SpeciesNotChosen,
                                 " Did you mean Nidoran (f) or Nidoran (m)?"},
                           // Text far longer than any name is not matched at all (that would take minutes).
                           Typed{longText.c_str(), 5, -1, ErrorCode::SpeciesNotChosen},
                           Typed{"Pika\x01" "choo", 5, -1, ErrorCode::SpeciesNotChosen}}) {
        auto species = resolveSpecies(t.text, t.stored, SpeciesRole::Offered);
        SCOPED_TRACE(t.text);
        EXPECT_LT(species ? 0 : species.error().message.size(), 300u);
        if (t.species >= 0) {
            ASSERT_TRUE(species) << species.error().message;
            EXPECT_EQ(*species, t.species);
        } else {
            ASSERT_FALSE(species);
            EXPECT_EQ(species.error().code, t.code);
            EXPECT_NE(species.error().message.find("offered species (Offered Pok\u00e9mon)"), std::string::npos);
            if (*t.near) {
                EXPECT_TRUE(species.error().message.ends_with(t.near)) << species.error().message;
            }
        }
    }
    EXPECT_NE(resolveSpecies("Pika\x01" "choo", 5, SpeciesRole::Offered).error().message.find("\"Pika\\x01choo\""), std::string::npos);
    EXPECT_NE(resolveSpecies(longText, 5, SpeciesRole::Offered).error().message.find("aaa\u2026\" (10,000,000 bytes)"),
              std::string::npos);

    // A ROM that gives two species one name: neither is guessed.
    std::vector<std::string> romNames(kDexSpecies, "");
    for (int i = 1; i <= kDexSpecies; ++i) romNames[std::size_t(i - 1)] = std::string(speciesName(i));
    romNames[0] = "PIKACHU";
    const SpeciesNames twice(romNames);
    auto ambiguous = resolveSpecies("Pikachu", 5, SpeciesRole::Offered, twice);
    ASSERT_FALSE(ambiguous);
    EXPECT_EQ(ambiguous.error().code, ErrorCode::AmbiguousName);
    EXPECT_EQ(ambiguous.error().message, "\"Pikachu\" names species 1 and 25 of this ROM: give the number of the one you mean.");
    EXPECT_EQ(*resolveSpecies("25", 5, SpeciesRole::Offered, twice), 25);
    EXPECT_EQ(findSpecies("pikachu", twice).error().code, ErrorCode::AmbiguousName);
}

}  // namespace
}  // namespace kestrane
