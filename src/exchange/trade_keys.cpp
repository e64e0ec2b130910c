#include "exchange/trade_keys.h"

#include <algorithm>
#include <climits>

#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "trades/field_table.h"
#include "trades/fields.h"
#include "trades/game_data.h"
#include "trades/creature_list.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"

namespace kestrane::exchange {
namespace {

using Read = std::optional<std::string>;

// A JSON whole number as a number, however large (saturated at int64's ends).
std::int64_t wholeNumber(const nlohmann::json& value) {
    if (value.is_number_unsigned()) {
        return std::int64_t(std::min<std::uint64_t>(value.get<std::uint64_t>(), std::uint64_t(INT64_MAX)));
    }
    return value.get<std::int64_t>();
}

// A text a person typed, or a whole number; a number is taken as the number
// it is: a fraction or an exponent is not a whole number.
Read textOrNumber(const nlohmann::json& value, std::optional<Given>& target, std::string_view expected) {
    if (value.is_string()) target = value.get<std::string>();
    else if (value.is_number_integer()) target = wholeNumber(value);
    else if (value.is_number()) return "must be a whole number or a text (" + std::string(expected) + "), not " + value.dump() + ".";
    else return "must be " + std::string(expected) + ".";
    return std::nullopt;
}

Read text(const nlohmann::json& value, std::optional<std::string>& target) {
    if (!value.is_string()) return "must be a text.";
    target = value.get<std::string>();
    return std::nullopt;
}

Read nameBytes(const nlohmann::json& value, std::optional<NameBytes>& target) {
    const Read wrong = "must be bytes in hexadecimal, such as \"91 8E 82 8A 98 50 50 50 50 50\".";
    if (!value.is_string()) return wrong;
    std::string digits = value.get<std::string>();
    std::erase(digits, ' ');
    auto bytes = hexToBytes(digits);
    if (!bytes || digits.size() % 2 != 0 || bytes->empty()) return wrong;
    target = *bytes;
    return std::nullopt;
}

// DVs given as {"attack": 15, ...}, an absent DV kept.
Read dvs(const nlohmann::json& value, GivenEdit& edit, const TradeRecord& shown) {
    const Read wrong = "must be an object of whole numbers such as {\"attack\": 15, \"defense\": 10, \"speed\": 10, \"special\": 10}.";
    if (!value.is_object()) return wrong;
    Dvs given = shown.dvs.value_or(Dvs{});
    int* const parts[] = {&given.attack, &given.defense, &given.speed, &given.special};
    for (std::size_t i = 0; i < std::size(kDvParts); ++i) {
        const std::string key(kDvParts[i].key);
        if (!value.contains(key)) continue;
        if (!value[key].is_number_integer()) return wrong;
        *parts[i] = int(std::clamp<std::int64_t>(wholeNumber(value[key]), INT_MIN, INT_MAX));
    }
    edit.dvs = given;
    return std::nullopt;
}

// A species as people number it (its Pokédex number), or "#N" where it has none.
Json speciesJson(const Rom& rom, SpeciesId species) {
    if (auto number = rom.species->numberOf(species)) return *number;
    return unlistedSpeciesText(species);
}
Json speciesName(const Rom& rom, SpeciesId species) {
    return rom.species->listed(species) ? Json(rom.species->name(species)) : Json(nullptr);
}

template <typename T>
std::optional<Json> optional(const std::optional<T>& value) {
    return value ? std::optional<Json>(Json(*value)) : std::nullopt;
}

// A read-out of the family's, as JSON: a text, or a yes or no.
std::optional<Json> readOutJson(const Rom& rom, const TradeRecord& r, std::string_view key) {
    for (const ReadOut& out : rom.release->family().readOuts(rom, r)) {
        if (out.key != key) continue;
        if (!out.numbers.empty()) return Json(out.numbers);
        return out.flag ? Json(*out.flag) : Json(out.text);
    }
    return std::nullopt;
}

// A read-out given in a table: kept, to be checked against what the numbers make.
Read readOutGiven(const nlohmann::json& value, GivenEdit& edit, std::string_view key) {
    if (value.is_boolean()) edit.readOuts.emplace_back(key, value.get<bool>() ? "yes" : "no");
    else if (value.is_string()) edit.readOuts.emplace_back(key, value.get<std::string>());
    else if (!value.is_null()) return "must be a text or true or false.";
    return std::nullopt;
}

constexpr const char* kSpecies = "a species number or name";
constexpr const char* kNameOrNumber = "a name or a number";

constexpr TradeKey kKeys[] = {
    {"location", Field::Presence, [](const Rom&, const TradeRecord& r) { return std::optional<Json>(r.location); }, nullptr},
    {fieldRow(Field::RequestedSpecies).key, Field::RequestedSpecies, [](const Rom& rom, const TradeRecord& r) { return std::optional<Json>(speciesJson(rom, r.requestedSpecies)); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return textOrNumber(v, e.requestedSpecies, kSpecies); }},
    {"requestedName", Field::RequestedSpecies,
     [](const Rom& rom, const TradeRecord& r) { return std::optional<Json>(speciesName(rom, r.requestedSpecies)); }, nullptr},
    {fieldRow(Field::OfferedSpecies).key, Field::OfferedSpecies, [](const Rom& rom, const TradeRecord& r) { return std::optional<Json>(speciesJson(rom, r.offeredSpecies)); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return textOrNumber(v, e.offeredSpecies, kSpecies); }},
    {"offeredName", Field::OfferedSpecies,
     [](const Rom& rom, const TradeRecord& r) { return std::optional<Json>(speciesName(rom, r.offeredSpecies)); }, nullptr},
    {fieldRow(Field::Nickname).key, Field::Nickname, [](const Rom&, const TradeRecord& r) { return std::optional<Json>(toUtf8(r.nickname)); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return text(v, e.nickname); }},
    {fieldRow(Field::TrainerName).key, Field::TrainerName,
     [](const Rom&, const TradeRecord& r) { return r.trainerName ? std::optional<Json>(toUtf8(*r.trainerName)) : std::nullopt; },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return text(v, e.trainerName); }},
    {fieldRow(Field::TrainerId).key, Field::TrainerId, [](const Rom&, const TradeRecord& r) { return optional(r.trainerId); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return textOrNumber(v, e.trainerId, "a number from 0 to 65535"); }},
    {fieldRow(Field::HeldItem).key, Field::HeldItem, [](const Rom&, const TradeRecord& r) { return optional(r.heldItem); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return textOrNumber(v, e.heldItem, kNameOrNumber); }},
    {"heldItemName", Field::HeldItem,
     [](const Rom& rom, const TradeRecord& r) -> std::optional<Json> {
         if (!r.heldItem) return std::nullopt;
         return *r.heldItem == 0 || rom.items ? Json(itemLabel(rom.items, *r.heldItem)) : Json(nullptr);
     },
     nullptr},
    {fieldRow(Field::Dvs).key, Field::Dvs,
     [](const Rom&, const TradeRecord& r) -> std::optional<Json> {
         if (!r.dvs) return std::nullopt;
         const int parts[] = {r.dvs->attack, r.dvs->defense, r.dvs->speed, r.dvs->special};
         Json dvs = Json::object();
         for (std::size_t i = 0; i < std::size(kDvParts); ++i) dvs[std::string(kDvParts[i].key)] = parts[i];
         return dvs;
     },
     dvs},
    {"shiny", Field::Dvs,
     [](const Rom& rom, const TradeRecord& r) { return r.dvs ? std::optional<Json>(isShiny(*r.dvs)) : readOutJson(rom, r, "shiny"); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return readOutGiven(v, e, "shiny"); }},
    {"nature", Field::Personality, [](const Rom& rom, const TradeRecord& r) { return readOutJson(rom, r, "nature"); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return readOutGiven(v, e, "nature"); }},
    {"ability", Field::Personality, [](const Rom& rom, const TradeRecord& r) { return readOutJson(rom, r, "ability"); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return readOutGiven(v, e, "ability"); }},
    {"gender", Field::Personality, [](const Rom& rom, const TradeRecord& r) { return readOutJson(rom, r, "gender"); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return readOutGiven(v, e, "gender"); }},
    {"abilityName", Field::AbilityNum, [](const Rom& rom, const TradeRecord& r) { return readOutJson(rom, r, "abilityName"); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return readOutGiven(v, e, "abilityName"); }},
    {"mailWords", Field::Mail, [](const Rom& rom, const TradeRecord& r) { return readOutJson(rom, r, "mailWords"); }, nullptr},
    {"unownLetter", Field::Personality, [](const Rom& rom, const TradeRecord& r) { return readOutJson(rom, r, "unownLetter"); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return readOutGiven(v, e, "unownLetter"); }},
    {"hpDv", Field::Dvs, [](const Rom&, const TradeRecord& r) { return r.dvs ? std::optional<Json>(hpDv(*r.dvs)) : std::nullopt; },
     nullptr},
    {fieldRow(Field::GenderRequirement).key, Field::GenderRequirement,
     [](const Rom&, const TradeRecord& r) {
         return r.genderRequirement ? std::optional<Json>(genderRequirementKey(*r.genderRequirement)) : std::nullopt;
     },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return textOrNumber(v, e.genderRequirement, kNameOrNumber); }},
    {fieldRow(Field::DialogSet).key, Field::DialogSet,
     [](const Rom& rom, const TradeRecord& r) { return r.dialogSet ? std::optional<Json>(dialogSetKey(*rom.release, *r.dialogSet)) : std::nullopt; },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return textOrNumber(v, e.dialogSet, kNameOrNumber); }},
    {"dialog", Field::DialogSet,
     [](const Rom& rom, const TradeRecord& r) -> std::optional<Json> {
         if (rom.release->dialogSets.empty()) return std::nullopt;  // each trader's lines its own script's
         const TraderWords said = traderWords(rom, r);
         Json dialog = said.fromRom ? Json{{"from", "rom"}} : Json{{"from", "built in"}, {"why", said.why}};
         for (std::size_t phase = 0; phase < said.lines.size(); ++phase) {
             dialog[std::string(kLinePhases[phase].key)] = said.fromRom || phase == 0 ? Json(said.lines[phase]) : Json(nullptr);
         }
         return std::optional<Json>(std::move(dialog));
     },
     nullptr},
    {"nicknameBytes", Field::Nickname,
     [](const Rom& rom, const TradeRecord& r) { return std::optional<Json>(spacedHex(nameField(r.raw, rom.release->layout.nickname))); },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return nameBytes(v, e.nicknameBytes); }},
    {"originalTrainerBytes", Field::TrainerName,
     [](const Rom& rom, const TradeRecord& r) -> std::optional<Json> {
         const auto& layout = rom.release->layout.trainerName;
         if (!layout) return std::nullopt;
         return Json(spacedHex(nameField(r.raw, *layout)));
     },
     [](const nlohmann::json& v, GivenEdit& e, const TradeRecord&) { return nameBytes(v, e.trainerNameBytes); }},
    {"recordBytes", Field::Presence, [](const Rom&, const TradeRecord& r) { return std::optional<Json>(spacedHex(r.raw)); }, nullptr},
    {"warnings", Field::Presence,
     [](const Rom& rom, const TradeRecord& r) {
         Json warnings = Json::array();
         for (const TradeWarning& warning : tradeWarnings(rom, r)) {
             warnings.push_back(Json{{"field", keyOf(warning.field)}, {"text", warning.text}});
         }
         return std::optional<Json>(std::move(warnings));
     },
     nullptr},
};

}  // namespace

