// The gender requirement and the dialog set as people give them.
#include "trades/fields.h"

#include <gtest/gtest.h>

#include "families/families.h"
#include "support/rom_image.h"


namespace kestrane {
namespace {

using namespace kestrane::testing;

TEST(Fields, GenderRequirementsAndDialogSetsAsTyped) {
    const Release& gold = *findRelease(families::all(), "AAUE");
    const Release& crystal = *findRelease(families::all(), "BYTE");
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
