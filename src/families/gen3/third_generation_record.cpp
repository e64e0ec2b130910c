#include "families/gen3/third_generation_record.h"

#include "trades/natures.h"

namespace kestrane::gen3 {

std::span<const std::string_view> natureNames() { return kNatureNames; }

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

std::uint32_t personalityWithNature(std::uint32_t current, int nature, std::optional<std::uint8_t> ratio) {
    const int letter = unownLetterOf(current);
    auto sameGender = [&](std::uint32_t p) {
        return ratio ? genderOf(*ratio, p) == genderOf(*ratio, current) : (p & 0xFF) == (current & 0xFF);
    };
    // One in 25 x 28 (x 2) personalities on average, a few thousand steps;
    // steps of 256 where the low byte is kept.
    const std::uint32_t step = ratio ? 1 : 0x100;
    for (std::uint32_t p = current;; p += step) {
        if (natureOf(p) == nature && sameGender(p) && unownLetterOf(p) == letter) return p;
        if (p + step == current) return current;  // every personality tried: none (a nature is always reachable)
    }
}

std::uint16_t shinySecretId(std::uint16_t trainerId, std::uint32_t personality) {
    return std::uint16_t(trainerId ^ (personality >> 16) ^ (personality & 0xFFFF));
}

}  // namespace kestrane::gen3
