// The Game Boy Advance BIOS's LZ77 (the form its LZ77UnCompWram call
// reads): 0x10, the output's length in 24 bits, then blocks of eight, each
// after a flag byte whose bits (high first) say a literal byte (0) or a
// copy (1: two bytes, the length - 3 in the high nibble, the distance - 1
// in the other 12 bits, from the output written so far).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "support/result.h"

namespace kestrane::gba {

// The most a stream may say it holds: what a picture or palette needs, and far past it.
inline constexpr std::size_t kLargestLz77 = 64 << 10;

// The output of the stream at the start of `bytes`. Refused, with the
// reason: no 0x10, a length past kLargestLz77, a copy from before the
// output's start, a stream that ends before its output does.
Result<std::vector<std::uint8_t>> decodeLz77(std::span<const std::uint8_t> bytes);

}  // namespace kestrane::gba
