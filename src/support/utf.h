// UTF-8 <-> UTF-16 at the core's edges: names are UTF-16 inside the core,
// messages and paths are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrane {

// Unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);
std::string toUtf8(char32_t codePoint);

// None when text is not valid UTF-8.
std::optional<std::u16string> fromUtf8(std::string_view text);

// The columns a terminal gives UTF-8 text: two for a wide character (kana,
// CJK, full-width forms), one for any other.
std::size_t terminalColumns(std::string_view text);

}  // namespace kestrane
