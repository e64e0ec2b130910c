#include "trades/pokedex.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <string>

#include "support/words.h"

namespace kestrane {
namespace {

constexpr std::array<std::string_view, kSpeciesCount> kSpecies = {
    "?????",  // 0
    // 1-10
    "Bulbasaur ", "Ivysaur ", "Venusaur ", "Charmander ", "Charmeleon ", "Charizard ", "Squirtle ", "Wartortle ", "Blastoise ", "Caterpie ",
    // 11-20
    "Metapod ", "Butterfree ", "Weedle ", "Kakuna ", "Beedrill ", "Pidgey ", "Pidgeotto ", "Pidgeot ", "Rattata ", "Raticate ",
    // 21-30
    "Spearow ", "Fearow ", "Ekans ", "Arbok ", "Pikachu ", "Raichu ", "Sandshrew ", "Sandslash ", "Nidoran (f)", "Nidorina ",
    // 31-40
    "Nidoqueen ", "Nidoran (m)", "Nidorino ", "Nidoking ", "Clefairy ", "Clefable ", "Vulpix ", "Ninetails ", "Jigglypuff ", "Wigglytuff ",
    // 41-50
    "Zubat ", "Golbat ", "Oddish ", "Gloom ", "Vileplume ", "Paras ", "Parasect ", "Venonat ", "Venomoth ", "Diglett ",
    // 51-60
    "Dugtrio ", "Meowth ", "Persian ", "Psyduck ", "Golduck ", "Mankey ", "Primeape ", "Growlithe ", "Arcanine ", "Poliwag ",
    // 61-70
    "Poliwhirl ", "Poliwrath ", "Abra ", "Kadabra ", "Alakazam ", "Machop ", "Machoke ", "Machamp ", "Bellsprout ", "Weepinbell ",
    // 71-80
    "Victreebel ", "Tentacool ", "Tentacruel ", "Geodude ", "Graveler ", "Golem ", "Ponyta ", "Rapidash ", "Slowpoke ", "Slowbro ",
    // 81-90
    "Magnemite ", "Magneton ", "Farfetch'd ", "Doduo ", "Dodrio ", "Seel ", "Dewgong ", "Grimer ", "Muk ", "Shellder ",
    // 91-100
    "Cloyster ", "Gastly ", "Haunter ", "Gengar ", "Onix ", "Drowzee ", "Hypno ", "Krabby ", "Kingler ", "Voltorb ",
    // 101-110
    "Electrode ", "Exeggcute ", "Exeggutor ", "Cubone ", "Marowak ", "Hitmonlee ", "Hitmonchan ", "Lickitung ", "Koffing ", "Weezing ",
    // 111-120
    "Rhyhorn ", "Rhydon ", "Chansey ", "Tangela ", "Kangaskhan ", "Horsea ", "Seadra ", "Goldeen ", "Seaking ", "Staryu ",
    // 121-130
    "Starmie ", "Mr. Mime ", "Scyther ", "Jynx ", "Electabuzz ", "Magmar ", "Pinsir ", "Tauros ", "Magikarp ", "Gyarados ",
    // 131-140
    "Lapras ", "Ditto ", "Eevee ", "Vapereon ", "Jolteon ", "Flareon ", "Porygon ", "Omanyte ", "Omastar ", "Kabuto ",
    // 141-150
    "Kabutops ", "Aerodactyl ", "Snorlax ", "Articuno ", "Zapdos ", "Moltres ", "Dratini ", "Dragonair ", "Dragonite ", "Mewtwo ",
    // 151-160
    "Mew", "Chikorita ", "Bayleef ", "Meganium ", "Cyndaquil ", "Quilava ", "Typhlosion ", "Totodile ", "Croconaw ", "Feraligatr ",
    // 161-170
    "Sentret ", "Furret ", "Hoothoot ", "Noctowl ", "Ledyba ", "Ledian ", "Spinarak ", "Araidos ", "Crobat ", "Chinchou ",
    // 171-180
    "Lanturn ", "Pichu ", "Cleffa ", "Igglybuff ", "Togepi ", "Togetic ", "Natu ", "Xatu ", "Mareep ", "Flaaffy ",
    // 181-190
    "Ampharos ", "Bellossom ", "Marill ", "Azumarill ", "Sudowoodo ", "Politoed ", "Hoppip ", "Skiploom ", "Jumpluff ", "Aipom ",
    // 191-200
    "Sunkern ", "Sunflora ", "Yanma ", "Wooper ", "Quagsire ", "Espeon ", "Umbreon ", "Murkrow ", "Slowking ", "Misdreavus ",
    // 201-210
    "Unown", "Wobbuffet ", "Girafarig ", "Pineco ", "Forretress ", "Dunsparce ", "Gligar ", "Steelix ", "Snubbull ", "Granbull ",
    // 211-220
    "Qwilfish ", "Scizor ", "Shuckle ", "Heracross ", "Sneasel ", "Teddiursa ", "Ursaring ", "Slugma ", "Magcargo ", "Sniwub ",
    // 221-230
    "Piloswine ", "Corsola ", "Remoraid ", "Octillery ", "Delibird ", "Mantine ", "Skarmory ", "Houndour ", "Houndoom ", "Kingdra ",
    // 231-240
    "Phanpy ", "Donphan ", "Porygon2 ", "Stantler ", "Smeargle ", "Tyrogue ", "Hitmontop ", "Smoochum ", "Elekid ", "Magby ",
    // 241-250
    "Miltank ", "Blissey ", "Raikou ", "Entei ", "Suicune ", "Larvitar ", "Pupitar ", "Tyranitar ", "Lugia ", "Ho-oh ",
    // 251-251
    "Celebi ",
};

// Accepted, never shown: the usual spellings of entries the list spells otherwise.
constexpr std::pair<std::string_view, int> kAliases[] = {
    {"Ninetales", 38}, {"Vaporeon", 134}, {"Ariados", 168}, {"Swinub", 220}};

// " Did you mean Pikachu?" for a name that matched none.
std::string nearNames(const NameMatch& match, const SpeciesNames& names) {
    std::vector<std::string> suggestions;
    for (std::size_t species : match.nearest) suggestions.emplace_back(names.name(int(species)));
    return didYouMean(suggestions);
}

}  // namespace

std::span<const std::string_view> speciesList() { return kSpecies; }

std::string_view speciesName(int index) {
    assert(index >= 0 && index < kSpeciesCount);
    return trimmed(kSpecies[static_cast<std::size_t>(index)]);
}

SpeciesNames::SpeciesNames() : SpeciesNames(std::vector<std::string>(), true) {}

SpeciesNames::SpeciesNames(const std::vector<std::string>& romNames, bool builtInSpelling) {
    auto aliasOf = [](int species) -> std::string_view {
        auto alias = std::find_if(std::begin(kAliases), std::end(kAliases), [&](const auto& a) { return a.second == species; });
        return alias == std::end(kAliases) ? std::string_view() : alias->first;
    };
    bool renamed = false;
    for (int i = 0; i < kSpeciesCount; ++i) {
        const std::string& rom = i >= 1 && std::size_t(i) <= romNames.size() ? romNames[std::size_t(i - 1)] : std::string();
        const std::string_view builtIn = trimmed(kSpecies[std::size_t(i)]);
        // The built-in name in another spelling ("MACHOP", "MR.MIME",
        // "NINETALES"): most are told without folding.
        bool retail = rom.empty() || (builtInSpelling && sameLetters(rom, builtIn));
        if (!retail && builtInSpelling) {
            const std::string folded = foldedName(rom);
            retail = folded == foldedName(builtIn) || (!aliasOf(i).empty() && folded == foldedName(aliasOf(i)));
        }
        entries_.push_back(retail ? std::string(kSpecies[std::size_t(i)]) : rom);
        renamed = renamed || !retail;
    }
    for (int i = 0; i < kSpeciesCount; ++i) candidates_.push_back({std::string(name(i)), std::size_t(i)});
    // The built-in names and usual spellings too, where no other species is
    // shown so (only a ROM that renamed a species can show one so).
    std::vector<std::string> shownFolded;
    if (renamed) {
        for (int i = 0; i < kSpeciesCount; ++i) shownFolded.push_back(foldedName(name(i)));
    }
    auto addUnless = [&](std::string_view other, int species) {
        const std::string folded = renamed ? foldedName(other) : std::string();
        for (std::size_t i = 0; i < shownFolded.size(); ++i) {
            if (int(i) != species && shownFolded[i] == folded) return;
        }
        candidates_.push_back({std::string(trimmed(other)), std::size_t(species)});
    };
    for (int i = 0; i < kSpeciesCount; ++i) {
        if (trimmed(kSpecies[std::size_t(i)]) != name(i)) addUnless(kSpecies[std::size_t(i)], i);
    }
    for (auto [alias, number] : kAliases) addUnless(alias, number);
}

std::string_view SpeciesNames::name(int species) const {
    assert(species >= 0 && species < kSpeciesCount);
    return trimmed(entries_[std::size_t(species)]);
}

std::shared_ptr<const SpeciesNames> builtInSpeciesNamesShared() {
    static const auto names = std::make_shared<const SpeciesNames>();
    return names;
}

const SpeciesNames& builtInSpeciesNames() { return *builtInSpeciesNamesShared(); }

std::string speciesNumbers() { return "0 to " + std::to_string(kSpeciesCount - 1); }

namespace {

// The species a name stands for, or why none: several have it, or none
// (with the names near it). `what` ends the refusal: how to give a species.
Result<std::uint8_t> speciesNamed(std::string_view text, const SpeciesNames& names, const std::string& how) {
    const NameMatch match = matchName(text, names.candidates());
    if (match.id) return std::uint8_t(*match.id);
    if (!match.ambiguous.empty()) return refused(ErrorCode::AmbiguousName, ambiguousName(text, match.ambiguous, "species"));
    return refused(ErrorCode::SpeciesNotChosen, echoed(text) + " is not a species: " + how + nearNames(match, names));
}

}  // namespace

Result<std::uint8_t> findSpecies(std::string_view text, const SpeciesNames& names) {
    text = trimmed(text);
    if (auto number = parseNumber(text)) {
        if (*number < std::uint32_t(kSpeciesCount)) return std::uint8_t(*number);
        return refused(ErrorCode::SpeciesOutOfRange, "There is no species " + excerpt(text) + ": give a number from " +
                                                         speciesNumbers() + ".");
    }
    return speciesNamed(text, names, "give its number (" + speciesNumbers() + ") or name.");
}

std::string_view speciesRoleText(SpeciesRole role) {
    return role == SpeciesRole::Requested ? "requested species (Your Pok\u00e9mon)"
                                          : "offered species (Offered Pok\u00e9mon)";
}

std::string unlistedSpeciesText(std::uint8_t stored) { return "#" + std::to_string(stored); }

Result<std::uint8_t> speciesNumbered(std::int64_t number, std::uint8_t stored, SpeciesRole role, std::string_view given) {
    if (number == stored || (number >= 0 && number < kSpeciesCount)) return std::uint8_t(number);
    return refused(ErrorCode::SpeciesOutOfRange, "The " + std::string(speciesRoleText(role)) + " " +
                                                     (given.empty() ? std::to_string(number) : excerpt(given)) +
                                                     " is not in the list: give a number from " + speciesNumbers() + ".");
}

Result<std::uint8_t> resolveSpecies(std::string_view text, std::uint8_t stored, SpeciesRole role,
                                    const SpeciesNames& names) {
    const std::string what(speciesRoleText(role));
    text = trimmed(text);
    if (text.empty()) {
        // A stored byte without a list entry cannot be chosen, only kept.
        if (stored >= kSpeciesCount) return stored;
        return refused(ErrorCode::SpeciesNotChosen, "Please choose the " + what + " from the list.");
    }
    if (auto number = parseNumber(text.substr(text.front() == '#' ? 1 : 0))) {
        return speciesNumbered(*number, stored, role, text);
    }
    return speciesNamed(text, names,
                        "choose the " + what + " from the list, or give its number (" + speciesNumbers() + ") or name.");
}

}  // namespace kestrane
