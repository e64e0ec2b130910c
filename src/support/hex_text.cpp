#include "support/hex_text.h"

namespace kestrane {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string bytesToHex(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
    }
    return out;
}

std::string spacedHex(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!out.empty()) out.push_back(' ');
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
    }
    return out;
}

HexBytes hexToBytes(std::string_view hexText) {
    std::string text = hexText.size() % 2 ? "0" + std::string(hexText) : std::string(hexText);
    HexBytes parsed;
    parsed.bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int hi = hexDigitValue(text[i]);
        int lo = hexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0) {
            parsed.bytes.clear();
            parsed.badPair = text.substr(i, 2);
            return parsed;
        }
        parsed.bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    return parsed;
}

std::string toPaddedHex(std::int32_t value, std::uint8_t digits) {
    auto bits = static_cast<std::uint32_t>(value);
    std::string hex;
    do {
        hex.insert(hex.begin(), kDigits[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    std::string text = "00000000" + hex;
    return digits >= text.size() ? text : text.substr(text.size() - digits);
}

std::string hexOffset(std::uint32_t offset) {
    std::string hex;
    do {
        hex.insert(hex.begin(), kDigits[offset & 0xF]);
        offset >>= 4;
    } while (offset != 0);
    return "0x" + hex;
}

bool isHexString(std::u16string_view s) {
    if (s.empty()) return false;
    for (char16_t c : s) {
        bool hex = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
        if (!hex) return false;
    }
    return true;
}

}  // namespace kestrane
