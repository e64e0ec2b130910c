#include "trades/trade_text.h"

#include "trades/fields.h"
#include "trades/game_data.h"
#include "support/utf.h"
#include "trades/pokedex.h"

namespace kestrane {

std::string speciesLabel(const Rom& rom, std::uint8_t species) {
    if (species >= kSpeciesCount) return std::to_string(species) + " (no list entry)";
    return std::to_string(species) + " " + std::string(rom.species->name(species));
}

std::vector<FieldText> fieldTexts(const Rom& rom, const TradeRecord& r) {
    return {
        {Field::RequestedSpecies, "Requested species", speciesLabel(rom, r.requestedSpecies)},
        {Field::OfferedSpecies, "Offered species", speciesLabel(rom, r.offeredSpecies)},
        {Field::Nickname, "Nickname", toUtf8(r.nickname)},
        {Field::TrainerName, "Original trainer", toUtf8(r.trainerName)},
        {Field::TrainerId, "ID", std::to_string(r.trainerId)},
        {Field::HeldItem, "Held item", itemLabel(rom.items, r.heldItem) + " (" + std::to_string(r.heldItem) + ")"},
        {Field::Dvs, "DVs", dvsText(r.dvs)},
        {Field::GenderRequirement, "Gender requirement", genderRequirementKey(r.genderRequirement)},
        {Field::DialogSet, "Dialog set", dialogSetKey(*rom.release, r.dialogSet) + " (" + std::to_string(r.dialogSet) + ")"},
    };
}

std::vector<FieldChange> fieldChanges(const Rom& beforeRom, const TradeRecord& before, const Rom& afterRom,
                                      const TradeRecord& after) {
    const std::vector<FieldText> old = fieldTexts(beforeRom, before);
    const std::vector<FieldText> now = fieldTexts(afterRom, after);
    std::vector<FieldChange> changes;
    for (std::size_t i = 0; i < old.size(); ++i) {
        // Names compare by their bytes: a byte the text cannot show counts too.
        const bool nameBytes = old[i].field == Field::Nickname || old[i].field == Field::TrainerName;
        const NameLayout& layout = old[i].field == Field::Nickname ? beforeRom.release->layout.nickname
                                                                   : beforeRom.release->layout.trainerName;
        const bool differ = nameBytes && beforeRom.release->layout.size == afterRom.release->layout.size
                                ? !std::ranges::equal(nameField(before.raw, layout), nameField(after.raw, layout))
                                : old[i].text != now[i].text;
        if (differ) changes.push_back({after.slot, old[i].field, old[i].label, old[i].text, now[i].text});
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
        const TradeRecord after = recordFromBytes(*rom.release, shown.slot, {shown.offset, shown.location}, *bytes);
        for (FieldChange& change : fieldChanges(rom, shown, after)) changes.push_back(std::move(change));
    }
    if (!problems.empty()) return problems;
    return changes;
}

std::string changeLine(const FieldChange& change) {
    return change.slot.name() + "  " + std::string(change.label) + "  " + change.before + " \u2192 " + change.after;
}

TraderWords traderWords(const Rom& rom, const TradeRecord& record) {
    return {rom.traderLines(record.dialogSet, record.requestedSpecies, record.offeredSpecies, record.genderRequirement),
            !rom.words->lines.empty(), rom.words->linesWhyNot};
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
