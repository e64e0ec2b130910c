#include "trades/front_picture.h"

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

}  // namespace kestrane
