#include "support/opened_rom.h"

#include <stdexcept>

#include "families/families.h"

namespace kestrane::testing {

OpenedRom openedRom(const TempDir& dir, const std::string& name, Bytes image, int slot) {
    OpenedRom opened{std::move(image), {}, {}, {}};
    opened.path = dir.write(name, opened.image);
    auto rom = openRom(opened.path, families::all());
    if (!rom || !rom->table) throw std::runtime_error("the test image did not open: " + name);
    opened.rom = std::move(*rom);
    auto reading = readTradeRecord(opened.rom, Slot::fromNumber(slot));
    if (!reading || !reading->record) throw std::runtime_error("the test image has no such trade: " + name);
    opened.trade = *reading->record;
    return opened;
}

}  // namespace kestrane::testing
