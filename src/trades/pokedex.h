// The species, by species number: the byte a trade record stores is the
// index of this list. Entry 0 is the placeholder "?????".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <span>
#include <string_view>

#include "support/result.h"

namespace kestrane {

inline constexpr int kSpeciesCount = 252;

// The list entries exactly as the editor's species lists show them: all
// but "?????", "Nidoran (f)", "Nidoran (m)", "Mew" and "Unown" end in one
// blank.
std::span<const std::string_view> speciesList();

// The entry without its trailing blank ("Bulbasaur"); index 0-251.
std::string_view speciesName(int index);

// The species number of a name, compared without letter case and without
// surrounding blanks ("abra" -> 63). The usual spellings of the four entries
// the list spells otherwise ("Ninetales", "Vaporeon", "Ariados", "Swinub")
// are accepted too.
std::optional<int> findSpecies(std::string_view name);

enum class SpeciesRole { Requested, Offered };
// "requested species (Your Pokémon)", "offered species (Offered Pokémon)"
std::string_view speciesRoleText(SpeciesRole role);

// How a stored species byte without a list entry (252-255) is shown: "#252".
std::string unlistedSpeciesText(std::uint8_t stored);

// The species byte that a person's text stands for: a list entry's number
// (0-251) or name; the stored byte's own number (also as "#252") keeps it,
// even one without entry; empty text keeps a stored byte without entry and
// is otherwise refused, as is anything else.
Result<std::uint8_t> resolveSpecies(std::string_view text, std::uint8_t stored, SpeciesRole role);

}  // namespace kestrane
