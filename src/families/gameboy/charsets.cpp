#include "families/gameboy/charsets.h"

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

#include "families/gameboy/charset_tables.inc"

}  // namespace

const Charset& frenchCharset() {
    static const Charset charset(kFrenchEntries, kFrenchTypeable, kTerminator, kTokens);
    return charset;
}

const Charset& spanishCharset() {
    static const Charset charset(kSpanishEntries, kSpanishTypeable, kTerminator, kTokens);
    return charset;
}

const Charset& japaneseCharset() {
    static const Charset charset(kJapaneseEntries, kJapaneseTypeable, kTerminator, kTokens);
    return charset;
}

const Charset& englishCharset() {
    static const Charset charset(kEnglishEntries, kEnglishTypeable, kTerminator, kTokens);
    return charset;
}

const Charset& japaneseGen1Charset() {
    static const Charset charset(kJapaneseGen1Entries, kJapaneseGen1Typeable, kTerminator, kTokens);
    return charset;
}

const Charset& polishedCrystalCharset() {
    // Its own control codes and terminator: none of the other sets' tokens.
    static const Charset charset(kPolishedCrystalEntries, kPolishedCrystalTypeable, kPolishedCrystalTerminator);
    return charset;
}

const Charset& englishGen1Charset() {
    static const Charset charset(kEnglishGen1Entries, kEnglishGen1Typeable, kTerminator, kTokens);
    return charset;
}

}  // namespace kestrane
