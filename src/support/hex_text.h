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


namespace kestrane {

// Two upper-case digits per byte: "5492".
std::string bytesToHex(std::span<const std::uint8_t> bytes);
// Two upper-case digits per byte, a blank between bytes: "54 92".
std::string spacedHex(std::span<const std::uint8_t> bytes);

// The bytes that hexText names (either letter case; an odd-length text
// counts as if a "0" stood in front), or the first pair that is no
// hexadecimal byte, and then no bytes at all.
struct HexBytes {
    std::vector<std::uint8_t> bytes;
    std::string badPair;  // "G4"; empty where every pair is a byte
    explicit operator bool() const { return badPair.empty(); }
    const std::vector<std::uint8_t>& operator*() const { return bytes; }
    const std::vector<std::uint8_t>* operator->() const { return &bytes; }
};
HexBytes hexToBytes(std::string_view hexText);

// The last `digits` characters of "00000000" followed by value in upper-case
// hexadecimal (a negative value as its 32-bit two's complement).
std::string toPaddedHex(std::int32_t value, std::uint8_t digits);

// A file offset as messages show it: "0xFCE58", "0x14E".
std::string hexOffset(std::uint32_t offset);

// True when s is not empty and holds only the digits 0-9, A-F and a-f.
bool isHexString(std::u16string_view s);

}  // namespace kestrane
