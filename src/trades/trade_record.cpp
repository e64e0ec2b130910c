#include "trades/trade_record.h"

#include <algorithm>

#include "support/bytes.h"
#include "support/hex_text.h"
#include "support/words.h"
#include "text/game_text.h"
#include "support/holding_file.h"

namespace kestrane {
namespace {

// One slot's record from a file the caller has open.
Result<TradeReading> readRecord(File& file, const Rom& rom, Slot slot) {
    auto place = rom.place(slot);
    if (!place) return TradeReading{slot, std::nullopt, std::nullopt};
    if (auto pastEnd = rom.pastEnd(slot, *place)) return TradeReading{slot, std::nullopt, std::move(pastEnd)};
    const Release& release = *rom.release;
    RecordBytes raw(release.layout.size);
    if (auto read = readExactly(file, place->offset, raw); !read) {
        // Only a short file costs the question of its size.
        auto size = file.size();
        if (read.error().code == ErrorCode::InputPastEnd && size) {
            return changedByOther(ErrorCode::FileTooShort,
                                  quoted(rom.path) + " now ends at " + std::to_string(*size) +
                                      " bytes, before the trade record at " + hexOffset(place->offset) +
                                      ": it was changed since it was opened. Open it again.");
        }
        return inContext(read.error(), "Could not read " + slot.name() + " from " + quoted(rom.path));
    }
    if (!isTradeRecord(raw, slot.recordIndex(release.slotOrder), release, rom.table->foundBy)) {
        return changedByOther(ErrorCode::TradeChangedOnDisk,
                              "The bytes at " + hexOffset(place->offset) + " no longer hold " + slot.name() +
                                  ": " + quoted(rom.path) + " was changed since it was opened. Open it again.");
    }
    return TradeReading{slot, recordFromBytes(release, slot, *place, raw), std::nullopt};
}

}  // namespace

std::u16string shownName(std::span<const std::uint8_t> fieldBytes, const Charset& charset) {
    // Not cut to the field's length in characters: a byte may show as a
    // token or glyph of several ("[PK]", "POKé"), and the name is its bytes.
    std::u16string text = decodeGameText(fieldBytes, charset);
    // Trimmed in place: no second string.
    const auto first = text.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    text.erase(text.find_last_not_of(u' ') + 1);
    text.erase(0, first);
    return text;
}

std::string hiddenBytesNote(std::span<const std::uint8_t> name, const Charset& charset) {
    // Nearly every name shows everything: know that before building anything.
    const auto end = std::find(name.begin(), name.end(), charset.terminator());
    if (std::all_of(name.begin(), end, [&](std::uint8_t b) { return charset.text(b).has_value(); })) return {};
    std::vector<std::pair<std::uint8_t, std::size_t>> hidden;  // byte, characters before it
    std::u16string decoded;
    for (std::uint8_t b : std::span(name.begin(), end)) {
        if (auto text = charset.text(b)) decoded += *text;
        else hidden.emplace_back(b, decoded.size());
    }
    if (hidden.empty()) return {};
    // Positions count in the shown text, which has no leading blanks.
    const std::size_t leading = std::min(decoded.find_first_not_of(u' '), decoded.size());
    std::vector<std::string> held;
    for (const auto& [byte, at] : hidden) {
        const std::size_t before = at > leading ? at - leading : 0;
        held.push_back("0x" + toPaddedHex(byte, 2) + " at character " + std::to_string(before + 1));
    }
    return "Also holds " + joinedList(held) + "; kept unless you change this name.";
}

TradeRecord recordFromBytes(const Release& release, Slot slot, const RecordPlace& place, const RecordBytes& raw) {
    const RecordLayout& layout = release.layout;
    const Charset& charset = release.charset();
    const RecordView view = raw;
    const auto nickname = nameField(raw, layout.nickname);
    TradeRecord record;
    record.slot = slot;
    record.offset = place.offset;
    record.location = place.location;
    record.raw = raw;
    if (layout.dialogSetAt) record.dialogSet = raw[*layout.dialogSetAt];
    record.requestedSpecies = speciesAt(raw, layout, layout.requestedSpeciesAt);
    record.offeredSpecies = speciesAt(raw, layout, layout.offeredSpeciesAt);
    record.nickname = shownName(nickname, charset);
    record.nicknameHidden = hiddenBytesNote(nickname, charset);
    if (layout.dvsAt) record.dvs = unpackDvs(view.subspan(*layout.dvsAt, 2));
    if (layout.heldItemAt) {
        record.heldItem = layout.itemWidth == 2 ? readLittleEndian16(view.subspan(*layout.heldItemAt, 2)) : raw[*layout.heldItemAt];
    }
    if (layout.trainerIdAt) record.trainerId = readLittleEndian16(view.subspan(*layout.trainerIdAt, 2));
    if (layout.trainerName) {
        const auto trainerName = nameField(raw, *layout.trainerName);
        record.trainerName = shownName(trainerName, charset);
        record.trainerNameHidden = hiddenBytesNote(trainerName, charset);
    }
    // The record checks hold every gender requirement byte to 0-2.
    if (layout.genderRequirementAt) record.genderRequirement = GenderRequirement(raw[*layout.genderRequirementAt]);
    for (const NumberPlace& numbers : layout.numbers) record.numbers[numbers.field] = numbersAt(view, numbers);
    return record;
}

TradeRecord recordWith(const Release& release, const TradeRecord& shown, const RecordBytes& raw) {
    return recordFromBytes(release, shown.slot, {shown.offset, shown.location}, raw);
}

Result<TradeReading> readTradeRecord(const Rom& rom, Slot slot, FileSystem& fs) {
    if (!rom.table) return rom.noTable;
    const auto place = rom.place(slot);
    if (!place) return TradeReading{slot, std::nullopt, std::nullopt};
    if (auto pastEnd = rom.pastEnd(slot, *place)) return *pastEnd;
    // Built only when something failed.
    auto where = [&] { return "Could not read " + slot.name() + " from " + quoted(rom.path); };
    auto file = fs.open(rom.path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    auto reading = readRecord(**file, rom, slot);
    if (!reading) return reading;
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    return reading;
}

Result<std::vector<TradeReading>> readTradeTable(const Rom& rom, FileSystem& fs) {
    if (!rom.table) return rom.noTable;
    auto where = [&] { return "Could not read " + quoted(rom.path); };
    auto file = fs.open(rom.path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    // The records in one read: each is taken from it (a short file holds
    // fewer, and a record past them is read, and refused, as one alone).
    HoldingFile held(**file);
    const auto recordSize = std::size_t(rom.release->layout.size);
    if (auto read = held.hold(rom.table->offset, std::size_t(rom.table->records) * recordSize); !read) {
        return inContext(read.error(), where());
    }
    std::vector<TradeReading> trades;
    for (int number = 1; number <= rom.slotCount(); ++number) {
        auto reading = readRecord(held, rom, Slot::fromNumber(number));
        if (!reading) return reading.error();
        trades.push_back(std::move(*reading));
    }
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    return trades;
}

}  // namespace kestrane
