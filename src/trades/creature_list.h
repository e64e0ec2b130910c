// The species a ROM knows, as its trades store them (SpeciesId) and as
// people see and type them: a number (the Pokédex's) and a name. Where a
// family's records hold the Pokédex number, the number is the ID itself;
// where they hold internal indexes, the list converts, here and nowhere
// else. The list rows the window shows are
// "?????" (ID 0), then every species in number order. The names come from
// the ROM where it keeps them (a hack's renamed species under its new
// name), else from the built-in list.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <span>
#include <string_view>
#include <vector>

#include "support/result.h"
#include "support/words.h"
#include "trades/values.h"

namespace kestrane {

// The built-in list: the 251 species every Game Boy release knows.
inline constexpr int kSpeciesCount = 252;
inline constexpr int kDexSpecies = 251;  // species 1-251, with a Pokédex entry
inline constexpr SpeciesId kUnown = 201; // whose form its DVs choose

// The list entries exactly as the editor's species lists show them: all
// but "?????", "Nidoran (f)", "Nidoran (m)", "Mew" and "Unown" end in one
// blank.
std::span<const std::string_view> speciesList();

// The entry without its trailing blank ("Bulbasaur"); index 0-251.
std::string_view speciesName(int index);

// One species of a list: what its records store, its number, its name.
struct Species {
    SpeciesId id;
    int number;
    std::string name;
};

// The species of one ROM.
class SpeciesList {
public:
    // The built-in names.
    SpeciesList();
    // A ROM's own names by Pokédex number (species 1-251, as the
    // game spells them). With `builtInSpelling` (the English releases), one
    // that is the built-in name in another spelling ("MACHOP", "NINETALES")
    // shows as the built-in entry, so that a retail ROM looks as it always
    // did; without it (other languages), every name shows as the ROM spells
    // it: one style a list.
    SpeciesList(const std::vector<std::string>& romNames, bool builtInSpelling);
    // Species numbered and named by a ROM (numbers 1 and up; "?????" is
    // added as ID 0): a family's whose records hold internal indexes. `builtInSpelling` as above, by number.
    SpeciesList(std::vector<Species> species, bool builtInSpelling);

    // The entries as the species lists show them (the built-in ones with
    // their trailing blanks), row 0 "?????".
    const std::vector<std::string>& entries() const { return entries_; }
    std::optional<SpeciesId> idOfRow(int row) const;
    std::optional<int> rowOf(SpeciesId id) const;
    // Whether the ID has a list entry.
    bool listed(SpeciesId id) const { return rowOf(id).has_value(); }
    // The number an ID is shown and typed by; none for one without an entry.
    std::optional<int> numberOf(SpeciesId id) const;
    std::optional<SpeciesId> idOfNumber(std::int64_t number) const;
    // "Machop", "BRAWLER"; empty for an ID without an entry.
    std::string_view name(SpeciesId id) const;
    // The highest number (251).
    int lastNumber() const { return lastNumber_; }
    // "0 to 251": the numbers the list has.
    std::string numbersText() const;
    // Every name a species may be typed as (its ID as the candidate's id):
    // its shown name, then its built-in name and usual spelling where they
    // name no other species.
    // Made when first asked (typing a species): a program that only shows
    // the ROM never makes them.
    const std::vector<NameCandidate>& candidates() const;

private:
    void reserve(std::size_t rows);
    void index();
    void addBuiltInCandidates() const;

    std::vector<std::string> entries_;
    std::vector<SpeciesId> ids_;                  // by row
    std::vector<std::optional<int>> rowById_;     // by ID
    int lastNumber_ = 0;
    std::vector<int> numbers_;                    // by row
    // Lists by Pokédex number take the built-in names and usual
    // spellings too; `renamed_`: where the ROM renamed a species.
    bool builtInCandidates_ = false;
    bool renamed_ = false;
    mutable std::once_flag candidatesMade_;
    mutable std::vector<NameCandidate> candidates_;
};

// The built-in names.
const SpeciesList& builtInSpeciesList();
std::shared_ptr<const SpeciesList> builtInSpeciesListShared();

// The species a number or name stands for, or a refusal that says what was
// given, with the names near it.
Result<SpeciesId> findSpecies(std::string_view text, const SpeciesList& list = builtInSpeciesList());

enum class SpeciesRole { Requested, Offered };
// "requested species (Your Pokémon)", "offered species (Offered Pokémon)"
std::string_view speciesRoleText(SpeciesRole role);

// How a stored species without a list entry (252-255, a first-generation
// index without a Pokédex number) is shown and exported: "#252".
std::string unlistedSpeciesText(SpeciesId stored);
// The number a stored species is shown by: its Pokédex number, else as unlisted ("#252").
std::string speciesNumberText(const SpeciesList& list, SpeciesId stored);

// The species a person's text stands for: a list entry's number or name
// (letter case, blanks and punctuation aside: "mr mime", "nidoran f"); the
// stored species's own ID as "#N" (or, where it has no entry and its number
// would be its ID, as N) keeps it, even one without an entry; empty text
// keeps a stored species without entry and is otherwise refused, as is
// anything else (with the names near it).
Result<SpeciesId> resolveSpecies(std::string_view text, SpeciesId stored, SpeciesRole role,
                                 const SpeciesList& list = builtInSpeciesList());
// A species given by its ID: one with a list entry, or the stored one (kept).
Result<SpeciesId> speciesChosen(SpeciesId id, SpeciesId stored, SpeciesRole role, const SpeciesList& list = builtInSpeciesList());
// The species of a number: a list entry's, or the stored one's own (its
// ID, where it has no entry). `given`: the text it was typed as, for the
// message (else the number).
Result<SpeciesId> speciesNumbered(std::int64_t number, SpeciesId stored, SpeciesRole role,
                                  const SpeciesList& list = builtInSpeciesList(), std::string_view given = {});

}  // namespace kestrane
