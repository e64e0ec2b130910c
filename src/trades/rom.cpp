#include "trades/rom.h"

#include <algorithm>
#include <vector>


namespace kestrane {

int Rom::slotCount() const { return std::max(kListedSlots, table ? table->records : 0); }

std::optional<RecordPlace> Rom::place(Slot slot) const {
    const int record = slot.recordIndex();
    if (!table || record >= table->records) return std::nullopt;
    const auto& locations = release->locations;
    const bool own = record < release->ownRecords && slot.index() < int(locations.size());
    return RecordPlace{table->offset + std::uint32_t(record) * release->layout.size,
                       own ? locations[std::size_t(slot.index())] : kAddedLocation};
}

Result<TradeTable> Rom::tradeTable() const {
    if (table) return *table;
    return noTable;
}

Result<Rom> openRom(const std::string& path, FileSystem& fs, RomParts parts) {
    auto where = [&] { return "Could not read " + quoted(path); };
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    auto identity = identifyRom(**file, path);
    if (!identity) return identity.error();
    if (!identity->release) return unsupportedRom(identity->gameCode);

    Rom rom;
    rom.path = path;
    rom.release = identity->release;
    auto table = locateTradeTable(**file, *rom.release, path);
    if (table) rom.table = *table;
    else if (table.error().code == ErrorCode::NoTradeTable) rom.noTable = table.error();
    else return table.error();
    if (parts.gameData) {
        auto items = readItemNames(**file, *rom.release);
        if (!items) return inContext(items.error(), where());
        rom.items = std::move(*items);
        auto ratios = readGenderRatios(**file, *rom.release);
        if (!ratios) return inContext(ratios.error(), where());
        rom.genderRatios = *ratios;
    }
    if (parts.checksums) {
        auto size = (*file)->size();
        if (!size) return inContext(size.error(), where());
        if (*size <= kLargestRomSize) {
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*size));
            if (auto read = readExactly(**file, 0, bytes); !read) return inContext(read.error(), where());
            rom.checksums = RomChecks(bytes).state();
        }
    }
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    return rom;
}

}  // namespace kestrane
