#include "trades/front_picture.h"

#include <string>

namespace kestrane {

std::vector<std::uint8_t> FrontPicture::rgb() const {
    std::vector<std::uint8_t> out(shades.size() * 3);
    std::uint8_t* at = out.data();
    // A shade past the palette (none a reader makes) shows black.
    const Rgb none{};
    for (std::uint8_t shade : shades) {
        const Rgb& c = shade < colours.size() ? colours[shade] : none;
        *at++ = c.red;
        *at++ = c.green;
        *at++ = c.blue;
    }
    return out;
}

Error noPicture(std::string_view species, Error why) {
    why.message = "The picture of species " + std::string(species) + " cannot be drawn: " + why.message + ".";
    return why;
}

}  // namespace kestrane
