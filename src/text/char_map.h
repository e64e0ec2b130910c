// The games' one-byte character set as editable text.
//
//   standard map   byte <-> text, both directions: the English games'
//                  characters (letters, digits, punctuation, "é", "♂" ...),
//                  a few one-glyph texts ("POKé", "'s"), the space 0x7F;
//                  0x00 also decodes as a space (names written by the first
//                  design); 0x50 ends a name and is written "\"
//   tokens         "[PK]", "[Lv]", "\n" ... : text -> byte, for the encoder
//   hex escape     "\h" and two hex digits: any byte, both directions
//   kana map       byte -> text, for the decoder's second mode only
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrane {

inline constexpr std::uint8_t kTerminator = 0x50;
inline constexpr char16_t kTerminatorChar = u'\\';

// The text of a byte in the standard map (one character, or a one-glyph
// text such as "POKé" or "'s"); none for the terminator and for the bytes
// the map does not know.
std::optional<std::u16string_view> standardText(std::uint8_t byte);

// The byte of a single character for the encoder: the standard map plus
// the backslash, which stands for the terminator.
std::optional<std::uint8_t> charByte(char16_t c);

// The byte of a unit of exactly this text (2, 3 or 4 characters, compared
// case-sensitively): a bracketed or backslash token, or a one-glyph text of
// the standard map.
std::optional<std::uint8_t> tokenByte(std::u16string_view text);

// What a person can type, for messages about a character that cannot be.
inline constexpr std::string_view kTypeableText =
    "letters, digits, blanks, ? ! . , ' - & ( ) : ; [ ] / \u00e9 \u00c4 \u00d6 \u00dc \u00e4 \u00f6 \u00fc "
    "\u2642 \u2640 \u00d7 \u00a5 \u201c \u201d \u00b7 \u2026, or a token such as [PK] or \\h4A";

struct KanaPiece {
    enum class Kind {
        Text,             // `text` (empty for 0xAE)
        HexEscape,        // the byte written as "\hXX"
        TextThenEscape,   // `text`, and the next byte as "\hXX" whatever it is
    };
    Kind kind;
    std::u16string_view text;
};

// What the kana map makes of a byte.
KanaPiece kanaPiece(std::uint8_t byte);

// True for the bytes the English games print as a character in a name:
// letters, digits, punctuation, the space 0x7F and the one-glyph signs
// (POKé, PK, MN, the contractions, ♂, ♀ ...). 0x00 and control codes are not.
bool isPrintableGameByte(std::uint8_t byte);

}  // namespace kestrane
