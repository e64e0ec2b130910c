// One byte a write changes: where, what it held, what it is to hold.
#pragma once

#include <cstdint>

namespace kestrane {

struct ByteChange {
    std::uint32_t offset = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;
};

}  // namespace kestrane
