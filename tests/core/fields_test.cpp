// The fields beyond species, names and ID: the DVs' read-outs against the
// games' rules, and what the ROM itself says about items and genders.
#include <gtest/gtest.h>

#include "support/rom_image.h"
#include "trades/dvs.h"
#include "trades/fields.h"
#include "trades/rom.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

TEST(Dvs, ShinyHpDvAndMakeShiny) {
    // Every Attack value: shiny exactly with bit 1 set; Make Shiny raises to the nearest such.
    const int raised[16] = {2, 2, 2, 3, 6, 6, 6, 7, 10, 10, 10, 11, 14, 14, 14, 15};
    for (int attack = 0; attack <= 15; ++attack) {
        SCOPED_TRACE(attack);
        EXPECT_EQ(isShiny({attack, 10, 10, 10}), attack == 2 || attack == 3 || attack == 6 || attack == 7 ||
                                                     attack == 10 || attack == 11 || attack == 14 || attack == 15);
        EXPECT_EQ(makeShiny({attack, 1, 2, 3}), (Dvs{raised[attack], 10, 10, 10}));
        EXPECT_TRUE(isShiny(makeShiny({attack, 0, 15, 7})));
    }
    for (Dvs notShiny : {Dvs{15, 9, 10, 10}, Dvs{15, 10, 11, 10}, Dvs{15, 10, 10, 0}}) EXPECT_FALSE(isShiny(notShiny));

    struct HpCase {
        Dvs dvs;
        int hp;
    };
    for (HpCase c : {HpCase{{15, 10, 10, 10}, 8}, HpCase{{15, 15, 15, 15}, 15}, HpCase{{0, 0, 0, 0}, 0},
                     HpCase{{0, 1, 0, 1}, 5}, HpCase{{3, 7, 6, 6}, 12}}) {
        EXPECT_EQ(hpDv(c.dvs), c.hp);
    }

    struct Typed {
        const char* text;
        std::optional<Dvs> dvs;
    };
    for (const Typed& t : {Typed{"15/10/10/10", Dvs{15, 10, 10, 10}}, Typed{" 0 / 1 /2/ 3", Dvs{0, 1, 2, 3}},
                           Typed{"16/0/0/0", std::nullopt}, Typed{"1/2/3", std::nullopt},
                           Typed{"1/2/3/4/", std::nullopt}, Typed{"1/2/3/4/5", std::nullopt},
                           Typed{"a/b/c/d", std::nullopt}, Typed{"", std::nullopt}, Typed{"-1/0/0/0", std::nullopt}}) {
        auto parsed = parseDvs(t.text);
        EXPECT_EQ(parsed.ok(), t.dvs.has_value()) << t.text;
        if (parsed && t.dvs) {
            EXPECT_EQ(*parsed, *t.dvs) << t.text;
        }
        if (!parsed) {
            EXPECT_EQ(parsed.error().code, ErrorCode::DvOutOfRange) << t.text;
        }
    }
}

TEST(Dvs, ReceivedGenderAtTheBoundaries) {
    // v = Attack x 16 + Speed: male when the ratio is below v.
    struct Case {
        std::optional<std::uint8_t> ratio;
        Dvs dvs;
        ReceivedGender gender;
    };
    for (const Case& c : std::vector<Case>{
             {0x1F, {1, 0, 15, 0}, ReceivedGender::Female},   // v = 31 = r
             {0x1F, {2, 0, 0, 0}, ReceivedGender::Male},      // v = 32 = r + 1
             {0x7F, {7, 15, 15, 15}, ReceivedGender::Female}, // v = 127 = r
             {0x7F, {8, 0, 0, 0}, ReceivedGender::Male},      // v = 128
             {0xBF, {11, 0, 15, 0}, ReceivedGender::Female},  // v = 191 = r
             {0xBF, {12, 0, 0, 0}, ReceivedGender::Male},
             {0x00, {0, 0, 0, 0}, ReceivedGender::Male},      // always male, even at v = 0
             {0xFE, {15, 15, 15, 15}, ReceivedGender::Female},
             {0xFF, {15, 15, 15, 15}, ReceivedGender::Genderless},
             {std::nullopt, {15, 15, 15, 15}, ReceivedGender::Unknown},
         }) {
        EXPECT_EQ(receivedGender(c.dvs, c.ratio), c.gender) << int(c.ratio.value_or(0)) << " " << c.dvs.attack;
    }
    EXPECT_EQ(receivedGenderText(ReceivedGender::Genderless), "genderless");
}

