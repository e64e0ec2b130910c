#include "families/gen3/third_generation_record.h"

namespace kestrane::gen3 {
namespace {

constexpr std::string_view kNatureNames[kNatures] = {"Hardy",  "Lonely", "Brave",   "Adamant", "Naughty", "Bold",   "Docile",
                                                     "Relaxed", "Impish", "Lax",     "Timid",   "Hasty",   "Serious", "Jolly",
                                                     "Naive",  "Modest", "Mild",    "Quiet",   "Bashful", "Rash",   "Calm",
                                                     "Gentle", "Sassy",  "Careful", "Quirky"};

}  // namespace

std::string_view natureName(int nature) { return nature >= 0 && nature < kNatures ? kNatureNames[nature] : std::string_view(); }

CreatureGender genderOf(std::uint8_t ratio, std::uint32_t personality) {
    switch (ratio) {
    case 0: return CreatureGender::Male;
    case 254: return CreatureGender::Female;
    case 255: return CreatureGender::Genderless;
    default: return ratio > (personality & 0xFF) ? CreatureGender::Female : CreatureGender::Male;
    }
}

bool isShiny(std::uint16_t trainerId, std::uint16_t secretId, std::uint32_t personality) {
    return (trainerId ^ secretId ^ (personality >> 16) ^ (personality & 0xFFFF)) < 8;
}

int unownLetterOf(std::uint32_t p) {
    return int(((p >> 18 & 0xC0) | (p >> 12 & 0x30) | (p >> 6 & 0x0C) | (p & 3)) % 28);
}

std::uint32_t personalityWithNature(std::uint32_t current, int nature, std::uint8_t ratio) {
    const CreatureGender gender = genderOf(ratio, current);
    const int letter = unownLetterOf(current);
    // One in 25 × 2 × 28 personalities on average: the search ends within a few thousand steps.
    for (std::uint32_t p = current;; ++p) {
        if (natureOf(p) == nature && genderOf(ratio, p) == gender && unownLetterOf(p) == letter) return p;
        if (p + 1 == current) return current;  // every personality tried: none (a nature is always reachable)
    }
}

std::uint16_t shinySecretId(std::uint16_t trainerId, std::uint32_t personality) {
    return std::uint16_t(trainerId ^ (personality >> 16) ^ (personality & 0xFFFF));
}

}  // namespace kestrane::gen3