std::span<const TradeKey> tradeKeys() { return kKeys; }

void writeNumbers(const TradeRecord& record, Json& trade) {
    for (const auto& [field, numbers] : record.numbers) {
        const FieldRow& row = fieldRow(field);
        if (row.parts.empty()) {
            const NumberWord* word = wordOf(row, numbers.front());
            trade[std::string(row.key)] = !word ? Json(numbers.front()) : word->null ? Json(nullptr) : Json(word->word);
            continue;
        }
        Json parts = Json::object();
        for (std::size_t i = 0; i < row.parts.size() && i < numbers.size(); ++i) parts[std::string(row.parts[i].key)] = numbers[i];
        trade[std::string(row.key)] = std::move(parts);
    }
}

void readNumbers(const nlohmann::json& trade, GivenEdit& edit, const TradeRecord& shown, std::vector<std::string>& wrong) {
    for (const FieldRow& row : kFieldRows) {
        const std::string key(row.key);
        if (row.field <= Field::Presence || !trade.contains(key)) continue;
        const nlohmann::json& value = trade[key];
        if (row.parts.empty()) {
            const auto null = std::ranges::find_if(row.words, [](const NumberWord& w) { return w.null; });
            if (value.is_number_integer()) edit.numbers[row.field] = wholeNumber(value);
            else if (value.is_null() && null != row.words.end()) edit.numbers[row.field] = std::int64_t(null->number);
            else if (value.is_string() && !row.words.empty()) edit.numbers[row.field] = value.get<std::string>();
            else {
                std::vector<std::string> words;
                for (const NumberWord& w : row.words) words.push_back(w.null ? "null" : "\"" + std::string(w.word) + "\"");
                wrong.push_back("\"" + key + "\" must be a whole number" + (words.empty() ? "" : " or " + joinedList(words, 0, "or")) + ".");
            }
            continue;
        }
        // The parts as the record holds them, each given one taking its place.
        const auto stored = shown.numbers.find(row.field);
        std::vector<std::int64_t> parts(row.parts.size(), 0);
        if (stored != shown.numbers.end()) std::copy(stored->second.begin(), stored->second.end(), parts.begin());
        bool ok = value.is_object();
        for (std::size_t i = 0; ok && i < row.parts.size(); ++i) {
            const std::string part(row.parts[i].key);
            if (!value.contains(part)) continue;
            ok = value[part].is_number_integer();
            if (ok) parts[i] = wholeNumber(value[part]);
        }
        if (!ok) {
            wrong.push_back("\"" + key + "\" must be an object of whole numbers, one for each of " +
                            [&] {
                                std::vector<std::string> keys;
                                for (const FieldPart& p : row.parts) keys.emplace_back(p.key);
                                return joinedList(keys);
                            }() +
                            ".");
            continue;
        }
        std::string text;
        for (std::int64_t n : parts) text += (text.empty() ? "" : "/") + std::to_string(n);
        edit.numbers[row.field] = text;
    }
}

std::string_view keyOf(Field field) {
    for (const TradeKey& k : kKeys) {
        if (k.field == field && k.read) return k.key;
    }
    return {};
}

}  // namespace kestrane::exchange
