#include "text/char_map.h"

#include <array>
#include <string>

namespace kestrane {
namespace {

struct Token {
    std::u16string_view text;
    std::uint8_t byte;
};

// Token list, by length. Only the encoder reads it.
constexpr Token kTokens[] = {
    {u"[Lv]", 0x34}, {u"[PK]", 0x53}, {u"[MN]", 0x54}, {u"[PO]", 0x55}, {u"[Ke]", 0x56}, {u"[BL]", 0x57},
    {u"[OC]", 0x58}, {u"[Po]", 0x5E}, {u"[K\u00e9]", 0x5F}, {u"[ME]", 0x60}, {u"[LL]", 0x61},

    {u"[K]", 0x59}, {u"[A]", 0x62}, {u"[E]", 0x63}, {u"[U]", 0x79}, {u"[D]", 0x7A}, {u"[L]", 0x7B},
    {u"[R]", 0x7C}, {u"[.]", 0xB0}, {u"[\"]", 0xB1}, {u"[']", 0xB3}, {u"[m]", 0xB5}, {u"[f]", 0xB6},
    {u"[$]", 0xB7}, {u"[x]", 0xB9}, {u"[>]", 0xEF}, {u"[u]", 0xF7}, {u"[d]", 0xF8}, {u"[l]", 0xF9},

    {u"\\l", 0xFA}, {u"\\p", 0xFB}, {u"\\c", 0xFC}, {u"\\v", 0xFD}, {u"\\n", 0xFE}, {u"\\x", 0xFF},
};

// The standard map's texts of more than one character: one glyph each in
// the games, and written so by their own build.
constexpr Token kGlyphs[] = {
    {u"POK\u00e9", 0x54}, {u"'d", 0xD0}, {u"'l", 0xD1}, {u"'m", 0xD2}, {u"'r", 0xD3},
    {u"'s", 0xD4},        {u"'t", 0xD5}, {u"'v", 0xD6},
};

// The standard map's single characters beyond letters and digits.
constexpr std::pair<std::uint8_t, char16_t> kSigns[] = {
    {0x72, u'\u201c'}, {0x73, u'\u201d'}, {0x74, u'\u00b7'}, {0x75, u'\u2026'}, {0x7F, u' '},
    {0x9A, u'('},      {0x9B, u')'},      {0x9C, u':'},      {0x9D, u';'},      {0x9E, u'['},
    {0x9F, u']'},      {0xC0, u'\u00c4'}, {0xC1, u'\u00d6'}, {0xC2, u'\u00dc'}, {0xC3, u'\u00e4'},
    {0xC4, u'\u00f6'}, {0xC5, u'\u00fc'}, {0xE0, u'\''},     {0xE3, u'-'},      {0xE6, u'?'},
    {0xE7, u'!'},      {0xE8, u'.'},      {0xE9, u'&'},      {0xEA, u'\u00e9'}, {0xEF, u'\u2642'},
    {0xF0, u'\u00a5'}, {0xF1, u'\u00d7'}, {0xF3, u'/'},      {0xF4, u','},      {0xF5, u'\u2640'},
};

// Kana map, bytes 0x00-0x50. 0x51-0xA0 are the texts of 0x01-0x50 in upper case.
constexpr std::u16string_view kKana[] = {
    u" ",  u"a",  u"i",  u"u",   u"e",  u"o",                                       // 0x00
    u"ka", u"ki", u"ku", u"ke",  u"ko", u"sa", u"shi", u"su", u"se", u"so",         // 0x06
    u"ta", u"chi", u"tsu", u"te", u"to", u"na", u"ni", u"nu", u"ne", u"no",         // 0x10
    u"ha", u"hi", u"fu", u"he",  u"ho", u"ma", u"mi",  u"mu", u"me", u"mo",         // 0x1A
    u"ya", u"yu", u"yo", u"ra",  u"ri", u"ru", u"re",  u"ro", u"wa", u"wo",         // 0x24
    u"n",                                                                           // 0x2E
    u"a",  u"i",  u"u",  u"e",   u"o",                                              // 0x2F
    u"ya", u"yu", u"yo",                                                            // 0x34
    u"ga", u"gi", u"gu", u"ge",  u"go", u"za", u"ji",  u"zu", u"ze", u"zo",         // 0x37
    u"da", u"di", u"du", u"de",  u"do", u"ba", u"bi",  u"bu", u"be", u"bo",         // 0x41
    u"pa", u"pi", u"pu", u"pe",  u"po",                                             // 0x4B
    u"tsu",                                                                         // 0x50
};
static_assert(std::size(kKana) == 0x51);

// Kana map, bytes 0xAB-0xBA, then the few above.
constexpr std::u16string_view kKanaSigns[] = {
    u"!", u"?", u".", u"", u"\u00b7", u"[.]", u"[\"]", u"\"", u"[']", u"'", u"[m]", u"[f]", u"[$]", u",", u"[x]", u"/",
};
static_assert(std::size(kKanaSigns) == 0xBB - 0xAB);

using KanaTable = std::array<std::u16string, 256>;

KanaTable buildKanaTable() {
    KanaTable t;
    for (int b = 0; b <= 0x50; ++b) t[b] = kKana[b];
    for (int b = 0x51; b <= 0xA0; ++b) {
        for (char16_t c : kKana[b - 0x50]) t[b].push_back(static_cast<char16_t>(c - u'a' + u'A'));
    }
    for (int b = 0xA1; b <= 0xAA; ++b) t[b] = static_cast<char16_t>(u'0' + (b - 0xA1));
    for (int b = 0xAB; b <= 0xBA; ++b) t[b] = kKanaSigns[b - 0xAB];
    t[0xEF] = u"[>]";
    t[0xF0] = u":";
    t[0xF7] = u"[u]";
    t[0xF8] = u"[d]";
    t[0xF9] = u"[l]";
    t[0xFA] = u"\\l";
    t[0xFB] = u"\\p";
    t[0xFC] = u"\\c";
    t[0xFD] = u"\\v";
    t[0xFE] = u"\\n";
    t[0xFF] = u"\\x";
    return t;
}

bool kanaIsEscape(std::uint8_t b) { return (b >= 0xBB && b <= 0xEE) || (b >= 0xF1 && b <= 0xF6); }

}  // namespace

std::optional<std::u16string_view> standardText(std::uint8_t b) {
    static constexpr std::u16string_view kLetters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    static constexpr std::u16string_view kDigits = u"0123456789";
    // Names written by the first design hold 0x00 for a blank.
    if (b == 0x00) return std::u16string_view(u" ");
    if (b >= 0x80 && b <= 0x99) return kLetters.substr(b - 0x80, 1);
    if (b >= 0xA0 && b <= 0xB9) return kLetters.substr(26 + (b - 0xA0), 1);
    if (b >= 0xF6) return kDigits.substr(b - 0xF6, 1);
    for (const Token& glyph : kGlyphs) {
        if (glyph.byte == b) return glyph.text;
    }
    for (const auto& sign : kSigns) {
        if (sign.first == b) return std::u16string_view(&sign.second, 1);
    }
    return std::nullopt;
}

std::optional<std::uint8_t> charByte(char16_t c) {
    if (c == kTerminatorChar) return kTerminator;
    if (c >= u'A' && c <= u'Z') return static_cast<std::uint8_t>(0x80 + (c - u'A'));
    if (c >= u'a' && c <= u'z') return static_cast<std::uint8_t>(0xA0 + (c - u'a'));
    if (c >= u'0' && c <= u'9') return static_cast<std::uint8_t>(0xF6 + (c - u'0'));
    for (const auto& sign : kSigns) {
        if (sign.second == c) return sign.first;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> tokenByte(std::u16string_view text) {
    for (const Token& token : kTokens) {
        if (token.text == text) return token.byte;
    }
    for (const Token& glyph : kGlyphs) {
        if (glyph.text == text) return glyph.byte;
    }
    return std::nullopt;
}

KanaPiece kanaPiece(std::uint8_t b) {
    static const KanaTable table = buildKanaTable();
    if (kanaIsEscape(b)) return {KanaPiece::Kind::HexEscape, {}};
    if (b == 0xFC || b == 0xFD) return {KanaPiece::Kind::TextThenEscape, table[b]};
    return {KanaPiece::Kind::Text, table[b]};
}

bool isPrintableGameByte(std::uint8_t b) {
    return b == 0x54 || (b >= 0x72 && b <= 0x75) || (b >= 0x7F && b <= 0xB9) || (b >= 0xC0 && b <= 0xC5) ||
           (b >= 0xD0 && b <= 0xD6) || (b >= 0xE0 && b <= 0xE3) || (b >= 0xE6 && b <= 0xEA) ||
           (b >= 0xEF && b <= 0xF1) || b >= 0xF3;
}

}  // namespace kestrane
