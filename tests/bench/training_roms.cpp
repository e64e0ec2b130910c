// Writes the images the start-up order is learnt from (tests/bench/start_up_order.sh):
// a retail-like Crystal with its pictures, and a retail-like Red.
#include <cstdio>
#include <string>
#include <utility>

#include "support/file.h"
#include "support/first_generation_image.h"
#include "support/rom_image.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    auto crystal = kestrane::testing::retailLikeRom("BYTE");
    kestrane::testing::putPictures(crystal, "BYTE");
    const std::pair<std::string, kestrane::testing::Bytes> images[] = {
        {folder + "/crystal.gbc", std::move(crystal)},
        {folder + "/red.gb", kestrane::testing::firstGenerationRom("POKEMON RED")},
    };
    for (const auto& [path, bytes] : images) {
        if (auto written = kestrane::writeNewFile(kestrane::nativeFileSystem(), path, bytes); !written) {
            std::fprintf(stderr, "Could not write %s: %s\n", path.c_str(), written.error().message.c_str());
            return 1;
        }
    }
    return 0;
}
