#include "trades/pictures.h"

#include "trades/dvs.h"
#include "trades/game_family.h"
#include "trades/releases.h"
#include "trades/trade_record.h"

namespace kestrane {

PictureLook GameFamily::pictureLook(const Rom&, const TradeRecord& record) const {
    return record.dvs ? PictureLook{isShiny(*record.dvs), unownLetter(*record.dvs)} : PictureLook{};
}

PictureLook lookOf(const Rom& rom, const TradeRecord& record) { return rom.release->family().pictureLook(rom, record); }

Result<FrontPicture> readFrontPicture(const Rom& rom, SpeciesId species, PictureLook look, FileSystem& fs) {
    return rom.release->family().frontPicture(rom, species, look, fs);
}

}  // namespace kestrane
