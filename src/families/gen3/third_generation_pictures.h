// Ruby, Sapphire, Emerald, FireRed and LeafGreen's front pictures, drawn
// from the ROM as the game draws them.
//
//   tables     fronts: 8 bytes a species, by internal index {u32 pointer;
//              u16 size; u16 tag}; palettes and shiny palettes {u32 pointer;
//              u16 tag; u16 0}. Emerald and FireRed/LeafGreen point to them
//              from their header at 0x100 (0x128, 0x130, 0x134); Ruby and
//              Sapphire's are found through the code that reads them
//              (DecompressPicFromTable_2 the fronts, the sprite palette's
//              lookup by IDs and personality both palettes), their rows'
//              places only where that code is nowhere. An entry's tag is
//              its index (a shiny palette's, index + 500): an entry tagged
//              otherwise is of no table the game reads by species.
//   data       the BIOS's LZ77 (platform/gba/lz77.h): a sheet of 64 x 64
//              frames, 4 bits a pixel in 8 x 8 tiles, 8 tiles a row, the low
//              nibble the left pixel; the first frame the still (Emerald's
//              sheets hold two). Deoxys's party view shows the second half
//              of its sheet where the release draws its second forme.
//   colours    16 BGR555 colours a palette (LZ77 too), a channel c shown as
//              (c << 3) | (c >> 2); colour 0 is transparent in the game.
//   forms      Unown's letter L is species 201 (A) or 412 + L; Castform's
//              normal form is its first frame and palette.
#pragma once

#include <optional>

#include "families/gen3/third_generation_rows.h"
#include "support/file.h"
#include "support/result.h"
#include "trades/front_picture.h"
#include "trades/rom.h"

namespace kestrane {

// The three tables where Ruby and Sapphire's code reads them: every copy of
// each routine agreeing; none where a routine is nowhere or its copies disagree.
Result<std::optional<FrontPictureTables>> findPictureTables(File& file, std::int64_t size);

Result<FrontPicture> readThirdGenerationPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs);

}  // namespace kestrane
