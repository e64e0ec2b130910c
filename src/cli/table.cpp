#include "cli/table.h"

#include <algorithm>
#include <functional>

#include "support/hex_bytes.h"
#include "support/utf.h"
#include "trades/pokedex.h"

namespace kestrane::cli {
namespace {

std::span<const std::uint8_t> nameField(const TradeRecord& r, std::uint32_t at) {
    return std::span<const std::uint8_t>(r.raw).subspan(at, kNameLength);
}

bool allDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Problems of one slot are told with the slot's name in front.
struct Problems {
    std::vector<std::string>& all;
    std::string where;
    void add(const std::string& problem) { all.push_back(where + ": " + problem); }
};

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

using Change = std::function<void(TradeEdit&)>;

// The change a name (as text, or as exact bytes) asks for.
void readName(const nlohmann::json& trade, const char* key, const char* bytesKey, std::u16string TradeEdit::*text,
              std::optional<NameBytes> TradeEdit::*exact, std::span<const std::uint8_t> stored, Problems& problems,
              std::vector<Change>& changes) {
    if (trade.contains(key)) {
        const auto& value = trade[key];
        std::optional<std::u16string> utf16 = value.is_string() ? fromUtf8(value.get<std::string>()) : std::nullopt;
        if (!utf16) problems.add(std::string("\"") + key + "\" must be a text.");
        else changes.push_back([text, name = *utf16](TradeEdit& e) { e.*text = name; });
    }
    if (trade.contains(bytesKey)) {
        const auto& value = trade[bytesKey];
        auto bytes = value.is_string() ? parseNameBytes(value.get<std::string>()) : std::nullopt;
        if (!bytes) {
            problems.add(std::string("\"") + bytesKey +
                         "\" must be 10 bytes in hexadecimal, such as \"91 8E 82 8A 98 50 50 50 50 50\".");
        } else if (!std::equal(bytes->begin(), bytes->end(), stored.begin())) {
            changes.push_back([exact, b = *bytes](TradeEdit& e) { e.*exact = b; });
        }
    }
}

}  // namespace

Json gameJson(const GameInfo& game) {
    return Json{{"code", game.code}, {"name", game.name}, {"language", game.language}};
}

Json tradeJson(int slotIndex, const TradeReading& reading) {
    Json trade{{"slot", slotIndex + 1}, {"hasTrade", reading.record.has_value()}};
    if (!reading.record) return trade;
    const TradeRecord& r = *reading.record;
    trade["location"] = r.location;
    trade["requested"] = r.requestedSpecies;
    trade["offered"] = r.offeredSpecies;
    trade["nickname"] = toUtf8(r.nickname);
    trade["originalTrainer"] = toUtf8(r.trainerName);
    trade["id"] = r.trainerId;
    trade["nicknameBytes"] = spacedHex(nameField(r, kNicknameAt));
    trade["originalTrainerBytes"] = spacedHex(nameField(r, kTrainerNameAt));
    trade["recordBytes"] = spacedHex(r.raw);
    return trade;
}

Json tableJson(const GameInfo& game, const TradeTable& table) {
    Json trades = Json::array();
    for (std::size_t slot = 0; slot < table.size(); ++slot) trades.push_back(tradeJson(int(slot), table[slot]));
    return Json{{"game", gameJson(game)}, {"trades", trades}};
}

std::string spacedHex(std::span<const std::uint8_t> bytes) {
    std::string hex = bytesToHex(bytes);
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) out += (i ? " " : "") + hex.substr(i, 2);
    return out;
}

std::string speciesLabel(std::uint8_t species) {
    if (species >= kSpeciesCount) return std::to_string(species) + " (no list entry)";
    return std::to_string(species) + " " + std::string(speciesName(species));
}

Result<int> speciesValue(const std::string& given, std::uint8_t stored, const std::string& what) {
    if (allDigits(given)) {
        int number = given.size() > 3 ? 1000 : std::stoi(given);
        if (number == stored) return stored < kSpeciesCount ? number : kNoSpeciesChosen;
        if (number < kSpeciesCount) return number;
        return makeError(ErrorCode::SpeciesOutOfRange,
                         "The " + what + " " + given + " is not in the list; give a species from 0 to 251.");
    }
    if (auto index = findSpecies(given)) return *index;
    return makeError(ErrorCode::SpeciesOutOfRange, "\"" + given + "\" is not a species name or number (the " + what +
                                                       "); give a number from 0 to 251 or a name such as \"Abra\".");
}

