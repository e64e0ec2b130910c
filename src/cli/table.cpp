#include "cli/table.h"

#include <algorithm>

#include "support/hex_text.h"
#include "support/utf.h"
#include "trades/fields.h"
#include "trades/pokedex.h"

namespace kestrane::cli {
namespace {

// Text of a JSON value given for a field: a string as it is, a number as written.
std::optional<std::string> fieldText(const nlohmann::json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number()) return value.dump();
    return std::nullopt;
}

std::optional<NameBytes> parseNameBytes(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c != ' ') digits.push_back(c);
    }
    auto bytes = hexToBytes(digits);
    if (!bytes || bytes->size() != kNameLength || digits.size() != 2 * kNameLength) return std::nullopt;
    NameBytes out{};
    std::copy(bytes->begin(), bytes->end(), out.begin());
    return out;
}

// A name given as text, or as exact bytes (written only when they differ).
void readName(const nlohmann::json& trade, const char* key, const char* bytesKey, std::optional<std::u16string>& text,
              std::optional<NameBytes>& exact, std::span<const std::uint8_t> stored,
              std::vector<std::string>& problems, const std::string& where) {
    if (trade.contains(key)) {
        const auto& value = trade[key];
        text = value.is_string() ? fromUtf8(value.get<std::string>()) : std::nullopt;
        if (!text) problems.push_back(where + "\"" + key + "\" must be a text.");
    }
    if (trade.contains(bytesKey)) {
        const auto& value = trade[bytesKey];
        auto bytes = value.is_string() ? parseNameBytes(value.get<std::string>()) : std::nullopt;
        if (!bytes) {
            problems.push_back(where + "\"" + bytesKey +
                               "\" must be 10 bytes in hexadecimal, such as \"91 8E 82 8A 98 50 50 50 50 50\".");
        } else if (!std::equal(bytes->begin(), bytes->end(), stored.begin())) {
            exact = *bytes;
        }
    }
}

// DVs given as {"attack": 15, ...}; an absent DV keeps its value.
void readDvs(const nlohmann::json& value, const Dvs& stored, std::optional<Dvs>& dvs, std::vector<std::string>& problems,
             const std::string& where) {
    if (!value.is_object()) {
        problems.push_back(where + "\"dvs\" must be an object such as {\"attack\": 15, \"defense\": 10, \"speed\": 10, "
                                   "\"special\": 10}.");
        return;
    }
    Dvs given = stored;
    for (auto [key, target] : {std::pair{"attack", &given.attack}, std::pair{"defense", &given.defense},
                               std::pair{"speed", &given.speed}, std::pair{"special", &given.special}}) {
        if (!value.contains(key)) continue;
        if (!value[key].is_number_integer() || value[key].get<long long>() < -1000 || value[key].get<long long>() > 1000) {
            problems.push_back(where + "the " + key + " DV must be a number from 0 to 15.");
            return;
        }
        *target = value[key].get<int>();
    }
    if (given != stored) dvs = given;
}

}  // namespace

Json gameJson(const GameInfo& game) {
    return Json{{"code", game.code}, {"name", game.name}, {"language", game.language}};
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
    trade["offered"] = r.offeredSpecies;
    trade["nickname"] = toUtf8(r.nickname);
    trade["originalTrainer"] = toUtf8(r.trainerName);
    trade["id"] = r.trainerId;
    trade["heldItem"] = r.heldItem;
    trade["heldItemName"] = r.heldItem == 0 || rom.items ? Json(itemLabel(rom.items, r.heldItem)) : Json(nullptr);
    trade["dvs"] = Json{{"attack", r.dvs.attack}, {"defense", r.dvs.defense}, {"speed", r.dvs.speed}, {"special", r.dvs.special}};
    trade["shiny"] = isShiny(r.dvs);
    trade["hpDv"] = hpDv(r.dvs);
    trade["genderRequirement"] = kGenderRequirements[r.genderRequirement];
    trade["dialogSet"] = rom.game->facts.dialogSets[r.dialogSet].key;
    trade["nicknameBytes"] = spacedHex(nameField(r.raw, kNicknameAt));
    trade["originalTrainerBytes"] = spacedHex(nameField(r.raw, kTrainerNameAt));
    trade["recordBytes"] = spacedHex(r.raw);
    return trade;
}

