// Patches applied as the formats' public descriptions define them, written
// apart from Kestrane's own patch writer so that tests check one against
// the other.
#pragma once

#include <optional>
#include <string>

#include "support/rom_image.h"

namespace kestrane::testing {

// The target a BPS patch makes of the source, or why not (the header, an
// action past the end, a CRC that does not match).
struct Applied {
    Bytes target;
    std::string problem;  // empty: applied
};
Applied applyBps(const Bytes& source, const Bytes& patch);
Applied applyIps(const Bytes& source, const Bytes& patch);

}  // namespace kestrane::testing
