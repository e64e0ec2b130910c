// The Game Boy Advance cartridge header and address space: the facts the
// platform reads an image's identity and pointers by.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kestrane::gba {

inline constexpr std::uint32_t kTitleAt = 0xA0, kTitleLength = 12;
inline constexpr std::uint32_t kCodeAt = 0xAC, kCodeLength = 4;
inline constexpr std::uint32_t kMakerAt = 0xB0;      // "01"
inline constexpr std::uint32_t kFixedAt = 0xB2;      // always 0x96
inline constexpr std::uint8_t kFixedValue = 0x96;
inline constexpr std::uint32_t kVersionAt = 0xBC;
inline constexpr std::uint32_t kComplementAt = 0xBD;  // the header's only check
inline constexpr std::uint32_t kHeaderEnd = 0xC0;

// The cartridge's ROM as the processor sees it: 32 MiB from 0x08000000.
inline constexpr std::uint32_t kRomBase = 0x08000000;
inline constexpr std::int64_t kLargestImage = std::int64_t(32) << 20;

// The complement the console checks before it starts a game: the bytes
// 0xA0 to 0xBC summed with 0x19, negated. `header` holds the file from 0.
inline std::uint8_t headerComplement(std::span<const std::uint8_t> header) {
    unsigned sum = 0x19;
    for (std::uint32_t i = kTitleAt; i < kComplementAt; ++i) sum += header[i];
    return std::uint8_t(-sum);
}

// The file offset a pointer into the cartridge's ROM names; none for any
// other memory (a Thumb routine's pointer has its low bit set: cleared).
inline std::optional<std::uint32_t> romOffsetOf(std::uint32_t pointer, bool code = false) {
    if (code) pointer &= ~1u;
    if (pointer < kRomBase || pointer >= kRomBase + std::uint32_t(kLargestImage)) return std::nullopt;
    return pointer - kRomBase;
}

inline std::uint32_t readWord(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

}  // namespace kestrane::gba
