#include "trades/creature_list.h"

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
std::string nearNames(const NameMatch& match, const SpeciesList& list) {
    std::vector<std::string> suggestions;
    for (std::size_t id : match.nearest) suggestions.emplace_back(list.name(SpeciesId(id)));
    return didYouMean(suggestions);
}

std::string_view aliasOf(int species) {
    auto alias = std::find_if(std::begin(kAliases), std::end(kAliases), [&](const auto& a) { return a.second == species; });
    return alias == std::end(kAliases) ? std::string_view() : alias->first;
}

}  // namespace

std::span<const std::string_view> speciesList() { return kSpecies; }

std::string_view speciesName(int index) {
    assert(index >= 0 && index < kSpeciesCount);
    return trimmed(kSpecies[static_cast<std::size_t>(index)]);
}

SpeciesList::SpeciesList() : SpeciesList(std::vector<std::string>(), true) {}

SpeciesList::SpeciesList(const std::vector<std::string>& romNames, bool builtInSpelling) {
    bool renamed = false;
    // A base that adds species names them all; the built-in list names the first 251.
    const int count = std::max<int>(kSpeciesCount, int(romNames.size()) + 1);
    reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const std::string& rom = i >= 1 && std::size_t(i) <= romNames.size() ? romNames[std::size_t(i - 1)] : std::string();
        if (i >= kSpeciesCount) {
            entries_.push_back(rom);
            ids_.push_back(SpeciesId(i));
            numbers_.push_back(i);
            continue;
        }
        const std::string_view builtIn = trimmed(kSpecies[std::size_t(i)]);
        // The built-in name in another spelling ("MACHOP", "MR.MIME",
        // "NINETALES"): most are told without folding.
        bool retail = rom.empty() || (builtInSpelling && sameLetters(rom, builtIn));
        if (!retail && builtInSpelling) {
            const std::string folded = foldedName(rom);
            retail = folded == foldedName(builtIn) || (!aliasOf(i).empty() && folded == foldedName(aliasOf(i)));
        }
        entries_.push_back(retail ? std::string(kSpecies[std::size_t(i)]) : rom);
        ids_.push_back(SpeciesId(i));
        numbers_.push_back(i);
        renamed = renamed || !retail;
    }
    index();
    builtInCandidates_ = true;
    renamed_ = renamed;
}

void SpeciesList::addBuiltInCandidates() const {
    // The built-in names and usual spellings too, where no other species is
    // shown so (only a ROM that renamed a species can show one so).
    std::vector<std::string> shownFolded;
    if (renamed_) {
        for (int i = 0; i < kSpeciesCount; ++i) shownFolded.push_back(foldedName(name(SpeciesId(i))));
    }
    auto addUnless = [&](std::string_view other, int species) {
        const std::string folded = renamed_ ? foldedName(other) : std::string();
        for (std::size_t i = 0; i < shownFolded.size(); ++i) {
            if (int(i) != species && shownFolded[i] == folded) return;
        }
        candidates_.push_back({std::string(trimmed(other)), std::size_t(species)});
    };
    for (int i = 0; i < kSpeciesCount; ++i) {
        if (trimmed(kSpecies[std::size_t(i)]) != name(SpeciesId(i))) addUnless(kSpecies[std::size_t(i)], i);
    }
    for (auto [alias, number] : kAliases) addUnless(alias, number);
}

SpeciesList::SpeciesList(std::vector<Species> species, bool builtInSpelling) {
    std::stable_sort(species.begin(), species.end(), [](const Species& a, const Species& b) { return a.number < b.number; });
    reserve(species.size() + 1);
    entries_.push_back(std::string(kSpecies[0]));
    ids_.push_back(0);
    numbers_.push_back(0);
    for (Species& one : species) {
        // As in the lists by Pokédex number: the built-in entry where the ROM spells its name so.
        if (builtInSpelling && one.number >= 1 && one.number < kSpeciesCount) {
            const std::string folded = foldedName(one.name);
            const std::size_t n = std::size_t(one.number);
            if (folded == foldedName(trimmed(kSpecies[n])) || (!aliasOf(one.number).empty() && folded == foldedName(aliasOf(one.number)))) {
                one.name = std::string(kSpecies[n]);
            }
        }
        entries_.push_back(std::move(one.name));
        ids_.push_back(one.id);
        numbers_.push_back(one.number);
    }
    index();
}

// Made at its size: every opening with names makes a list.
void SpeciesList::reserve(std::size_t rows) {
    entries_.reserve(rows);
    ids_.reserve(rows);
    numbers_.reserve(rows);
}

void SpeciesList::index() {
    if (!ids_.empty()) rowById_.resize(std::size_t(*std::max_element(ids_.begin(), ids_.end())) + 1);
    for (std::size_t row = 0; row < ids_.size(); ++row) {
        rowById_[ids_[row]] = int(row);
        lastNumber_ = std::max(lastNumber_, numbers_[row]);
    }
}

const std::vector<NameCandidate>& SpeciesList::candidates() const {
    std::call_once(candidatesMade_, [this] {
        candidates_.reserve(ids_.size());
        for (std::size_t row = 0; row < ids_.size(); ++row) candidates_.push_back({std::string(trimmed(entries_[row])), ids_[row]});
        if (builtInCandidates_) addBuiltInCandidates();
    });
    return candidates_;
}

