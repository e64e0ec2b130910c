// Pictures from any bytes: decompressPicture on any stream, and
// readFrontPicture on a Crystal image whose pointer, size and data are the
// input; the first generation's unpacking of the same stream. Either a
// picture of exactly the size asked for (or the stream gives), or no
// picture and a reason; never more than the games' buffer, never a crash or
// a hang.
#include <cstdlib>

#include "families/families.h"
#include "families/gen1/first_generation_pictures.h"
#include "families/gen2/second_generation_pictures.h"
#include "support/memory_file_system.h"
#include "support/rom_image.h"
#include "trades/pictures.h"

using namespace kestrane;

namespace {

void check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    // data[0]: the size byte; data[1..3]: the pointer (bank, address); the rest: the data.
    const std::span<const std::uint8_t> stream(data + 4, size - 4);
    const std::size_t tiles = std::size_t(data[0] & 0x0F) * std::size_t(data[0] >> 4);
    auto out = decompressPicture(stream, tiles * 16);
    if (out) check(out->size() == tiles * 16 && out->size() <= kMaxPictureOutput);
    else check(out.error().code == ErrorCode::NoPicture && !out.error().message.empty());
    auto unpacked = unpackFirstGenerationPicture(stream);
    if (unpacked) {
        check(unpacked->widthTiles >= 1 && unpacked->widthTiles <= 7 && unpacked->heightTiles >= 1 && unpacked->heightTiles <= 7);
        check(unpacked->shades.size() == std::size_t(unpacked->widthTiles * unpacked->heightTiles) * 64);
        for (std::uint8_t shade : unpacked->shades) check(shade <= 3);
    } else {
        check(unpacked.error().code == ErrorCode::NoPicture && !unpacked.error().message.empty());
    }

    static const testing::Bytes base = [] {
        testing::Bytes image = testing::randomImage("BYTE", 3);
        image.resize(0x128000);
        testing::putBaseData(image, "BYTE");
        return image;
    }();
    testing::Bytes image = base;
    std::copy(data, data + 1, image.begin() + 0x51424 + 17);           // species 1's size
    std::copy(data + 1, data + 4, image.begin() + 0x120000);          // its pointer
    std::copy(stream.begin(), stream.begin() + std::ptrdiff_t(std::min<std::size_t>(stream.size(), 0x4000)),
              image.begin() + 0x47 * 0x4000);                        // where a pointer of bank 0x11, 0x4000 points
    MemoryFileSystem fs;
    fs.put("rom", image);
    const Rom rom = *openRom("rom", families::all(), fs);
    for (bool shiny : {false, true}) {
        auto picture = readFrontPicture(rom, 1, {shiny, 'A'}, fs);
        if (picture) {
            check(picture->width == 8 * (data[0] & 0x0F) && picture->height == 8 * (data[0] >> 4));
            check(picture->shades.size() == std::size_t(picture->width) * std::size_t(picture->height));
            check(picture->rgb().size() == picture->shades.size() * 3);
        } else {
            check(picture.error().code == ErrorCode::NoPicture || picture.error().isFileFailure());
        }
    }
    return 0;
}
