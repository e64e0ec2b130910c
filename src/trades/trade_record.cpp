#include "trades/trade_record.h"

#include <algorithm>

#include "support/bytes.h"
#include "support/hex_text.h"
#include "text/char_map.h"
#include "text/game_text.h"

namespace kestrane {
namespace {

// One slot's record from a file the caller has open.
Result<TradeReading> readRecord(File& file, const Rom& rom, Slot slot) {
    auto place = rom.place(slot);
    if (!place) return TradeReading{slot, std::nullopt};
    RecordBytes raw{};
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
    if (!isTradeRecord(raw, slot.recordIndex(), rom.game->facts)) {
        return changedByOther(ErrorCode::TradeChangedOnDisk,
                              "The bytes at " + hexOffset(place->offset) + " no longer hold " + slot.name() +
                                  ": " + quoted(rom.path) + " was changed since it was opened. Open it again.");
    }
    return TradeReading{slot, recordFromBytes(slot, *place, raw)};
}

}  // namespace

std::u16string shownName(std::span<const std::uint8_t> fieldBytes) {
    std::u16string text = decodeGameText(fieldBytes, 0);
    text.resize(kNameLength, u' ');
    // Trimmed in place: no second string.
    const auto first = text.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    text.erase(text.find_last_not_of(u' ') + 1);
    text.erase(0, first);
    return text;
}

std::string hiddenBytesNote(std::span<const std::uint8_t> fieldBytes) {
    const auto name = fieldBytes.first(std::min<std::size_t>(fieldBytes.size(), kNameLength));
    // Nearly every name shows everything: know that before building anything.
    const auto end = std::find(name.begin(), name.end(), kTerminator);
    if (std::all_of(name.begin(), end, [](std::uint8_t b) { return standardText(b).has_value(); })) return {};
    std::vector<std::pair<std::uint8_t, std::size_t>> hidden;  // byte, characters before it
    std::u16string decoded;
    for (std::uint8_t b : std::span(name.begin(), end)) {
        if (auto text = standardText(b)) decoded += *text;
        else hidden.emplace_back(b, decoded.size());
    }
    if (hidden.empty()) return {};
    // Positions count in the shown text, which has no leading blanks.
    const std::size_t leading = std::min(decoded.find_first_not_of(u' '), decoded.size());
    std::string note = "Also holds ";
    for (std::size_t i = 0; i < hidden.size(); ++i) {
        note += i == 0 ? "" : i + 1 == hidden.size() ? " and " : ", ";
        const std::size_t before = hidden[i].second > leading ? hidden[i].second - leading : 0;
        note += "0x" + toPaddedHex(hidden[i].first, 2) + " at character " + std::to_string(before + 1);
    }
    return note + "; kept unless you change this name.";
}

TradeRecord recordFromBytes(Slot slot, const RecordPlace& place, const RecordBytes& raw) {
    TradeRecord record;
    record.slot = slot;
    record.offset = place.offset;
    record.location = place.location;
    record.raw = raw;
    record.dialogSet = raw[kDialogSetAt];
    record.requestedSpecies = raw[kRequestedSpeciesAt];
    record.offeredSpecies = raw[kOfferedSpeciesAt];
    record.nickname = shownName(nameField(raw, kNicknameAt));
    record.dvs = {raw[kDvsAt] >> 4, raw[kDvsAt] & 0x0F, raw[kDvsAt + 1] >> 4, raw[kDvsAt + 1] & 0x0F};
    record.heldItem = raw[kHeldItemAt];
    record.trainerId = readLittleEndian16(std::span(raw).subspan(kTrainerIdAt, 2));
    record.trainerName = shownName(nameField(raw, kTrainerNameAt));
    record.genderRequirement = raw[kGenderRequirementAt];
    record.nicknameHidden = hiddenBytesNote(nameField(raw, kNicknameAt));
    record.trainerNameHidden = hiddenBytesNote(nameField(raw, kTrainerNameAt));
    return record;
}

Result<TradeReading> readTradeRecord(const Rom& rom, Slot slot, FileSystem& fs) {
    if (!rom.table) return rom.noTable;
    if (!rom.place(slot)) return TradeReading{slot, std::nullopt};
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
    std::vector<TradeReading> trades;
    for (int number = 1; number <= rom.slotCount(); ++number) {
        auto reading = readRecord(**file, rom, Slot::fromNumber(number));
        if (!reading) return reading.error();
        trades.push_back(std::move(*reading));
    }
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    return trades;
}

}  // namespace kestrane
