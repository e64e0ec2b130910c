// The natures the games give a creature from the third generation on (and
// Polished Crystal, which numbers them alike), by nature number.
#pragma once

#include <string_view>

namespace kestrane {

inline constexpr int kNatureCount = 25;
inline constexpr std::string_view kNatureNames[kNatureCount] = {
    "Hardy", "Lonely", "Brave",  "Adamant", "Naughty", "Bold",   "Docile", "Relaxed", "Impish",
    "Lax",   "Timid",  "Hasty",  "Serious", "Jolly",   "Naive",  "Modest", "Mild",    "Quiet",
    "Bashful", "Rash", "Calm",   "Gentle",  "Sassy",   "Careful", "Quirky"};

}  // namespace kestrane
