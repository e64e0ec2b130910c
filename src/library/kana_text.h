// The game-text decoder of the library, with its second mode: any mode but
// 0 decodes with the kana map (char_map.h), which has no terminator, each
// byte the map has no text for written "\hXX". Mode 0 is the codec's own
// (text/game_text.h). The text is collected in a StringBuilder; no program
// calls this, the library's callers do.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "text/charset.h"
#include "families/gameboy/charsets.h"
#include "families/gameboy/text_dialects.h"

namespace kestrane::library {

// The text of `data` in the given mode. Never fails for inputs under a
// gigabyte; past the builder's limit the text ends where it was refused.
std::u16string decodeGameText(std::span<const std::uint8_t> data, std::int16_t mode, const Charset& charset = englishCharset());

}  // namespace kestrane::library
