// The third generation's 60-byte trade record, field by field, and what the
// game makes of it when it creates the traded creature
// (CreateInGameTradePokemonInternal): nature, gender, shininess and
// Unown's letter from the personality and the IDs.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace kestrane::gen3 {

struct Record60 {
    std::array<std::uint8_t, 11> nickname{};  // ends with 0xFF, zeros after; the game copies 10
    std::uint16_t species = 0;                // internal index
    std::array<std::uint8_t, 6> ivs{};        // the record's order: HP, Attack, Defense, Speed, Sp. Atk, Sp. Def
    std::uint8_t abilityNum = 0;
    std::uint16_t trainerId = 0, secretId = 0;  // the OT ID's low and high halves
    std::array<std::uint8_t, 5> contest{};      // cool, beauty, cute, smart, tough
    std::uint32_t personality = 0;
    std::uint16_t heldItem = 0;
    std::uint8_t mail = 0xFF;  // a row of the mail table; 0xFF none
    std::array<std::uint8_t, 11> trainerName{};  // ends with 0xFF; 7 reach the creature
    std::uint8_t trainerGender = 0;              // 0 male, 1 female
    std::uint8_t sheen = 0;
    std::uint16_t requested = 0;  // internal index
    friend bool operator==(const Record60&, const Record60&) = default;
};

// Reads a record's fields; writes them back over `out`, whose pads keep their bytes.
Record60 readRecord60(std::span<const std::uint8_t> bytes);
void writeRecord60(const Record60& record, std::span<std::uint8_t> out);

// The summary screen's order of the IVs (HP, Attack, Defense, Sp. Atk,
// Sp. Def, Speed) from the record's, and back.
std::array<std::uint8_t, 6> summaryOrder(const std::array<std::uint8_t, 6>& stored);
std::array<std::uint8_t, 6> storedOrder(const std::array<std::uint8_t, 6>& summary);

inline constexpr int kNatures = 25;
// "Hardy" … "Quirky", by nature number (personality % 25).
std::string_view natureName(int nature);
inline int natureOf(std::uint32_t personality) { return int(personality % kNatures); }

enum class CreatureGender { Male, Female, Genderless };
// The species' gender ratio (its base data: 0 always male, 254 always
// female, 255 genderless) against the personality's low byte.
CreatureGender genderOf(std::uint8_t ratio, std::uint32_t personality);
bool isShiny(std::uint16_t trainerId, std::uint16_t secretId, std::uint32_t personality);
// 0 A … 25 Z, 26 !, 27 ?
int unownLetterOf(std::uint32_t personality);

// The nearest personality from `current` upward (round past 0xFFFFFFFF)
// with `nature`, the gender `ratio` gives it now and the same Unown letter.
std::uint32_t personalityWithNature(std::uint32_t current, int nature, std::uint8_t ratio);
// The secret ID that makes the creature shiny with its personality unchanged.
std::uint16_t shinySecretId(std::uint16_t trainerId, std::uint32_t personality);

}  // namespace kestrane::gen3
