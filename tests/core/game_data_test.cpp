// What the ROM itself says about items and genders.
#include "trades/game_data.h"

#include <gtest/gtest.h>

#include <functional>

#include "families/families.h"
#include "families/gameboy/charsets.h"
#include "families/gameboy/text_dialects.h"
#include "families/gen1/first_generation.h"
#include "support/first_generation_image.h"
#include "support/polished_crystal_image.h"
#include "support/rom_image.h"
#include "text/game_text.h"
#include "trades/pictures.h"
#include "trades/rom.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

TEST(GameData, ItemNamesAndGenderRatiosOnlyWhereTheyProveToBe) {
    TempDir dir;
    for (const char* code : {"AAUE", "BYTE"}) {
        SCOPED_TRACE(code);
        auto rom = openRom(dir.write("rom.gbc", retailLikeRom(code)), families::all());
        ASSERT_TRUE(rom && rom->items && rom->genderRatios);
        EXPECT_EQ(itemLabel(rom->items, 0x7E), "LUCKY EGG");
        EXPECT_EQ(itemLabel(rom->items, 0xAE), "GOLD BERRY");
        EXPECT_EQ(itemLabel(rom->items, 5), "POK\u00e9 BALL");
        EXPECT_EQ(itemLabel(rom->items, 70), code[0] == 'B' ? "CLEAR BELL" : "TERU-SAMA");
        EXPECT_EQ(itemLabel(rom->items, 0), "None");
        EXPECT_EQ((*rom->genderRatios)[66], testGenderRatio(66));

        struct Typed {
            const char* text;
            int item;  // -1: refused
        };
        for (Typed t : {Typed{"Lucky Egg", 0x7E}, Typed{" lucky egg ", 0x7E}, Typed{"POK\u00e9 BALL", 5},
                        Typed{"none", 0}, Typed{"0", 0}, Typed{"255", 255}, Typed{"0x7e", 0x7E}, Typed{"256", -1},
                        Typed{"KINGS ROCK", 82}, Typed{"luckyegg", 0x7E}, Typed{"poke ball", 5},
                        Typed{"Lucky Eg", -1}, Typed{"", -1}, Typed{"-1", -1},
                        // Several unused slots share a name: none of them is guessed.
                        Typed{"teru-sama", -1}}) {
            auto item = resolveItem(t.text, rom->items);
            EXPECT_EQ(item ? int(*item) : -1, t.item) << t.text;
            if (!item) {
                EXPECT_EQ(item.error().code, t.text == std::string_view("teru-sama") ? ErrorCode::AmbiguousName : ErrorCode::UnknownItem);
            }
        }
        EXPECT_NE(resolveItem("Teru-sama", rom->items).error().message.find("\"Teru-sama\" names items "), std::string::npos);
    }
    // A hack that moved them, or an image without them: numbers and "unknown".
    Bytes bare = retailLikeRom("BYTE");
    bare[0x1C8000 + 3] = 0x01;  // a byte no name holds
    bare[0x51424 + 32 * 10] = 0;  // species 11's Pokédex number
    auto rom = openRom(dir.write("bare.gbc", bare), families::all());
    ASSERT_TRUE(rom && rom->table);
    EXPECT_FALSE(rom->items);
    EXPECT_FALSE(rom->genderRatios);
    EXPECT_EQ(itemLabel(rom->items, 0x53), "Item 0x53");
    auto retail = openRom(dir.write("retail.gbc", retailLikeRom("BYTE")), families::all());
    EXPECT_TRUE(resolveItem("Lucky Eg", retail->items).error().message.ends_with(" Did you mean LUCKY EGG?"));
    EXPECT_EQ(*resolveItem("83", rom->items), 83);
    EXPECT_EQ(resolveItem("Lucky Egg", rom->items).error().code, ErrorCode::UnknownItem);

    // Polished Crystal's, through its GetName: NamesPointers' item entry, the list counted from 0
    // (the image's form) or, where `dec a` precedes GetNthString, from 1; else none.
    struct Listed {
        const char* what;
        std::function<void(Bytes&)> change;
        const char* item2;  // item 2's label
    };
    const Bytes polishedImage = polishedCrystalRom();
    const Bytes getName(polishedImage.begin() + kPolishedGetName, polishedImage.begin() + kPolishedGetName + 21);
    auto fromOne = [&](Bytes& image, std::uint32_t at) {
        Bytes form = getName;
        form.insert(form.begin() + 18, 0x3D);
        std::copy(form.begin(), form.end(), image.begin() + at);
    };
    for (const Listed& c : std::vector<Listed>{
             {"counted from 0", [](Bytes&) {}, "Ultra Ball"},
             {"counted from 1", [&](Bytes& image) { fromOne(image, kPolishedGetName); }, "Master Ball"},
             // No item shows item 0's name: an empty one is no list's end.
             {"item 0's name empty", [](Bytes& image) { image[kPolishedNamesPointers + 9 + 1] += 4; }, "Ultra Ball"},
             {"no GetName", [](Bytes& image) { std::fill_n(image.begin() + kPolishedGetName, 21, 0x00); }, "Item 0x2"},
             {"copies of both forms", [&](Bytes& image) { fromOne(image, kPolishedGetName + 0x40); }, "Item 0x2"},
             {"the list outside its bank", [](Bytes& image) { image[kPolishedNamesPointers + 9 + 2] = 0x20; }, "Item 0x2"},
         }) {
        SCOPED_TRACE(c.what);
        Bytes image = polishedImage;
        c.change(image);
        auto polished = openRom(dir.write("polished.gbc", image), families::all());
        ASSERT_TRUE(polished) << describe(polished.error());
        EXPECT_EQ(itemLabel(polished->items, 2), c.item2);
        if (polished->items) {
            EXPECT_EQ(polished->items->size(), 256u);
            EXPECT_EQ(itemLabel(polished->items, 0), "None");
        }
    }
    auto polished = openRom(dir.write("polished.gbc", polishedImage), families::all());
    EXPECT_EQ(*resolveItem("friend ball", polished->items), 9);
    EXPECT_EQ(itemLabel(polished->items, 255), "Item 255");
}

