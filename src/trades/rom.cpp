#include "trades/rom.h"

#include <algorithm>
#include <vector>

#include "support/hex_text.h"
#include "support/words.h"
#include "support/holding_file.h"

namespace kestrane {

int Rom::slotCount() const { return std::max(kListedSlots, table ? table->records : 0); }

std::optional<RecordPlace> Rom::place(Slot slot) const {
    const int record = slot.recordIndex(release->slotOrder);
    if (!table || record >= table->records) return std::nullopt;
    // A game that keeps no count places every trade by the scripts that start it.
    const bool own = slot.index() < int(words->places.size()) && (!countsItsTrades(*release) || record < release->ownRecords);
    return RecordPlace{table->offset + std::uint32_t(record) * release->layout.size,
                       own ? words->places[std::size_t(slot.index())] : std::string(kAddedLocation)};
}

std::optional<Error> Rom::pastEnd(Slot slot, const RecordPlace& place) const {
    if (place.offset + std::int64_t(release->layout.size) <= size.file) return std::nullopt;
    std::string message = slot.name() + " lies past the end of the file: its record would start at " +
                          hexOffset(place.offset) + ", but " + quoted(path) + " ends at " + groupedNumber(size.file) +
                          " bytes.";
    if (size.cutOff()) message += " " + size.cutOffNote();
    return refused(ErrorCode::RecordPastEnd, message);
}

std::array<std::string, 5> Rom::traderLines(std::uint8_t set, SpeciesId requested, SpeciesId offered,
                                            std::optional<GenderRequirement> genderRequirement) const {
    auto name = [&](SpeciesId id) {
        if (gameSpeciesNames && id >= 1 && id < gameSpeciesNames->size()) return (*gameSpeciesNames)[id];
        return species->listed(id) ? std::string(species->name(id)) : std::string("?????");
    };
    return kestrane::traderLines(*words, *release, set, {name(requested), name(offered), genderRequirement});
}

int Rom::lastItem() const {
    if (release->layout.itemWidth == 1) return 0xFF;
    return items ? int(items->size()) - 1 : 0xFFFF;
}

std::string Rom::tableNote() const {
    if (!table || table->foundBy != FoundBy::RecordScan) return {};
    return "The trade table was " + std::string(kFoundByRecordsNote) + ".";
}

Result<TradeTable> Rom::tradeTable() const {
    if (table) return *table;
    return noTable;
}

Result<Rom> openRom(const std::string& path, Families families, FileSystem& fs, RomParts parts) {
    auto where = [&] { return "Could not read " + quoted(path); };
    auto opened = fs.open(path, OpenMode::Read);
    if (!opened) return inContext(opened.error(), where());
    // Every step after the first reads through what the steps before it read.
    HoldingFile held(**opened);
    auto identity = identifyRom(held, path, families);
    if (!identity) return identity.error();
    if (!identity->release) return unsupportedRom(*identity, path, families);

    Rom rom(nullptr);
    rom.path = path;
    rom.release = identity->release;
    rom.version = identity->header.version;
    auto size = held.size();
    if (!size) return inContext(size.error(), where());
    rom.size = RomSize{*size, identity->header.headerSize};
    if (parts.readOnly) {
        auto status = fs.status(path);
        if (!status) return inContext(status.error(), where());
        rom.readOnly = status->readOnly;
    }
    // The checksums read the whole file, through one piece's buffer: a
    // process that held the whole image would fault in every page of it.
    if (parts.checksums) {
        const Platform& platform = rom.release->family().platform();
        rom.checksumsSkipped = checksumsSkipped(platform, rom.size);
        if (!rom.checksumsSkipped) {
            auto state = platform.readChecksumState(held, rom.size.file);
            if (!state) return inContext(state.error(), where());
            rom.checksums = *state;
        }
    }
    // What the table's finding and the game data's reading share.
    const std::unique_ptr<OpeningNotes> notes = rom.release->family().beginOpening();
    auto table = locateTradeTable(held, *rom.release, path, rom.size, notes.get());
    // The table's row: the release, or the variant whose layout the game's code reads.
    if (table) {
        rom.table = *table;
        rom.release = table->release;
    }
    else if (table.error().code == ErrorCode::NoTradeTable) rom.noTable = table.error();
    else return table.error();
    rom.speciesBuiltInWhy = "not read";
    // Read below where the game data is, which replaces them.
    if (!parts.gameData) rom.words = wordsNotRead(*rom.release);
    if (parts.gameData) {
        if (auto read = rom.release->family().readGameData(held, rom, *notes); !read) return inContext(read.error(), where());
    }
    if (auto closed = held.close(); !closed) return inContext(closed.error(), where());
    if (!rom.species) rom.species = builtInSpeciesListShared();
    return rom;
}

}  // namespace kestrane
