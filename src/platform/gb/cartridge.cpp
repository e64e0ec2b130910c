#include "platform/gb/cartridge.h"

#include <array>

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {

std::string largestRomSizeText() { return std::to_string(kLargestRomSize >> 20) + " MiB"; }

std::optional<std::int64_t> romSizeOfHeaderByte(std::uint8_t n) {
    if (n > 8) return std::nullopt;
    return std::int64_t{0x8000} << n;
}

Result<std::optional<std::int64_t>> headerRomSize(File& file) {
    std::array<std::uint8_t, 1> n{};
    auto got = readUpTo(file, kRomSizeByteOffset, n);
    if (!got) return got.error();
    return *got == 0 ? std::nullopt : romSizeOfHeaderByte(n[0]);
}

std::string printableGameCode(std::string_view gameCode) {
    bool printable = true;
    for (char c : gameCode) printable = printable && c >= 0x20 && c < 0x7F;
    if (printable) return std::string(gameCode);
    return spacedHex({reinterpret_cast<const std::uint8_t*>(gameCode.data()), gameCode.size()});
}

}  // namespace kestrane
