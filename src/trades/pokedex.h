// The species, by species number: the byte a trade record stores is the
// index of the species lists. Entry 0 is the placeholder "?????". The names
// come from the ROM where it keeps them (a hack's renamed species under its
// new name), else from the built-in list.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <span>
#include <string_view>
#include <vector>

#include "support/result.h"
#include "support/words.h"

namespace kestrane {

inline constexpr int kSpeciesCount = 252;
inline constexpr int kDexSpecies = 251;  // species 1-251, with a Pokédex entry
inline constexpr int kUnown = 201;       // whose form its DVs choose
// "0 to 251": the numbers the species lists have.
std::string speciesNumbers();

// The list entries exactly as the editor's species lists show them: all
// but "?????", "Nidoran (f)", "Nidoran (m)", "Mew" and "Unown" end in one
// blank.
std::span<const std::string_view> speciesList();

// The entry without its trailing blank ("Bulbasaur"); index 0-251.
std::string_view speciesName(int index);

// The names of one ROM's species.
class SpeciesNames {
public:
    // The built-in names.
    SpeciesNames();
    // A ROM's own names (species 1-251, as the game spells them). With
    // `builtInSpelling` (the English releases), one that is the built-in
    // name in another spelling ("MACHOP", "NINETALES") shows as the built-in
    // entry, so that a retail ROM looks as it always did; without it (other
    // languages), every name shows as the ROM spells it: one style a list.
    SpeciesNames(const std::vector<std::string>& romNames, bool builtInSpelling);

    // "Machop", "BRAWLER": a species' name; index 0-251.
    std::string_view name(int species) const;
    // The entries as the species lists show them (the built-in ones with
    // their trailing blanks).
    const std::vector<std::string>& entries() const { return entries_; }
    // Every name a species may be typed as: its shown name, then its
    // built-in name and usual spelling where they name no other species.
    const std::vector<NameCandidate>& candidates() const { return candidates_; }

private:
    std::vector<std::string> entries_;
    std::vector<NameCandidate> candidates_;
};

// The built-in names.
const SpeciesNames& builtInSpeciesNames();
std::shared_ptr<const SpeciesNames> builtInSpeciesNamesShared();

// The species (0-251) a number or name stands for, or a refusal that says
// what was given, with the names near it.
Result<std::uint8_t> findSpecies(std::string_view text, const SpeciesNames& names = builtInSpeciesNames());

enum class SpeciesRole { Requested, Offered };
// "requested species (Your Pokémon)", "offered species (Offered Pokémon)"
std::string_view speciesRoleText(SpeciesRole role);

// How a stored species byte without a list entry (252-255) is shown: "#252".
std::string unlistedSpeciesText(std::uint8_t stored);

// The species byte that a person's text stands for: a list entry's number
// (0-251) or name (letter case, blanks and punctuation aside: "mr mime",
// "nidoran f"); the stored byte's own number (also as "#252") keeps it,
// even one without entry; empty text keeps a stored byte without entry and
// is otherwise refused, as is anything else (with the names near it).
Result<std::uint8_t> resolveSpecies(std::string_view text, std::uint8_t stored, SpeciesRole role,
                                    const SpeciesNames& names = builtInSpeciesNames());
// The species byte of a number: a list entry's, or the stored byte's own.
// `given`: the text it was typed as, for the message (else the number).
Result<std::uint8_t> speciesNumbered(std::int64_t number, std::uint8_t stored, SpeciesRole role, std::string_view given = {});

}  // namespace kestrane
