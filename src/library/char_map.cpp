#include "library/char_map.h"
#include "families/gameboy/charsets.h"
#include "families/gameboy/text_dialects.h"

#include <array>
#include <string>

namespace kestrane {
namespace {

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

std::optional<std::u16string_view> standardText(std::uint8_t b) { return englishCharset().text(b); }

std::optional<std::uint8_t> charByte(char16_t c) { return englishCharset().byteOf(std::u16string_view(&c, 1)); }

KanaPiece kanaPiece(std::uint8_t b) {
    static const KanaTable table = buildKanaTable();
    if (kanaIsEscape(b)) return {KanaPiece::Kind::HexEscape, {}};
    if (b == 0xFC || b == 0xFD) return {KanaPiece::Kind::TextThenEscape, table[b]};
    return {KanaPiece::Kind::Text, table[b]};
}

}  // namespace kestrane
