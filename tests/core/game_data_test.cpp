// What the ROM itself says about items and genders.
#include "trades/game_data.h"

#include <gtest/gtest.h>

#include "support/rom_image.h"
#include "trades/rom.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

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

}  // namespace
}  // namespace kestrane
