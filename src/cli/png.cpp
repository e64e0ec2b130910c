#include "cli/png.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace kestrane::cli {

std::vector<std::uint8_t> pngOf(const FrontPicture& picture, int scale) {
    const std::vector<std::uint8_t> rgb = picture.rgb();
    const int width = picture.width * scale, height = picture.height * scale;
    std::vector<std::uint8_t> scaled(std::size_t(width) * std::size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t from = (std::size_t(y / scale) * std::size_t(picture.width) + std::size_t(x / scale)) * 3;
            std::copy_n(rgb.begin() + std::ptrdiff_t(from), 3, scaled.begin() + (std::ptrdiff_t(y) * width + x) * 3);
        }
    }
    std::vector<std::uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(context);
            out->insert(out->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
        },
        &png, width, height, 3, scaled.data(), width * 3);
    return png;
}

}  // namespace kestrane::cli
