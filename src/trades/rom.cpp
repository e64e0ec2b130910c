#include "trades/rom.h"

#include <algorithm>
#include <vector>

#include "support/hex_text.h"
#include "support/words.h"
#include "trades/first_generation.h"
#include "trades/first_generation_code.h"

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

Result<Rom> openRom(const std::string& path, FileSystem& fs, RomParts parts) {
    auto where = [&] { return "Could not read " + quoted(path); };
    auto opened = fs.open(path, OpenMode::Read);
    if (!opened) return inContext(opened.error(), where());
    // Every step after the first reads through what the steps before it read.
    HoldingFile held(**opened);
    auto identity = identifyRom(held, path);
    if (!identity) return identity.error();
    if (!identity->release && !identity->cartridgeHeader) return notAGameBoyRom(path);
    if (!identity->release) return unsupportedRom(identity->gameCode, identity->version, identity->destination);

    Rom rom(nullptr);
    rom.path = path;
    rom.release = identity->release;
    rom.version = identity->version;
    auto size = held.size();
    if (!size) return inContext(size.error(), where());
    rom.size = RomSize{*size, identity->headerSize};
    if (parts.readOnly) {
        auto status = fs.status(path);
        if (!status) return inContext(status.error(), where());
        rom.readOnly = status->readOnly;
    }
    // The checksums read the whole file, through one piece's buffer: a
    // process that held the whole image would fault in every page of it.
    if (parts.checksums) {
        rom.checksumsSkipped = checksumsSkipped(rom.size);
        if (!rom.checksumsSkipped) {
            auto state = readChecksumState(held, rom.size.file);
            if (!state) return inContext(state.error(), where());
            rom.checksums = *state;
        }
    }
    TradeScriptsOnce scripts;
    auto table = locateTradeTable(held, *rom.release, path, rom.size, &scripts);
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
    if (parts.gameData && rom.release->family == Family::RedBlueYellow) {
        auto code = readFirstGenerationCode(held, *rom.release, rom.table ? rom.table->routine : std::nullopt, rom.size.file);
        if (!code) return inContext(code.error(), where());
        rom.firstGenerationCode = std::make_shared<const FirstGenerationCode>(std::move(*code));
        auto species = readFirstGenerationSpecies(held, *rom.release, *rom.firstGenerationCode, rom.size.file);
        if (!species) return inContext(species.error(), where());
        rom.speciesBuiltInWhy = species->whyNot;
        rom.species = std::make_shared<const SpeciesList>(std::move(species->species), rom.release->language == Language::English);
        if (species->whyNot.empty()) rom.gameSpeciesNames = std::make_shared<const std::vector<std::string>>(std::move(species->gameNames));
        auto words = readTradeWords(held, *rom.release, rom.size, rom.firstGenerationCode.get(), &scripts);
        if (!words) return inContext(words.error(), where());
        rom.words = std::make_shared<const TradeWordsRead>(std::move(*words));
    } else if (parts.gameData) {
        // The base data first: it says how many species there are.
        auto base = readBaseData(held, *rom.release, rom.size.file);
        if (!base) return inContext(base.error(), where());
        if (*base) {
            rom.genderRatios = (*base)->genderRatios;
            rom.pictureSizes = (*base)->pictureSizes;
        }
        const int count = *base ? (*base)->lastId : kDexSpecies;
        auto species = rom.release->baseDataForm == BaseDataForm::Indirect && !*base
                           ? Result<RomSpeciesNames>(RomSpeciesNames{{}, "the base data, which says how many species there are, "
                                                                         "is not where the game keeps it"})
                           : readSpeciesNames(held, *rom.release, count, rom.size.file);
        if (!species) return inContext(species.error(), where());
        rom.speciesBuiltInWhy = species->whyNot;
        if (species->whyNot.empty()) {
            rom.species = std::make_shared<const SpeciesList>(species->names, rom.release->language == Language::English);
            species->names.insert(species->names.begin(), std::string());
            rom.gameSpeciesNames = std::make_shared<const std::vector<std::string>>(std::move(species->names));
        }
        auto words = readTradeWords(held, *rom.release, rom.size);
        if (!words) return inContext(words.error(), where());
        rom.words = std::make_shared<const TradeWordsRead>(std::move(*words));
        auto items = readItemNames(held, *rom.release);
        if (!items) return inContext(items.error(), where());
        rom.items = std::move(*items);
    }
    if (auto closed = held.close(); !closed) return inContext(closed.error(), where());
    if (!rom.species) rom.species = builtInSpeciesListShared();
    return rom;
}

}  // namespace kestrane
