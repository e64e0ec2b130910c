// Game text <-> editable text, in a release's character set (English unless
// another is given).
//
// Decoding stops at the set's terminator and drops bytes that have no
// character. Encoding reads the text left to right and takes the longest
// unit the set knows at each position (a hex escape, "\h" and two hex
// digits, counts as four characters). A lone "\" is the terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/hex_text.h"
#include "text/charset.h"

namespace kestrane {

// The editable text of a name field, the kana twins in the form their
// neighbours give them. Never fails.
std::u16string decodeGameText(std::span<const std::uint8_t> data, const Charset& charset);

// The bytes of an editable text, one per unit. A character that starts no
// unit yields no byte (findUnencodable tells callers about it first).
std::vector<std::uint8_t> encodeGameText(std::u16string_view text, const Charset& charset);

// A character that encodeGameText cannot write, and where it stands.
struct Unencodable {
    std::size_t position;  // 1-based, in characters
    char32_t character;    // a whole code point, surrogate pairs joined
    // "\h" without two hex digits after it: the start of a hex escape that
    // names no byte (the encoder would take its "\" for the terminator).
    bool malformedEscape = false;
};

// The first character of text that starts no unit, or a malformed hex escape, if any.
std::optional<Unencodable> findUnencodable(std::u16string_view text, const Charset& charset);

}  // namespace kestrane
