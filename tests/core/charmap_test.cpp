// A build tree's charmap: the main one read, names turned into bytes and back by it.
#include "source/charmap.h"

#include <gtest/gtest.h>
#include <tuple>

namespace kestrane {
namespace {

TEST(Charmap, TheMainCharmapAsTheAssemblerReadsIt) {
    const std::string tree =
        "; Control characters\n"
        "\tcharmap \"@\",         $50 ; string terminator, \"ends\" names\n"
        "\tcharmap \"<PK>\",      $e1\n"
        "\tCHARMAP \"A\", $80\n"
        "\tcharmap \"B\", 129\r\n"
        "\tcharmap \"'d\", $d0\n"
        "\tcharmap \"'\", $e0\n"
        "\tcharmap \"\\\"\", %01010101\n"
        "\tcharmap \"@\", $00 ; a second entry for a byte never decodes\n"
        "\tpushc\n\tsetcharmap other\n\tcharmap \"A\", $01\n\tpopc\n"
        "\tcharmap \"C\", $82\n"
        "\tnewcharmap unown\n\tcharmap \"A\", $02\n";
    auto charmap = readCharmap(tree);
    ASSERT_TRUE(charmap) << charmap.error().message;
    struct Case {
        std::string text;
        std::optional<std::vector<std::uint8_t>> bytes;
    };
    for (const Case& c : std::vector<Case>{
             {"ABC", std::vector<std::uint8_t>{0x80, 0x81, 0x82}},
             {"A'dB", std::vector<std::uint8_t>{0x80, 0xD0, 0x81}},  // the longest entry
             {"A'B", std::vector<std::uint8_t>{0x80, 0xE0, 0x81}},
             {"<PK>\"@", std::vector<std::uint8_t>{0xE1, 0x55, 0x50}},
             {"AZ", std::nullopt},  // no entry for Z
         }) {
        EXPECT_EQ(charmap->encode(c.text), c.bytes) << c.text;
        if (c.bytes) {
            EXPECT_EQ(charmap->decode(*c.bytes), c.text) << c.text;
        }
    }
    EXPECT_EQ(charmap->decode(std::vector<std::uint8_t>{0x00}), "@");
    EXPECT_EQ(charmap->decode(std::vector<std::uint8_t>{0x02}), std::nullopt);  // the other charmaps' bytes are not the main one's

    // A named block alone (Polished Crystal's names' charmap), its ctxtmap entries with their Huffman codes.
    const std::string blocks = "MACRO ctxtmap\n\tcharmap \\1, \\2\nENDM\n\tnewcharmap no_ngrams\n\tctxtmap \"@\", $53, 111101000\n"
                               "\tctxtmap \"A\", $80, 101110\n\tcharmap \"<PHONE>\", $f6\n\tnewcharmap default, no_ngrams\n\tcharmap \"ou\", $0a\n"
                               "\tsetcharmap default\n\tcharmap \"B\", $81\n";
    auto names = readCharmap(blocks, "no_ngrams");
    ASSERT_TRUE(names) << names.error().message;
    EXPECT_EQ(names->encode("A@<PHONE>"), (std::vector<std::uint8_t>{0x80, 0x53, 0xF6}));
    EXPECT_EQ(names->encode("ou"), std::nullopt);  // the n-grams are another block's
    EXPECT_EQ(names->encode("B"), std::nullopt);
    EXPECT_EQ(readCharmap(blocks, "unown").error().message, "The charmap opens no unown charmap.");

    for (auto [text, refusal] : {std::pair{"\tcharmap A, $80\n", "Line 1 of the charmap is not charmap \"text\", $NN."},
                                 std::pair{"\n\tcharmap \"A\", $180\n", "Line 2 of the charmap is not charmap \"text\", $NN."},
                                 std::pair{"\tcharmap \"A\"\n", "Line 1 of the charmap is not charmap \"text\", $NN."}}) {
        auto bad = readCharmap(text);
        ASSERT_FALSE(bad) << text;
        EXPECT_EQ(bad.error().message, refusal);
    }
}

}  // namespace
}  // namespace kestrane

#include "source/constants.h"

namespace kestrane {
namespace {

TEST(SourceConstants, CountedAsTheAssemblerCountsThem) {
    SourceConstants constants;
    ASSERT_TRUE(constants.read("; pokemon_constants.asm\n\tconst_def 1\n\tconst BULBASAUR ; $01\n\tconst IVYSAUR\n"
                               "\tconst_skip 2\n\tconst CHARMELEON\n\tconst_def $fd\n\tconst EGG\nDEF NUM_POKEMON EQU EGG - 1\n",
                               "constants/pokemon_constants.asm"));
    ASSERT_TRUE(constants.read("\tconst_def\n\tconst NO_ITEM\n\tconst MASTER_BALL\nDEF PARK_BALL EQU $01\n"
                               "\tconst_def 0, 2\n\tconst EVEN_A\n\tconst EVEN_B\nDEF NUM_EVEN EQU const_value\n"
                               "DEF LATER EQU NOT_YET_READ\n",
                               "constants/item_constants.asm"));
    ASSERT_TRUE(constants.read("\tconst_def\n\tconst TRADE_DIALOGSET_COLLECTOR\n\tconst TRADE_DIALOGSET_HAPPY\n"
                               "TRADE_GENDER_EITHER EQU 0\nDEF TRADE_GENDER_MALE EQU 1\n",
                               "constants/npc_trade_constants.asm"));
    for (auto [name, value] : {std::pair{"BULBASAUR", 1}, std::pair{"IVYSAUR", 2}, std::pair{"CHARMELEON", 5},
                               std::pair{"EGG", 0xFD}, std::pair{"NO_ITEM", 0}, std::pair{"MASTER_BALL", 1},
                               std::pair{"PARK_BALL", 1}, std::pair{"TRADE_GENDER_MALE", 1}, std::pair{"EVEN_B", 2},
                               std::pair{"NUM_EVEN", 4}}) {
        EXPECT_EQ(constants.valueOf(name), value) << name;
    }
    EXPECT_EQ(constants.valueOf("NUM_POKEMON"), std::nullopt);  // an expression: no constant Kestrane counts
    EXPECT_EQ(constants.valueOf("LATER"), std::nullopt);        // a name not known when it is read
    // A value's name where another stood: the first of that file, among
    // names of the same prefix where the file has several.
    for (auto [value, like, name] : {std::tuple{1, "IVYSAUR", "BULBASAUR"}, std::tuple{1, "NO_ITEM", "MASTER_BALL"},
                                     std::tuple{1, "TRADE_GENDER_EITHER", "TRADE_GENDER_MALE"},
                                     std::tuple{1, "TRADE_DIALOGSET_COLLECTOR", "TRADE_DIALOGSET_HAPPY"},
                                     std::tuple{0, "TRADE_GENDER_MALE", "TRADE_GENDER_EITHER"},
                                     std::tuple{2, "TRADE_GENDER_MALE", "-"}, std::tuple{7, "BULBASAUR", "-"},
                                     std::tuple{1, "UNKNOWN", "-"}}) {
        EXPECT_EQ(constants.nameLike(value, like).value_or("-"), name) << like << " " << value;
    }

    SourceConstants bad;
    auto refused = bad.read("\tconst_def 1\n\tconst 3RD\n", "constants/x.asm");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().message, "Line 2 of constants/x.asm is not a constant Kestrane reads.");
}

}  // namespace
}  // namespace kestrane
