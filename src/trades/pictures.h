// The creatures' front pictures, drawn from the ROM as the game draws them:
// each family reads its own (its frontPicture).
#pragma once

#include <optional>

#include "support/file.h"
#include "support/result.h"
#include "trades/front_picture.h"
#include "trades/rom.h"

namespace kestrane {

// The front picture of a species in the ROM, or why there is none (a
// pointer outside the file, data that is no picture, base data not where
// the game keeps it).
Result<FrontPicture> readFrontPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs = nativeFileSystem());

// The picture's look for a trade's offered creature as the record makes it
// (its DVs, or its personality and IDs): shiny or not, its Unown form.
PictureLook lookOf(const Rom& rom, const struct TradeRecord& record);

}  // namespace kestrane
