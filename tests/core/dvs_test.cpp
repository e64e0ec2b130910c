// The DVs and what the game makes of them.
#include "trades/dvs.h"

#include <gtest/gtest.h>

#include "support/rom_image.h"

#include "trades/creature_list.h"

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

}  // namespace
}  // namespace kestrane
