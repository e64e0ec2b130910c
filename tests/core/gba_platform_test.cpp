// The Game Boy Advance platform: a cartridge header's identity and its
// complement, routines found by their bytes in 16 and 32 MiB images read in
// pieces, and the pointers their literal pools hold; and the third
// generation's table found through them, its records, read-outs and characters.
#include "platform/gba/game_boy_advance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>

#include "families/gen3/third_generation_charset.h"
#include "families/gen3/third_generation_record.h"
#include "families/families.h"
#include "families/gen3/third_generation_table.h"
#include "platform/gba/cartridge.h"
#include "platform/gba/lz77.h"
#include "platform/gba/thumb_search.h"
#include "support/gba_image.h"
#include "support/memory_file_system.h"
#include "support/rom_image.h"
#include "text/game_text.h"
#include "trades/rom.h"
#include "trades/trade_table.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

TEST(GameBoyAdvance, TheHeadersIdentityAndComplement) {
    const Platform& platform = gameBoyAdvancePlatform();
    struct Case {
        const char* name;
        std::function<void(Bytes&)> change;
        std::string code, title;
        bool header;
        ChecksumStatus complement;
        std::string refusal;
    };
    for (const Case& c : std::vector<Case>{
             {"Emerald", [](Bytes&) {}, "BPEE", "POKEMON EMER", true, ChecksumStatus::Consistent, ""},
             {"a stale complement", [](Bytes& b) { b[gba::kComplementAt] ^= 1; }, "BPEE", "POKEMON EMER", true, ChecksumStatus::Stale, ""},
             {"no fixed byte", [](Bytes& b) { b[gba::kFixedAt] = 0; }, "BPEE", "POKEMON EMER", false, ChecksumStatus::Stale, ""},
             {"cut before the code", [](Bytes& b) { b.resize(0xAE); }, "", "", false, ChecksumStatus::Absent,
              "is too short to be a Game Boy Advance ROM (174 bytes): it ends before the game code of the cartridge header. "
              "Choose a Pok\u00e9mon Emerald ROM."},
         }) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Bytes image = gbaImage("POKEMON EMER", "BPEE", 0, 0x200);
        c.change(image);
        const std::string path = dir.write("rom.gba", image);
        auto file = nativeFileSystem().open(path, OpenMode::Read);
        ASSERT_TRUE(file);
        auto identity = platform.identify(**file, path, [] { return std::string("Pok\u00e9mon Emerald"); });
        if (!c.refusal.empty()) {
            ASSERT_FALSE(identity);
            EXPECT_NE(identity.error().message.find(c.refusal), std::string::npos) << identity.error().message;
            continue;
        }
        ASSERT_TRUE(identity) << identity.error().message;
        EXPECT_EQ(identity->gameCode, c.code);
        EXPECT_EQ(identity->title, c.title);
        EXPECT_EQ(identity->cartridgeHeader, c.header);
        auto state = platform.readChecksumState(**file, std::int64_t(image.size()));
        ASSERT_TRUE(state);
        EXPECT_EQ(state->of(0), c.complement);
        // A fix makes it consistent; no save of trades reaches the header.
        EXPECT_TRUE(platform.checks()[0].onlyByFix);
        auto checks = platform.imageChecks(image, {});
        checks->update(CheckSet{true});
        EXPECT_EQ(checks->state().of(0), ChecksumStatus::Consistent);
    }
    EXPECT_EQ(platform.fileKinds()[0].mimeType, "application/x-gba-rom");
    EXPECT_EQ(platform.largestImage(), 32 << 20);
}

