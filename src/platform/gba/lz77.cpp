#include "platform/gba/lz77.h"

#include <string>

namespace kestrane::gba {

Result<std::vector<std::uint8_t>> decodeLz77(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4 || bytes[0] != 0x10) {
        return refused(ErrorCode::NoPicture, "the data is not LZ77-compressed (it does not start with 0x10)");
    }
    const std::size_t length = std::size_t(bytes[1]) | std::size_t(bytes[2]) << 8 | std::size_t(bytes[3]) << 16;
    if (length > kLargestLz77) {
        return refused(ErrorCode::NoPicture, "the compressed data says it holds " + std::to_string(length) +
                                                 " bytes, more than " + std::to_string(kLargestLz77) + " any picture needs");
    }
    std::vector<std::uint8_t> out;
    out.reserve(length);
    std::size_t at = 4;
    const auto endsEarly = [] { return refused(ErrorCode::NoPicture, "the compressed data ends before its output does"); };
    while (out.size() < length) {
        if (at >= bytes.size()) return endsEarly();
        const std::uint8_t flags = bytes[at++];
        for (int bit = 7; bit >= 0 && out.size() < length; --bit) {
            if (!(flags >> bit & 1)) {
                if (at >= bytes.size()) return endsEarly();
                out.push_back(bytes[at++]);
                continue;
            }
            if (at + 1 >= bytes.size()) return endsEarly();
            const std::size_t count = (bytes[at] >> 4) + 3;
            const std::size_t distance = (std::size_t(bytes[at] & 0x0F) << 8 | bytes[at + 1]) + 1;
            at += 2;
            if (distance > out.size()) {
                return refused(ErrorCode::NoPicture, "the compressed data copies from before its output's start");
            }
            // A copy may overlap what it writes: byte by byte.
            for (std::size_t i = 0; i < count && out.size() < length; ++i) out.push_back(out[out.size() - distance]);
        }
    }
    return out;
}

}  // namespace kestrane::gba
