#include "text/game_text.h"
#include "families/gameboy/charsets.h"
#include "families/gameboy/text_dialects.h"

#include <gtest/gtest.h>

#include "support/rom_image.h"
#include "support/utf.h"
#include "library/char_map.h"
#include "library/kana_text.h"
#include "text/charset.h"

namespace kestrane {
namespace {

using testing::Bytes;

// Every text the program shows passes through UTF-8: each unit its bytes,
// a pair of units one four-byte character, a unit without its pair the
// replacement character, at any length.
TEST(Utf8, EveryCharacterItsBytesAtAnyLength) {
    auto repeated = [](std::u16string_view unit, int times, std::string_view bytes) {
        std::u16string text;
        std::string utf8;
        for (int i = 0; i < times; ++i) text += unit, utf8 += bytes;
        return std::pair{text, utf8};
    };
    const std::pair<std::u16string, std::string> cases[] = {
        {u"", ""},
        {u"ROCKY", "ROCKY"},
        {u"Pok\u00e9mon", "Pok\xC3\xA9mon"},
        {u"\u30a2", "\xE3\x82\xA2"},
        {u"\xD83D\xDE00!", "\xF0\x9F\x98\x80!"},
        {std::u16string{char16_t(0xD83D)} + u"A", "\xEF\xBF\xBD" "A"},
        {std::u16string{char16_t(0xDE00)}, "\xEF\xBF\xBD"},
        {std::u16string{u'A', char16_t(0xD83D)}, "A\xEF\xBF\xBD"},
        repeated(u"\u30a2", 256, "\xE3\x82\xA2"),  // the most held on the stack, each unit at its longest
        repeated(u"\u30a2", 257, "\xE3\x82\xA2"),
        repeated(u"\xD83D\xDE00", 300, "\xF0\x9F\x98\x80"),
        repeated(u"e", 5000, "e"),
    };
    for (const auto& [text, utf8] : cases) {
        SCOPED_TRACE(text.size());
        EXPECT_EQ(toUtf8(text), utf8);
        if (utf8.find("\xEF\xBF\xBD") == std::string::npos) {
            EXPECT_EQ(fromUtf8(utf8), text);
        }
    }
    EXPECT_EQ(toUtf8(char32_t(0x1F600)), "\xF0\x9F\x98\x80");
    EXPECT_EQ(toUtf8(char32_t(0xD800)), "\xEF\xBF\xBD");
}

struct DecodeCase {
    const char* name;
    Bytes bytes;
    std::int16_t mode;
    std::u16string text;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, GivesTheEditableText) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(toUtf8(library::decodeGameText(c.bytes, c.mode)), toUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    StandardMap, Decode,
    ::testing::ValuesIn(std::vector<DecodeCase>{
        {"StopsAtTerminator", {0x80, 0x81, 0x50, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, 0, u"AB"},
        {"TerminatorFirst", {0x50, 0x80, 0x81}, 0, u""},
        {"DropsUnknownBytes", {0x84, 0x4B, 0x85, 0x01}, 0, u"EF"},
        {"Blanks", {0x00, 0x80, 0x00}, 0, u" A "},
        {"Letters", {0x80, 0x99, 0xA0, 0xB9}, 0, u"AZaz"},
        {"DigitsAndSigns", {0xF6, 0xFF, 0xE6, 0xE7, 0xE8, 0xF4}, 0, u"09?!.,"},
        {"SixIsNoEscape", {0xFC, 0x80}, 0, u"6A"},
        {"TenBytesNoTerminator", {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89}, 0, u"ABCDEFGHIJ"},
        {"BothBlanks", {0x00, 0x7F, 0x80}, 0, u"  A"},
        {"HoOh", {0x87, 0x8E, 0xE3, 0x8E, 0x87, 0x50}, 0, u"HO-OH"},
        {"GamesCharacters",
         {0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xE0, 0xE3, 0xE9, 0xEA, 0xEF, 0xF0,
          0xF1, 0xF3, 0xF5, 0x72, 0x73, 0x74, 0x75},
         0, u"():;[]\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc'-&\u00e9\u2642\u00a5\u00d7/\u2640\u201c\u201d\u00b7\u2026"},
        {"OneGlyphTexts", {0x54, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6}, 0, u"POK\u00e9'd'l'm'r's't'v"},
        {"PkMnAndTheRivalAsTokens", {0xE1, 0xE2, 0x53, 0x80}, 0, u"[PK][MN][RIVAL]A"},
        {"Empty", {}, 0, u""},
    }),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    KanaMap, Decode,
    ::testing::ValuesIn(std::vector<DecodeCase>{
        {"Syllables", {0x06, 0x0C, 0x50}, 1, u"kashitsu"},
        {"UpperCase", {0x51, 0x56, 0x5C, 0x61, 0x62, 0x7E, 0x84, 0x87, 0x9F, 0xA0}, 1, u"AKASHICHITSUNYAGAPOTSU"},
        {"Vowels", {0x05, 0x2F, 0x33, 0x55}, 1, u"oaoO"},
        {"EscapeAfterC", {0xFC, 0x80}, 1, u"\\c\\h80"},
        {"EscapeAfterCEvenTerminator", {0xFC, 0x50}, 1, u"\\c\\h50"},
        {"EscapeAfterV", {0xFD, 0x00, 0x05}, 1, u"\\v\\h00o"},
        {"FinalV", {0xFD}, 1, u"\\v"},
        {"HexEscapes", {0xC3, 0xE1, 0xBB, 0xEE, 0xF1, 0xF6}, -1, u"\\hC3\\hE1\\hBB\\hEE\\hF1\\hF6"},
        {"DigitsAndSigns", {0xA1, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB8, 0xBA, 0xF0}, 255, u"09!?.\u00b7,/:"},
        {"Tokens", {0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB9, 0xEF}, 7, u"[.][\"]\"[']'[m][f][$][x][>]"},
        {"Controls", {0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFE, 0xFF, 0x00}, 2, u"[u][d][l]\\l\\p\\n\\x "},
        {"NoTerminator", {0x50, 0x12, 0x2E}, 1, u"tsutsun"},
    }),
    [](const auto& info) { return std::string(info.param.name); });

struct EncodeCase {
    const char* name;
    std::u16string text;
    Bytes bytes;
    // "\h" without two hex digits: the encoder reads a terminator, but
    // findUnencodable reports it, so that the editors refuse it.
    bool malformedEscape = false;
};

void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }

class Encode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Encode, GivesOneBytePerUnit) {
    const EncodeCase& c = GetParam();
    EXPECT_EQ(encodeGameText(c.text, englishCharset()), c.bytes);
    const auto bad = findUnencodable(c.text, englishCharset());
    EXPECT_EQ(bad.has_value(), c.malformedEscape);
    if (bad) {
        EXPECT_TRUE(bad->malformedEscape);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Units, Encode,
    ::testing::ValuesIn(std::vector<EncodeCase>{
        {"Empty", u"", {}},
        {"Terminator", u"AB\\", {0x80, 0x81, 0x50}},
        {"LoneBackslash", u"\\", {0x50}},
        {"PkMnAndTheRival", u"[PK][MN][RIVAL]\\", {0xE1, 0xE2, 0x53, 0x50}},
        {"CaseMatters", u"[Po][PO][u][U][Ke][K\u00e9]", {0x5E, 0x55, 0xF7, 0x79, 0x56, 0x5F}},
        {"AllFourCharTokens", u"[Lv][BL][OC][ME][LL]", {0x34, 0x57, 0x58, 0x60, 0x61}},
        {"ThreeCharTokens", u"[K][A][E][D][L][R][.][\"]['][m][f][$][x][>][d][l]",
         {0x59, 0x62, 0x63, 0x7A, 0x7B, 0x7C, 0xB0, 0xB1, 0xB3, 0xB5, 0xB6, 0xB7, 0xB9, 0xEF, 0xF8, 0xF9}},
        {"TwoCharTokens", u"\\l\\p\\c\\v\\n\\x", {0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF}},
        {"HexEscapeEitherCase", u"\\hff\\hFF\\x9", {0xFF, 0xFF, 0xFF, 0xFF}},
        {"HexEscapeLowBytes", u"\\h00\\h0a", {0x00, 0x0A}},
        {"BadEscapeIsTerminatorThenLetters", u"\\h1G", {0x50, 0xA7, 0xF7, 0x86}, true},
        {"EscapeTooShortAtEnd", u"\\h4", {0x50, 0xA7, 0xFA}, true},
        {"UpperCaseHIsNoEscape", u"\\H4A", {0x50, 0x87, 0xFA, 0x80}},
        {"Mixed", u"Az 09!?.,", {0x80, 0xB9, 0x7F, 0xF6, 0xFF, 0xE7, 0xE6, 0xE8, 0xF4}},
        {"BlankIsTheGamesSpace", u"MR. ZAP", {0x8C, 0x91, 0xE8, 0x7F, 0x99, 0x80, 0x8F}},
        {"HoOh", u"HO-OH", {0x87, 0x8E, 0xE3, 0x8E, 0x87}},
        {"GamesCharacters", u"():;[]\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc'-&\u00e9\u2642\u00a5\u00d7/\u2640\u201c\u201d\u00b7\u2026",
         {0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xE0, 0xE3, 0xE9, 0xEA, 0xEF, 0xF0,
          0xF1, 0xF3, 0xF5, 0x72, 0x73, 0x74, 0x75}},
        {"OneGlyphTextsAreLongestMatches", u"POK\u00e9'd'l'm'r's't'v", {0x54, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6}},
        {"BracketsAloneAndAroundTokens", u"[[PK]][A]]", {0x9E, 0xE1, 0x9F, 0x62, 0x9F}},
        {"ApostropheAloneAndInToken", u"'a[']'s", {0xE0, 0xA0, 0xB3, 0xD4}},
        {"TokensAndCharactersMixed", u"\u2642[Lv]-\\h00 \u2026", {0xEF, 0x34, 0xE3, 0x00, 0x7F, 0x75}},
        {"KanaIsReadLetterByLetter", u"ka", {0xAA, 0xA0}},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GameText, StandardMapRoundTripsEveryField) {
    // Every byte the standard map knows, in every position of a 10-byte
    // field, comes back from decode -> encode with "\" appended.
    // 0x00 is read as a blank but written as the games' blank, 0x7F.
    for (int b = 1; b < 256; ++b) {
        if (!standardText(std::uint8_t(b))) continue;
        for (std::size_t length = 0; length < 10; ++length) {
            Bytes field(10, 0x50);
            for (std::size_t i = 0; i < length; ++i) field[i] = static_cast<std::uint8_t>(b);
            Bytes expected(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(length) + 1);
            EXPECT_EQ(encodeGameText(decodeGameText(field, englishCharset()) + u"\\", englishCharset()), expected) << "byte " << b;
        }
    }
}

TEST(GameText, KanaTextsOfEncoderTokensRoundTrip) {
    // A blank (0x00 in the kana map) is written as the games' blank, 0x7F.
    for (int b : {0xB0, 0xB1, 0xB3, 0xB5, 0xB6, 0xB7, 0xB9, 0xEF, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFE, 0xFF,
                  0xC3, 0xE1, 0xF1}) {
        Bytes one{static_cast<std::uint8_t>(b)};
        EXPECT_EQ(encodeGameText(library::decodeGameText(one, 1), englishCharset()), one) << "byte " << b;
    }
    EXPECT_EQ(encodeGameText(library::decodeGameText(Bytes{0xFC, 0x50}, 1), englishCharset()), (Bytes{0xFC, 0x50}));
}

TEST(GameText, EachReleaseShowsAndWritesItsOwnCharacters) {
    struct Case {
        const char* release;
        const Charset& (*charset)();
        Bytes bytes;
        std::u16string shown;  // and typed, unless `typed` says otherwise
        std::u16string typed = {};
        Bytes written = {};  // what typing it writes, where not the bytes
    };
    for (const Case& c : std::vector<Case>{
             {"English", &englishCharset, {0xD4, 0xE4, 0xE5}, u"'s"},  // 0xE4 and 0xE5 show nothing in English
             {"French", &frenchCharset, {0xBA, 0xBB, 0xBD, 0xBE, 0xBF, 0xC6, 0xEA}, u"\u00e0\u00e8\u00f9\u00df\u00e7\u00eb\u00e9"},
             {"French", &frenchCharset, {0xD4, 0x80, 0xD7, 0xA4, 0xDC}, u"c'Al'e's"},  // one-glyph elisions, longest first
             {"French", &frenchCharset, {0xE1, 0xE2, 0x53, 0x54, 0xE4}, u"[PK][MN][RIVAL]POK\u00e9+"},
             {"Spanish", &spanishCharset, {0xD2, 0xCA, 0xE4, 0xE5, 0xD8, 0xD6}, u"\u00f1\u00d1\u00bf\u00a1'd\u00b0"},
             {"Japanese", &japaneseCharset, {0x05, 0x26, 0x40, 0x80, 0xB1}, u"\u30ac\u304c\u30d1\u30a2\u3042"},  // ガがパアあ
             {"Japanese", &japaneseCharset, {0x3D, 0xF6, 0x7F}, u"\u3079\uff10\u3000", u"\u30d90\u3000"},  // べ０, typed ベ0
             // The kana twins: katakana beside katakana (the kana before, else after; ー counts), else hiragana.
             {"Japanese", &japaneseCharset, {0x8C, 0xD8, 0xE3, 0x42}, u"\u30b9\u30ea\u30fc\u30d7"},          // スリープ
             {"Japanese", &japaneseCharset, {0x1A, 0xD8, 0xD8, 0x0F, 0x9D}, u"\u30d3\u30ea\u30ea\u30c0\u30de"},  // ビリリダマ
             {"Japanese", &japaneseCharset, {0xCD, 0xA5, 0x87}, u"\u30d8\u30e9\u30af"},                  // ヘラクロ.., the kana after
             {"Japanese", &japaneseCharset, {0xB1, 0xD8, 0xB2}, u"\u3042\u308a\u3044", u"\u3042\u30ea\u3044"},  // ありい, typed with リ
             // Japanese Red and Green: the kana, full-width digits.
             {"Japanese Red", &japaneseGen1Charset, {0x92, 0xD8, 0xE3, 0xF6, 0xFF}, u"\u30c6\u30ea\u30fc\uff10\uff19"},  // テリー０９
             // Polished Crystal: mixed case, its own ♂, names ended by 0x53; an n-gram shown, its letters typed.
             {"Polished Crystal", &polishedCrystalCharset, {0x80, 0xA0, 0xE0, 0xBE, 0x7F}, u"Aa0\u2642 "},
             {"Polished Crystal", &polishedCrystalCharset, {0x0B, 0xA4}, u"the", {}, {0xB3, 0xA7, 0xA4}},
         }) {
        SCOPED_TRACE(c.release);
        Bytes field = c.bytes;
        field.push_back(c.charset().terminator());
        EXPECT_EQ(toUtf8(decodeGameText(field, c.charset())), toUtf8(c.shown));
        const std::u16string typed = c.typed.empty() ? c.shown : c.typed;
        Bytes written = c.written.empty() ? c.bytes : c.written;
        if (c.bytes == Bytes{0xD4, 0xE4, 0xE5}) written = {0xD4};
        EXPECT_EQ(encodeGameText(typed, c.charset()), written);
        EXPECT_FALSE(findUnencodable(typed, c.charset()));
    }
    EXPECT_TRUE(findUnencodable(u"\u00f1", englishCharset()));  // ñ is Spanish only
    EXPECT_TRUE(findUnencodable(u"A", japaneseCharset()));       // no Latin letters in Japanese names
    // Every release's hint names the hex escape with one backslash, and [PK] where the set has it.
    for (const Charset* charset : {&englishCharset(), &frenchCharset(), &spanishCharset(), &polishedCrystalCharset()}) {
        EXPECT_TRUE(charset->typeable().ends_with("or a token such as [PK] or \\h4A")) << charset->typeable();
    }
    for (const Charset* charset : {&japaneseCharset(), &japaneseGen1Charset()}) {
        EXPECT_TRUE(charset->typeable().ends_with("or a byte such as \\h4A")) << charset->typeable();
    }
    EXPECT_EQ(polishedCrystalCharset().terminator(), 0x53);
}

TEST(GameText, FindsTheFirstCharacterNoUnitStartsWith) {
    struct Case {
        std::u16string text;
        std::size_t position;
        char32_t character;
    };
    for (const Case& c : std::vector<Case>{
             {u"AB%C", 3, U'%'},
             {u"@", 1, U'@'},
             {u"{", 1, U'{'},
             {u"[PK]{", 5, U'{'},
             {u"Caf\u00e8", 4, U'\u00e8'},
             {u"\u2640\u2643", 2, U'\u2643'},
             {u"a\U0001F600", 2, U'\U0001F600'},
             {u"x\u3042", 2, U'\u3042'},
             {u"ab\tc", 3, U'\t'},
         }) {
        auto found = findUnencodable(c.text, englishCharset());
        ASSERT_TRUE(found) << toUtf8(c.text);
        EXPECT_EQ(found->position, c.position) << toUtf8(c.text);
        EXPECT_EQ(found->character, c.character) << toUtf8(c.text);
    }
    // Characters inside a token are fine; the bracket of "[K\u00e9]" too.
    EXPECT_FALSE(findUnencodable(u"[K\u00e9][\"]\\h7F", englishCharset()));
    // An unknown character yields no byte and does not stop the encoder.
    EXPECT_EQ(encodeGameText(u"A%B", englishCharset()), (Bytes{0x80, 0x81}));
}

TEST(GameText, HexHelpers) {
    EXPECT_EQ(toPaddedHex(0x0A, 2), "0A");
    EXPECT_EQ(toPaddedHex(0xC3, 2), "C3");
    EXPECT_EQ(toPaddedHex(255, 4), "00FF");
    EXPECT_EQ(toPaddedHex(37460, 4), "9254");
    EXPECT_EQ(toPaddedHex(0x12345, 4), "2345");
    EXPECT_EQ(toPaddedHex(-1, 8), "FFFFFFFF");
    EXPECT_EQ(toPaddedHex(0x1F, 20), "000000001F");  // more digits than the text: the whole text

    EXPECT_TRUE(isHexString(u"09afAF"));
    EXPECT_FALSE(isHexString(u""));
    EXPECT_FALSE(isHexString(u"0g"));
    EXPECT_FALSE(isHexString(u" 1"));
}

}  // namespace
}  // namespace kestrane