TEST(GameBoyAdvance, RoutinesFoundByTheirBytesAndTheirPoolsRead) {
    static constexpr int kForm[] = {0x70, 0xB5, 0x0C, 0x48, -1, -1, -1, -1, 0x08, 0x48, 0x21, 0x8F};
    const gba::ThumbPattern pattern{kForm, 0};
    const auto piece = std::uint32_t(kSearchPiece);
    struct Case {
        const char* name;
        std::size_t size;
        std::vector<std::uint32_t> at;     // where the routine is put
        std::vector<std::uint32_t> found;  // where it is found
    };
    for (const Case& c : std::vector<Case>{
             {"a 16 MiB image", 16 << 20, {0x7E774}, {0x7E774}},
             {"across a piece's end", 16 << 20, {piece - 6}, {piece - 6}},
             {"a copy in the upper half of 32 MiB", 32 << 20, {0x7E774, 0x1800000}, {0x7E774, 0x1800000}},
             {"at an odd place: no Thumb code", 16 << 20, {0x7E775}, {}},
             {"cut short by the file's end", 16 << 20, {(16u << 20) - 6}, {}},
         }) {
        SCOPED_TRACE(c.name);
        Bytes image(c.size);
        std::mt19937 random(7);
        for (auto& b : image) b = std::uint8_t(random());
        for (std::uint32_t at : c.at) {
            for (std::size_t i = 0; i < std::size(kForm) && at + i < image.size(); ++i) {
                if (kForm[i] >= 0) image[at + i] = std::uint8_t(kForm[i]);
            }
        }
        TempDir dir;
        const std::string path = dir.write("rom.gba", image);
        auto file = nativeFileSystem().open(path, OpenMode::Read);
        ASSERT_TRUE(file);
        auto found = gba::findPattern(**file, std::int64_t(image.size()), pattern);
        ASSERT_TRUE(found) << found.error().message;
        EXPECT_EQ(*found, c.found);
    }
    // A pool's word names a byte of the ROM (0x08000000 on), or nothing.
    Bytes image(16 << 20, 0);
    for (auto [at, word] : {std::pair{0x100u, 0x08338ED0u}, std::pair{0x104u, 0x02000000u}, std::pair{0x108u, 0x09FFFFFFu}}) {
        for (int i = 0; i < 4; ++i) image[at + i] = std::uint8_t(word >> (8 * i));
    }
    TempDir dir;
    auto file = nativeFileSystem().open(dir.write("rom.gba", image), OpenMode::Read);
    ASSERT_TRUE(file);
    EXPECT_EQ(*gba::poolPointer(**file, 0x100, std::int64_t(image.size())), 0x338ED0u);
    EXPECT_EQ(*gba::poolPointer(**file, 0x104, std::int64_t(image.size())), std::nullopt);  // work RAM
    EXPECT_EQ(*gba::poolPointer(**file, 0x108, std::int64_t(image.size())), std::nullopt);  // past this 16 MiB file
    EXPECT_EQ(*gba::poolPointer(**file, (16u << 20) - 2, std::int64_t(image.size())), std::nullopt);
}


