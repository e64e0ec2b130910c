// The third generation's English character set: one single-byte table for
// all five games (space 0x00, names ended by 0xFF).
#pragma once

#include "text/charset.h"

namespace kestrane::gen3 {

inline constexpr std::uint8_t kTerminator = 0xFF;

const Charset& englishCharset();

}  // namespace kestrane::gen3
