#include "cli/png.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace kestrane::cli {

std::vector<std::uint8_t> pngOf(const FrontPicture& picture, int scale) {
    const std::vector<std::uint8_t> rgb = picture.rgb();
    // A shade the game leaves undrawn is transparent: four channels, the last its alpha.
    const int channels = picture.clear ? 4 : 3;
    const int width = picture.width * scale, height = picture.height * scale;
    std::vector<std::uint8_t> scaled(std::size_t(width) * std::size_t(height) * std::size_t(channels));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t pixel = std::size_t(y / scale) * std::size_t(picture.width) + std::size_t(x / scale);
            auto to = scaled.begin() + (std::ptrdiff_t(y) * width + x) * channels;
            std::copy_n(rgb.begin() + std::ptrdiff_t(pixel * 3), 3, to);
            if (picture.clear) to[3] = picture.shades[pixel] == *picture.clear ? 0 : 0xFF;
        }
    }
    std::vector<std::uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(context);
            out->insert(out->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
        },
        &png, width, height, channels, scaled.data(), width * channels);
    return png;
}

}  // namespace kestrane::cli
