// The Game Boy cartridge header, as every Game Boy and Game Boy Color
// game's image begins: the logo the console checks, the title, the game
// code, the ROM size, destination, licensee and version bytes; and the
// sizes an image may have.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/file.h"
#include "platform/platform.h"
#include "support/result.h"

namespace kestrane {

inline constexpr std::int64_t kGameCodeOffset = 0x13F;
inline constexpr std::size_t kGameCodeLength = 4;
// A file must reach past the game code to be a ROM at all.
inline constexpr std::int64_t kMinimumRomSize = kGameCodeOffset + kGameCodeLength;
// The largest Game Boy Color ROM. A larger file is no cartridge image: no
// table is looked for past it, and its checksums are not computed.
inline constexpr std::int64_t kLargestRomSize = 8 * 1024 * 1024;

// The cartridge header's ROM size byte: the game's size is 32 KiB << n.
inline constexpr std::int64_t kRomSizeByteOffset = 0x148;
// The header's version byte: the revision of a release.
inline constexpr std::int64_t kVersionByteOffset = 0x14C;

// The size a ROM size byte gives; none for a byte that names no size (n > 8).
std::optional<std::int64_t> romSizeOfHeaderByte(std::uint8_t n);

inline constexpr std::int64_t kTitleOffset = 0x134;
inline constexpr std::size_t kTitleLength = 16;
inline constexpr std::int64_t kDestinationOffset = 0x14A;  // 0x00 Japan, 0x01 elsewhere

// The logo every cartridge holds, which the console checks before it
// starts the game: a file without it is no Game Boy game's image.
inline constexpr std::int64_t kLogoOffset = 0x104;
inline constexpr std::uint8_t kLogo[48] = {0xCE, 0xED, 0x66, 0x66, 0xCC, 0x0D, 0x00, 0x0B, 0x03, 0x73, 0x00, 0x83,
                                           0x00, 0x0C, 0x00, 0x0D, 0x00, 0x08, 0x11, 0x1F, 0x88, 0x89, 0x00, 0x0E,
                                           0xDC, 0xCC, 0x6E, 0xE6, 0xDD, 0xDD, 0xD9, 0x99, 0xBB, 0xBB, 0x67, 0x63,
                                           0x6E, 0x0E, 0xEC, 0xCC, 0xDD, 0xDC, 0x99, 0x9F, 0xBB, 0xB9, 0x33, 0x3E};

}  // namespace kestrane
