#include "trades/trade_record.h"

#include <algorithm>
#include <cstdio>

#include "support/hex_bytes.h"
#include "support/utf.h"
#include "text/char_map.h"
#include "text/game_text.h"
#include "trades/games.h"
#include "trades/pokedex.h"
#include "trades/trainer_id.h"

namespace kestrane {
namespace {

std::string offsetText(std::uint32_t offset) { return "0x" + toPaddedHex(static_cast<std::int32_t>(offset), 5); }

std::string slotName(int slotIndex) { return "Trade Number " + std::to_string(slotIndex + 1); }

Result<void> checkSlotIndex(int slotIndex) {
    if (slotIndex >= 0 && slotIndex < kSlotCount) return {};
    return makeError(ErrorCode::SlotOutOfRange, "There is no trade slot " + std::to_string(slotIndex + 1) +
                                                    ": the slots are Trade Number 1 to Trade Number 7.");
}

Error tooShort(const std::string& path, std::int64_t size, std::uint32_t base) {
    return makeError(ErrorCode::FileTooShort,
                     quoted(path) + " ends at " + std::to_string(size) + " bytes, before the trade record at " +
                         offsetText(base) + ": it is not a whole Pok\u00e9mon Gold, Silver or Crystal ROM.");
}

std::span<const std::uint8_t> field(const RecordBytes& raw, std::uint32_t at, std::uint32_t length) {
    return std::span<const std::uint8_t>(raw).subspan(at, length);
}

Result<std::uint8_t> chosenSpecies(int index, std::uint8_t stored, const std::string& what) {
    if (index == kNoSpeciesChosen) {
        // A stored byte without a list entry cannot be chosen, only kept.
        if (stored >= kSpeciesCount) return stored;
        return makeError(ErrorCode::SpeciesNotChosen, "Please choose the " + what + " from the list.");
    }
    if (index < 0 || index >= kSpeciesCount) {
        return makeError(ErrorCode::SpeciesOutOfRange, "The " + what + " " + std::to_string(index) +
                                                           " is not in the list; choose a species from 0 to 251.");
    }
    return static_cast<std::uint8_t>(index);
}

Result<NameBytes> encodedName(const std::u16string& text, const std::u16string& shownText,
                              std::span<const std::uint8_t> storedField, const std::optional<NameBytes>& exact,
                              const std::string& what) {
    NameBytes out{};
    if (exact) {
        if (text != shownText) {
            return makeError(ErrorCode::ConflictingName, "The " + what +
                                                             " was given both as text and as bytes; change one of "
                                                             "them only.");
        }
        return *exact;
    }
    // The editor shows a trimmed, lossy decoding; re-encoding an untouched
    // name would drop bytes the standard map has no character for.
    if (text == shownText) {
        std::copy(storedField.begin(), storedField.end(), out.begin());
        return out;
    }
    if (auto bad = findUnencodable(text)) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(bad->character));
        return makeError(ErrorCode::UnencodableName,
                         "The " + what + " cannot hold \"" + toUtf8(bad->character) + "\" (" + buf +
                             "), character " + std::to_string(bad->position) +
                             ". Use letters, digits, blanks, ? ! . , or a token such as [PK] or \\h4A.");
    }
    std::vector<std::uint8_t> bytes = encodeGameText(text + u"\\");
    // The appended "\" is always the last byte; ten bytes before it still fit.
    if (bytes.size() > kNameLength + 1) {
        return makeError(ErrorCode::NameTooLong, "The " + what + " needs " + std::to_string(bytes.size() - 1) +
                                                     " bytes, but its field holds " + std::to_string(kNameLength) +
                                                     ". Please shorten it.");
    }
    bytes.resize(kNameLength, 0x20);
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return out;
}

// The changed bytes of each of the two ranges the editor owns, as offsets
// within the record.
std::vector<ByteRange> changedRanges(const RecordBytes& before, const RecordBytes& after) {
    std::vector<ByteRange> ranges;
    constexpr std::pair<std::uint32_t, std::uint32_t> kOwned[] = {
        {kRequestedSpeciesAt, kNicknameAt + kNameLength}, {kTrainerIdAt, kTrainerNameAt + kNameLength}};
    for (auto [from, to] : kOwned) {
        std::uint32_t first = to, last = from;
        for (std::uint32_t i = from; i < to; ++i) {
            if (before[i] != after[i]) {
                first = std::min(first, i);
                last = i;
            }
        }
        if (first < to) ranges.push_back({first, last});
    }
    return ranges;
}

TradeRecord recordFromBytes(const TradeSlot& slot, const RecordBytes& raw) {
    TradeRecord record;
    record.base = slot.recordBase;
    record.location = slot.location;
    record.raw = raw;
    record.requestedSpecies = raw[kRequestedSpeciesAt];
    record.offeredSpecies = raw[kOfferedSpeciesAt];
    record.nickname = shownName(field(raw, kNicknameAt, kNameLength));
    record.trainerName = shownName(field(raw, kTrainerNameAt, kNameLength));
    // File order is low byte first; reversed, the digits read as one number.
    std::string idHex = reverseHexBytes(bytesToHex(field(raw, kTrainerIdAt, kTrainerIdLength)));
    record.trainerId = static_cast<std::uint16_t>(std::stoul(idHex, nullptr, 16));
    return record;
}

