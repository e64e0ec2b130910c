#include "trades/trade_warnings.h"

#include <algorithm>

#include "trades/game_data.h"
#include "trades/record_layout.h"
#include "trades/creature_list.h"
#include "trades/values.h"

namespace kestrane {
namespace {

std::string speciesName(const Rom& rom, SpeciesId species) { return std::string(rom.species->name(species)); }

// Why a species is no creature, or "" where it is one.
std::string noCreature(const Rom& rom, SpeciesId species) {
    if (species == 0) return "Species 0 is no creature";
    if (species == rom.release->layout.egg()) return "Species " + std::to_string(species) + " is the egg, not a creature";
    if (!rom.species->listed(species)) {
        const int last = rom.species->lastNumber();
        if (species > last) return "Species " + std::to_string(species) + " is past the last creature (" + std::to_string(last) + ")";
        return "Species " + unlistedSpeciesText(species) + " has no Pok\u00e9dex number, no creature";
    }
    return {};
}

}  // namespace

std::vector<TradeWarning> tradeWarnings(const Rom& rom, const TradeRecord& r) {
    std::vector<TradeWarning> warnings;
    const auto requirement = r.genderRequirement.value_or(GenderRequirement::Either);
    if (std::string why = noCreature(rom, r.requestedSpecies); !why.empty()) {
        warnings.push_back({Field::RequestedSpecies, why + ", so no player can ever give the trader one."});
    } else if (auto ratio = genderRatioOf(rom.genderRatios, r.requestedSpecies); ratio && requirement != GenderRequirement::Either) {
        const bool male = requirement == GenderRequirement::Male;
        const char* asked = male ? "a male one" : "a female one";
        const std::string name = speciesName(rom, r.requestedSpecies);
        // The game's check (CheckTradeGender) asks GetGender, which answers
        // "female" for a genderless creature too: only a male one can never be.
        if (*ratio == kGenderless && male) {
            warnings.push_back({Field::GenderRequirement, name + " has no gender, so a trader asking for " + asked + " can never trade."});
        } else if (*ratio == (male ? kAlwaysFemale : kAlwaysMale)) {
            warnings.push_back({Field::GenderRequirement, name + " is always " + (male ? "female" : "male") +
                                                              ", so a trader asking for " + asked + " can never trade."});
        }
    }
    if (std::string why = noCreature(rom, r.offeredSpecies); !why.empty()) {
        warnings.push_back({Field::OfferedSpecies, why + ", so the player would receive a broken one."});
    }
    if (rom.items && r.heldItem && *r.heldItem != 0 && *r.heldItem < rom.items->size()) {
        const std::string& name = (*rom.items)[*r.heldItem];
        // Unused slots share one name ("TERU-SAMA"); every real item has its own.
        if (std::count(rom.items->begin() + 1, rom.items->end(), name) > 1) {
            warnings.push_back({Field::HeldItem, "Item " + std::to_string(*r.heldItem) + " (" + name +
                                                     ") is an unused slot, not an item, so the creature would hold nothing real."});
        }
    }
    if (r.nickname.empty()) warnings.push_back({Field::Nickname, "The nickname is empty, so the creature would arrive without a name."});
    if (r.trainerName && r.trainerName->empty()) {
        warnings.push_back({Field::TrainerName, "The original trainer's name is empty, so the creature would show no trainer."});
    }
    rom.release->family().addWarnings(rom, r, warnings);
    return warnings;
}

std::vector<TradeWarning> tradeWarnings(const Rom& rom, const TradeEdit& edit) {
    auto bytes = planTradeRecord(rom, edit);
    if (!bytes) return {};
    const TradeRecord& shown = edit.shown;
    return tradeWarnings(rom, recordWith(*rom.release, shown, *bytes));
}

std::string warningLine(Slot slot, const TradeWarning& warning) { return "Warning: " + slot.name() + ": " + warning.text; }

}  // namespace kestrane