// The third generation's trade table, through the game's code or by its records alone.
TEST(ThirdGenerationTable, FoundThroughTheCodeOrItsRecords) {
    const std::vector<Trade60> trades(4, Trade60{});
    struct Case {
        const char* name;
        std::size_t size;
        std::function<void(Bytes&)> place;
        std::optional<std::uint32_t> table;  // none: refused, with `refusal`
        FoundBy by = FoundBy::UsualPlace;
        std::string refusal;
    };
    const auto inPlace = [&](Bytes& rom) {
        putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, kEmeraldTable, kEmeraldNames);
        putTable60(rom, kEmeraldTable, trades);
    };
    for (const Case& c : std::vector<Case>{
             {"Emerald's table in place", kGbaRomSize, inPlace, kEmeraldTable, FoundBy::UsualPlace, ""},
             {"moved to the upper half of 32 MiB, every pool changed", kGbaLargestSize,
              [&](Bytes& rom) {
                  putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, 0x1F00000, kEmeraldNames);
                  putTradeSceneStrings(rom, kEmeraldSceneStrings, 0x1F00000);
                  putTable60(rom, 0x1F00000, trades);
              },
              0x1F00000, FoundBy::TableRoutine, ""},
             {"a pool left at the old place", kGbaLargestSize,
              [&](Bytes& rom) { putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, 0x1F00000, kEmeraldNames, kEmeraldTable); },
              std::nullopt, FoundBy::UsualPlace,
              "The game's code reads the trade table at two places: GetInGameTradeSpeciesInfo at 0x1F00000, "
              "CreateInGameTradePokemonInternal at 0x338ED0. A hack that moved it must change every pointer; Kestrane writes none"},
             {"the trade scene's pool left at the old place", kGbaLargestSize,
              [&](Bytes& rom) {
                  putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, 0x1F00000, kEmeraldNames);
                  putTradeSceneStrings(rom, kEmeraldSceneStrings, kEmeraldTable);
                  putTable60(rom, 0x1F00000, trades);
              },
              std::nullopt, FoundBy::UsualPlace,
              "The game's code reads the trade table at two places: GetInGameTradeSpeciesInfo at 0x1F00000, the trade scene's "
              "strings at 0x338ED0"},
             {"a pool that points past the file", kGbaRomSize,
              [&](Bytes& rom) { putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, 0x1F00000, kEmeraldNames); }, std::nullopt,
              FoundBy::UsualPlace, "GetInGameTradeSpeciesInfo's pointer to the trade table (at 0x7E774) names no byte of the file"},
             {"two copies of the code, pointing to two tables", kGbaRomSize,
              [&](Bytes& rom) {
                  inPlace(rom);
                  putSpeciesInfoRoutine(rom, 0x100000, 0x9A0000, kEmeraldNames);
              },
              std::nullopt, FoundBy::UsualPlace, "2 copies of the routine that reads it point to different places"},
             {"the code pointing to bytes that are no records", kGbaRomSize,
              [&](Bytes& rom) { putSpeciesInfoRoutine(rom, kEmeraldSpeciesInfo, kEmeraldTable, kEmeraldNames); }, std::nullopt,
              FoundBy::UsualPlace, "points to 0x338ED0, where the record of Trade Number 1 fails the checks"},
             {"no code: the one run of records", kGbaRomSize, [&](Bytes& rom) { putTable60(rom, 0x9A0000, trades); }, 0x9A0000,
              FoundBy::RecordScan, ""},
             {"no code, two runs: none", kGbaRomSize,
              [&](Bytes& rom) {
                  putTable60(rom, 0x9A0000, trades);
                  putTable60(rom, 0xA00000, trades);
              },
              std::nullopt, FoundBy::UsualPlace, "2 runs of trade records (at 0x9A0000 and 0xA00000)"},
             {"an expansion base, refused by name", kGbaRomSize,
              [&](Bytes& rom) {
                  inPlace(rom);
                  std::copy_n("RHHEXP", 6, rom.begin() + 0x204);
              },
              std::nullopt, FoundBy::UsualPlace, "built on one of the community's expansion bases (the magic \"RHHEXP\" at 0x204)"},
         }) {
        SCOPED_TRACE(c.name);
        Bytes rom = gbaImage("POKEMON EMER", "BPEE", 0, c.size);
        c.place(rom);
        TempDir dir;
        auto opened = openRom(dir.write("rom.gba", rom), families::all(), nativeFileSystem(), RomParts{.gameData = false});
        ASSERT_TRUE(opened) << opened.error().message;
        if (!c.table) {
            ASSERT_FALSE(opened->table);
            EXPECT_NE(opened->noTable.message.find(c.refusal), std::string::npos) << opened->noTable.message;
            continue;
        }
        ASSERT_TRUE(opened->table) << opened->noTable.message;
        EXPECT_EQ(opened->table->offset, *c.table);
        EXPECT_EQ(opened->table->foundBy, c.by);
        EXPECT_EQ(opened->table->records, 4);
        // One pass of the file finds the routine's copies, the trade scene's and the scripts.
        if (c.by == FoundBy::TableRoutine || c.by == FoundBy::UsualPlace) {
            MemoryFileSystem memory;
            memory.put("rom.gba", rom);
            ASSERT_TRUE(openRom("rom.gba", families::all(), memory, RomParts{.gameData = false}));
            EXPECT_LT(memory.bytesRead("rom.gba"), rom.size() + rom.size() / 8);
        }
    }
}

