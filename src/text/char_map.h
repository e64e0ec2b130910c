// The games' one-byte character set as editable text.
//
//   standard map   byte -> character, both directions: 0x00 " ", 0x80-0x99
//                  "A"-"Z", 0xA0-0xB9 "a"-"z", 0xE6 "?", 0xE7 "!", 0xE8 ".",
//                  0xF4 ",", 0xF6-0xFF "0"-"9"; 0x50 ends a name and is
//                  written "\"
//   tokens         "[PK]", "[Lv]", "\n" ... : text -> byte, for the encoder
//   hex escape     "\h" and two hex digits: any byte, both directions
//   kana map       byte -> text, for the decoder's second mode only
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrane {

inline constexpr std::uint8_t kTerminator = 0x50;
inline constexpr char16_t kTerminatorChar = u'\\';

// The character of a byte in the standard map; none for the terminator and
// for the bytes the map does not know.
std::optional<char16_t> standardChar(std::uint8_t byte);

// The byte of a single character for the encoder: the standard map plus
// the backslash, which stands for the terminator.
std::optional<std::uint8_t> charByte(char16_t c);

// The byte of a bracketed or backslash token of exactly this text
// (2, 3 or 4 characters, compared case-sensitively).
std::optional<std::uint8_t> tokenByte(std::u16string_view text);

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
