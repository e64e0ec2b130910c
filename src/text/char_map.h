// The English games' character set as the first design named its parts,
// over the English Charset (charset.h), and the kana map.
//
//   standard map   byte <-> text, both directions: the English games'
//                  characters (letters, digits, punctuation, "é", "♂" ...),
//                  a few one-glyph texts ("POKé", "'s"), the space 0x7F, the
//                  PK and MN glyphs as "[PK]" and "[MN]", 0x53 as "[RIVAL]";
//                  0x00 also decodes as a space (names written by the first
//                  design); 0x50 ends a name and is written "\"
//   tokens         "[Lv]", "\n" ... : text -> byte, for the encoder
//   hex escape     "\h" and two hex digits: any byte, both directions
//   kana map       byte -> text, for the decoder's second mode only
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/charset.h"

namespace kestrane {

// The text of a byte in the standard map (one character, or a one-glyph
// text such as "POKé" or "'s"); none for the terminator and for the bytes
// the map does not know.
std::optional<std::u16string_view> standardText(std::uint8_t byte);

// The byte of a single character for the encoder: the standard map plus
// the backslash, which stands for the terminator.
std::optional<std::uint8_t> charByte(char16_t c);

// The byte of a unit of exactly this text (more than one character,
// compared case-sensitively): a bracketed or backslash token, or a
// one-glyph text of the standard map.
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
