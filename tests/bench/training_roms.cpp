// Writes the images the start-up order is learnt from (tests/bench/start_up_order.sh):
// a retail-like Crystal with its pictures, and a retail-like Red.
#include <cstdio>
#include <fstream>
#include <string>

#include "support/first_generation_image.h"
#include "support/rom_image.h"

namespace {

bool write(const std::string& path, const kestrane::testing::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out.flush());
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    auto crystal = kestrane::testing::retailLikeRom("BYTE");
    kestrane::testing::putPictures(crystal, "BYTE");
    if (!write(folder + "/crystal.gbc", crystal) ||
        !write(folder + "/red.gb", kestrane::testing::firstGenerationRom("POKEMON RED"))) {
        std::fprintf(stderr, "could not write the images into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
