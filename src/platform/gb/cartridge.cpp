#include "platform/gb/cartridge.h"

#include <array>

#include "support/hex_text.h"
#include "support/words.h"

namespace kestrane {

std::optional<std::int64_t> romSizeOfHeaderByte(std::uint8_t n) {
    if (n > 8) return std::nullopt;
    return std::int64_t{0x8000} << n;
}

}  // namespace kestrane
