// Bytes and numbers as hexadecimal text: the one home of every hex helper.
//
// Hexadecimal byte text has two digits per byte, the first byte first
// ("5492" is 0x54 then 0x92).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"

namespace kestrane {

// Two upper-case digits per byte: "5492".
std::string bytesToHex(std::span<const std::uint8_t> bytes);
// Two upper-case digits per byte, a blank between bytes: "54 92".
std::string spacedHex(std::span<const std::uint8_t> bytes);

// The bytes that hexText names (either letter case; an odd-length text
// counts as if a "0" stood in front). A character that is no hexadecimal
// digit is a TypeMismatch error, and then no bytes are given at all.
Result<std::vector<std::uint8_t>> hexToBytes(std::string_view hexText);

// The last `digits` characters of "00000000" followed by value in upper-case
// hexadecimal (a negative value as its 32-bit two's complement).
std::string toPaddedHex(std::int32_t value, std::uint8_t digits);

// A file offset as messages show it: "0xFCE58", "0x14E".
std::string hexOffset(std::uint32_t offset);

// True when s is not empty and holds only the digits 0-9, A-F and a-f.
bool isHexString(std::u16string_view s);

}  // namespace kestrane
