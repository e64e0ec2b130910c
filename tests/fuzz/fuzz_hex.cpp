// reverseHexBytes and hexadecimal parsing on any text.
#include <cctype>
#include <cstdlib>
#include <string>

#include "library/hex_bytes.h"

using namespace kestrane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string padded = size % 2 ? "0" + text : text;
    const std::string reversed = reverseHexBytes(text);
    if (reversed.size() != padded.size()) std::abort();
    if (reverseHexBytes(reversed) != padded) std::abort();

    bool allHex = true;
    for (char c : text) allHex = allHex && std::isxdigit(static_cast<unsigned char>(c));
    const HexBytes bytes = hexToBytes(text);
    if (bool(bytes) != allHex) std::abort();
    if (!bytes) return 0;
    std::string upper = padded;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (bytesToHex(*bytes) != upper) std::abort();
    // Reversing the text reverses the bytes.
    const HexBytes backwards = hexToBytes(reversed);
    if (!backwards || !std::equal(backwards->rbegin(), backwards->rend(), bytes->begin(), bytes->end())) std::abort();
    return 0;
}
