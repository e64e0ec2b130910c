// Identifying a ROM, and which record each slot shows.
#include "trades/rom.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "families/families.h"
#include "platform/gb/cartridge.h"
#include "support/fault_injection.h"
#include "support/hex_text.h"
#include "support/rom_image.h"
#include "trades/creature_list.h"
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
        const char* title = nullptr;  // Red, Blue and Yellow: the title at 0x134, which is their code
        std::uint8_t destination = 1;
        std::uint8_t licensee = 0x33;
    };
    for (const Case& c : {Case{"AAUE", 0, "Pok\u00e9mon Gold", "English"}, Case{"AAXE", 0, "Pok\u00e9mon Silver", "English"},
                          Case{"BYTE", 1, "Pok\u00e9mon Crystal", "English"},
                          Case{"BYTU", 0, "Pok\u00e9mon Crystal (Australia)", "English"},
                          Case{"BYTF", 0, "Pok\u00e9mon Crystal", "French"}, Case{"BYTS", 0, "Pok\u00e9mon Crystal", "Spanish"},
                          Case{"AAUJ", 0, "Pok\u00e9mon Gold", "Japanese"}, Case{"AAXJ", 0, "Pok\u00e9mon Silver", "Japanese"},
                          // The Japanese revision 1.1 keeps every table where 1.0 does.
                          Case{"AAUJ", 1, "Pok\u00e9mon Gold", "Japanese"}, Case{"AAXJ", 1, "Pok\u00e9mon Silver", "Japanese"},
                          // Polished Crystal: master's version byte 0x32 (3.2.3 too, told apart by its routine), 3.0-3.1.1's 0x30.
                          Case{"PKPC", 0x32, "Pok\u00e9mon Polished Crystal", "English"},
                          Case{"PKPC", 0x30, "Pok\u00e9mon Polished Crystal (3.x)", "English"},
                          Case{"PKPC", 0x31, nullptr, "Unsupported ROM."},
                          // Known releases without a public source that rebuilds them: named, never guessed at.
                          Case{"BYTD", 0, nullptr, "This is Pok\u00e9mon Crystal in German (BYTD), which Kestrane does not support yet."},
                          Case{"BYTI", 0, nullptr, "This is Pok\u00e9mon Crystal in Italian (BYTI), which Kestrane does not support yet."},
                          Case{"BXTJ", 0, nullptr, "This is Pok\u00e9mon Crystal in Japanese (BXTJ), which Kestrane does not support yet."},
                          Case{"aaue", 0, nullptr, "Unsupported ROM."}, Case{"byte", 0, nullptr, "Unsupported ROM."},
                          Case{"ZZZZ", 0, nullptr, "Unsupported ROM."}, Case{"\x00\x00\x00\x00", 0, nullptr, "Unsupported ROM."},
                          // Red, Blue and Yellow have no code: their title with the licensee 0x33, the
                          // destination saying the market (Japanese Red and Green, 1.0 and 1.1: Japan).
                          Case{"POKEMON RED", 0, "Pok\u00e9mon Red", "English", "POKEMON RED"},
                          Case{"POKEMON BLUE", 0, "Pok\u00e9mon Blue", "English", "POKEMON BLUE"},
                          Case{"POKEMON YELLOW", 0, "Pok\u00e9mon Yellow", "English", "POKEMON YELLOW"},
                          Case{"POKEMON RED", 0, "Pok\u00e9mon Red", "Japanese", "POKEMON RED", 0x00},
                          Case{"POKEMON GREEN", 1, "Pok\u00e9mon Green", "Japanese", "POKEMON GREEN", 0x00},
                          Case{"POKEMON BLUE", 0, nullptr, "This is Pok\u00e9mon Blue in Japanese (POKEMON BLUE), which Kestrane does not support yet.",
                               "POKEMON BLUE", 0x00},
                          Case{"POKEMON GREEN", 0, nullptr, "Unsupported ROM.", "POKEMON GREEN"},
                          Case{"POKEMON ROUGE", 0, nullptr, "This is Pok\u00e9mon Red in French (POKEMON ROUGE), which Kestrane does not support yet.",
                               "POKEMON ROUGE"},
                          Case{"POKEMON GELB", 0, nullptr, "This is Pok\u00e9mon Yellow in German (POKEMON GELB), which Kestrane does not support yet.",
                               "POKEMON GELB"},
                          Case{"POKEMON RED", 1, nullptr, "Unsupported ROM.", "POKEMON RED"},
                          Case{"POKEMON BLUE", 0, nullptr, "Unsupported ROM.", "POKEMON BLUE", 1, 0x01},
                          Case{"POKEMON REDX", 0, nullptr, "Unsupported ROM.", "POKEMON REDX"},
                          // A title stands only for a release known by its title, never for a game code.
                          Case{"BYTE", 0, nullptr, "Unsupported ROM.", "BYTE"}}) {
        Bytes rom = randomImage(c.title ? std::string_view() : std::string_view(c.code, 4));
        if (c.title) {
            std::fill_n(rom.begin() + 0x134, 16, 0x00);
            std::copy_n(c.title, std::strlen(c.title), rom.begin() + 0x134);
            if (std::string_view(c.title) == "POKEMON YELLOW") rom[0x143] = 0x80;
            rom[0x14A] = c.destination;
            rom[0x14B] = c.licensee;
        }
        rom[0x14C] = c.version;
        const std::string path = dir.write("rom.gbc", rom);
        auto identity = identifyRom(path, families::all());
        ASSERT_TRUE(identity) << identity.error().message;
        // A title no release has keeps the code at 0x13F (which such a title overlaps).
        if (!c.title) {
            EXPECT_EQ(identity->gameCode, std::string(c.code, 4));
        } else if (c.name || c.language[0] == 'T') {
            EXPECT_EQ(identity->gameCode, c.title);
        }
        if (c.name) {
            ASSERT_NE(identity->release, nullptr) << c.code;
            EXPECT_EQ(identity->release->name, c.name);
            EXPECT_EQ(identity->release->code, c.code);
            EXPECT_EQ(languageName(identity->release->language), c.language);
        } else {
            EXPECT_EQ(identity->release, nullptr) << c.code;
            auto opened = openRom(path, families::all());
            ASSERT_FALSE(opened);
            EXPECT_EQ(opened.error().code, ErrorCode::UnsupportedRom);
            EXPECT_EQ(opened.error().message, c.language);
            EXPECT_NE(opened.error().detail.find("Kestrane edits Pok\u00e9mon Gold (AAUE, AAUJ), Silver (AAXE, AAXJ), "
                                                 "Crystal (BYTE, BYTU, BYTF, BYTS), Polished Crystal (PKPC), Red (POKEMON RED), Blue (POKEMON BLUE)"
                                                 ", Yellow (POKEMON YELLOW) and Green (POKEMON GREEN), the releases"),
                      std::string::npos) << opened.error().detail;
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
    ASSERT_TRUE(identifyRom(exact, families::all()));  // the header is all it needs

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
        auto identity = identifyRom(c.path, families::all());
        ASSERT_FALSE(identity) << c.path;
        EXPECT_EQ(identity.error().code, c.code) << c.path << ": " << identity.error().message;
        EXPECT_EQ(identity.error().kind, c.kind) << c.path;
        EXPECT_EQ(identity.error().effect, FileEffect::NotWriting);
    }
    EXPECT_EQ(readFile(cut).size(), 0x142u);

    FaultInjectingFileSystem failing;
    failing.failNext(FileOp::Read, fileFailure(ErrorCode::DeviceIo, "injected"));
    auto broken = identifyRom(exact, families::all(), failing);
    ASSERT_FALSE(broken);
    EXPECT_EQ(broken.error().code, ErrorCode::DeviceIo);
    EXPECT_NE(broken.error().message.find("exact.gb"), std::string::npos);
}

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
        auto rom = openRom(dir.write("rom.gbc", retailLikeRom(code)), families::all());
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
    auto rom = openRom(dir.write("nine.gb", nine), families::all());
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

}  // namespace
}  // namespace kestrane
