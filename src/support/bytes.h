// Multi-byte values in a ROM and in patches, assembled byte by byte: the
// one place that knows byte order. The trainer ID, the game's pointers and
// a BPS patch's checksums are little-endian; the cartridge's global
// checksum, the Stadium check data and an IPS patch's offsets are big-endian.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

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

// Two bytes, little-endian, as the game's code and data keep addresses.
inline std::uint16_t littleEndian16(std::uint8_t low, std::uint8_t high) { return static_cast<std::uint16_t>(low | high << 8); }

// Appends a value of `bytes` bytes (1 to 4) in either order.
inline void appendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
inline void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
// Reads a value of at.size() bytes (1 to 4) in either order.
inline std::uint32_t readLittleEndian(std::span<const std::uint8_t> at) {
    std::uint32_t value = 0;
    for (std::size_t i = at.size(); i-- > 0;) value = value << 8 | at[i];
    return value;
}
inline std::uint32_t readBigEndian(std::span<const std::uint8_t> at) {
    std::uint32_t value = 0;
    for (std::uint8_t b : at) value = value << 8 | b;
    return value;
}

}  // namespace kestrane
