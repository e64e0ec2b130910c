// The Game Boy and Game Boy Color as a platform: the identity its
// cartridge header gives (cartridge.h holds the header's facts).
#pragma once

#include "platform/platform.h"

namespace kestrane {

const Platform& gameBoyPlatform();

}  // namespace kestrane