namespace lines {

constexpr std::uint32_t kFree = 0xFF800;  // unused bank 0x3F space in these images
std::uint16_t address(std::uint32_t offset) { return std::uint16_t(offset % 0x4000 + 0x4000); }
void put(Bytes& rom, std::uint32_t at, const Bytes& bytes) { std::copy(bytes.begin(), bytes.end(), rom.begin() + at); }
// Points set 0's intro at `text`, which is put at kFree.
void intro(Bytes& rom, const char* code, const Bytes& text) {
    put(rom, kFree, text);
    put(rom, linesTableOf(code), {std::uint8_t(address(kFree) & 0xFF), std::uint8_t(address(kFree) >> 8)});
}
Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace lines

// What a trader says, read from the ROM through the routine that reads its
// table, text command by text command; where the ROM's lines fail a check,
// Kestrane's own opening and why.
TEST(GameWords, TraderLinesAsTheGamePrintsThem) {
    using namespace lines;
    TempDir dir;
    struct Case {
        const char* what;
        const char* code;
        std::function<void(Bytes&)> change;
        const char* intro;  // set 0's, asking for Abra (male) for Onix; or, with `why`, Kestrane's own
        const char* why = "";
    };
    const std::uint32_t elsewhere = 0xFF900, otherTable = 0xFFA00;
    auto moveRoutine = [&](Bytes& rom, const char* code, std::uint32_t table) {
        put(rom, linesRoutineOf(code), Bytes(24, 0x00));
        std::copy_n(rom.begin() + linesTableOf(code), 40, rom.begin() + table);
        putLinesRoutine(rom, code, elsewhere, table);
    };
    const char* const crystalIntro = "I COLLECT POK\u00e9MON.\nDO YOU HAVE\nABRA\u2642?\n\nWANT TO TRADE IT\nFOR MY ONIX?";
    const char* const builtIn = "I collect POK\u00e9MON. Do you have \u2026?";
    for (const Case& c : std::vector<Case>{
             // Outside Japan a far pointer leads to the text in another bank: characters,
             // 0x4F, 0x55, 0x51, 0x57, 0x54 and the names filled in (0x01).
             {"far jump", "BYTE", [](Bytes&) {}, crystalIntro},
             {"far jump, Gold", "AAUE", [](Bytes&) {}, "I COLLECT POK\u00e9MON.\nDO YOU HAVE\nABRA\u2642?\n\nWANT TO TRADE IT\nFOR MY ONIX?"},
             // In Japan the text itself, in bank 0x3F; 0x4A ("が　") and 0x56 are words of their own.
             {"inline", "AAUJ", [](Bytes&) {}, "\u30a2\u304c\u3000\u22ef\u22ef\n\u30a4\u30ca\u30a4\u2642\uff1f"},
             {"commands one after another", "BYTE",
              [](Bytes& rom) { intro(rom, "BYTE", cat({{0x00}, gameText("A", false), {0x50, 0x01, 0x86, 0xD0, 0x01, 0x50, 0xD0, 0x00},
                                                        gameText("B", false), {0x51}, gameText("C", false), {0x50, 0x50}})); },
              "AONIXABRAB\n\nC"},
             {"the routine moved with its table", "BYTE", [&](Bytes& rom) { moveRoutine(rom, "BYTE", otherTable); }, crystalIntro},
             // A stale copy elsewhere (as retail Japanese Silver holds): the routine at its own place decides.
             {"a stale copy elsewhere", "AAXJ", [&](Bytes& rom) { putLinesRoutine(rom, "AAXJ", elsewhere, 0xFFC00); },
              "\u30a2\u304c\u3000\u22ef\u22ef\n\u30a4\u30ca\u30a4\u2642\uff1f"},
             {"two copies that disagree", "BYTE",
              [&](Bytes& rom) {
                  moveRoutine(rom, "BYTE", otherTable);
                  putLinesRoutine(rom, "BYTE", elsewhere + 0x40, otherTable + 0x40);
              },
              builtIn, "2 copies of the routine that reads them point to different tables"},
             {"no routine", "BYTE", [&](Bytes& rom) { put(rom, linesRoutineOf("BYTE"), Bytes(24, 0x00)); }, builtIn,
              "the routine that reads them is not in the file"},
             {"routine points outside its bank", "BYTE",
              [&](Bytes& rom) { put(rom, linesRoutineOf("BYTE") + 9, {0x00, 0x01}); }, builtIn, "points outside its bank"},
             {"pointer out of bank", "BYTE", [&](Bytes& rom) { put(rom, linesTableOf("BYTE") + 6, {0x00, 0x10}); }, builtIn,
              "their table's pointer at 0xFCF59 lies outside bank 0x3F"},
             {"text without end", "BYTE", [](Bytes& rom) { intro(rom, "BYTE", cat({{0x00}, Bytes(600, 0x80)})); }, builtIn,
              "a text goes on past 512 bytes"},
             {"far pointers in a loop", "BYTE",
              [](Bytes& rom) { intro(rom, "BYTE", {0x16, std::uint8_t(address(kFree) & 0xFF), std::uint8_t(address(kFree) >> 8), 0x3F}); },
              builtIn, "far pointers lead on past 4 texts"},
             {"far pointer out of its bank", "BYTE", [](Bytes& rom) { intro(rom, "BYTE", {0x16, 0x00, 0x20, 0x6F, 0x50}); }, builtIn,
              "a far pointer at 0xFF800 points outside its bank"},
             {"text past the file's end", "BYTE", [](Bytes& rom) {
                  intro(rom, "BYTE", {0x16, 0xFE, 0x7F, 0x7F, 0x50});
                  put(rom, 0x1FFFFE, {0x00, 0x80});
              }, builtIn,
              "a text runs past the end of the file at 0x200000"},
             // The game reads a text through its bank's window: what follows the window is other memory.
             {"text past its bank's end", "BYTE", [](Bytes& rom) {
                  intro(rom, "BYTE", {0x16, 0xFE, 0x7F, 0x70, 0x50});
                  put(rom, 0x1C3FFE, {0x00, 0x80, 0x80, 0x80, 0x50});
              }, builtIn,
              "a text runs past the end of its bank at 0x1C4000, where the game would read other memory"},
             {"unknown command", "BYTE", [](Bytes& rom) { intro(rom, "BYTE", {0x17, 0x50}); }, builtIn,
              "the text at 0xFF800 is no text: a text holds the command byte 0x17 at 0xFF800"},
             // Exactly as the text engine prints them: 0x58 ends a text as 0x57 does, after a button
             // press; 0x56 "……"; a far text's end returns to the text that jumped to it; pauses
             // and sounds print nothing, 0x0C a dot a count.
             {"a prompt ends the text", "BYTE",
              [](Bytes& rom) { intro(rom, "BYTE", cat({{0x00}, gameText("A", false), {0x58}, gameText("B", false), {0x50, 0x50}})); }, "A"},
             {"a far text's end returns", "BYTE",
              [](Bytes& rom) {
                  put(rom, kFree + 0x40, cat({{0x00}, gameText("IN", false), {0x57}}));
                  intro(rom, "BYTE", cat({{0x16, std::uint8_t(address(kFree + 0x40) & 0xFF), std::uint8_t(address(kFree + 0x40) >> 8), 0x3F,
                                           0x0A, 0x0C, 0x02, 0x00, 0x56, 0x1F},
                                          gameText("OUT", false), {0x57}}));
              },
              "IN………… OUT"},
             // What only the running game knows: the ROM's lines are not shown, and why.
             {"the player's name", "BYTE",
              [](Bytes& rom) { intro(rom, "BYTE", cat({{0x00}, gameText("HI ", false), {0x52, 0x57}})); }, builtIn,
              "prints the player's name (0x52), which only the running game knows"},
             {"a name from elsewhere in memory", "BYTE", [](Bytes& rom) { intro(rom, "BYTE", {0x01, 0x00, 0xC0, 0x50}); }, builtIn,
              "prints the text at 0xC000 of the game's memory, which is none of the trade's names"},
             {"a number from memory", "BYTE", [](Bytes& rom) { intro(rom, "BYTE", {0x09, 0x00, 0xC0, 0x12, 0x50}); }, builtIn,
              "shows a number from the game's memory (command 0x09)"},
             // Polished Crystal's engine: far texts that end their text (bit 15 of the big-endian
             // address), runs packed in a Huffman code around the names its code copies,
             // n-grams, strings begun by any byte from 0x0A on and ended by '@' (0x53).
             {"Polished Crystal, packed runs and names", "PKPC", [](Bytes&) {},
              "I collect Pok\u00e9mon. Do you\nhave Abra?\n\nWant to trade it\nfor my Onix?"},
             {"Polished Crystal, a far text that goes on", "PKPC",
              [](Bytes& rom) {
                  const std::uint32_t far = kPolishedFarTexts + 0xA00;
                  put(rom, far, cat({{0x00}, polishedChars("Hi "), {0x0A, 0x4D, 0x53, 0x01, std::uint8_t(kPolishedWithGender),
                                                                    std::uint8_t(kPolishedWithGender >> 8), 0x53}}));
                  putPolishedLine(rom, 0, 0, cat({{0x08, std::uint8_t(address(far) >> 8), std::uint8_t(address(far)), std::uint8_t(far / 0x4000)},
                                                  polishedChars(" and on"), {0x53, 0x53}}));
              },
              "Hi ouPok\u00e9Abra\u2642 and on"},
             {"Polished Crystal, a prompt ends the text", "PKPC",
              [](Bytes& rom) { putPolishedLine(rom, 0, 0, cat({polishedChars("A"), {0x54}, polishedChars("B"), {0x53, 0x53}})); }, "A"},
             {"Polished Crystal, no Huffman code", "PKPC", [](Bytes& rom) { put(rom, kPolishedHuffman, Bytes(29, 0x00)); }, builtIn,
              "is packed in a Huffman code, and the code that reads it is not in the file's first bank"},
             {"Polished Crystal, a tree that loops", "PKPC", [](Bytes& rom) { put(rom, kPolishedTree, Bytes(2 * 0x7F, 0x00)); }, builtIn,
              "the Huffman tree at 0x3C00 loops"},
             {"Polished Crystal, names copied in another form", "PKPC", [](Bytes& rom) { put(rom, kPolishedNamesCode, Bytes(40, 0x00)); },
              builtIn, "the code at 0xFDB00 that copies the names they fill in is not in a form Kestrane reads"},
             // The Japanese dictionary's words, several with an ideographic space.
             {"Japanese words", "AAUJ",
              [](Bytes& rom) { intro(rom, "AAUJ", {0x00, 0x80, 0x1D, 0x1E, 0x1F, 0x22, 0x23, 0x24, 0x25, 0x4A, 0x54, 0x57}); },
              "アに　ってを　た！こうげきは　の　が　ポケモン"},
         }) {
        SCOPED_TRACE(c.what);
        const bool polished = std::string_view(c.code) == "PKPC";
        Bytes image = polished ? polishedCrystalRom() : retailLikeRom(c.code);
        c.change(image);
        auto rom = openRom(dir.write("rom.gbc", image), families::all());
        ASSERT_TRUE(rom) << describe(rom.error());
        const auto said = rom->traderLines(0, 63, 95, GenderRequirement::Male);
        EXPECT_EQ(said[0], c.intro);
        if (*c.why) {
            EXPECT_NE(rom->words->linesWhyNot.find(c.why), std::string::npos) << rom->words->linesWhyNot;
        } else {
            EXPECT_EQ(rom->words->linesWhyNot, "");
            EXPECT_EQ(said[4], c.code[3] == 'J' ? "\u30a2\uff10\u30a4\uff14" : polished ? "Set 0 phase 4" : "SET 0 PHASE 4");
            // Packed runs ended by '@' go on at the byte after their last; plain strings too.
            if (polished) {
                EXPECT_EQ(said[1] + "|" + said[2], "Set 0 phase 1|Set 0 phase 2");
            }
        }
    }
}

// Where each trade happens: the landmark's name as the ROM spells it, with
// its region in the ROM's language; the usual spelling where an English
// ROM's name is the retail one; Kestrane's own where a name fails.
TEST(GameWords, PlacesInTheRomsOwnWords) {
    TempDir dir;
    struct Case {
        const char* code;
        std::vector<Bytes> names;  // slot 1's, 2's …; none: as retailLikeRom has them
        std::vector<std::string> shown;
        const char* why = "";
    };
    auto japanese = [](std::u16string_view text) {
        Bytes bytes = encodeGameText(text, japaneseCharset());
        bytes.push_back(0x50);
        return bytes;
    };
    using lines::cat;
    for (const Case& c : std::vector<Case>{
             {"BYTE", {}, {"Violet City, Johto", "Goldenrod City, Johto", "Olivine City, Johto", "Blackthorn City, Johto",
                           "Pewter City, Kanto", "Route 14, Kanto", "Power Plant, Kanto"}},
             {"AAUE", {gameText("MAHOGANY TOWN")}, {"MAHOGANY TOWN, Johto"}},
             // 0x1F a soft break (a blank), 0x1E and 0x25 show nothing.
             {"BYTF", {gameText("MAUVILLE"), cat({gameText("DOUBLON", false), {0x1E}, gameText("VILLE")}), gameText("ARGENTA")},
              {"MAUVILLE, Johto", "DOUBLONVILLE, Johto", "ARGENTA, Johto"}},
             {"BYTS", {cat({gameText("CIUDAD", false), {0x1F}, gameText("MALVA")}), cat({gameText("ORO", false), {0x25}, gameText("VILLE")})},
              {"CIUDAD MALVA, Johto", "OROVILLE, Johto"}},
             {"AAUJ", {japanese(u"\u30ad\u30ad\u30e7\u30a6\u30b7\u30c6\u30a3"), {}, {}, {}, {}, {0xF7, 0xFA, 0x35, 0x50}},
              {"\u30ad\u30ad\u30e7\u30a6\u30b7\u30c6\u30a3, \u30b8\u30e7\u30a6\u30c8", "", "", "", "",
               "\uff11\uff14\u3070\u3093\u3000\u3069\u3046\u308d, \u30ab\u30f3\u30c8\u30fc"}},
             // Names that are none: Kestrane's own places, and why.
             {"BYTE", {Bytes(40, 0x80)}, {"Violet City, Johto", "Goldenrod City, Johto"}, "the landmark of Trade Number 1 at 0x1CA8DB is no name"},
             {"BYTF", {{0x80, 0x02, 0x50}}, {"Violet City, Johto"}, "is no name"},
             {"BYTE", {{0x7F, 0x7F, 0x7F, 0x7F, 0x50}}, {"Violet City, Johto"}, "the landmark of Trade Number 1 at 0x1CA8DB is no name"},
         }) {
        SCOPED_TRACE(c.code);
        Bytes image = retailLikeRom(c.code);
        if (!c.names.empty()) {
            std::vector<Bytes> names = c.names;
            for (Bytes& name : names) {
                if (name.empty()) name = gameText("PLACE");
            }
            putLandmarks(image, c.code, names);
        }
        auto rom = openRom(dir.write("rom.gbc", image), families::all());
        ASSERT_TRUE(rom && rom->table) << (rom ? "no table" : describe(rom.error()));
        for (std::size_t slot = 0; slot < c.shown.size(); ++slot) {
            if (c.shown[slot].empty()) continue;
            EXPECT_EQ(rom->place(Slot::fromNumber(int(slot) + 1))->location, c.shown[slot]) << slot + 1;
        }
        if (*c.why) {
            EXPECT_NE(rom->words->placesWhyNot.find(c.why), std::string::npos) << rom->words->placesWhyNot;
        } else {
            EXPECT_EQ(rom->words->placesWhyNot, "");
        }
    }
}

// Red, Blue and Yellow name no places: a trade's place is the map whose
// script starts it, where the scripts start the trades as the release's own
// do; their lines come through DoInGameTradeDialogue's second pointer.
TEST(GameWords, RedBlueAndYellowPlacedByTheirScripts) {
    TempDir dir;
    const std::vector<std::string> redPlaces = {"Route 11 Gate 2F", "Route 2 Trade House", "Not used in the game",
                                                "Cinnabar Lab Fossil Room", "Vermilion Trade House", "Route 18 Gate 2F",
                                                "Cerulean Trade House", "Cinnabar Lab Trade Room", "Cinnabar Lab Trade Room",
                                                "Underground Path (Route 5)"};
    const std::string used(kUsedPlace), unused(kUnusedPlace);
    struct Case {
        const char* what;
        std::function<void(Bytes&)> change;
        std::vector<std::string> places;
    };
    for (const Case& c : std::vector<Case>{
             {"as released", [](Bytes&) {}, redPlaces},
             {"the same scripts elsewhere", [](Bytes& r) {
                  std::copy_n(r.begin() + kScriptsAt, 0x120, r.begin() + 0x60000);
                  std::fill_n(r.begin() + kScriptsAt, 0x120, 0x00);
              }, redPlaces},
             {"the trade room's first trader jumps with a jp",
              [](Bytes& r) {
                  // 0x4820D is 12:420D.
                  const Bytes code = {0x3E, 7,    0xEA, 0x3D, 0xCD, 0xC3, 0x0D, 0x42, 0x3E, 8,   0xEA,
                                      0x3D, 0xCD, 0x3E, 0x54, 0xCD, 0xD6, 0x3E, 0xC3, 0xD7, 0x24, 0x00};
                  std::copy(code.begin(), code.end(), r.begin() + kCinnabarTradeRoomScripts);
              },
              redPlaces},
             {"a script starts the unused trade", [](Bytes& r) { putTradeScript(r, 0x60000, 2); },
              {used, used, used, used, used, used, used, used, used, used}},
             {"no script starts trade 10", [](Bytes& r) { std::fill_n(r.begin() + kScriptsAt + 16 * 6, 16, 0x00); },
              {used, used, unused, used, used, used, used, used, used, unused}},
         }) {
        SCOPED_TRACE(c.what);
        Bytes image = firstGenerationRom("POKEMON RED");
        c.change(image);
        auto rom = openRom(dir.write("red.gb", image), families::all());
        ASSERT_TRUE(rom && rom->table);
        for (int slot = 1; slot <= 10; ++slot) EXPECT_EQ(rom->place(Slot::fromNumber(slot))->location, c.places[std::size_t(slot - 1)]) << slot;
        EXPECT_EQ(rom->words->givenTrainer, "TRAINER");
        EXPECT_EQ(rom->words->linesWhyNot, "");
        EXPECT_EQ(rom->traderLines(2, internalIndexOf(63), internalIndexOf(122), std::nullopt)[4], "LINE 2 4 ABRA\nMR.MIME!");
    }
    // Japanese Red and Green: the same maps' scripts; the texts beside the code, no far text; the trainer トレーナー.
    auto japanese = openRom(dir.write("green.gb", japaneseFirstGenerationRom("POKEMON GREEN")), families::all());
    ASSERT_TRUE(japanese && japanese->table);
    for (int slot = 1; slot <= 10; ++slot) EXPECT_EQ(japanese->place(Slot::fromNumber(slot))->location, redPlaces[std::size_t(slot - 1)]) << slot;
    EXPECT_EQ(japanese->words->givenTrainer, "\u30c8\u30ec\u30fc\u30ca\u30fc");
    EXPECT_EQ(japanese->words->linesWhyNot, "");
    EXPECT_EQ(japanese->traderLines(1, internalIndexOf(63), internalIndexOf(122), std::nullopt)[4],
              "\u305b\u308a\u3075\u3000\uff11\u3000\uff14\u3000\u30ab\u30a6\n\u30a2\u30a4\u30a4\uff01");
    // Lines the routine does not reach are Kestrane's opening of the set, and why.
    Bytes broken = firstGenerationRom("POKEMON YELLOW");
    broken[0x71E38 + 1] = 0x20;  // set 0's pointer outside the bank
    auto rom = openRom(dir.write("yellow.gbc", broken), families::all());
    ASSERT_TRUE(rom && rom->table);
    EXPECT_EQ(rom->words->linesWhyNot, "their table's pointer at 0x71E38 lies outside bank 0x1C");
    EXPECT_EQ(rom->traderLines(0, 1, 2, std::nullopt)[0], "I'm looking for \u2026! Wanna trade one for \u2026?");
}

// Red, Blue and Yellow's tables beside the trades are where the game's code
// reads them: a hack that moves one and patches its code is shown what the
// game shows; code Kestrane does not recognise proves nothing.
TEST(GameData, RedBlueAndYellowTablesWhereTheirCodeReadsThem) {
    TempDir dir;
    const SpeciesId nidorino = internalIndexOf(33), lickitung = internalIndexOf(108);
    auto writeText = [](Bytes& r, std::uint32_t at, const Bytes& text) { std::copy(text.begin(), text.end(), r.begin() + at); };
    struct Case {
        const char* what;
        const char* title;
        std::function<void(Bytes&)> change;
        const char* trainer;      // what the trade gives
        const char* trainerWhy;   // why not the ROM's, a part
        const char* nidorino;     // the list's name of species 33; "": unnumbered
        const char* namesWhy;
        const char* pictureWhy;   // why Lickitung (bank 9) is not drawn; "": drawn
    };
    const Bytes bill = {0x81, 0x88, 0x8B, 0x8B, 0x50};
    for (const Case& c : std::vector<Case>{
             {"Red as released", "POKEMON RED", [](Bytes&) {}, "TRAINER", "", "Nidorino", "", ""},
             {"Yellow as released", "POKEMON YELLOW", [](Bytes&) {}, "TRAINER", "", "Nidorino", "", ""},
             {"the trainer's name moved and renamed, both routines patched", "POKEMON RED",
              [&](Bytes& r) {
                  writeText(r, 0x73F00, bill);
                  putTrainerRoutines(r, 0x71C89, 0x71D19, 0x73F00, 0x73F00);
              },
              "BILL", "", "Nidorino", "", ""},
             {"the two routines name different trainers", "POKEMON RED",
              [&](Bytes& r) {
                  writeText(r, 0x73F00, bill);
                  putTrainerRoutines(r, 0x71C89, 0x71D19, 0x71D59, 0x73F00);
              },
              "TRAINER", "read different places", "Nidorino", "", ""},
             {"MonsterNames moved to a free bank, GetMonName patched", "POKEMON RED",
              [&](Bytes& r) {
                  std::copy_n(r.begin() + 0x1C21E, 1900, r.begin() + 0x7C000);
                  writeText(r, 0x7C000 + 10u * (nidorino - 1u), {0x8D, 0x88, 0x83, 0x8E, 0x8A, 0x88, 0x83, 0x50, 0x50, 0x50});
                  putGetMonName(r, kGetMonNameAt, false, 0x7C000, 10);
              },
              "TRAINER", "", "NIDOKID", "", ""},
             {"GetMonName unknown: the built-in names by number", "POKEMON RED",
              [](Bytes& r) { std::fill_n(r.begin() + kGetMonNameAt, 36, 0x00); }, "TRAINER", "",
              "Nidorino", "GetMonName, the routine that names a species, is not in bank 0", ""},
             {"MonsterNames named past its bank's end", "POKEMON YELLOW",
              [](Bytes& r) { putGetMonName(r, kGetMonNameAt, true, 0xEBA00, 10); }, "TRAINER", "", "Nidorino",
              "MonsterNames at 0xEBA00 runs past the end of its bank", ""},
             {"IndexToPokedex nowhere: no species has a number", "POKEMON RED",
              [](Bytes& r) { std::fill_n(r.begin() + 0x41010, 20, 0x00); }, "TRAINER", "", "",
              "IndexToPokedex, the routine that numbers a species, is not in the file", "it has no Pok\u00e9dex entry"},
             {"IndexToPokedex moved with its table", "POKEMON YELLOW",
              [](Bytes& r) {
                  std::copy_n(r.begin() + 0x410B1, 190, r.begin() + 0x7D000);
                  std::fill_n(r.begin() + 0x4109D, 20, 0x00);
                  putIndexToPokedex(r, 0x7CF00, 0x7D000);
              },
              "TRAINER", "", "Nidorino", "", ""},
             {"Pics 1 moved to another bank, UncompressMonSprite patched", "POKEMON RED",
              [](Bytes& r) {
                  std::copy_n(r.begin() + 0x24000, 0x4000, r.begin() + 0xC0000);
                  std::fill_n(r.begin() + 0x24000, 0x4000, 0x00);
                  auto banks = retailPictureBanks("POKEMON RED");
                  banks[2].bank = 0x30;  // index < 0x1F
                  putUncompressMonSprite(r, kUncompressMonSpriteAt, banks, 0x0D);
              },
              "TRAINER", "", "Nidorino", "", ""},
             {"Pics 1 moved, the code not patched: the game draws the old bank", "POKEMON RED",
              [](Bytes& r) { std::fill_n(r.begin() + 0x24000, 0x4000, 0x00); }, "TRAINER", "", "Nidorino", "",
              "its data gives the size 0 x 0 tiles"},
             {"UncompressMonSprite unknown", "POKEMON YELLOW",
              [](Bytes& r) { std::fill_n(r.begin() + kUncompressMonSpriteAt, 16, 0x00); }, "TRAINER", "", "Nidorino", "",
              "its bank is not proven: UncompressMonSprite, the routine that chooses a picture's bank, is not in bank 0"},
             {"GetMonHeader unknown", "POKEMON RED", [](Bytes& r) { std::fill_n(r.begin() + kGetMonHeaderAt, 8, 0x00); },
              "TRAINER", "", "Nidorino", "", "its base stats are not proven: GetMonHeader"},
         }) {
        SCOPED_TRACE(c.what);
        Bytes image = firstGenerationRom(c.title);
        c.change(image);
        auto rom = openRom(dir.write("rom.gb", image), families::all());
        ASSERT_TRUE(rom && rom->table) << (rom ? describe(rom->noTable) : describe(rom.error()));
        EXPECT_EQ(rom->words->givenTrainer, c.trainer);
        EXPECT_NE(rom->words->givenTrainerWhyNot.find(c.trainerWhy), std::string::npos) << rom->words->givenTrainerWhyNot;
        EXPECT_EQ(std::string(rom->species->name(nidorino)), c.nidorino);
        if (*c.namesWhy) EXPECT_NE(rom->speciesBuiltInWhy.find(c.namesWhy), std::string::npos) << rom->speciesBuiltInWhy;
        else EXPECT_EQ(rom->speciesBuiltInWhy, "");
        auto picture = readFrontPicture(*rom, lickitung, {});
        if (*c.pictureWhy) {
            ASSERT_FALSE(picture);
            EXPECT_NE(picture.error().message.find(c.pictureWhy), std::string::npos) << picture.error().message;
        } else {
            EXPECT_TRUE(picture) << picture.error().message;
        }
    }
}

}  // namespace
}  // namespace kestrane
