// The species list and what people type for a species.
#include "trades/creature_list.h"

#include <gtest/gtest.h>

#include "support/rom_image.h"


namespace kestrane {
namespace {

using namespace kestrane::testing;

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
    const SpeciesList twice(romNames, true);
    auto ambiguous = resolveSpecies("Pikachu", 5, SpeciesRole::Offered, twice);
    ASSERT_FALSE(ambiguous);
    EXPECT_EQ(ambiguous.error().code, ErrorCode::AmbiguousName);
    EXPECT_EQ(ambiguous.error().message, "\"Pikachu\" names species 1 and 25 of this ROM: give the number of the one you mean.");
    EXPECT_EQ(*resolveSpecies("25", 5, SpeciesRole::Offered, twice), 25);
    EXPECT_EQ(findSpecies("pikachu", twice).error().code, ErrorCode::AmbiguousName);

    // One style a list: a release in another language shows every name as the ROM spells it.
    romNames[0] = "BULBIZARRE";
    romNames[94] = "ONIX";
    EXPECT_EQ(SpeciesList(romNames, false).name(95), "ONIX");
    EXPECT_EQ(SpeciesList(romNames, false).name(1), "BULBIZARRE");
    EXPECT_EQ(SpeciesList(romNames, true).name(95), "Onix");
    // Accents fold to their plain letters either way: "salamèche" for the ROM's SALAMECHE, "ÉVOLI"
    // for EVOLI; two names that fold alike are refused as ambiguous.
    romNames[3] = "SALAMECHE";
    romNames[132] = "EVOLI";
    romNames[134] = "PYROLI";
    romNames[135] = "PYR\u00d4LI";
    const SpeciesList french(romNames, false);
    EXPECT_EQ(*findSpecies("salam\u00e8che", french), 4);
    EXPECT_EQ(*findSpecies("\u00c9VOLI", french), 133);
    EXPECT_EQ(*findSpecies("pyr\u00f4li", french), 136);  // as the ROM spells it
    EXPECT_EQ(findSpecies("pyroli ", french).value(), 135);
    EXPECT_EQ(findSpecies("pyr\u00f2li", french).error().code, ErrorCode::AmbiguousName);
    // Kana twins match either form: スりープ for the ROM's スリープ.
    std::vector<std::string> kana(kDexSpecies, "");
    for (int i = 1; i <= kDexSpecies; ++i) kana[std::size_t(i - 1)] = "\u30ab" + std::to_string(i);
    kana[95] = "\u30b9\u30ea\u30fc\u30d7";
    const SpeciesList japanese(kana, false);
    EXPECT_EQ(*findSpecies("\u30b9\u308a\u30fc\u30d7", japanese), 96);
    EXPECT_EQ(*findSpecies("\u30b9\u30ea\u30fc\u30d7", japanese), 96);
}

}  // namespace
}  // namespace kestrane
