// The species, by species number: the byte a trade record stores is the
// index of this list. Entry 0 is the placeholder "?????".
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace kestrane {

inline constexpr int kSpeciesCount = 252;

// The list entries exactly as the editor's species lists show them: all
// but "?????", "Nidoran (f)", "Nidoran (m)", "Mew" and "Unown" end in one
// blank.
std::span<const std::string_view> speciesList();

// The entry without its trailing blank ("Bulbasaur"); index 0-251.
std::string_view speciesName(int index);

// The species number of a name, compared without letter case and without
// surrounding blanks ("abra" -> 63).
std::optional<int> findSpecies(std::string_view name);

}  // namespace kestrane