std::optional<SpeciesId> SpeciesList::idOfRow(int row) const {
    if (row < 0 || std::size_t(row) >= ids_.size()) return std::nullopt;
    return ids_[std::size_t(row)];
}

std::optional<int> SpeciesList::rowOf(SpeciesId id) const {
    return id < rowById_.size() ? rowById_[id] : std::nullopt;
}

std::optional<int> SpeciesList::numberOf(SpeciesId id) const {
    if (auto row = rowOf(id)) return numbers_[std::size_t(*row)];
    return std::nullopt;
}

std::optional<SpeciesId> SpeciesList::idOfNumber(std::int64_t number) const {
    const auto found = std::find(numbers_.begin(), numbers_.end(), number);
    if (found == numbers_.end()) return std::nullopt;
    return ids_[std::size_t(found - numbers_.begin())];
}

std::string_view SpeciesList::name(SpeciesId id) const {
    if (auto row = rowOf(id)) return trimmed(entries_[std::size_t(*row)]);
    return {};
}

std::string SpeciesList::numbersText() const { return "0 to " + std::to_string(lastNumber_); }

std::shared_ptr<const SpeciesList> builtInSpeciesListShared() {
    static const auto list = std::make_shared<const SpeciesList>();
    return list;
}

const SpeciesList& builtInSpeciesList() { return *builtInSpeciesListShared(); }

namespace {

// The species a name stands for, or why none: several have it, or none
// (with the names near it). `how` ends the refusal: how to give a species.
Result<SpeciesId> speciesNamed(std::string_view text, const SpeciesList& list, const std::string& how) {
    const NameMatch match = matchName(text, list.candidates());
    if (match.id) return SpeciesId(*match.id);
    if (!match.ambiguous.empty()) {
        // The ambiguity told in the numbers people give.
        std::vector<std::size_t> numbers;
        for (std::size_t id : match.ambiguous) numbers.push_back(std::size_t(list.numberOf(SpeciesId(id)).value_or(int(id))));
        return refused(ErrorCode::AmbiguousName, ambiguousName(text, numbers, "species"));
    }
    return refused(ErrorCode::SpeciesNotChosen, echoed(text) + " is not a species: " + how + nearNames(match, list));
}

}  // namespace

Result<SpeciesId> findSpecies(std::string_view text, const SpeciesList& list) {
    text = trimmed(text);
    if (auto number = parseNumber(text)) {
        if (auto id = list.idOfNumber(*number)) return *id;
        return refused(ErrorCode::SpeciesOutOfRange, "There is no species " + excerpt(text) + ": give a number from " +
                                                         list.numbersText() + ".");
    }
    return speciesNamed(text, list, "give its number (" + list.numbersText() + ") or name.");
}

std::string_view speciesRoleText(SpeciesRole role) {
    return role == SpeciesRole::Requested ? "requested species (Your Pok\u00e9mon)"
                                          : "offered species (Offered Pok\u00e9mon)";
}

std::string unlistedSpeciesText(SpeciesId stored) { return "#" + std::to_string(stored); }

std::string speciesNumberText(const SpeciesList& list, SpeciesId stored) {
    const auto number = list.numberOf(stored);
    return number ? std::to_string(*number) : unlistedSpeciesText(stored);
}

Result<SpeciesId> speciesChosen(SpeciesId id, SpeciesId stored, SpeciesRole role, const SpeciesList& list) {
    if (id == stored || list.listed(id)) return id;
    return refused(ErrorCode::SpeciesOutOfRange, "The " + std::string(speciesRoleText(role)) + " " + unlistedSpeciesText(id) +
                                                     " is not in the list: give a number from " + list.numbersText() + ".");
}

Result<SpeciesId> speciesNumbered(std::int64_t number, SpeciesId stored, SpeciesRole role, const SpeciesList& list,
                                  std::string_view given) {
    if (auto id = list.idOfNumber(number)) return *id;
    // A stored species without an entry is kept by its own ID, never chosen.
    if (number == stored && !list.listed(stored)) return stored;
    return refused(ErrorCode::SpeciesOutOfRange, "The " + std::string(speciesRoleText(role)) + " " +
                                                     (given.empty() ? std::to_string(number) : excerpt(given)) +
                                                     " is not in the list: give a number from " + list.numbersText() + ".");
}

Result<SpeciesId> resolveSpecies(std::string_view text, SpeciesId stored, SpeciesRole role, const SpeciesList& list) {
    const std::string what(speciesRoleText(role));
    text = trimmed(text);
    if (text.empty()) {
        // A stored species without a list entry cannot be chosen, only kept.
        if (!list.listed(stored)) return stored;
        return refused(ErrorCode::SpeciesNotChosen, "Please choose the " + what + " from the list.");
    }
    // "#N": the stored ID itself, as an unlisted species is shown.
    if (text.front() == '#') {
        if (auto id = parseNumber(text.substr(1)); id && *id <= 0xFFFF) return speciesChosen(SpeciesId(*id), stored, role, list);
    }
    if (auto number = parseNumber(text)) return speciesNumbered(*number, stored, role, list, text);
    return speciesNamed(text, list,
                        "choose the " + what + " from the list, or give its number (" + list.numbersText() + ") or name.");
}

}  // namespace kestrane
