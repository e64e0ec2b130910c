// The start of most save tests: an image written to a file, opened as a
// ROM, and one of its trades read.
#pragma once

#include <string>

#include "support/rom_image.h"
#include "trades/rom.h"
#include "trades/trade_record.h"

namespace kestrane::testing {

struct OpenedRom {
    Bytes image;
    std::string path;
    Rom rom;
    TradeRecord trade;  // of the slot asked for
};

// Throws when the image does not open or the slot has no trade.
OpenedRom openedRom(const TempDir& dir, const std::string& name, Bytes image, int slot = 1);

}  // namespace kestrane::testing