std::string mayHoldPart(std::uint32_t base, const std::vector<ByteRange>& touched) {
    return "Bytes " + offsetText(base + touched.front().first) + " to " + offsetText(base + touched.back().last) +
           " may hold part of the new trade; show the trade again to see what the file holds.";
}

}  // namespace

std::u16string shownName(std::span<const std::uint8_t> fieldBytes) {
    std::u16string text = decodeGameText(fieldBytes, 0);
    text.resize(kNameLength, u' ');
    auto first = text.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

namespace {

// One slot's record from a file the caller has open.
Result<TradeReading> readRecord(File& file, const std::string& path, std::string_view gameCode, int slotIndex) {
    TradeSlot slot = tradeLayout(gameCode, slotIndex);
    if (slot.answer != LookupAnswer::Trade) return TradeReading{slot.answer, std::nullopt};
    RecordBytes raw{};
    if (auto read = readExactly(file, slot.recordBase, raw); !read) {
        // Only a short file costs the question of its size.
        auto size = file.size();
        if (read.error().code == ErrorCode::InputPastEnd && size) return tooShort(path, *size, slot.recordBase);
        return inContext(read.error(), "Could not read " + slotName(slotIndex) + " from " + quoted(path));
    }
    return TradeReading{LookupAnswer::Trade, recordFromBytes(slot, raw)};
}

}  // namespace

Result<TradeReading> readTradeRecord(const std::string& path, std::string_view gameCode, int slotIndex,
                                     FileSystem& fs) {
    if (auto valid = checkSlotIndex(slotIndex); !valid) return valid.error();
    if (LookupAnswer answer = tradeLayout(gameCode, slotIndex).answer; answer != LookupAnswer::Trade) {
        return TradeReading{answer, std::nullopt};
    }
    // Built only when something failed.
    auto where = [&] { return "Could not read " + slotName(slotIndex) + " from " + quoted(path); };
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    auto reading = readRecord(**file, path, gameCode, slotIndex);
    if (!reading) return reading;
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    return reading;
}

Result<RomTable> readRomTable(const std::string& path, FileSystem& fs) {
    // Built only when something failed.
    auto where = [&] { return "Could not read " + quoted(path); };
    auto file = fs.open(path, OpenMode::Read);
    if (!file) return inContext(file.error(), where());
    auto identity = identifyRom(**file, path);
    if (!identity) return identity.error();
    RomTable table{*identity, {}};
    for (int slot = 0; identity->game && slot < kSlotCount; ++slot) {
        auto reading = readRecord(**file, path, identity->gameCode, slot);
        if (!reading) return reading.error();
        table.trades.push_back(std::move(*reading));
    }
    if (auto closed = (*file)->close(); !closed) return inContext(closed.error(), where());
    return table;
}

TradeEdit uneditedEdit(const TradeRecord& shown) {
    TradeEdit edit;
    edit.requestedSpecies = shown.requestedSpecies < kSpeciesCount ? shown.requestedSpecies : kNoSpeciesChosen;
    edit.offeredSpecies = shown.offeredSpecies < kSpeciesCount ? shown.offeredSpecies : kNoSpeciesChosen;
    edit.nickname = shown.nickname;
    edit.trainerName = shown.trainerName;
    const std::string id = std::to_string(shown.trainerId);
    edit.trainerId.assign(id.begin(), id.end());
    edit.shown = shown;
    return edit;
}

Result<RecordBytes> planTradeRecord(const TradeEdit& edit) {
    const TradeRecord& shown = edit.shown;
    auto id = parseTrainerId(edit.trainerId);
    if (!id) return id.error();
    auto requested = chosenSpecies(edit.requestedSpecies, shown.requestedSpecies, "requested species (Your Pok\u00e9mon)");
    if (!requested) return requested.error();
    auto offered = chosenSpecies(edit.offeredSpecies, shown.offeredSpecies, "offered species (Offered Pok\u00e9mon)");
    if (!offered) return offered.error();
    auto nickname = encodedName(edit.nickname, shown.nickname, field(shown.raw, kNicknameAt, kNameLength),
                                edit.nicknameBytes, "nickname");
    if (!nickname) return nickname.error();
    auto trainerName = encodedName(edit.trainerName, shown.trainerName, field(shown.raw, kTrainerNameAt, kNameLength),
                                   edit.trainerNameBytes, "original trainer's name");
    if (!trainerName) return trainerName.error();
    // The ID goes to the file low byte first, as four hex digits reversed.
    auto idBytes = hexToBytes(reverseHexBytes(toPaddedHex(*id, 4)));
    if (!idBytes) return idBytes.error();

    RecordBytes out = shown.raw;
    out[kRequestedSpeciesAt] = *requested;
    out[kOfferedSpeciesAt] = *offered;
    std::copy(nickname->begin(), nickname->end(), out.begin() + kNicknameAt);
    std::copy(idBytes->begin(), idBytes->end(), out.begin() + kTrainerIdAt);
    std::copy(trainerName->begin(), trainerName->end(), out.begin() + kTrainerNameAt);
    return out;
}

Result<SaveReport> writeTradeRecord(const std::string& path, std::string_view gameCode, int slotIndex,
                                    const TradeEdit& edit, FileSystem& fs) {
    const std::string nothing = "Nothing was written.";
    if (auto valid = checkSlotIndex(slotIndex); !valid) return valid.error();
    TradeSlot slot = tradeLayout(gameCode, slotIndex);
    if (slot.answer == LookupAnswer::NoLayout) {
        return makeError(ErrorCode::NoLayout, "The game code \"" + printableGameCode(gameCode) +
                                                  "\" is not Pok\u00e9mon Gold, Silver or Crystal, so it has no "
                                                  "trades to save. " + nothing);
    }
    if (slot.answer == LookupAnswer::NoTrade) {
        return makeError(ErrorCode::NoTrade, std::string(kNoTradeMessage) + " " + nothing);
    }
    const TradeRecord& shown = edit.shown;
    if (shown.base != slot.recordBase) {
        return makeError(ErrorCode::WrongRecord, "The trade shown is not " + slotName(slotIndex) +
                                                     " of this game. Select the trade again. " + nothing);
    }
    auto planned = planTradeRecord(edit);
    if (!planned) return planned.error();

    const std::string where = "Could not save " + slotName(slotIndex) + " to " + quoted(path);
    auto opened = fs.open(path, OpenMode::ReadWrite);
    if (!opened) return inContext(opened.error(), where, nothing);
    File& file = **opened;
    auto size = file.size();
    if (!size) return inContext(size.error(), where, nothing);
    if (*size < static_cast<std::int64_t>(slot.recordBase + kRecordSpan)) {
        Error shortFile = tooShort(path, *size, slot.recordBase);
        return Error{shortFile.code, shortFile.message + " " + nothing};
    }
    std::array<std::uint8_t, kGameCodeLength> codeBytes{};
    if (auto read = readExactly(file, kGameCodeOffset, codeBytes); !read) return inContext(read.error(), where, nothing);
    const std::string codeNow(codeBytes.begin(), codeBytes.end());
    if (codeNow != gameCode) {
        return makeError(ErrorCode::GameChangedOnDisk,
                         quoted(path) + " no longer holds the game it was opened as (its game code is now \"" +
                             printableGameCode(codeNow) + "\"). Open it again. " + nothing);
    }
    RecordBytes onDisk{};
    if (auto read = readExactly(file, slot.recordBase, onDisk); !read) return inContext(read.error(), where, nothing);
    if (onDisk != shown.raw) {
        return makeError(ErrorCode::TradeChangedOnDisk,
                         slotName(slotIndex) + " was changed in " + quoted(path) +
                             " by another program since it was shown. Select the trade again to see what the file "
                             "holds. " + nothing);
    }

    SaveReport report;
    for (std::size_t i = 0; i < kRecordSpan; ++i) report.bytesChanged += onDisk[i] != (*planned)[i];
    std::vector<ByteRange> touched;
    for (ByteRange range : changedRanges(onDisk, *planned)) {
        touched.push_back(range);
        auto bytes = std::span<const std::uint8_t>(*planned).subspan(range.first, range.last - range.first + 1);
        if (auto written = writeExactly(file, slot.recordBase + range.first, bytes); !written) {
            return inContext(written.error(), where, mayHoldPart(slot.recordBase, touched));
        }
        report.written.push_back({slot.recordBase + range.first, slot.recordBase + range.last});
    }
    if (!touched.empty()) {
        const std::string unsure = mayHoldPart(slot.recordBase, touched);
        if (auto flushed = file.flush(); !flushed) return inContext(flushed.error(), where, unsure);
        RecordBytes readBack{};
        if (auto read = readExactly(file, slot.recordBase, readBack); !read) return inContext(read.error(), where, unsure);
        if (readBack != *planned) {
            return makeError(ErrorCode::VerifyFailed, where + ": the bytes read back differ from those written. " + unsure);
        }
        auto sizeAfter = file.size();
        if (!sizeAfter) return inContext(sizeAfter.error(), where, unsure);
        if (*sizeAfter != *size) {
            return makeError(ErrorCode::FileSizeChanged, where + ": the file's length changed from " +
                                                             std::to_string(*size) + " to " +
                                                             std::to_string(*sizeAfter) + " bytes. " + unsure);
        }
    }
    if (auto closed = file.close(); !closed) {
        return inContext(closed.error(), where,
                         touched.empty() ? nothing : mayHoldPart(slot.recordBase, touched));
    }
    report.record = recordFromBytes(slot, *planned);
    return report;
}

}  // namespace kestrane