ImportPlan planImport(const nlohmann::json& table, const GameInfo& game, const TradeTable& current) {
    ImportPlan plan;
    if (!table.is_object() || !table.contains("trades") || !table["trades"].is_array()) {
        plan.problems.push_back("The table must be a JSON object with a \"trades\" list, as \"export\" writes it.");
        return plan;
    }
    if (table.contains("game") && table["game"].is_object() && table["game"].contains("code") &&
        table["game"]["code"] != game.code) {
        plan.problems.push_back("The table was exported from " + table["game"]["code"].dump() + ", this ROM is \"" +
                                std::string(game.code) +
                                "\". Remove the \"game\" entry from the table to import it anyway.");
    }
    std::vector<int> seen;
    for (const auto& trade : table["trades"]) {
        if (!trade.is_object() || !trade.contains("slot") || !trade["slot"].is_number_integer() ||
            trade["slot"].get<long long>() < 1 || trade["slot"].get<long long>() > kSlotCount) {
            plan.problems.push_back("Every entry of \"trades\" needs a \"slot\" from 1 to 7.");
            continue;
        }
        const int slot = trade["slot"].get<int>() - 1;
        Problems problems{plan.problems, "Trade Number " + std::to_string(slot + 1)};
        if (std::find(seen.begin(), seen.end(), slot) != seen.end()) {
            problems.add("it appears twice in the table.");
            continue;
        }
        seen.push_back(slot);
        const TradeReading& reading = current[std::size_t(slot)];
        if (trade.contains("hasTrade") && !trade["hasTrade"].is_boolean()) {
            problems.add("\"hasTrade\" must be true or false.");
            continue;
        }
        const bool hasTrade = trade.value("hasTrade", true);
        if (!reading.record) {
            if (hasTrade) problems.add(std::string(kNoTradeMessage));
            continue;
        }
        if (!hasTrade) {
            problems.add("the table says it has no trade, but this ROM has one.");
            continue;
        }
        const TradeRecord& shown = *reading.record;
        const std::size_t problemsBefore = plan.problems.size();
        std::vector<Change> changes;
        for (auto [key, target, stored, what] :
             {std::tuple{"requested", &TradeEdit::requestedSpecies, shown.requestedSpecies, "requested species"},
              std::tuple{"offered", &TradeEdit::offeredSpecies, shown.offeredSpecies, "offered species"}}) {
            if (!trade.contains(key)) continue;
            auto text = fieldText(trade[key]);
            if (!text) {
                problems.add(std::string("\"") + key + "\" must be a species number or name.");
            } else if (auto value = speciesValue(*text, stored, what); !value) {
                problems.add(value.error().message);
            } else {
                changes.push_back([member = target, number = *value](TradeEdit& e) { e.*member = number; });
            }
        }
        readName(trade, "nickname", "nicknameBytes", &TradeEdit::nickname, &TradeEdit::nicknameBytes,
                 nameField(shown, kNicknameAt), problems, changes);
        readName(trade, "originalTrainer", "originalTrainerBytes", &TradeEdit::trainerName,
                 &TradeEdit::trainerNameBytes, nameField(shown, kTrainerNameAt), problems, changes);
        if (trade.contains("id")) {
            auto text = fieldText(trade["id"]);
            if (!text) problems.add("\"id\" must be a number from 0 to 65535.");
            else changes.push_back([id = fromUtf8(*text).value_or(u"?")](TradeEdit& e) { e.trainerId = id; });
        }
        // Each change is checked on its own, so that every problem is told.
        TradeEdit edit = uneditedEdit(shown);
        for (const Change& change : changes) {
            TradeEdit alone = uneditedEdit(shown);
            change(alone);
            if (auto planned = planTradeRecord(alone); !planned) problems.add(planned.error().message);
            change(edit);
        }
        // Together they may still clash (a name given as text and as bytes).
        if (plan.problems.size() == problemsBefore) {
            if (auto planned = planTradeRecord(edit); !planned) problems.add(planned.error().message);
        }
        plan.edits.emplace_back(slot, std::move(edit));
    }
    return plan;
}

}  // namespace kestrane::cli
