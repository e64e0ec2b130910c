// Addresses as the game's code holds them, and the file offsets they name.
//
// The cartridge is seen in banks of 0x4000 bytes: bank 0 always at
// addresses 0x0000-0x3FFF, any other bank switched in at 0x4000-0x7FFF. A
// pointer the game follows is an address in a bank, and the bytes it names
// lie at bank x 0x4000 + (address - 0x4000) in the file.
#pragma once

#include <cstdint>
#include <optional>

namespace kestrane {

inline constexpr std::uint32_t kBankSize = 0x4000;

inline constexpr std::uint32_t bankOf(std::uint32_t offset) { return offset / kBankSize; }

// Where the window of the bank holding `offset` ends in the file: the code
// that reads through a pointer into that bank sees nothing past it.
inline constexpr std::uint32_t bankWindowEnd(std::uint32_t offset) { return (bankOf(offset) + 1) * kBankSize; }

// The file offset of an address in a bank, or none where the address lies
// outside that bank's window.
inline constexpr std::optional<std::uint32_t> offsetInBank(std::uint32_t bank, std::uint32_t address) {
    if (bank == 0) return address < kBankSize ? std::optional<std::uint32_t>(address) : std::nullopt;
    if (address < kBankSize || address >= 2 * kBankSize) return std::nullopt;
    return bank * kBankSize + (address - kBankSize);
}

}  // namespace kestrane
