// A creature's front picture as Kestrane draws it, whichever game's data
// it was read from: its pixels' shades and the colours of each.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "support/result.h"

namespace kestrane {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// What picture to draw: shiny colours or not, and the Unown form.
struct PictureLook {
    bool shiny = false;
    char unownLetter = 'A';
};

struct FrontPicture {
    int width = 0;   // pixels
    int height = 0;
    std::vector<std::uint8_t> shades;  // an index into colours, row by row
    std::vector<Rgb> colours;          // by shade: the picture's palette (four colours on the Game Boy)
    // The shade the game leaves undrawn, the background showing through
    // (colour 0 of a GBA palette); none where every shade is drawn.
    std::optional<std::uint8_t> clear;
    // Three bytes a pixel, row by row, in the picture's colours.
    std::vector<std::uint8_t> rgb() const;
};

// "The picture of species 95 cannot be drawn: <why>.": a family's refusal
// of a picture (the species as it is shown), its reason `why` (an error
// without its full stop) kept.
Error noPicture(std::string_view species, Error why);

}  // namespace kestrane