// The game keeps no count: its maps' scripts say which trades it starts,
// and so how many records its table must hold; the map whose object event
// starts each script says where it happens, by its section's name.
TEST(ThirdGenerationScripts, RecordsAndPlacesAsTheScriptsStartThem) {
    const std::vector<std::string> emerald = {"Rustboro City", "Fortree City", "Pacifidlog Town", "Battle Frontier",
                                              "Not used in the game"};
    const std::string used = "Used in the game", unused = "Not used in the game";
    std::vector<std::string> emeraldNames(213, "SECTION");
    emeraldNames[10] = "RUSTBURG", emeraldNames[11] = "FORTREE CITY", emeraldNames[6] = "PACIFIDLOG TOWN",
    emeraldNames[58] = "BATTLE FRONTIER";
    std::vector<std::string> kantoNames(0x58 + 109, "");
    for (std::size_t i = 0x58; i < kantoNames.size(); ++i) kantoNames[i] = "KANTO " + std::to_string(i);
    kantoNames[0x59] = "ROUTE 2", kantoNames[0x60] = "CINNABAR ISLAND";
    struct Case {
        const char* name;
        const char* code;
        int trades;  // records in the table
        std::function<void(Bytes&)> scripts;
        int records;  // as the table is then taken
        std::vector<std::string> places;
        bool fromRom = true;
    };
    constexpr std::uint32_t kFireRedTable = 0x26CF8C, kCalled = 0x1A8CAD, kFireRedMaps = 0x3526A8;
    const auto fireRedMaps = [&](Bytes& rom, std::uint8_t lastSection) {
        std::vector<std::pair<std::uint32_t, std::uint8_t>> maps;
        for (std::uint32_t trade = 0; trade < 9; ++trade) maps.emplace_back(0x160000 + 0x100 * trade + 2, trade == 0 ? 0x59 : lastSection);
        putMapHeaderRoutine(rom, 0x55238, kFireRedMaps);
        putMaps(rom, kFireRedMaps, kFireRedMaps + 0x100, maps);
        putMapNames(rom, MapNameForm::Kanto, 0xC4D78, 0x3F1CAC, kantoNames);
    };
    for (const Case& c : std::vector<Case>{
             {"Emerald as built", "BPEE", 4, [](Bytes&) {}, 4, emerald},
             {"a section renamed", "BPEE", 4,
              [&](Bytes& rom) { putMapNames(rom, MapNameForm::Emerald, kEmeraldMapName, kEmeraldMapNames, emeraldNames); }, 4,
              {"RUSTBURG", "Battle Frontier"}},
             {"a fifth trade added, its script on no map", "BPEE", 5, [](Bytes& rom) { putTradeScript(rom, 0x200800, 4, 0xFF); }, 5,
              {"Rustboro City", "Fortree City", "Pacifidlog Town", "Battle Frontier", used, unused}},
             {"a fifth record no script starts", "BPEE", 5, [](Bytes&) {}, 5, emerald},
             {"a script that reads another special", "BPEE", 4, [](Bytes& rom) { putTradeScript(rom, 0x200800, 7, 0xFC); }, 4, emerald},
             {"no map groups: Kestrane's names", "BPEE", 4, [](Bytes& rom) { rom[kEmeraldMapHeaderRoutine] = 0xFF; }, 4, emerald, false},
             {"no scripts at all", "BPEE", 4,
              [](Bytes& rom) {
                  for (std::uint32_t at = 0x200000; at < 0x200400; at += 0x100) rom[at + 2] = 0;
              },
              4, emerald, false},
             {"FireRed's traders call the script that reads the species", "BPRE", 9,
              [&](Bytes& rom) {
                  for (int trade = 0; trade < 9; ++trade) {
                      putTradeScript(rom, 0x160000 + 0x100 * std::uint32_t(trade), trade, 0xFC, trade == 5 ? std::nullopt : std::optional(kCalled));
                  }
                  fireRedMaps(rom, 0x60);
              },
              9, {"Route 2", "Cinnabar Island"}},
             {"a call of another script", "BPRE", 9,
              [&](Bytes& rom) {
                  for (int trade = 0; trade < 9; ++trade) putTradeScript(rom, 0x160000 + 0x100 * std::uint32_t(trade), trade, 0xFC, kCalled);
                  putTradeScript(rom, 0x170000, 12, 0xFC, 0x1A9000);
                  rom[0x1A9000 + 9] = 0x01;  // it reads special 0x1FC
                  fireRedMaps(rom, 0x61);
              },
              9, {"Route 2", "KANTO 97"}},
         }) {
        SCOPED_TRACE(c.name);
        const bool emeraldRom = std::string(c.code) == "BPEE";
        Bytes rom = emeraldRom ? emeraldImage(std::vector<Trade60>(std::size_t(c.trades))) : gbaImage("POKEMON FIRE", c.code, 0);
        if (!emeraldRom) {
            putSpeciesInfoRoutine(rom, 0x4A000, kFireRedTable, kEmeraldNames);
            putTable60(rom, kFireRedTable, std::vector<Trade60>(std::size_t(c.trades)));
        }
        c.scripts(rom);
        TempDir dir;
        auto opened = openRom(dir.write("rom.gba", rom), families::all());
        ASSERT_TRUE(opened) << opened.error().message;
        ASSERT_TRUE(opened->table) << opened->noTable.message;
        EXPECT_EQ(opened->table->records, c.records);
        EXPECT_EQ(opened->words->placesWhyNot.empty(), c.fromRom) << opened->words->placesWhyNot;
        const std::vector<std::string>& places = opened->words->places;
        if (c.places.size() == 2) {  // the first and the last
            EXPECT_EQ(places.front(), c.places.front());
            EXPECT_EQ(places[std::size_t(c.records) - 1], c.places.back());
            continue;
        }
        EXPECT_EQ(std::vector<std::string>(places.begin(), places.begin() + std::ptrdiff_t(c.places.size())), c.places);
    }
}

