// A traded creature's DVs, and what the game makes of them.
//
// The record stores them in two bytes: Attack x 16 + Defense, then
// Speed x 16 + Special, each 0-15 (packDvs, unpackDvs).
#pragma once

#include <cstdint>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "support/result.h"
#include "trades/values.h"

namespace kestrane {

struct Dvs {
    int attack = 0;
    int defense = 0;
    int speed = 0;
    int special = 0;
    friend bool operator==(const Dvs&, const Dvs&) = default;
};

inline constexpr int kMaxDv = 15;

// The two bytes of the record; precondition: each DV 0-15.
inline std::array<std::uint8_t, 2> packDvs(const Dvs& d) {
    return {std::uint8_t(d.attack << 4 | d.defense), std::uint8_t(d.speed << 4 | d.special)};
}
// Precondition: at least two bytes.
inline Dvs unpackDvs(std::span<const std::uint8_t> bytes) {
    return {bytes[0] >> 4, bytes[0] & 0x0F, bytes[1] >> 4, bytes[1] & 0x0F};
}
// Shiny: Defense, Speed and Special all 10, Attack with bit 1 set (2, 3, 6,
// 7, 10, 11, 14 or 15).
bool isShiny(const Dvs& dvs);

// The HP DV, made of the low bits of the other four.
int hpDv(const Dvs& dvs);

enum class ReceivedGender { Male, Female, Genderless, Unknown };

// The gender the received creature will have, from the gender ratio of its
// species in the ROM's base data (none: unknown): genderless, always male,
// always female (values.h), or male when the ratio is below Attack x 16 +
// Speed.
ReceivedGender receivedGender(const Dvs& dvs, std::optional<std::uint8_t> ratio);
// "male", "female", "genderless", "unknown"
std::string_view receivedGenderText(ReceivedGender gender);

// The Unown letter these DVs give ('A'-'Z').
char unownLetter(const Dvs& dvs);

// Defense, Speed and Special 10; Attack raised to the nearest value with
// bit 1 set (15 stays 15).
Dvs makeShiny(const Dvs& dvs);

// "15/10/10/10" (Attack/Defense/Speed/Special): four numbers 0-15.
Result<Dvs> parseDvs(std::string_view text);
// The same text of DVs.
std::string dvsText(const Dvs& dvs);

// A DvOutOfRange error when any DV lies outside 0-15.
Result<void> checkDvs(const Dvs& dvs);

}  // namespace kestrane
