// The Game Boy Advance as a platform: the identity its cartridge header
// gives, the header complement (its images' one check), and the one flat
// window through which a game reads its whole ROM.
#pragma once

#include "platform/platform.h"

namespace kestrane {

const Platform& gameBoyAdvancePlatform();

}  // namespace kestrane
