#include "families/gen3/third_generation_record.h"

#include <algorithm>

namespace kestrane::gen3 {
namespace {

std::uint16_t half(std::span<const std::uint8_t> b, std::size_t at) { return std::uint16_t(b[at] | b[at + 1] << 8); }
std::uint32_t word(std::span<const std::uint8_t> b, std::size_t at) { return std::uint32_t(half(b, at)) | std::uint32_t(half(b, at + 2)) << 16; }
void putHalf(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) { b[at] = std::uint8_t(v), b[at + 1] = std::uint8_t(v >> 8); }
void putWord(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) { putHalf(b, at, std::uint16_t(v)), putHalf(b, at + 2, std::uint16_t(v >> 16)); }

constexpr std::string_view kNatureNames[kNatures] = {"Hardy",  "Lonely", "Brave",   "Adamant", "Naughty", "Bold",   "Docile",
                                                     "Relaxed", "Impish", "Lax",     "Timid",   "Hasty",   "Serious", "Jolly",
                                                     "Naive",  "Modest", "Mild",    "Quiet",   "Bashful", "Rash",   "Calm",
                                                     "Gentle", "Sassy",  "Careful", "Quirky"};
// The record's IV order by the summary screen's: HP, Atk, Def, SpA (stored 4), SpD (5), Spe (3).
constexpr std::size_t kSummaryFromStored[6] = {0, 1, 2, 4, 5, 3};

}  // namespace

Record60 readRecord60(std::span<const std::uint8_t> b) {
    Record60 r;
    std::copy_n(b.begin(), 11, r.nickname.begin());
    r.species = half(b, 0x0C);
    std::copy_n(b.begin() + 0x0E, 6, r.ivs.begin());
    r.abilityNum = b[0x14];
    r.trainerId = half(b, 0x18), r.secretId = half(b, 0x1A);
    std::copy_n(b.begin() + 0x1C, 5, r.contest.begin());
    r.personality = word(b, 0x24);
    r.heldItem = half(b, 0x28);
    r.mail = b[0x2A];
    std::copy_n(b.begin() + 0x2B, 11, r.trainerName.begin());
    r.trainerGender = b[0x36];
    r.sheen = b[0x37];
    r.requested = half(b, 0x38);
    return r;
}

void writeRecord60(const Record60& r, std::span<std::uint8_t> b) {
    std::copy(r.nickname.begin(), r.nickname.end(), b.begin());
    putHalf(b, 0x0C, r.species);
    std::copy(r.ivs.begin(), r.ivs.end(), b.begin() + 0x0E);
    b[0x14] = r.abilityNum;
    putHalf(b, 0x18, r.trainerId), putHalf(b, 0x1A, r.secretId);
    std::copy(r.contest.begin(), r.contest.end(), b.begin() + 0x1C);
    putWord(b, 0x24, r.personality);
    putHalf(b, 0x28, r.heldItem);
    b[0x2A] = r.mail;
    std::copy(r.trainerName.begin(), r.trainerName.end(), b.begin() + 0x2B);
    b[0x36] = r.trainerGender;
    b[0x37] = r.sheen;
    putHalf(b, 0x38, r.requested);
}

std::array<std::uint8_t, 6> summaryOrder(const std::array<std::uint8_t, 6>& stored) {
    std::array<std::uint8_t, 6> summary{};
    for (std::size_t i = 0; i < 6; ++i) summary[i] = stored[kSummaryFromStored[i]];
    return summary;
}

std::array<std::uint8_t, 6> storedOrder(const std::array<std::uint8_t, 6>& summary) {
    std::array<std::uint8_t, 6> stored{};
    for (std::size_t i = 0; i < 6; ++i) stored[kSummaryFromStored[i]] = summary[i];
    return stored;
}

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