TEST(Dvs, EveryUnownLetter) {
    // n = the DVs' bits 1-2, Attack highest; the letter is A + n / 10.
    for (int n = 0; n < 256; ++n) {
        const Dvs dvs{(n >> 6 & 3) << 1, (n >> 4 & 3) << 1 | 1, (n >> 2 & 3) << 1, (n & 3) << 1 | 1};
        EXPECT_EQ(unownLetter(dvs), char('A' + n / 10)) << n;
    }
    EXPECT_EQ(unownLetter({0, 0, 0, 0}), 'A');
    EXPECT_EQ(unownLetter({15, 15, 15, 15}), 'Z');
}

TEST(GameData, ItemNamesAndGenderRatiosOnlyWhereTheyProveToBe) {
    TempDir dir;
    for (const char* code : {"AAUE", "BYTE"}) {
        SCOPED_TRACE(code);
        auto rom = openRom(dir.write("rom.gbc", retailLikeRom(code)));
        ASSERT_TRUE(rom && rom->items && rom->genderRatios);
        EXPECT_EQ(itemLabel(rom->items, 0x7E), "LUCKY EGG");
        EXPECT_EQ(itemLabel(rom->items, 0xAE), "GOLD BERRY");
        EXPECT_EQ(itemLabel(rom->items, 5), "POK\u00e9 BALL");
        EXPECT_EQ(itemLabel(rom->items, 70), code[0] == 'B' ? "CLEAR BELL" : "TERU-SAMA");
        EXPECT_EQ(itemLabel(rom->items, 0), "None");
        EXPECT_EQ((*rom->genderRatios)[65], testGenderRatio(66));

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
    auto rom = openRom(dir.write("bare.gbc", bare));
    ASSERT_TRUE(rom && rom->table);
    EXPECT_FALSE(rom->items);
    EXPECT_FALSE(rom->genderRatios);
    EXPECT_EQ(itemLabel(rom->items, 0x53), "Item 0x53");
    auto retail = openRom(dir.write("retail.gbc", retailLikeRom("BYTE")));
    EXPECT_TRUE(resolveItem("Lucky Eg", retail->items).error().message.ends_with(" Did you mean LUCKY EGG?"));
    EXPECT_EQ(*resolveItem("83", rom->items), 83);
    EXPECT_EQ(resolveItem("Lucky Egg", rom->items).error().code, ErrorCode::UnknownItem);
}

TEST(Fields, GenderRequirementsAndDialogSetsAsTyped) {
    const Release& gold = *findRelease("AAUE");
    const Release& crystal = *findRelease("BYTE");
    struct Typed {
        const char* text;
        int gold, crystal;  // -1: refused
    };
    for (Typed t : {Typed{"collector", 0, 0}, Typed{"Happy", 1, 1}, Typed{"NEWBIE", 2, 2}, Typed{"girl", -1, 3},
                    Typed{"2", 2, 2}, Typed{"3", -1, 3}, Typed{"4", -1, -1}, Typed{"boss", -1, -1}}) {
        auto inGold = resolveDialogSet(t.text, gold);
        auto inCrystal = resolveDialogSet(t.text, crystal);
        EXPECT_EQ(inGold ? int(*inGold) : -1, t.gold) << t.text;
        EXPECT_EQ(inCrystal ? int(*inCrystal) : -1, t.crystal) << t.text;
    }
    for (auto [text, value] : {std::pair{"either", 0}, std::pair{"Male", 1}, std::pair{"female", 2}, std::pair{"1", 1},
                               std::pair{"3", -1}, std::pair{"any", -1}}) {
        auto gender = resolveGenderRequirement(text);
        EXPECT_EQ(gender ? int(*gender) : -1, value) << text;
    }
}

}  // namespace
}  // namespace kestrane
