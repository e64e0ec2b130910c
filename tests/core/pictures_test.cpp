// Front pictures from the ROM: the compression, the tiles, the colours, the
// banks, and what a hack's damage gives.
#include "trades/pictures.h"
#include "trades/trade_record.h"
#include "families/families.h"
#include "families/gen2/second_generation_pictures.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/first_generation_image.h"
#include "support/rom_image.h"
#include "families/gen1/first_generation_pictures.h"
#include "trades/dvs.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

struct Stream {
    const char* name;
    Bytes stream;
    std::size_t wanted;
    Bytes out;          // when it decodes
    const char* error;  // else a part of the reason
};

void PrintTo(const Stream& s, std::ostream* os) { *os << s.name; }

class Decompress : public ::testing::TestWithParam<Stream> {};

TEST_P(Decompress, GivesTheBytesOrSaysWhyNot) {
    const Stream& s = GetParam();
    auto out = decompressPicture(s.stream, s.wanted);
    if (!*s.error) {
        ASSERT_TRUE(out) << out.error().message;
        EXPECT_EQ(*out, s.out);
    } else {
        ASSERT_FALSE(out);
        EXPECT_EQ(out.error().code, ErrorCode::NoPicture);
        EXPECT_NE(out.error().message.find(s.error), std::string::npos) << out.error().message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Decompress,
    ::testing::ValuesIn(std::vector<Stream>{
        {"Copy", {0x02, 1, 2, 3, 0xFF}, 3, {1, 2, 3}, ""},
        {"RepeatAByte", {0x23, 7, 0xFF}, 4, {7, 7, 7, 7}, ""},
        {"AlternateTwo", {0x44, 1, 2, 0xFF}, 5, {1, 2, 1, 2, 1}, ""},
        {"Zeros", {0x62, 0xFF}, 3, {0, 0, 0}, ""},
        {"CopyForwardFromTheEndBack", {0x02, 1, 2, 3, 0x82, 0x81, 0xFF}, 6, {1, 2, 3, 2, 3, 2}, ""},  // reads what it writes
        {"CopyForwardFromTheStart", {0x02, 1, 2, 3, 0x81, 0x00, 0x01, 0xFF}, 5, {1, 2, 3, 2, 3}, ""},
        {"BitsReversed", {0x01, 0x01, 0xF0, 0xA1, 0x00, 0x00, 0xFF}, 4, {0x01, 0xF0, 0x80, 0x0F}, ""},
        {"Backward", {0x02, 1, 2, 3, 0xC2, 0x80, 0xFF}, 6, {1, 2, 3, 3, 2, 1}, ""},
        {"LongForm", {0xE4, 0x04, 9, 0xFF}, 5, {9, 9, 9, 9, 9}, ""},  // long, command 1, count 5
        {"LongFormTenBits", {0xED, 0x2B, 0xFF}, 0x12C, Bytes(0x12C, 0), ""},  // long, command 3, count 0x12B + 1
        {"StopsWhenThePictureIsOut", {0x24, 5, 0x00, 0x01}, 3, {5, 5, 5}, ""},
        {"EndedEarly", {0x01, 1, 2, 0xFF}, 4, {}, "ends after 2 of the 4 bytes"},
        {"RunsPastItsBytes", {0x05, 1, 2}, 6, {}, "runs past the end of the bank or file"},
        {"NoEndAtAll", {}, 1, {}, "runs past the end"},
        {"BackBeforeTheStart", {0x00, 1, 0x82, 0x85}, 4, {}, "refers to bytes before its start"},
        {"BackwardBeforeTheStart", {0x01, 1, 2, 0xC3, 0x81}, 6, {}, "refers to bytes before its start"},
        {"ForwardToBytesNotMade", {0x00, 1, 0x81, 0x00, 0x05}, 4, {}, "refers to bytes not made yet"},
        {"EndlessOutput", {0xE7, 0xFF, 0, 0xE7, 0xFF, 0, 0xE7, 0xFF, 0, 0xE7, 0xFF, 0, 0xE7, 0xFF, 0}, 0x2000, {},
         "more than the 4096 bytes"},
        {"LongInsideLong", {0xFC, 0x00}, 4, {}, "long command inside a long one"},
    }),
    [](const auto& info) { return std::string(info.param.name); });

// A 2 x 1-tile picture whose tiles tell column order and every shade apart.
Bytes twoTiles() {
    Bytes raw(32, 0);
    raw[0] = 0xF0, raw[1] = 0xCC;  // tile 0, row 0: low bits 11110000, high bits 11001100
    raw[16] = 0xFF, raw[17] = 0xFF;  // tile 1, row 0: all 3
    return raw;
}

TEST(Pictures, DrawnFromTheRomAsTheGameDrawsThem) {
    TempDir dir;
    struct Case {
        const char* code;
        std::uint32_t at;  // where the data lies: one bank of each bank rule
    };
    for (Case c : {Case{"BYTE", 0x47 * 0x4000 + 0x10}, Case{"AAUE", 0x1F * 0x4000 + 0x1000}, Case{"AAXE", 0x20 * 0x4000},
                   Case{"AAUE", 0x2E * 0x4000 + 0x3FF0 - 64}, Case{"AAXE", 0x43 * 0x4000 + 2}}) {
        SCOPED_TRACE(std::string(c.code) + " at " + std::to_string(c.at));
        Bytes image = randomImage(c.code, 4);
        putBaseData(image, c.code);
        putPicture(image, c.code, 25, c.at, literalStream(twoTiles()), 0x12);  // width 2, height 1
        putPalette(image, c.code, 25, {0x7FFF & (31 | 1 << 5), 0x0400, 0x001F, 0x7C00});
        auto rom = openRom(dir.write("rom.gbc", image), families::all());
        ASSERT_TRUE(rom);
        for (bool shiny : {false, true}) {
            auto picture = readFrontPicture(*rom, 25, PictureLook{shiny, 'A'});
            ASSERT_TRUE(picture) << picture.error().message;
            EXPECT_EQ(picture->width, 16);
            EXPECT_EQ(picture->height, 8);
            const Bytes row0(picture->shades.begin(), picture->shades.begin() + 16);
            EXPECT_EQ(row0, (Bytes{3, 3, 1, 1, 2, 2, 0, 0, 3, 3, 3, 3, 3, 3, 3, 3}));
            EXPECT_EQ(picture->colours[0], (Rgb{255, 255, 255}));
            EXPECT_EQ(picture->colours[3], (Rgb{0, 0, 0}));
            // RGB555, five bits to eight: (v << 3) | (v >> 2).
            EXPECT_EQ(picture->colours[1], shiny ? (Rgb{255, 0, 0}) : (Rgb{255, 8, 0}));
            EXPECT_EQ(picture->colours[2], shiny ? (Rgb{0, 0, 255}) : (Rgb{0, 0, 8}));
            EXPECT_EQ(picture->rgb().size(), 16u * 8 * 3);
        }
    }
    // The largest size there is: 15 x 15 tiles, data of more than a KiB.
    Bytes image = randomImage("BYTE", 4);
    putBaseData(image, "BYTE");
    Bytes raw(15 * 15 * 16);
    for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = std::uint8_t(i * 31);
    putPicture(image, "BYTE", 26, 0x44 * 0x4000, literalStream(raw), 0xFF);
    auto rom = openRom(dir.write("large.gbc", image), families::all());
    auto large = readFrontPicture(*rom, 26, {});
    ASSERT_TRUE(large) << large.error().message;
    EXPECT_EQ(large->width, 120);
    EXPECT_EQ(large->shades.size(), 120u * 120);

    // The 16-bit species base: banks stored as they are, species past 251 with their own pictures and colours.
    for (int species : {25, 300}) {
        SCOPED_TRACE(species);
        auto base = openRom(dir.write("base.gbc", species16Rom(false, 300)), families::all());
        ASSERT_TRUE(base);
        auto picture = readFrontPicture(*base, SpeciesId(species), {});
        ASSERT_TRUE(picture) << picture.error().message;
        EXPECT_EQ(picture->width, 40);
        EXPECT_EQ(picture->height, 40);
        const auto low = std::uint8_t(species * 13), high = std::uint8_t(7 + species * 13);  // the image's first tile row
        for (int x = 0; x < 8; ++x) EXPECT_EQ(picture->shades[std::size_t(x)], (low >> (7 - x) & 1) | (high >> (7 - x) & 1) << 1);
        const int red = species * 97 & 31;
        EXPECT_EQ(picture->colours[1].red, std::uint8_t(red << 3 | red >> 2));
    }
}

// Red, Blue and Yellow's own compression: a known answer, every trade's
// species pixel for pixel on the game's canvas, and streams that are none.
TEST(Pictures, TheFirstGenerationsOwnCompression) {
    const Bytes known = {0x11, 0x52, 0xF2, 0x26, 0x65, 0xA6, 0x0C, 0x12, 0xD2, 0x89, 0x18, 0x5D, 0x95, 0, 0, 0, 0, 0, 0};
    auto one = unpackFirstGenerationPicture(known);
    ASSERT_TRUE(one) << one.error().message;
    std::string rows;
    for (std::size_t i = 0; i < one->shades.size(); ++i) rows += char('0' + one->shades[i]) + std::string(i % 8 == 7 ? "/" : "");
    EXPECT_EQ(rows, "01111222/00002332/00001333/00332000/00011222/00110000/00033333/10310111/");

    struct Bad {
        Bytes stream;
        const char* reason;
    };
    for (const Bad& b : std::vector<Bad>{{{}, "is empty"},
                                         {{0x01}, "gives the size 0 x 1 tiles"},
                                         {{0x88}, "gives the size 8 x 8 tiles"},
                                         {{0x11, 0x52}, "ends before its picture does"},
                                         {{0x11, 0x3E, 0x00}, "holds a run past its picture's end"},
                                         {{0x11, 0x3F, 0xFF, 0xFF, 0xFF}, "holds a run longer than any picture"}}) {
        auto bad = unpackFirstGenerationPicture(b.stream);
        ASSERT_FALSE(bad) << b.reason;
        EXPECT_EQ(bad.error().code, ErrorCode::NoPicture);
        EXPECT_NE(bad.error().message.find(b.reason), std::string::npos) << bad.error().message;
    }

    TempDir dir;
    // Japanese Red: its own banks (no fossil Kabutops among them), Mew's in bank 1.
    for (const char* title : {"POKEMON RED", "POKEMON YELLOW", "Japanese POKEMON RED"}) {
        const bool japanese = std::string_view(title).starts_with("Japanese");
        auto rom = openRom(dir.write("rom.gb", japanese ? japaneseFirstGenerationRom("POKEMON RED") : firstGenerationRom(title)),
                           families::all());
        ASSERT_TRUE(rom);
        // Mew and the trades' species.
        std::vector<std::uint8_t> shown = {internalIndexOf(151)};
        if (japanese) {
            for (const Trade8& t : retailTrades8()) shown.insert(shown.end(), {t.requested, t.offered});
        } else {
            for (const Trade14& t : retailTrades14(title)) shown.insert(shown.end(), {t.requested, t.offered});
        }
        for (std::uint8_t internal : shown) {
            const int number = pokedexNumberOf(internal);
            SCOPED_TRACE(std::string(title) + " species " + std::to_string(number));
            const TestPicture drawn = testPicture(number);
            auto picture = readFrontPicture(*rom, internal, {});
            ASSERT_TRUE(picture) << picture.error().message;
            ASSERT_EQ(picture->width, 56);
            // Centred on the 7 x 7 tiles as the game places it; white around it.
            const int left = (8 - drawn.width) / 2 * 8, top = (7 - drawn.height) * 8;
            for (int y = 0; y < 56; ++y) {
                for (int x = 0; x < 56; ++x) {
                    const bool inside = x >= left && x < left + drawn.width * 8 && y >= top && y < top + drawn.height * 8;
                    const int want = inside ? drawn.shades[std::size_t((y - top) * drawn.width * 8 + x - left)] : 0;
                    ASSERT_EQ(picture->shades[std::size_t(y * 56 + x)], want) << x << "," << y;
                }
            }
            EXPECT_EQ(picture->colours[1], (Rgb{170, 170, 170}));
        }
        // A slot with no creature, and base stats that are not the game's, draw nothing and say why.
        auto missing = readFrontPicture(*rom, 0x1F, {});
        ASSERT_FALSE(missing);
        EXPECT_NE(missing.error().message.find("it has no Pok\u00e9dex entry"), std::string::npos);
    }
    Bytes moved = firstGenerationRom("POKEMON BLUE");
    moved[0x383DE + 28 * 24] = 0;  // Pikachu's base stats no longer say 25
    auto rom = openRom(dir.write("moved.gb", moved), families::all());
    auto pikachu = readFrontPicture(*rom, internalIndexOf(25), {});
    ASSERT_FALSE(pikachu);
    EXPECT_EQ(pikachu.error().message, "The picture of species 25 cannot be drawn: its base stats at 0x3867E are not where the game keeps them.");
}

TEST(Pictures, UnownByLetterAndTheLookOfATrade) {
    TempDir dir;
    Bytes image = randomImage("BYTE", 4);
    putBaseData(image, "BYTE");
    putPicture(image, "BYTE", kUnown, 0x46 * 0x4000, literalStream(Bytes(16, 0x00)), 0x11, 'A');
    putPicture(image, "BYTE", kUnown, 0x46 * 0x4000 + 100, literalStream(Bytes(16, 0xFF)), 0x11, 'I');
    auto rom = openRom(dir.write("rom.gbc", image), families::all());
    EXPECT_EQ(readFrontPicture(*rom, kUnown, {false, 'A'})->shades[0], 0);
    EXPECT_EQ(readFrontPicture(*rom, kUnown, {false, 'I'})->shades[0], 3);
    TradeRecord shinyI;
    shinyI.dvs = Dvs{10, 10, 10, 10};  // shiny, and its DVs choose I
    EXPECT_TRUE(lookOf(*rom, shinyI).shiny);
    EXPECT_EQ(lookOf(*rom, shinyI).unownLetter, 'I');
}

TEST(Pictures, AHacksDamageIsNoPictureAndAReason) {
    TempDir dir;
    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
        const char* reason;
    };
    for (const Case& c : std::vector<Case>{
             {"pointer outside the picture banks", [](Bytes& r) { r[0x120000 + 2] = 0x90; }, "outside the banks pictures lie in"},
             {"pointer past the end of the file", [](Bytes& r) { r[0x120000] = 0x7F; }, "past the end of the file"},
             {"data cut by the end of the file",
              [](Bytes& r) {
                  putPicture(r, "BYTE", 1, 0x120F00, literalStream(twoTiles()), 0x12);
                  r.resize(0x120F00 + 10);
              },
              "runs past the end"},
             {"no base data", [](Bytes& r) { r[0x51424] = 0; }, "base data, which gives its size"},
             {"size 0", [](Bytes& r) { r[0x51424 + 17] = 0x50; }, "its size in the base data is 0"},
         }) {
        SCOPED_TRACE(c.name);
        Bytes image = randomImage("BYTE", 4);
        putBaseData(image, "BYTE");
        putPicture(image, "BYTE", 1, 0x47 * 0x4000, literalStream(twoTiles()), 0x12);
        c.damage(image);
        auto rom = openRom(dir.write("rom.gbc", image), families::all());
        ASSERT_TRUE(rom);
        auto picture = readFrontPicture(*rom, 1, {});
        ASSERT_FALSE(picture);
        EXPECT_EQ(picture.error().code, ErrorCode::NoPicture);
        EXPECT_EQ(picture.error().message.find("The picture of species 1 cannot be drawn: "), 0u) << picture.error().message;
        EXPECT_NE(picture.error().message.find(c.reason), std::string::npos) << picture.error().message;
    }
}

}  // namespace
}  // namespace kestrane