Json tableJson(const Rom& rom, const std::vector<TradeReading>& trades) {
    Json list = Json::array();
    for (const TradeReading& reading : trades) list.push_back(tradeJson(rom, reading));
    return Json{{"game", gameJson(*rom.game)}, {"table", tableInfoJson(rom)}, {"trades", list}};
}

std::string speciesLabel(std::uint8_t species) {
    if (species >= kSpeciesCount) return std::to_string(species) + " (no list entry)";
    return std::to_string(species) + " " + std::string(speciesName(species));
}

ImportPlan planImport(const nlohmann::json& table, const Rom& rom, const std::vector<TradeReading>& current) {
    ImportPlan plan;
    if (!table.is_object() || !table.contains("trades") || !table["trades"].is_array()) {
        plan.problems.push_back("The table must be a JSON object with a \"trades\" list, as \"export\" writes it.");
        return plan;
    }
    if (table.contains("game") && table["game"].is_object() && table["game"].contains("code") &&
        table["game"]["code"] != rom.game->code) {
        plan.problems.push_back("The table was exported from " + table["game"]["code"].dump() + ", this ROM is \"" +
                                std::string(rom.game->code) +
                                "\". Remove the \"game\" entry from the table to import it anyway.");
    }
    const int slots = rom.slotCount();
    std::vector<int> seen;
    for (const auto& trade : table["trades"]) {
        if (!trade.is_object() || !trade.contains("slot") || !trade["slot"].is_number_integer() ||
            trade["slot"].get<long long>() < 1 || trade["slot"].get<long long>() > slots) {
            plan.problems.push_back("Every entry of \"trades\" needs a \"slot\" from 1 to " + std::to_string(slots) +
                                    ".");
            continue;
        }
        const Slot slot = Slot::fromNumber(trade["slot"].get<int>());
        const std::string where = slot.name() + ": ";
        if (std::find(seen.begin(), seen.end(), slot.number()) != seen.end()) {
            plan.problems.push_back(where + "it appears twice in the table.");
            continue;
        }
        seen.push_back(slot.number());
        const TradeReading& reading = current[std::size_t(slot.index())];
        if (trade.contains("hasTrade") && !trade["hasTrade"].is_boolean()) {
            plan.problems.push_back(where + "\"hasTrade\" must be true or false.");
            continue;
        }
        const bool hasTrade = trade.value("hasTrade", true);
        if (!reading.record) {
            if (hasTrade) plan.problems.push_back(where + std::string(kNoTradeMessage));
            continue;
        }
        if (!hasTrade) {
            plan.problems.push_back(where + "the table says it has no trade, but this ROM has one.");
            continue;
        }
        TradeEdit edit = uneditedEdit(*reading.record);
        for (auto [key, target] : {std::pair{"requested", &edit.requestedSpecies}, std::pair{"offered", &edit.offeredSpecies},
                                   std::pair{"id", static_cast<std::optional<std::string>*>(nullptr)}}) {
            if (!trade.contains(key)) continue;
            auto text = fieldText(trade[key]);
            if (!text) {
                plan.problems.push_back(where + "\"" + key + "\" must be a " +
                                        (target ? "species number or name." : "number from 0 to 65535."));
            } else if (target) {
                *target = *text;
            } else {
                edit.trainerId = fromUtf8(*text).value_or(u"?");
            }
        }
        for (auto [key, target] : {std::pair{"heldItem", &edit.heldItem}, std::pair{"genderRequirement", &edit.genderRequirement},
                                   std::pair{"dialogSet", &edit.dialogSet}}) {
            if (!trade.contains(key)) continue;
            if (auto text = fieldText(trade[key])) *target = *text;
            else plan.problems.push_back(where + "\"" + key + "\" must be a name or a number.");
        }
        if (trade.contains("dvs")) readDvs(trade["dvs"], reading.record->dvs, edit.dvs, plan.problems, where);
        readName(trade, "nickname", "nicknameBytes", edit.nickname, edit.nicknameBytes,
                 nameField(reading.record->raw, kNicknameAt), plan.problems, where);
        readName(trade, "originalTrainer", "originalTrainerBytes", edit.trainerName, edit.trainerNameBytes,
                 nameField(reading.record->raw, kTrainerNameAt), plan.problems, where);
        plan.edits.push_back(std::move(edit));
    }
    return plan;
}

}  // namespace kestrane::cli
