// The English games' character set in the parts the codec names, over the
// English Charset (charset.h), and the kana map.
//
//   standard map   byte <-> text, both directions: the English games'
//                  characters (letters, digits, punctuation, "é", "♂" ...),
//                  a few one-glyph texts ("POKé", "'s"), the space 0x7F, the
//                  PK and MN glyphs as "[PK]" and "[MN]", 0x53 as "[RIVAL]";
//                  0x00 also decodes as a space (names written with it by
//                  other tools); 0x50 ends a name and is written "\"
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

}  // namespace kestrane
