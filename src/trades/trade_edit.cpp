#include "trades/trade_edit.h"

#include <algorithm>
#include <cstdio>

#include "support/bytes.h"
#include "support/utf.h"
#include "text/char_map.h"
#include "text/game_text.h"
#include "trades/fields.h"
#include "trades/pokedex.h"
#include "trades/trainer_id.h"

namespace kestrane {
namespace {

struct NameField {
    std::uint32_t at;
    const char* what;
    const std::optional<std::u16string>& text;
    const std::optional<NameBytes>& exact;
    const std::u16string& shown;
};

Result<NameBytes> plannedName(const NameField& name, const RecordBytes& stored) {
    NameBytes out{};
    if (name.exact) {
        if (name.text && *name.text != name.shown) {
            return refused(ErrorCode::ConflictingName, std::string("The ") + name.what +
                                                           " was given both as text and as bytes; change one of "
                                                           "them only.");
        }
        return *name.exact;
    }
    // The editor shows a trimmed, lossy decoding; re-encoding an untouched
    // name would drop bytes the map has no character for.
    if (!name.text || *name.text == name.shown) {
        std::copy_n(stored.begin() + name.at, kNameLength, out.begin());
        return out;
    }
    if (auto bad = findUnencodable(*name.text)) {
        char codePoint[12];
        std::snprintf(codePoint, sizeof codePoint, "U+%04X", static_cast<unsigned>(bad->character));
        return refused(ErrorCode::UnencodableName,
                       std::string("The ") + name.what + " cannot hold \"" + toUtf8(bad->character) + "\" (" +
                           codePoint + "), character " + std::to_string(bad->position) + ". Use " +
                           std::string(kTypeableText) + ".");
    }
    std::vector<std::uint8_t> bytes = encodeGameText(*name.text + u"\\");
    // The appended "\" is always the last byte; ten bytes before it still fit.
    if (bytes.size() > kNameLength + 1) {
        return refused(ErrorCode::NameTooLong, std::string("The ") + name.what + " needs " +
                                                   std::to_string(bytes.size() - 1) + " bytes, but its field holds " +
                                                   std::to_string(kNameLength) + ". Please shorten it.");
    }
    bytes.resize(kNameLength, 0x20);
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return out;
}

}  // namespace

TradeEdit uneditedEdit(const TradeRecord& shown) {
    TradeEdit edit;
    edit.shown = shown;
    return edit;
}

Result<RecordBytes, Problems> planTradeRecord(const Rom& rom, const TradeEdit& edit) {
    const TradeRecord& shown = edit.shown;
    RecordBytes out = shown.raw;
    Problems problems;
    auto take = [&](auto result, auto&& apply) {
        if (!result) problems.push_back(result.error());
        else if constexpr (requires { *result; }) apply(*result);
        else apply();
    };

    // The order in which the window, which shows only the first, tells them.
    if (edit.trainerId) {
        take(parseTrainerId(*edit.trainerId),
             [&](std::uint16_t id) { putLittleEndian16(std::span(out).subspan(kTrainerIdAt, 2), id); });
    }
    for (auto [text, at, role] : {std::tuple{&edit.requestedSpecies, kRequestedSpeciesAt, SpeciesRole::Requested},
                                  std::tuple{&edit.offeredSpecies, kOfferedSpeciesAt, SpeciesRole::Offered}}) {
        if (text->has_value()) take(resolveSpecies(**text, out[at], role), [&, at = at](std::uint8_t s) { out[at] = s; });
    }
    for (const NameField& name : {NameField{kNicknameAt, "nickname", edit.nickname, edit.nicknameBytes, shown.nickname},
                                  NameField{kTrainerNameAt, "original trainer's name", edit.trainerName,
                                            edit.trainerNameBytes, shown.trainerName}}) {
        take(plannedName(name, shown.raw), [&](const NameBytes& bytes) { std::copy(bytes.begin(), bytes.end(), out.begin() + name.at); });
    }
    if (edit.heldItem) take(resolveItem(*edit.heldItem, rom.items), [&](std::uint8_t item) { out[kHeldItemAt] = item; });
    if (edit.dvs) {
        const Dvs& d = *edit.dvs;
        take(checkDvs(d), [&] {
            out[kDvsAt] = std::uint8_t(d.attack << 4 | d.defense);
            out[kDvsAt + 1] = std::uint8_t(d.speed << 4 | d.special);
        });
    }
    if (edit.genderRequirement) {
        take(resolveGenderRequirement(*edit.genderRequirement), [&](std::uint8_t g) { out[kGenderRequirementAt] = g; });
    }
    if (edit.dialogSet) {
        take(resolveDialogSet(*edit.dialogSet, *rom.game), [&](std::uint8_t set) { out[kDialogSetAt] = set; });
    }
    if (!problems.empty()) return problems;
    return out;
}

}  // namespace kestrane
