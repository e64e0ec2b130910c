#include "trades/record.h"

#include "text/char_map.h"

namespace kestrane {
namespace {

bool plausibleName(std::span<const std::uint8_t> field) {
    std::size_t at = 0;
    while (at < field.size() && field[at] != kTerminator) {
        if (!isPrintableGameByte(field[at])) return false;
        ++at;
    }
    for (; at < field.size(); ++at) {
        if (field[at] != kTerminator && field[at] != 0x20) return false;
    }
    return true;
}

}  // namespace

bool passesRecordChecks(RecordView r, int maxDialogSet) {
    return r[kPaddingAt] == 0x00 && r[kNicknameAt + kNameLength] == kTerminator &&
           r[kTrainerNameAt + kNameLength] == kTerminator && r[kDialogSetAt] <= maxDialogSet &&
           r[kGenderRequirementAt] <= kMaxGenderRequirement;
}

bool passesStrictRecordChecks(RecordView r, int maxDialogSet) {
    auto species = [](std::uint8_t s) { return s >= 1 && s <= 254; };
    return passesRecordChecks(r, maxDialogSet) && species(r[kRequestedSpeciesAt]) && species(r[kOfferedSpeciesAt]) &&
           plausibleName(r.subspan(kNicknameAt, kNameFieldLength)) &&
           plausibleName(r.subspan(kTrainerNameAt, kNameFieldLength));
}

}  // namespace kestrane
