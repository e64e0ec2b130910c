// Gold, Silver and Crystal's front pictures, drawn from the ROM as the game draws them.
//
//   pointers   6 bytes a species (species 1 first; the Unown forms by letter
//              in a table of their own): the front picture's bank, then its
//              address (little-endian, 0x4000-0x7FFF); then the back picture
//              the same way. The stored bank is not the real one (the
//              release's bank rule); file offset = bank x 0x4000 + address - 0x4000.
//   data       compressed: a command byte, 0xFF ends. Its top 3 bits are the
//              command, the low 5 the count - 1; command 7 is the long form
//              (the next 3 bits the command, 10 bits the count - 1, the last
//              8 in the next byte). 0 copies the next count bytes, 1 repeats
//              the next byte, 2 alternates the next two bytes, 3 writes zeros;
//              4, 5 and 6 copy count bytes of the output so far forward, bit
//              reversed, or backward, from a start given by one byte (top bit
//              set: the output's length - (byte & 0x7F) - 1) or two
//              (big-endian, from the output's first byte).
//   size       the species' base data, byte +17: width in tiles (low
//              nibble), height (high nibble). The first width x height
//              tiles are the picture; a tile is 16 bytes, two a row of 8
//              pixels (low bits, then high bits; the leftmost pixel in bit
//              7), the tiles going down the first column, then the next.
//   colours    shade 0 white, 3 black, 1 and 2 from the palettes: 8 bytes at
//              species x 8 (normal light, normal dark, shiny light, shiny
//              dark), each RGB555 little-endian.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/front_picture.h"
#include "trades/rom.h"

namespace kestrane {

// The most a picture's data may decompress to before it is taken as no
// picture: the games' buffer.
inline constexpr std::size_t kMaxPictureOutput = 0x1000;

// Decompresses picture data until `wanted` bytes are out (or the stream
// ends them). A stream that ends first, runs past its bytes, refers to
// output before its start or would pass kMaxPictureOutput is an error.
Result<std::vector<std::uint8_t>> decompressPicture(std::span<const std::uint8_t> stream, std::size_t wanted);

// The front picture of a species (1-251) in the ROM, or why there is none.
Result<FrontPicture> readSecondGenerationPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs);

}  // namespace kestrane