// Species are shown by the Pokédex number the game's own table gives, found
// where SpeciesToNationalPokedexNum reads it (its Hoenn twin's table is none).
TEST(ThirdGenerationSpecies, NumberedByTheTableTheGameReads) {
    constexpr std::uint32_t kMoved = 0x700000;
    struct Case {
        const char* name;
        std::function<void(Bytes&)> change;
        int seedot;  // the number internal species 298 is shown by
    };
    for (const Case& c : std::vector<Case>{
             {"as built", [](Bytes&) {}, 273},
             {"the table moved, the code's pointer with it",
              [](Bytes& rom) {
                  putPokedexTable(rom, kMoved);
                  std::fill_n(rom.begin() + kEmeraldPokedex, 822, 0);
                  putPokedexRoutines(rom, kEmeraldPokedexRoutine, kMoved, kEmeraldPokedex + 0x400);
              },
              273},
             {"the code pointing to no such table, none where the release keeps it",
              [](Bytes& rom) {
                  std::fill_n(rom.begin() + kEmeraldPokedex, 822, 0);
                  putPokedexRoutines(rom, kEmeraldPokedexRoutine, kMoved, kEmeraldPokedex + 0x400);
              },
              298},
             {"no code: the table where the release keeps it",
              [](Bytes& rom) { rom[kEmeraldPokedexRoutine + 12] = rom[kEmeraldPokedexRoutine + 0x24 + 12] = 0; }, 273},
         }) {
        SCOPED_TRACE(c.name);
        Bytes rom = emeraldImage(std::vector<Trade60>(4));
        c.change(rom);
        TempDir dir;
        auto opened = openRom(dir.write("rom.gba", rom), families::all());
        ASSERT_TRUE(opened) << opened.error().message;
        EXPECT_EQ(opened->species->numberOf(298), c.seedot);
        EXPECT_EQ(opened->species->name(298), "SEEDOT");
    }
}

