// What the third generation's game makes of a trade record when it creates
// the traded creature (CreateInGameTradePokemonInternal): nature, gender,
// shininess and Unown's letter from the personality and the IDs.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kestrane::gen3 {

inline constexpr int kNatures = 25;  // kNatureNames
// "Hardy" … "Quirky", by nature number (personality % 25).
std::string_view natureName(int nature);
std::span<const std::string_view> natureNames();
inline int natureOf(std::uint32_t personality) { return int(personality % kNatures); }

enum class CreatureGender { Male, Female, Genderless };
// The species' gender ratio (its base data: 0 always male, 254 always
// female, 255 genderless) against the personality's low byte.
CreatureGender genderOf(std::uint8_t ratio, std::uint32_t personality);
bool isShiny(std::uint16_t trainerId, std::uint16_t secretId, std::uint32_t personality);
// 0 A … 25 Z, 26 !, 27 ?
int unownLetterOf(std::uint32_t personality);

// The nearest personality from `current` upward (round past 0xFFFFFFFF)
// with `nature`, the gender `ratio` gives it now and the same Unown letter;
// without a ratio, with the same low byte (the same gender for any ratio).
std::uint32_t personalityWithNature(std::uint32_t current, int nature, std::optional<std::uint8_t> ratio);
// The secret ID that makes the creature shiny with its personality unchanged.
std::uint16_t shinySecretId(std::uint16_t trainerId, std::uint32_t personality);

}  // namespace kestrane::gen3
