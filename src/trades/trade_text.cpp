#include "trades/trade_text.h"

#include "trades/dvs.h"
#include "trades/field_table.h"
#include "trades/fields.h"
#include "trades/game_data.h"
#include "support/hex_text.h"
#include "support/utf.h"
#include "support/words.h"
#include "trades/creature_list.h"
#include "trades/record_layout.h"

#include <algorithm>

namespace kestrane {

std::string speciesLabel(const Rom& rom, SpeciesId species) {
    if (auto number = rom.species->numberOf(species)) return std::to_string(*number) + " " + std::string(rom.species->name(species));
    return unlistedSpeciesText(species) + " (no list entry)";
}

std::string numbersText(const std::vector<std::uint32_t>& numbers) {
    std::string text;
    for (std::uint32_t n : numbers) text += (text.empty() ? "" : "/") + std::to_string(n);
    return text;
}

std::optional<std::string> itemNumberName(const Rom& rom, Field field, std::uint32_t number) {
    const FieldRow& row = fieldRow(field);
    if (row.itemZero.empty() || !rom.items) return std::nullopt;
    return number == 0 ? std::string(row.itemZero) : itemLabel(rom.items, ItemId(number));
}

std::vector<FieldText> fieldTexts(const Rom& rom, const TradeRecord& r) {
    std::vector<FieldText> texts;
    auto add = [&](Field field, std::string text) { texts.push_back({field, fieldRow(field).label, std::move(text)}); };
    add(Field::RequestedSpecies, speciesLabel(rom, r.requestedSpecies));
    add(Field::OfferedSpecies, speciesLabel(rom, r.offeredSpecies));
    add(Field::Nickname, toUtf8(r.nickname));
    if (r.trainerName) add(Field::TrainerName, toUtf8(*r.trainerName));
    if (r.trainerId) add(Field::TrainerId, std::to_string(*r.trainerId));
    if (r.heldItem) add(Field::HeldItem, itemLabel(rom.items, *r.heldItem) + " (" + std::to_string(*r.heldItem) + ")");
    if (r.dvs) add(Field::Dvs, dvsText(*r.dvs));
    if (r.genderRequirement) add(Field::GenderRequirement, genderRequirementKey(*r.genderRequirement));
    if (r.dialogSet) add(Field::DialogSet, dialogSetKey(*rom.release, *r.dialogSet) + " (" + std::to_string(*r.dialogSet) + ")");
    for (const auto& [field, numbers] : r.numbers) {
        const NumberWord* word = numbers.size() == 1 ? wordOf(fieldRow(field), numbers.front()) : nullptr;
        const NumberPlace* place = rom.release->layout.numberPlace(field);
        const auto item = numbers.size() == 1 ? itemNumberName(rom, field, numbers.front()) : std::nullopt;
        // A word of four bytes is a pattern of bits more than an amount: in hex first.
        if (word) add(field, std::string(word->word) + " (" + std::to_string(numbers.front()) + ")");
        else if (item) add(field, *item + " (" + std::to_string(numbers.front()) + ")");
        else if (place && place->width == 4 && numbers.size() == 1) {
            add(field, "0x" + toPaddedHex(std::int32_t(numbers.front()), 8) + " (" + std::to_string(numbers.front()) + ")");
        }
        else add(field, numbersText(numbers));
    }
    // In the field table's order (the mail beside its item).
    auto rank = [](Field field) { return findFieldRow(field) - std::begin(kFieldRows); };
    std::stable_sort(texts.begin(), texts.end(), [&](const FieldText& a, const FieldText& b) { return rank(a.field) < rank(b.field); });
    return texts;
}

std::string givenAtTradeText(const Rom& rom) {
    const RecordLayout& layout = rom.release->layout;
    std::vector<std::string> given;
    if (!layout.has(Field::TrainerName)) {
        given.push_back("OT " + (rom.words->givenTrainer.empty() ? std::string("TRAINER") : rom.words->givenTrainer));
    }
    std::vector<std::string> random;
    if (!layout.has(Field::TrainerId)) random.emplace_back("ID");
    if (!layout.has(Field::Dvs) && !layout.has(Field::Ivs) && !layout.has(Field::StatDvs)) random.emplace_back("DVs");
    if (!random.empty()) given.push_back(joinedList(random) + " chosen at random when the trade happens");
    std::string text;
    for (const std::string& part : given) text += (text.empty() ? "" : ", ") + part;
    return text;
}

namespace {

// Whether a field holds other values in the two readings: typed values, and
// names by their bytes (a byte the text cannot show counts too).
bool differs(Field field, const TradeRecord& before, const TradeRecord& after, const Rom& beforeRom, const Rom& afterRom) {
    auto nameBytes = [](const TradeRecord& r, const std::optional<NameLayout>& layout) {
        if (!layout) return std::vector<std::uint8_t>();
        const auto field = nameField(r.raw, *layout);
        return std::vector<std::uint8_t>(field.begin(), field.end());
    };
    const RecordLayout& a = beforeRom.release->layout;
    const RecordLayout& b = afterRom.release->layout;
    const bool sameCharacters = beforeRom.release->charset == afterRom.release->charset;
    // Families number species their own way (one keeps internal indexes,
    // another Pokédex numbers): across them a species is the same by its number.
    auto otherSpecies = [&](SpeciesId was, SpeciesId is) {
        if (beforeRom.release->family == afterRom.release->family) return was != is;
        const auto a = beforeRom.species->numberOf(was), b = afterRom.species->numberOf(is);
        return a && b ? *a != *b : was != is;
    };
    switch (field) {
    case Field::RequestedSpecies: return otherSpecies(before.requestedSpecies, after.requestedSpecies);
    case Field::OfferedSpecies: return otherSpecies(before.offeredSpecies, after.offeredSpecies);
    case Field::Nickname:
        return sameCharacters ? nameBytes(before, a.nickname) != nameBytes(after, b.nickname)
                              : before.nickname != after.nickname;
    case Field::TrainerName:
        return sameCharacters ? nameBytes(before, a.trainerName) != nameBytes(after, b.trainerName)
                              : before.trainerName != after.trainerName;
    case Field::TrainerId: return before.trainerId != after.trainerId;
    case Field::HeldItem: return before.heldItem != after.heldItem;
    case Field::Dvs: return before.dvs != after.dvs;
    case Field::GenderRequirement: return before.genderRequirement != after.genderRequirement;
    case Field::DialogSet: return before.dialogSet != after.dialogSet;
    case Field::Presence: return false;
    default: {
        const auto was = before.numbers.find(field), is = after.numbers.find(field);
        return was != before.numbers.end() && is != after.numbers.end() && was->second != is->second;
    }
    }
}

}  // namespace

std::vector<FieldChange> fieldChanges(const Rom& beforeRom, const TradeRecord& before, const Rom& afterRom,
                                      const TradeRecord& after) {
    const std::vector<FieldText> old = fieldTexts(beforeRom, before);
    const std::vector<FieldText> now = fieldTexts(afterRom, after);
    std::vector<FieldChange> changes;
    for (const FieldText& was : old) {
        const auto is = std::find_if(now.begin(), now.end(), [&](const FieldText& t) { return t.field == was.field; });
        if (is != now.end() && differs(was.field, before, after, beforeRom, afterRom)) {
            changes.push_back({after.slot, was.field, was.label, was.text, is->text});
        }
    }
    return changes;
}

std::vector<FieldChange> fieldChanges(const Rom& rom, const TradeRecord& before, const TradeRecord& after) {
    return fieldChanges(rom, before, rom, after);
}

Result<std::vector<FieldChange>, Problems> plannedChanges(const Rom& rom, std::span<const TradeEdit> edits) {
    std::vector<FieldChange> changes;
    Problems problems;
    for (const TradeEdit& edit : edits) {
        auto bytes = planTradeRecord(rom, edit);
        if (!bytes) {
            problems.insert(problems.end(), bytes.error().begin(), bytes.error().end());
            continue;
        }
        const TradeRecord& shown = edit.shown;
        const TradeRecord after = recordWith(*rom.release, shown, *bytes);
        for (FieldChange& change : fieldChanges(rom, shown, after)) changes.push_back(std::move(change));
    }
    if (!problems.empty()) return problems;
    return changes;
}

std::string changeLine(const FieldChange& change) {
    return change.slot.name() + "  " + std::string(change.label) + "  " + change.before + " \u2192 " + change.after;
}

TraderWords traderWords(const Rom& rom, const TradeRecord& record) {
    return {rom.traderLines(record.dialogSet.value_or(0), record.requestedSpecies, record.offeredSpecies, record.genderRequirement),
            !rom.words->lines.empty(), rom.words->linesWhyNot};
}

std::string kestranesWordsNote(const TraderWords& said) {
    return "Kestrane's words; the ROM's lines are not shown: " + said.why;
}

std::vector<ReadOut> dvReadOuts(const Rom& rom, const Dvs& dvs, std::optional<SpeciesId> offered) {
    const auto ratio = offered ? genderRatioOf(rom.genderRatios, *offered) : std::nullopt;
    std::vector<ReadOut> outs = {
        {"Shiny", "Shiny", isShiny(dvs) ? "yes" : "no"},
        {"HP DV", "HP DV", std::to_string(hpDv(dvs))},
        {"Received gender", "Gender", std::string(receivedGenderText(receivedGender(dvs, ratio)))},
    };
    if (offered == kUnown) outs.push_back({"Unown letter", "Unown letter", std::string(1, unownLetter(dvs))});
    return outs;
}

std::string oneLine(std::string_view line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\n') {
            out += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '\n') {
            out += " // ";
            ++i;
        } else {
            out += " / ";
        }
    }
    return out;
}

}  // namespace kestrane
