#include "exchange/trade_json.h"

#include "support/hex_text.h"
#include "support/utf.h"
#include "trades/fields.h"
#include "trades/game_data.h"
#include "trades/pokedex.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"

namespace kestrane::exchange {
namespace {

Json speciesNameJson(const Rom& rom, std::uint8_t species) {
    return species < kSpeciesCount ? Json(rom.species->name(species)) : Json(nullptr);
}

// The key of the trade's JSON that holds a field.
const char* fieldKey(Field field) {
    switch (field) {
    case Field::RequestedSpecies: return "requested";
    case Field::OfferedSpecies: return "offered";
    case Field::Nickname: return "nickname";
    case Field::TrainerName: return "originalTrainer";
    case Field::TrainerId: return "id";
    case Field::HeldItem: return "heldItem";
    case Field::Dvs: return "dvs";
    case Field::GenderRequirement: return "genderRequirement";
    case Field::DialogSet: return "dialogSet";
    }
    return "";
}

}  // namespace

Json gameJson(const Release& release) {
    return Json{{"code", release.code}, {"name", release.name}, {"language", release.language}};
}

Json tableInfoJson(const Rom& rom) {
    if (!rom.table) return nullptr;
    return Json{{"offset", rom.table->offset}, {"records", rom.table->records}, {"foundBy", foundByText(rom.table->foundBy)}};
}

Json tradeJson(const Rom& rom, const TradeReading& reading) {
    Json trade{{"slot", reading.slot.number()}, {"hasTrade", reading.record.has_value()}};
    if (!reading.record) return trade;
    const TradeRecord& r = *reading.record;
    trade["location"] = r.location;
    trade["requested"] = r.requestedSpecies;
    trade["requestedName"] = speciesNameJson(rom, r.requestedSpecies);
    trade["offered"] = r.offeredSpecies;
    trade["offeredName"] = speciesNameJson(rom, r.offeredSpecies);
    trade["nickname"] = toUtf8(r.nickname);
    trade["originalTrainer"] = toUtf8(r.trainerName);
    trade["id"] = r.trainerId;
    trade["heldItem"] = r.heldItem;
    trade["heldItemName"] = r.heldItem == 0 || rom.items ? Json(itemLabel(rom.items, r.heldItem)) : Json(nullptr);
    trade["dvs"] = Json{{"attack", r.dvs.attack}, {"defense", r.dvs.defense}, {"speed", r.dvs.speed}, {"special", r.dvs.special}};
    trade["shiny"] = isShiny(r.dvs);
    trade["hpDv"] = hpDv(r.dvs);
    trade["genderRequirement"] = genderRequirementKey(r.genderRequirement);
    trade["dialogSet"] = dialogSetKey(*rom.release, r.dialogSet);
    const TraderWords said = traderWords(rom, r);
    Json dialog = said.fromRom ? Json{{"from", "rom"}} : Json{{"from", "built in"}, {"why", said.why}};
    for (std::size_t phase = 0; phase < said.lines.size(); ++phase) {
        dialog[std::string(kLinePhases[phase])] = said.fromRom || phase == 0 ? Json(said.lines[phase]) : Json(nullptr);
    }
    trade["dialog"] = std::move(dialog);
    trade["nicknameBytes"] = spacedHex(nameField(r.raw, rom.release->layout.nickname));
    trade["originalTrainerBytes"] = spacedHex(nameField(r.raw, rom.release->layout.trainerName));
    trade["recordBytes"] = spacedHex(r.raw);
    Json warnings = Json::array();
    for (const TradeWarning& warning : tradeWarnings(rom, r)) warnings.push_back(Json{{"field", fieldKey(warning.field)}, {"text", warning.text}});
    trade["warnings"] = std::move(warnings);
    return trade;
}

Json tradesJson(const Rom& rom, const std::vector<TradeReading>& trades) {
    Json list = Json::array();
    for (const TradeReading& reading : trades) list.push_back(tradeJson(rom, reading));
    return list;
}

Json tableJson(const Rom& rom, const std::vector<TradeReading>& trades) {
    return Json{{"game", gameJson(*rom.release)}, {"table", tableInfoJson(rom)}, {"trades", tradesJson(rom, trades)}};
}

}  // namespace kestrane::exchange
