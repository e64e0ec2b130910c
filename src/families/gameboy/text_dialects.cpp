#include "families/gameboy/text_dialects.h"

namespace kestrane {
namespace {

using enum InString;

// home/text.asm of the second generation's builds: what PlaceString does
// with bytes that are no characters, in every language.
constexpr StringByte kSecondGenerationString[] = {
    {0x14, Unknown, u"the player's name"},
    {0x15, Unknown, u"the day of the week"},
    {0x16, Unknown, u"a move of the text's cursor"},
    {0x23, Prints, u"\u3053\u3046\u3052\u304d"},
    {0x38, Unknown, u"RED's name"},
    {0x39, Unknown, u"GREEN's name"},
    {0x3F, Unknown, u"the opponent's name"},
    {0x49, Unknown, u"the player's mother's name"},
    {0x4B, NewLine, {}},
    {0x4C, NewLine, {}},
    {0x4E, NewLine, {}},
    {0x4F, NewLine, {}},
    {0x50, EndString, {}},
    {0x51, Paragraph, {}},
    {0x52, Unknown, u"the player's name"},
    {0x53, Unknown, u"the rival's name"},
    {0x55, NewLine, {}},
    {0x57, EndText, {}},
    {0x58, EndText, {}},
    {0x59, Unknown, u"the name of a move's target"},
    {0x5A, Unknown, u"the name of a move's user"},
    {0x5F, Unknown, u"the end of a Pok\u00e9dex entry"},
};

// The English builds' dictionary (French and Spanish Crystal's too).
constexpr StringByte kEnglishString[] = {
    {0x00, Prints, u"?"},
    {0x1E, Prints, u""},  // in the French and Spanish place names, a break where a long name may wrap
    {0x1F, Prints, u" "},
    {0x22, NewLine, {}},
    {0x24, Prints, u"POKE"},
    {0x25, Prints, u""},
    {0x35, Prints, u""},
    {0x36, Prints, u""},
    {0x37, Prints, u""},
    {0x4A, Prints, u"PKMN"},
    {0x54, Prints, u"POK\u00e9"},
    {0x56, Prints, u"\u2026\u2026"},
    {0x5B, Prints, u"PC"},
    {0x5C, Prints, u"TM"},
    {0x5D, Prints, u"TRAINER"},
    {0x5E, Prints, u"ROCKET"},
};

// The Japanese builds' dictionary prints words, several with an ideographic space.
constexpr StringByte kJapaneseString[] = {
    {0x00, Prints, u"\uff1f"},
    {0x1D, Prints, u"\u306b\u3000"},
    {0x1E, Prints, u"\u3063\u3066"},
    {0x1F, Prints, u"\u3092\u3000"},
    {0x22, Prints, u"\u305f\uff01"},
    {0x24, Prints, u"\u306f\u3000"},
    {0x25, Prints, u"\u306e\u3000"},
    {0x35, Prints, u"\u3070\u3093\u3000\u3069\u3046\u308d"},
    {0x36, Prints, u"\u308f\u305f\u3057"},
    {0x37, Prints, u"\u3053\u3053\u306f"},
    {0x4A, Prints, u"\u304c\u3000"},
    {0x54, Prints, u"\u30dd\u30b1\u30e2\u30f3"},
    {0x56, Prints, u"\u22ef\u22ef"},
    {0x5B, Unknown, u"a word of the game's own dictionary"},
    {0x5C, Unknown, u"a word of the game's own dictionary"},
    {0x5D, Unknown, u"a word of the game's own dictionary"},
    {0x5E, Unknown, u"a word of the game's own dictionary"},
};

// The second generation's TextCommands, but 0x00, 0x01, the far text and 0x50.
constexpr TextCommand kSecondGenerationCommands[] = {
    {0x02, 3, Unknown, u"a number from the game's memory"},
    {0x03, 2, Unknown, u"a move of the text's cursor"},
    {0x04, 4, Unknown, u"a box drawn on the screen"},
    {0x05, 0, NewLine, {}},
    {0x06, 0, Prints, u""},  // waits for a button
    {0x07, 0, NewLine, {}},  // scrolls
    {0x08, 0, Unknown, u"code the game runs"},
    {0x09, 3, Unknown, u"a number from the game's memory"},
    {0x0A, 0, Prints, u""},  // a pause
    {0x0B, 0, Prints, u""},  // sounds
    {0x0C, 1, Prints, u"\u2026"},  // one per count
    {0x0D, 0, Prints, u""},
    {0x0E, 0, Prints, u""},
    {0x0F, 0, Prints, u""},
    {0x10, 0, Prints, u""},
    {0x11, 0, Prints, u""},
    {0x12, 0, Prints, u""},
    {0x13, 0, Prints, u""},
    {0x14, 1, Unknown, u"a text from the game's memory"},
    {0x15, 0, Unknown, u"the day of the week"},
};

// home/text.asm of the first generation's builds: PlaceNextChar's bytes
// that are no characters, in both languages; then the words of English
// Red, Blue and Yellow (and their Pokédex's codes), and of Japanese Red and Green.
constexpr StringByte kFirstGenerationString[] = {
    {0x00, Unknown, u"an error the game prints"},
    {0x4B, NewLine, {}},
    {0x4C, NewLine, {}},
    {0x4E, NewLine, {}},
    {0x4F, NewLine, {}},
    {0x50, EndString, {}},
    {0x51, Paragraph, {}},
    {0x52, Unknown, u"the player's name"},
    {0x53, Unknown, u"the rival's name"},
    {0x55, NewLine, {}},
    {0x57, EndText, {}},
    {0x58, EndText, {}},
    {0x59, Unknown, u"the name of a move's target"},
    {0x5A, Unknown, u"the name of a move's user"},
};
constexpr StringByte kEnglishFirstGenerationWords[] = {
    {0x49, Paragraph, {}},  // a Pokédex page
    {0x4A, Prints, u"PKMN"},
    {0x54, Prints, u"POK\u00e9"},
    {0x56, Prints, u"\u2026\u2026"},
    {0x5B, Prints, u"PC"},
    {0x5C, Prints, u"TM"},
    {0x5D, Prints, u"TRAINER"},
    {0x5E, Prints, u"ROCKET"},
    {0x5F, EndText, {}},  // the end of a Pokédex entry
};
constexpr StringByte kJapaneseFirstGenerationWords[] = {
    {0x54, Prints, u"\u30dd\u30b1\u30e2\u30f3"},
    {0x56, Prints, u"\u22ef\u22ef"},
    {0x5B, Prints, u"\u30d1\u30bd\u30b3\u30f3"},
    {0x5C, Prints, u"\u308f\u3056\u30de\u30b7\u30f3"},
    {0x5D, Prints, u"\u30c8\u30ec\u30fc\u30ca\u30fc"},
    {0x5E, Prints, u"\u30ed\u30b1\u30c3\u30c8\u3060\u3093"},
};

// The first generation's TextCommands, but 0x00, 0x01, the far text (0x17) and 0x50.
constexpr TextCommand kFirstGenerationCommands[] = {
    {0x02, 3, Unknown, u"a number from the game's memory"},
    {0x03, 2, Unknown, u"a move of the text's cursor"},
    {0x04, 4, Unknown, u"a box drawn on the screen"},
    {0x05, 0, NewLine, {}},
    {0x06, 0, Prints, u""},  // waits for a button
    {0x07, 0, NewLine, {}},  // scrolls
    {0x08, 0, Unknown, u"code the game runs"},
    {0x09, 3, Unknown, u"a number from the game's memory"},
    {0x0A, 0, Prints, u""},  // a pause
    {0x0B, 0, Prints, u""},  // sounds and cries, to 0x16
    {0x0C, 1, Prints, u"\u2026"},  // one per count
    {0x0D, 0, Prints, u""},
    {0x0E, 0, Prints, u""},
    {0x0F, 0, Prints, u""},
    {0x10, 0, Prints, u""},
    {0x11, 0, Prints, u""},
    {0x12, 0, Prints, u""},
    {0x13, 0, Prints, u""},
    {0x14, 0, Prints, u""},
    {0x15, 0, Prints, u""},
    {0x16, 0, Prints, u""},
};

// Polished Crystal's home/text.asm: strings end at '@' (0x53); 0x52
// (<DONE>) and 0x54 (<PROMPT>) end the text; the n-grams 0x0A-0x4E print
// their strings (the character set's), 0x4F-0x51 names from memory; 0x5D
// (<CTXT>) begins a Huffman-coded run; 0x5E (the charmap's "¯") is a blank.
constexpr StringByte kPolishedCrystalString[] = {
    {0x4F, Unknown, u"the player's name"},
    {0x50, Unknown, u"the rival's name"},
    {0x51, Unknown, u"the trendy phrase"},
    {0x52, EndText, {}},
    {0x53, EndString, {}},
    {0x54, EndText, {}},
    {0x55, NewLine, {}},
    {0x56, NewLine, {}},
    {0x57, NewLine, {}},
    {0x58, NewLine, {}},
    {0x59, Paragraph, {}},
    {0x5A, Unknown, u"the name of a move's target"},
    {0x5B, Unknown, u"the name of a move's user"},
    {0x5C, Unknown, u"the opponent's name"},
    {0x5E, Prints, u" "},
};
// Its TextCommands 0x00-0x09, but 0x00, 0x01 and the far text 0x08.
constexpr TextCommand kPolishedCrystalCommands[] = {
    {0x02, 0, Prints, u""},  // waits for a button
    {0x03, 0, Unknown, u"code the game runs"},
    {0x04, 3, Unknown, u"a number from the game's memory"},
    {0x05, 0, Prints, u""},  // a pause
    {0x06, 1, Prints, u""},  // a sound
    {0x07, 0, Unknown, u"the day of the week"},
    {0x09, 0, Unknown, u"a plural only the running game knows"},
};

constexpr TextDialect kEnglish{kEnglishString, kSecondGenerationString, kSecondGenerationCommands, 0x16};
constexpr TextDialect kFirstGeneration{kEnglishFirstGenerationWords, kFirstGenerationString, kFirstGenerationCommands, 0x17};
constexpr TextDialect kJapanese{kJapaneseString, kSecondGenerationString, kSecondGenerationCommands, 0x16};
// Its texts lie beside the code that prints them: no far text.
constexpr TextDialect kJapaneseFirstGeneration{kJapaneseFirstGenerationWords, kFirstGenerationString, kFirstGenerationCommands,
                                               std::nullopt};

constexpr TextDialect kPolishedCrystal{{}, kPolishedCrystalString, kPolishedCrystalCommands, 0x08, 0x0A,
                                       FarPointer::BigEndianMayEnd, 0x5D};

}  // namespace

const TextDialect& polishedCrystalDialect() { return kPolishedCrystal; }
const TextDialect& englishDialect() { return kEnglish; }
const TextDialect& japaneseDialect() { return kJapanese; }
const TextDialect& firstGenerationDialect() { return kFirstGeneration; }
const TextDialect& japaneseFirstGenerationDialect() { return kJapaneseFirstGeneration; }

}  // namespace kestrane
