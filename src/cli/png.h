// Pictures as PNG files, through stb_image_write (a maintained single-file
// library, Debian's libstb-dev), not an encoder of our own.
#pragma once

#include <cstdint>
#include <vector>

#include "trades/pictures.h"

namespace kestrane::cli {

// The picture's PNG bytes, each pixel drawn as scale x scale pixels; RGB,
// exactly the picture's colours.
std::vector<std::uint8_t> pngOf(const FrontPicture& picture, int scale);

}  // namespace kestrane::cli
