#include "trades/pictures.h"

#include "trades/dvs.h"

namespace kestrane {

PictureLook lookOf(const std::optional<Dvs>& dvs) {
    return dvs ? PictureLook{isShiny(*dvs), unownLetter(*dvs)} : PictureLook{};
}

Result<FrontPicture> readFrontPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs) {
    return rom.release->family().frontPicture(rom, species, look, fs);
}

}  // namespace kestrane
