// Red, Blue and Yellow's front pictures, drawn from the ROM as the game
// draws them.
//
//   where    the species' base stats (28 bytes by Pokédex number; Mew's,
//            in Red and Blue, apart), found through GetMonHeader: +10 the
//            size (width in tiles, high nibble; height, low), +11 the
//            data's address; its bank the one UncompressMonSprite chooses
//            for the internal index (first_generation_code.h).
//   data     read as bits, most significant first: a byte of size (as
//            above), a bit saying which plane comes first, the first plane,
//            the unpack mode (0; 1 0; 1 1), the second plane. A plane is
//            pixel pairs (2 bits) written down 2-pixel columns, four of them
//            an 8-pixel column, column after column; it starts with a bit
//            (0 a run of zero pairs, 1 pairs given one by one), then the
//            packets alternate: a run is n ones, a zero, then n + 1 bits
//            added to 2^(n+1) - 1 for the count of zero pairs; given pairs
//            end at a 00 pair (or the plane's end). Mode 0 delta-decodes
//            both planes (each bit says whether the pixel differs from the
//            one to its left, row by row from a 0); mode 1 decodes the plane
//            read first and XORs it into the other; mode 2 decodes both,
//            then XORs the one read first into the other. The first plane
//            in memory holds each pixel's low bit.
//   canvas   the game centres a w x h tile picture in 7 x 7 tiles: at tile
//            column (8 - w) / 2 and row 7 - h.
//   shades   the four greys of the Game Boy's own screen, 0 white to 3 black.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "support/result.h"
#include "support/file.h"
#include "trades/front_picture.h"
#include "trades/rom.h"

namespace kestrane {

struct UnpackedPicture {
    int widthTiles = 0;
    int heightTiles = 0;
    std::vector<std::uint8_t> shades;  // 0-3, row by row, widthTiles x 8 a row
};

// The picture a stream holds, or why it holds none: it ends first, its size
// is 0 or larger than the game's 7 x 7 tiles, a run overfills a plane, or
// its mode is none.
Result<UnpackedPicture> unpackFirstGenerationPicture(std::span<const std::uint8_t> stream);

// The front picture of a species (its internal index) on the game's canvas.
Result<FrontPicture> readFirstGenerationPicture(const Rom& rom, SpeciesId species, FileSystem& fs);

}  // namespace kestrane
