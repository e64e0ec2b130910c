#include "trades/record.h"

#include "trades/fields.h"

namespace kestrane {
namespace {

bool plausibleName(std::span<const std::uint8_t> field, const Charset& charset) {
    std::size_t at = 0;
    while (at < field.size() && field[at] != kTerminator) {
        if (!charset.printable(field[at])) return false;
        ++at;
    }
    for (; at < field.size(); ++at) {
        if (field[at] != kTerminator && field[at] != 0x20) return false;
    }
    return true;
}

// The name's bytes, and where the layout has one, the terminator after them.
std::span<const std::uint8_t> wholeField(RecordView r, const NameLayout& name) {
    return r.subspan(name.at, name.length + (name.terminated ? 1 : 0));
}

}  // namespace

bool passesRecordChecks(RecordView r, const RecordLayout& layout, int dialogSets) {
    for (const NameLayout& name : {layout.nickname, layout.trainerName}) {
        if (name.terminated && r[name.at + name.length] != kTerminator) return false;
    }
    return (!layout.zeroAt || r[*layout.zeroAt] == 0x00) && r[layout.dialogSetAt] < dialogSets &&
           r[layout.genderRequirementAt] < int(kGenderRequirements.size());
}

bool passesStrictRecordChecks(RecordView r, const RecordLayout& layout, int dialogSets, const Charset& charset) {
    auto species = [](std::uint8_t s) { return s >= 1 && s <= 254; };
    return passesRecordChecks(r, layout, dialogSets) && species(r[layout.requestedSpeciesAt]) &&
           species(r[layout.offeredSpeciesAt]) && plausibleName(wholeField(r, layout.nickname), charset) &&
           plausibleName(wholeField(r, layout.trainerName), charset);
}

}  // namespace kestrane
