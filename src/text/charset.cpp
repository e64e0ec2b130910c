#include "text/charset.h"

#include <algorithm>

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

#include "text/charset_tables.inc"

}  // namespace

Charset::Charset(std::span<const CharsetEntry> entries, std::string_view typeable) : typeable_(typeable), entries_(entries) {
    for (const CharsetEntry& e : entries) {
        if (!known_[e.byte]) {
            known_[e.byte] = true;
            text_[e.byte] = e.text();
            printable_[e.byte] = e.glyph == Glyph::Printable;
        } else if (e.length == 1 && text_[e.byte].size() == 1 && isHiragana(text_[e.byte][0]) && isKatakana(e.chars[0])) {
            twin_[e.byte] = e.text();
            hasTwins_ = true;
        }
    }
}

const Charset::Typing& Charset::typing() const {
    std::call_once(typingMade_, [this] {
        for (const CharsetEntry& e : entries_) {
            if (e.glyph != Glyph::ReadOnly) typing_.bytes.emplace(e.text(), e.byte);
        }
        for (const CharsetEntry& token : kTokens) typing_.bytes.emplace(token.text(), token.byte);
        typing_.bytes.emplace(std::u16string_view(&kTerminatorChar, 1), kTerminator);
        for (const auto& [text, byte] : typing_.bytes) {
            typing_.longest = std::max(typing_.longest, text.size());
            if (text.size() > 1) typing_.startsLong.insert(text[0]);
        }
        typing_.startsLong.insert(u'\\');  // the hex escape
    });
    return typing_;
}

std::optional<std::uint8_t> Charset::byteOf(std::u16string_view unit) const {
    const auto& bytes = typing().bytes;
    auto found = bytes.find(unit);
    if (found == bytes.end()) return std::nullopt;
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
    static const Charset charset(kEnglishEntries, kEnglishTypeable);
    return charset;
}

const Charset& englishGen1Charset() {
    static const Charset charset(kEnglishGen1Entries, kEnglishGen1Typeable);
    return charset;
}

}  // namespace kestrane
