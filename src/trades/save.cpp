#include "trades/save.h"

#include <algorithm>

#include "support/hex_text.h"

namespace kestrane {
namespace {

struct PlannedRecord {
    const TradeEdit* edit;
    RecordBytes bytes;
};

// "Trade Number 3", or "the trades" for several.
std::string whatIsSaved(std::span<const TradeEdit> edits) {
    return edits.size() == 1 ? edits.front().shown.slot.name() : "the trades";
}

// Everything that needs no file: the ROM has a table, each edit is of a
// record of this ROM's table, no slot twice, and every edit plans.
Result<std::vector<PlannedRecord>> planAll(const Rom& rom, std::span<const TradeEdit> edits) {
    if (auto table = rom.tradeTable(); !table) return table.error();
    std::vector<PlannedRecord> planned;
    for (const TradeEdit& edit : edits) {
        const Slot slot = edit.shown.slot;
        auto place = slot.number() <= rom.slotCount() ? rom.place(slot) : std::nullopt;
        if (!place) return refused(ErrorCode::NoTrade, std::string(kNoTradeMessage));
        if (place->offset != edit.shown.offset) {
            return refused(ErrorCode::WrongRecord,
                           "The trade shown is not " + slot.name() + " of this ROM. Select the trade again.");
        }
        for (const PlannedRecord& other : planned) {
            if (other.edit->shown.slot == slot) {
                return refused(ErrorCode::WrongRecord, slot.name() + " is to be saved twice; give it once.");
            }
        }
        auto bytes = planTradeRecord(rom, edit);
        if (!bytes) return bytes.error().front();
        planned.push_back({&edit, *bytes});
    }
    return planned;
}

struct Changes {
    std::int64_t size = 0;  // of the file before the save
    std::vector<ByteChange> bytes;
};

// Checks the open file against what was read, and gives the bytes to change.
Result<Changes> changesIn(File& file, const Rom& rom, const std::vector<PlannedRecord>& planned) {
    auto size = file.size();
    if (!size) return size.error();
    for (const PlannedRecord& record : planned) {
        const TradeRecord& shown = record.edit->shown;
        if (*size < std::int64_t(shown.offset + kRecordSize)) {
            return changedByOther(ErrorCode::FileTooShort,
                                  quoted(rom.path) + " now ends at " + std::to_string(*size) +
                                      " bytes, before the trade record at " + hexOffset(shown.offset) +
                                      ": another program changed it since it was opened. Open it again.");
        }
    }
    std::array<std::uint8_t, kGameCodeLength> code{};
    if (auto read = readExactly(file, kGameCodeOffset, code); !read) return read.error();
    if (!std::equal(code.begin(), code.end(), rom.game->code.begin())) {
        const std::string now(code.begin(), code.end());
        return changedByOther(ErrorCode::GameChangedOnDisk,
                              quoted(rom.path) + " no longer holds the game it was opened as (its game code is now \"" +
                                  printableGameCode(now) + "\"). Open it again.");
    }
    Changes changes{*size, {}};
    for (const PlannedRecord& record : planned) {
        const TradeRecord& shown = record.edit->shown;
        RecordBytes onDisk{};
        if (auto read = readExactly(file, shown.offset, onDisk); !read) return read.error();
        if (onDisk != shown.raw) {
            return changedByOther(ErrorCode::TradeChangedOnDisk,
                                  shown.slot.name() + " was changed in " + quoted(rom.path) +
                                      " by another program since it was shown. Select the trade again to see what "
                                      "the file holds.");
        }
        for (std::uint32_t i = 0; i < kRecordSize; ++i) {
            if (onDisk[i] != record.bytes[i]) changes.bytes.push_back({shown.offset + i, onDisk[i], record.bytes[i]});
        }
    }
    std::sort(changes.bytes.begin(), changes.bytes.end(),
              [](const ByteChange& a, const ByteChange& b) { return a.offset < b.offset; });
    return changes;
}

// Runs of consecutive changed bytes: one write each.
std::vector<std::pair<ByteRange, std::vector<std::uint8_t>>> runsOf(const std::vector<ByteChange>& changes) {
    std::vector<std::pair<ByteRange, std::vector<std::uint8_t>>> runs;
    for (const ByteChange& c : changes) {
        if (runs.empty() || runs.back().first.last + 1 != c.offset) runs.push_back({{c.offset, c.offset}, {}});
        runs.back().first.last = c.offset;
        runs.back().second.push_back(c.after);
    }
    return runs;
}

}  // namespace

Result<SaveReport> saveTrades(const Rom& rom, std::span<const TradeEdit> edits, FileSystem& fs) {
    auto planned = planAll(rom, edits);
    if (!planned) return nothingWritten(planned.error());
    const std::string where = "Could not save " + whatIsSaved(edits) + " to " + quoted(rom.path);
    auto opened = fs.open(rom.path, OpenMode::ReadWrite);
    if (!opened) return nothingWritten(inContext(opened.error(), where));
    File& file = **opened;
    auto changes = changesIn(file, rom, *planned);
    if (!changes) {
        const Error& e = changes.error();
        return nothingWritten(e.kind == ErrorKind::FileFailure ? inContext(e, where) : e);
    }

    SaveReport report;
    report.bytesChanged = changes->bytes.size();
    const auto runs = runsOf(changes->bytes);
    std::vector<ByteRange> touched;
    for (const auto& [range, bytes] : runs) {
        touched.push_back(range);
        if (auto written = writeExactly(file, range.first, bytes); !written) {
            return mayHoldNewData(inContext(written.error(), where), touched);
        }
        report.written.push_back(range);
    }
    if (!touched.empty()) {
        if (auto flushed = file.flush(); !flushed) return mayHoldNewData(inContext(flushed.error(), where), touched);
        for (const auto& [range, bytes] : runs) {
            std::vector<std::uint8_t> back(bytes.size());
            if (auto read = readExactly(file, range.first, back); !read) {
                return mayHoldNewData(inContext(read.error(), where), touched);
            }
            if (back != bytes) {
                return mayHoldNewData(differsFromWritten(ErrorCode::VerifyFailed,
                                                         where + ": the bytes read back differ from those written."),
                                      touched);
            }
        }
        auto sizeAfter = file.size();
        if (!sizeAfter) return mayHoldNewData(inContext(sizeAfter.error(), where), touched);
        if (*sizeAfter != changes->size) {
            return mayHoldNewData(differsFromWritten(ErrorCode::FileSizeChanged,
                                                     where + ": the file's length changed from " +
                                                         std::to_string(changes->size) + " to " +
                                                         std::to_string(*sizeAfter) + " bytes."),
                                  touched);
        }
    }
    if (auto closed = file.close(); !closed) return mayHoldNewData(inContext(closed.error(), where), touched);
    for (const PlannedRecord& record : *planned) {
        const TradeRecord& shown = record.edit->shown;
        report.records.push_back(recordFromBytes(shown.slot, {shown.offset, shown.location}, record.bytes));
    }
    return report;
}

Result<SaveReport> writeTradeRecord(const Rom& rom, const TradeEdit& edit, FileSystem& fs) {
    return saveTrades(rom, std::span(&edit, 1), fs);
}

Result<std::vector<ByteChange>> previewSave(const Rom& rom, std::span<const TradeEdit> edits, FileSystem& fs) {
    auto planned = planAll(rom, edits);
    if (!planned) return planned.error();
    const std::string where = "Could not read " + quoted(rom.path);
    auto opened = fs.open(rom.path, OpenMode::Read);
    if (!opened) return inContext(opened.error(), where);
    auto changes = changesIn(**opened, rom, *planned);
    if (!changes) {
        const Error& e = changes.error();
        return e.kind == ErrorKind::FileFailure ? inContext(e, where) : e;
    }
    if (auto closed = (*opened)->close(); !closed) return inContext(closed.error(), where);
    return changes->bytes;
}

}  // namespace kestrane