// Front pictures as the game draws them: the BIOS's LZ77, 4-bit tiles, the
// ROM's palettes (shiny too), the forms the record gives.
TEST(ThirdGenerationPictures, AsTheGameDrawsThem) {
    // The decoder alone: literals, a copy overlapping what it writes, and what it refuses.
    struct Stream {
        Bytes bytes;
        Bytes out;
        std::string refusal;
    };
    for (const Stream& c : std::vector<Stream>{
             {{0x10, 5, 0, 0, 0x00, 1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, ""},
             {{0x10, 6, 0, 0, 0x40, 7, 0x20, 0x00}, {7, 7, 7, 7, 7, 7}, ""},
             {{0x11, 1, 0, 0, 0, 1}, {}, "does not start with 0x10"},
             {{0x10, 0x01, 0x00, 0x01, 0}, {}, "says it holds 65537 bytes, more than 65536"},
             {{0x10, 9, 0, 0, 0x00, 1, 2}, {}, "ends before its output does"},
             {{0x10, 4, 0, 0, 0x80, 0x10, 0x05}, {}, "copies from before its output's start"},
         }) {
        auto out = gba::decodeLz77(c.bytes);
        if (!c.refusal.empty()) {
            ASSERT_FALSE(out);
            EXPECT_NE(out.error().message.find(c.refusal), std::string::npos) << out.error().message;
            continue;
        }
        ASSERT_TRUE(out) << out.error().message;
        EXPECT_EQ(*out, c.out);
    }
    // Ruby 1.0: its tables moved, its code naming them; or where the release keeps them.
    auto rubyByItsCode = [](Bytes& rom, std::uint32_t index) {
        retitle(rom, "POKEMON RUBY", "AXVE", 0);
        putPictures(rom, 0x700000, 0x710000, 0x720000, {index});
        putPictureRoutines(rom, 0x0D308, 0x700000, 0x710000, 0x720000);
    };
    auto rubyAtItsPlaces = [](Bytes& rom, std::uint32_t index) {
        retitle(rom, "POKEMON RUBY", "AXVE", 0);
        putPictures(rom, 0x1E8354, 0x1EA5B4, 0x1EB374, {index});
    };
    struct Case {
        const char* name;
        SpeciesId species;
        PictureLook look;
        std::uint32_t index;  // where the picture is put
        bool reversed;        // the second frame shown
        int shift;            // the palette's red is (c + shift) & 31
        std::string refusal;
        std::function<void(Bytes&, std::uint32_t)> place = [](Bytes& rom, std::uint32_t index) { putEmeraldPictures(rom, {index}); };
    };
    for (const Case& c : std::vector<Case>{
             {"Onix", 95, {}, 95, false, 0, ""},
             {"Onix, shiny", 95, {true, 'A'}, 95, false, 7, ""},
             {"Deoxys: Emerald's party shows its second forme", 410, {}, 410, true, 0, ""},
             {"Unown B: a species of its own past the list", 201, {false, 'B'}, 413, false, 0, ""},
             {"Unown ?", 201, {false, '?'}, 439, false, 0, ""},
             {"a species without a picture entry", 63, {}, 95, false, 0, "its front picture's entry at 0x30A384 is tagged "},
             {"a pointer past the file", 95, {}, 95, false, 0, "its front picture's pointer at 0x30A484 names no byte of the file",
              [](Bytes& rom, std::uint32_t index) { putEmeraldPictures(rom, {index}), rom[0x30A484 + 3] = 0x09; }},
             {"Castform: its normal form, the first of four frames and palettes", 385, {true, 'A'}, 385, false, 7, "",
              [](Bytes& rom, std::uint32_t index) {
                  putEmeraldPictures(rom, {});
                  Bytes sheet = pictureSheet(), colours = pictureColours(0), shiny = pictureColours(7);
                  sheet.insert(sheet.end(), sheet.begin(), sheet.end());
                  for (int form = 1; form < 4; ++form) {
                      const Bytes other = pictureColours(9 + form), otherShiny = pictureColours(20 + form);
                      colours.insert(colours.end(), other.begin(), other.end());
                      shiny.insert(shiny.end(), otherShiny.begin(), otherShiny.end());
                  }
                  putFrontPicture(rom, kEmeraldFronts, kEmeraldPalettes, kEmeraldShinyPalettes, index, sheet, colours, shiny, 0x600000);
              }},
             {"Ruby: the tables where its code reads them", 95, {true, 'A'}, 95, false, 7, "", rubyByItsCode},
             {"Ruby without that code: the release's places", 95, {}, 95, false, 0, "", rubyAtItsPlaces},
             {"Ruby's Deoxys: one frame, its Normal Forme", 410, {}, 410, false, 0, "", rubyByItsCode},
             {"an entry tagged as another species'", 95, {}, 95, false, 0,
              "its front picture's entry at 0x30A484 is tagged 96, not 95, so the table is not where the game keeps it",
              [](Bytes& rom, std::uint32_t index) { putEmeraldPictures(rom, {index}), rom[0x30A484 + 6] = 96; }},
             {"a shiny palette tagged as the plain one", 95, {true, 'A'}, 95, false, 0,
              "its shiny palette's entry at 0x304730 is tagged 95, not 595",
              [](Bytes& rom, std::uint32_t index) { putEmeraldPictures(rom, {index}), rom[0x304730 + 4] = 95, rom[0x304730 + 5] = 0; }},
         }) {
        SCOPED_TRACE(c.name);
        Bytes rom = emeraldImage(std::vector<Trade60>(4));
        c.place(rom, c.index);
        TempDir dir;
        auto opened = openRom(dir.write("rom.gba", rom), families::all());
        ASSERT_TRUE(opened) << opened.error().message;
        auto picture = opened->release->family().frontPicture(*opened, c.species, c.look, nativeFileSystem());
        if (!c.refusal.empty()) {
            ASSERT_FALSE(picture);
            EXPECT_NE(picture.error().message.find(c.refusal), std::string::npos) << picture.error().message;
            continue;
        }
        ASSERT_TRUE(picture) << picture.error().message;
        ASSERT_EQ(picture->width, 64);
        ASSERT_EQ(picture->colours.size(), 16u);
        for (int y = 0; y < 64; y += 7) {
            for (int x = 0; x < 64; x += 5) {
                const int shade = c.reversed ? 15 - (x + y) % 16 : (x + y) % 16;
                ASSERT_EQ(picture->shades[std::size_t(y * 64 + x)], shade) << x << "," << y;
            }
        }
        const int red = (3 + c.shift) & 31;  // colour 3: channels 3 + shift, 6, 28
        EXPECT_EQ(picture->colours[3], (Rgb{std::uint8_t(red << 3 | red >> 2), 6 << 3 | 6 >> 2, 28 << 3 | 28 >> 2}));
    }
}

// The checks every record of the games passes, as the release's record layout makes them.
TEST(ThirdGenerationTable, RecordsPassTheGamesChecks) {
    const Release* emerald = findRelease(families::all(), "BPEE", 0);
    ASSERT_NE(emerald, nullptr);
    struct Case {
        const char* name;
        std::function<void(Bytes&)> change;
        std::string fault;  // empty: passes
    };
    for (const Case& c : std::vector<Case>{
             {"a record as the games hold them", [](Bytes&) {}, ""},
             {"a ten-letter nickname", [](Bytes& r) { std::fill_n(r.begin(), 10, 0xBB), r[10] = 0xFF; }, ""},
             {"a pad byte set", [](Bytes& r) { r[0x22] = 1; }, "its byte +34 is 0x01, not 0x00"},
             {"an IV of 32", [](Bytes& r) { r[0x13] = 32; }, "one of its IVs is 32, more than 31"},
             {"ability 2", [](Bytes& r) { r[0x14] = 2; }, "its ability number is 2, more than 1"},
             {"OT gender 2", [](Bytes& r) { r[0x36] = 2; }, "its trainer's gender is 2, more than 1"},
             {"species 412", [](Bytes& r) { r[0x0C] = 412 & 0xFF, r[0x0D] = 412 >> 8; }, "the offered species 412 is no creature"},
             {"requested species 411", [](Bytes& r) { r[0x38] = 411 & 0xFF, r[0x39] = 411 >> 8; }, ""},
             {"a nickname without its end", [](Bytes& r) { std::fill(r.begin(), r.begin() + 11, 0xBB); },
              "the nickname holds bytes that are no plain name (BB BB BB BB BB BB BB BB BB BB BB): only characters, then 0xFF "
              "within its 11 bytes"},
             {"a trainer's name without its end", [](Bytes& r) { std::fill(r.begin() + 0x2B, r.begin() + 0x36, 0xBB); },
              "the trainer's name holds bytes that are no plain name"},
         }) {
        SCOPED_TRACE(c.name);
        Bytes record = record60(Trade60{});
        c.change(record);
        const RecordFault fault = strictRecordFault(record, emerald->layout, 0, emerald->charset());
        EXPECT_EQ(fault == RecordFault::None ? std::string() : recordFaultText(fault, record, emerald->layout, emerald->charset()).substr(0, c.fault.size()),
                  c.fault);
    }
    // The eleven releases, each by its code and version; the sisters.
    for (auto [code, version, table] : {std::tuple{"AXPE", 2, 0x215A6Cu}, std::tuple{"AXVE", 1, 0x215ADCu}, std::tuple{"BPRE", 1, 0x26CFFCu},
                                        std::tuple{"BPGE", 0, 0x26CF6Cu}, std::tuple{"BPEE", 0, 0x338ED0u}}) {
        const Release* release = findRelease(families::all(), code, std::uint8_t(version));
        ASSERT_NE(release, nullptr) << code;
        EXPECT_EQ(release->usualTable, table) << code;
    }
    EXPECT_EQ(findRelease(families::all(), "BPEE", 1), nullptr);
    EXPECT_TRUE(sisterReleases(*findRelease(families::all(), "BPRE", 0), *findRelease(families::all(), "BPGE", 1)));
    EXPECT_TRUE(sisterReleases(*findRelease(families::all(), "AXVE", 0), *findRelease(families::all(), "AXPE", 2)));
    EXPECT_FALSE(sisterReleases(*findRelease(families::all(), "AXVE", 0), *findRelease(families::all(), "BPEE", 0)));
}


// What the game makes of a record's personality and IDs, and the record's fields read and written.
TEST(ThirdGenerationRecord, TheGamesReadOutsOfAPersonality) {
    EXPECT_EQ(gen3::natureName(gen3::natureOf(0x84)), "Relaxed");  // 132 % 25 = 7
    EXPECT_EQ(gen3::natureName(gen3::natureOf(24)), "Quirky");
    struct GenderCase {
        std::uint8_t ratio;
        std::uint32_t personality;
        gen3::CreatureGender gender;
    };
    for (const GenderCase& c : std::vector<GenderCase>{{127, 0x84, gen3::CreatureGender::Male},
                                                       {127, 0x7E, gen3::CreatureGender::Female},
                                                       {31, 0x10, gen3::CreatureGender::Female},
                                                       {0, 0x00, gen3::CreatureGender::Male},
                                                       {254, 0xFF, gen3::CreatureGender::Female},
                                                       {255, 0x00, gen3::CreatureGender::Genderless}}) {
        EXPECT_EQ(gen3::genderOf(c.ratio, c.personality), c.gender) << int(c.ratio) << " " << c.personality;
    }
    EXPECT_FALSE(gen3::isShiny(0x1234, 0x0001, 0x84));
    const std::uint16_t secret = gen3::shinySecretId(0x1234, 0xDEADBEEF);
    EXPECT_TRUE(gen3::isShiny(0x1234, secret, 0xDEADBEEF));
    for (auto [personality, letter] : {std::pair{0x00000000u, 0}, std::pair{0x00000003u, 3}, std::pair{0x00000300u, 12},
                                       std::pair{0x03000000u, 192 % 28}, std::pair{0xFFFFFFFFu, 255 % 28}}) {
        EXPECT_EQ(gen3::unownLetterOf(personality), letter) << personality;
    }
    // A nature chosen: the nearest personality upward that keeps the gender and the letter.
    for (auto [current, nature, ratio] : {std::tuple{0x84u, 0, std::uint8_t(127)}, std::tuple{0xFFFFFFF0u, 12, std::uint8_t(31)},
                                          std::tuple{0x12345678u, 24, std::uint8_t(255)}}) {
        const std::uint32_t p = gen3::personalityWithNature(current, nature, ratio);
        EXPECT_EQ(gen3::natureOf(p), nature);
        EXPECT_EQ(gen3::genderOf(ratio, p), gen3::genderOf(ratio, current));
        EXPECT_EQ(gen3::unownLetterOf(p), gen3::unownLetterOf(current));
        for (std::uint32_t q = current; q != p; ++q) {
            ASSERT_FALSE(gen3::natureOf(q) == nature && gen3::genderOf(ratio, q) == gen3::genderOf(ratio, current) &&
                         gen3::unownLetterOf(q) == gen3::unownLetterOf(current))
                << q;
        }
    }
}


// Names in the third generation's own characters, both ways.
TEST(ThirdGenerationCharset, NamesInTheGamesCharacters) {
    const Charset& charset = gen3::englishCharset();
    for (auto [text, bytes] : {std::pair{u"ROCKY", Bytes{0xCC, 0xC9, 0xBD, 0xC5, 0xD3}},
                               std::pair{u"Mr. Mime", Bytes{0xC7, 0xE6, 0xAD, 0x00, 0xC7, 0xDD, 0xE1, 0xD9}},
                               std::pair{u"FARFETCH\u2019D", Bytes{0xC0, 0xBB, 0xCC, 0xC0, 0xBF, 0xCE, 0xBD, 0xC2, 0xB4, 0xBE}},
                               std::pair{u"\u00c9l\u00e8ve \u2642", Bytes{0x06, 0xE0, 0x1A, 0xEA, 0xD9, 0x00, 0xB5}}}) {
        EXPECT_EQ(encodeGameText(text, charset), bytes);
        Bytes terminated = bytes;
        terminated.push_back(0xFF);
        terminated.push_back(0x00);
        EXPECT_EQ(decodeGameText(terminated, charset), text);
    }
    EXPECT_EQ(charset.terminator(), 0xFF);
    EXPECT_TRUE(findUnencodable(u"A\u3042", charset).has_value());  // kana belong to the Japanese font
}

}  // namespace
}  // namespace kestrane
