#include "text/charset.h"

#include <vector>

namespace kestrane {
namespace {

// Control codes the encoder knows in every release, by their tokens; typed
// only, never shown.
constexpr CharsetEntry kTokens[] = {
    {0x34, u"[Lv]"}, {0x55, u"[PO]"}, {0x56, u"[Ke]"}, {0x57, u"[BL]"}, {0x58, u"[OC]"}, {0x5E, u"[Po]"},
    {0x5F, u"[K\u00e9]"}, {0x60, u"[ME]"}, {0x61, u"[LL]"}, {0x59, u"[K]"}, {0x62, u"[A]"}, {0x63, u"[E]"},
    {0x79, u"[U]"}, {0x7A, u"[D]"}, {0x7B, u"[L]"}, {0x7C, u"[R]"}, {0xB0, u"[.]"}, {0xB1, u"[\"]"},
    {0xB3, u"[']"}, {0xB5, u"[m]"}, {0xB6, u"[f]"}, {0xB7, u"[$]"}, {0xB9, u"[x]"}, {0xEF, u"[>]"},
    {0xF7, u"[u]"}, {0xF8, u"[d]"}, {0xF9, u"[l]"}, {0xFA, u"\\l"}, {0xFB, u"\\p"}, {0xFC, u"\\c"},
    {0xFD, u"\\v"}, {0xFE, u"\\n"}, {0xFF, u"\\x"},
};

std::vector<CharsetEntry> englishEntries() {
    static constexpr std::u16string_view kLetters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    static constexpr std::u16string_view kDigits = u"0123456789";
    std::vector<CharsetEntry> entries = {
        // Names written by some tools hold 0x00 for a blank.
        {0x00, u" ", Glyph::ReadOnly},
        {0x53, u"[RIVAL]", Glyph::Control},  // prints the rival's name
        {0x54, u"POK\u00e9"}, {0x72, u"\u201c"}, {0x73, u"\u201d"}, {0x74, u"\u00b7"}, {0x75, u"\u2026"},
        {0x7F, u" "}, {0x9A, u"("}, {0x9B, u")"}, {0x9C, u":"}, {0x9D, u";"}, {0x9E, u"["}, {0x9F, u"]"},
        {0xC0, u"\u00c4"}, {0xC1, u"\u00d6"}, {0xC2, u"\u00dc"}, {0xC3, u"\u00e4"}, {0xC4, u"\u00f6"},
        {0xC5, u"\u00fc"}, {0xD0, u"'d"}, {0xD1, u"'l"}, {0xD2, u"'m"}, {0xD3, u"'r"}, {0xD4, u"'s"},
        {0xD5, u"'t"}, {0xD6, u"'v"}, {0xE0, u"'"}, {0xE1, u"[PK]"}, {0xE2, u"[MN]"}, {0xE3, u"-"},
        {0xE6, u"?"}, {0xE7, u"!"}, {0xE8, u"."}, {0xE9, u"&"}, {0xEA, u"\u00e9"}, {0xEF, u"\u2642"},
        {0xF0, u"\u00a5"}, {0xF1, u"\u00d7"}, {0xF3, u"/"}, {0xF4, u","}, {0xF5, u"\u2640"},
    };
    for (int i = 0; i < 26; ++i) {
        entries.push_back({std::uint8_t(0x80 + i), kLetters.substr(std::size_t(i), 1)});
        entries.push_back({std::uint8_t(0xA0 + i), kLetters.substr(std::size_t(26 + i), 1)});
    }
    for (int i = 0; i < 10; ++i) entries.push_back({std::uint8_t(0xF6 + i), kDigits.substr(std::size_t(i), 1)});
    return entries;
}

#include "text/charset_tables.inc"

}  // namespace

Charset::Charset(std::span<const CharsetEntry> entries, std::string_view typeable) : typeable_(typeable) {
    for (const CharsetEntry& e : entries) {
        if (!known_[e.byte]) {
            known_[e.byte] = true;
            text_[e.byte] = e.text;
            printable_[e.byte] = e.glyph == Glyph::Printable;
        }
        if (e.glyph != Glyph::ReadOnly) bytes_.emplace(e.text, e.byte);
    }
    for (const CharsetEntry& token : kTokens) bytes_.emplace(token.text, token.byte);
    bytes_.emplace(std::u16string_view(&kTerminatorChar, 1), std::uint8_t{0x50});
    for (const auto& [text, byte] : bytes_) {
        longest_ = std::max(longest_, text.size());
        if (text.size() > 1) startsLong_.insert(text[0]);
    }
    startsLong_.insert(u'\\');  // the hex escape
}

std::optional<std::uint8_t> Charset::byteOf(std::u16string_view unit) const {
    auto found = bytes_.find(unit);
    if (found == bytes_.end()) return std::nullopt;
    return found->second;
}

const Charset& frenchCharset() {
    static const Charset charset(kFrenchEntries, kFrenchTypeable);
    return charset;
}

const Charset& spanishCharset() {
    static const Charset charset(kSpanishEntries, kSpanishTypeable);
    return charset;
}

const Charset& japaneseCharset() {
    static const Charset charset(kJapaneseEntries, kJapaneseTypeable);
    return charset;
}

const Charset& englishCharset() {
    static const std::vector<CharsetEntry> entries = englishEntries();
    static const Charset charset(entries,
                                 "letters, digits, blanks, ? ! . , ' - & ( ) : ; [ ] / \u00e9 \u00c4 \u00d6 \u00dc "
                                 "\u00e4 \u00f6 \u00fc \u2642 \u2640 \u00d7 \u00a5 \u201c \u201d \u00b7 \u2026, or a "
                                 "token such as [PK] or \\h4A");
    return charset;
}

}  // namespace kestrane
