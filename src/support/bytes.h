// Multi-byte values in a ROM, assembled byte by byte: the one place that
// knows byte order. The trainer ID is little-endian; the cartridge's global
// checksum and the Stadium check data are big-endian.
#pragma once

#include <cstdint>
#include <span>

namespace kestrane {

// Precondition for all four: the span holds at least two bytes.
inline std::uint16_t readLittleEndian16(std::span<const std::uint8_t> at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}
inline void putLittleEndian16(std::span<std::uint8_t> at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}
inline std::uint16_t readBigEndian16(std::span<const std::uint8_t> at) {
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}
inline void putBigEndian16(std::span<std::uint8_t> at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace kestrane
