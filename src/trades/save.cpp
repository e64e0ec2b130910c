#include "trades/save.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>

#include "support/hex_text.h"
#include "support/words.h"
#include "trades/checksum_upkeep.h"
#include "trades/save_transaction.h"
#include "support/holding_file.h"
#include "support/new_file.h"

namespace kestrane {
namespace {

bool byOffset(const ByteChange& a, const ByteChange& b) { return a.offset < b.offset; }

struct PlannedRecord {
    const TradeEdit* edit;
    RecordBytes bytes;
};

// "Trade Number 3", "the trades", or "the checksums" for a save of no trade.
std::string whatIsSaved(std::span<const TradeEdit> edits) {
    return edits.size() == 1 ? edits.front().shown.slot.name() : edits.empty() ? "the checksums" : "the trades";
}

// Why a record's new bytes would no longer be found as this table's
// record, or none: a save never leaves a table Kestrane would not find again.
std::optional<std::string> wouldHide(const Rom& rom, Slot slot, const RecordBytes& bytes) {
    const Release& release = *rom.release;
    const FoundBy how = rom.table->foundBy;
    const RecordFault fault = tradeRecordFault(bytes, slot.recordIndex(release.slotOrder), release, how);
    if (fault == RecordFault::None) return std::nullopt;
    std::string why = recordFaultText(fault, bytes, release.layout, release.charset());
    why[0] = char(std::toupper(static_cast<unsigned char>(why[0])));
    return why + (how == FoundBy::RecordScan ? "; a table found by its records alone must keep every record recognisable."
                  : !countsItsTrades(release)
                      ? "; " + std::string(release.name) + " keeps no count of its trades, so each is known by its bytes "
                                                           "alone and its record must stay recognisable."
                      : "; a trade this ROM added is known by its bytes alone, so its record must stay recognisable.");
}

// Everything that needs no file: the ROM has a table, each edit is of a
// record of this ROM's table, no slot twice, and every edit plans. Every
// problem of every edit is told, each after its trade's name when there are
// several trades.
Result<std::vector<PlannedRecord>> planAll(const Rom& rom, std::span<const TradeEdit> edits) {
    if (auto table = rom.tradeTable(); !table && !edits.empty()) return table.error();
    std::vector<PlannedRecord> planned;
    Problems problems;
    for (const TradeEdit& edit : edits) {
        const Slot slot = edit.shown.slot;
        const std::string where = edits.size() > 1 ? slot.name() + ": " : "";
        auto problem = [&](ErrorCode code, const std::string& message) {
            problems.push_back(refused(code, where + message));
        };
        auto place = slot.number() <= rom.slotCount() ? rom.place(slot) : std::nullopt;
        if (!place) {
            problem(ErrorCode::NoTrade, std::string(kNoTradeMessage));
        } else if (place->offset != edit.shown.offset) {
            problem(ErrorCode::WrongRecord, "The trade shown is not " + slot.name() + " of this ROM. Select the trade again.");
        } else if (std::any_of(planned.begin(), planned.end(), [&](const PlannedRecord& p) { return p.edit->shown.slot == slot; })) {
            problem(ErrorCode::WrongRecord, slot.name() + " is to be saved twice; give it once.");
        } else if (auto bytes = planTradeRecord(rom, edit); !bytes) {
            for (const Error& e : bytes.error()) problem(e.code, e.message);
        } else if (auto hidden = wouldHide(rom, slot, *bytes)) {
            problem(ErrorCode::WouldHideRecord, *hidden);
        } else {
            planned.push_back({&edit, *bytes});
        }
    }
    if (!problems.empty()) return together(problems);
    return planned;
}

struct Changes {
    std::int64_t size = 0;  // of the file before the save
    // The trades' bytes first (by offset), then the checksums': a save cut
    // short (a crash, a killed process) leaves stale checksums, never new
    // checksums over an old record.
    std::vector<ByteChange> bytes;
    std::size_t tradeBytes = 0;
    ChecksumState before;
    bool checksumsUpdated = false;
    std::optional<ChecksumsSkipped> checksumsSkipped;
    std::vector<std::uint8_t> image;  // the whole file as read, where it was read whole
};

// The checksums' upkeep added to the trades' changes, after them.
void addChecksums(const Platform& platform, std::span<std::uint8_t> image, CheckSums sums, ChecksumPolicy policy,
                  Changes& changes, const CheckSet& built = {}) {
    ChecksumUpkeep upkeep = keepChecksums(platform, image, std::move(sums), policy, changes.bytes, built);
    changes.before = upkeep.before;
    changes.checksumsUpdated = upkeep.updated;
    changes.bytes.insert(changes.bytes.end(), upkeep.bytes.begin(), upkeep.bytes.end());
}

// Checks the open file against what was read, and gives the bytes to change
// (and, with `whole`, the whole file as read).
Result<Changes> changesIn(File& file, const Rom& rom, const std::vector<PlannedRecord>& planned, ChecksumPolicy policy,
                          const CheckSet& built, bool whole = false) {
    auto size = file.size();
    if (!size) return size.error();
    for (const PlannedRecord& record : planned) {
        const TradeRecord& shown = record.edit->shown;
        if (*size < std::int64_t(shown.offset + shown.raw.size())) {
            return changedByOther(ErrorCode::FileTooShort,
                                  quoted(rom.path) + " now ends at " + std::to_string(*size) +
                                      " bytes, before the trade record at " + hexOffset(shown.offset) +
                                      ": another program changed it since it was opened. Open it again.");
        }
    }
    // Every later step reads what this one holds: what the checksums are
    // made of where they are kept (the whole file where a copy is made), read once.
    const Platform& platform = rom.release->family().platform();
    HoldingFile held(file);
    CheckSums sums;
    const bool wholeNeeded = (policy != ChecksumPolicy::Leave && *size <= platform.largestImage()) || whole;
    if (wholeNeeded) {
        auto summed = platform.holdWholeSummed(held, whole ? *size : platform.checkedBytes(*size));
        if (!summed) return summed.error();
        sums = std::move(*summed);
    }
    // The game, as the platform identifies it.
    auto now = platform.identify(held, rom.path, [&] { return std::string(rom.release->name); });
    if (!now) return now.error();
    if (!identifies(*now, *rom.release)) {
        const std::string_view code = rom.release->code;
        const bool byTitle = code.size() != now->gameCode.size();
        return changedByOther(ErrorCode::GameChangedOnDisk,
                              quoted(rom.path) + " no longer holds the game it was opened as (its " +
                                  std::string(platform.identityWord(code)) + " is now \"" +
                                  printableGameCode(byTitle ? now->title : now->gameCode) + "\"). Open it again.");
    }
    // Checksums are the sums of a whole cartridge image: a larger file, or
    // one cut off, has none to keep.
    std::optional<ChecksumsSkipped> skipped;
    if (policy != ChecksumPolicy::Leave) {
        const RomSize sized{*size, now->headerSize};
        skipped = checksumsSkipped(platform, sized);
        if (skipped && policy == ChecksumPolicy::MakeConsistent) {
            return refused(ErrorCode::TooLargeForChecksums,
                           *skipped == ChecksumsSkipped::TooLarge
                               ? quoted(rom.path) + " is " + std::to_string(*size) + " bytes, more than any " +
                                     std::string(platform.name()) + " ROM holds (" + largestImageText(platform) +
                                     "): Kestrane computes no checksums for it."
                               : sized.cutOffNote() + " Kestrane computes no checksums for a file that may be cut off.");
        }
        if (skipped) policy = ChecksumPolicy::Leave;
    }
    Changes changes;
    changes.size = *size;
    changes.checksumsSkipped = skipped;
    for (const PlannedRecord& record : planned) {
        const TradeRecord& shown = record.edit->shown;
        RecordBytes onDisk(shown.raw.size());
        if (auto read = readExactly(held, shown.offset, onDisk); !read) return read.error();
        if (onDisk != shown.raw) {
            return changedByOther(ErrorCode::TradeChangedOnDisk,
                                  shown.slot.name() + " was changed in " + quoted(rom.path) +
                                      " by another program since it was shown. Select the trade again to see what "
                                      "the file holds.");
        }
        for (std::uint32_t i = 0; i < onDisk.size(); ++i) {
            if (onDisk[i] != record.bytes[i]) changes.bytes.push_back({shown.offset + i, onDisk[i], record.bytes[i]});
        }
    }
    // The game still reads its trades where they were found: no write from a remembered offset alone.
    if (!planned.empty()) {
        int needed = 0;
        for (const PlannedRecord& record : planned) needed = std::max(needed, record.edit->shown.slot.recordIndex(rom.release->slotOrder) + 1);
        if (auto confirmed = confirmTradeTable(held, *rom.release, *rom.table, needed, rom.path, rom.size); !confirmed) {
            return confirmed.error();
        }
    }
    changes.tradeBytes = changes.bytes.size();
    std::sort(changes.bytes.begin(), changes.bytes.end(), byOffset);
    if (policy != ChecksumPolicy::Leave) addChecksums(platform, *held.whole(), std::move(sums), policy, changes, built);
    if (whole) {
        const std::span<const std::uint8_t> image = *held.whole();
        changes.image.assign(image.begin(), image.end());
        // addChecksums made the checksums' bytes; the trades' are made here.
        for (std::size_t i = 0; i < changes.tradeBytes; ++i) changes.image[changes.bytes[i].offset] = changes.bytes[i].after;
    }
    return changes;
}

SaveReport reportOf(const Changes& changes) {
    SaveReport report;
    report.changes = changes.bytes;
    report.bytesChanged = changes.tradeBytes;
    report.checksumsBefore = changes.before;
    report.checksumsUpdated = changes.checksumsUpdated;
    report.checksumsSkipped = changes.checksumsSkipped;
    return report;
}

void addRecords(SaveReport& report, const Rom& rom, const std::vector<PlannedRecord>& planned) {
    for (const PlannedRecord& record : planned) {
        const TradeRecord& shown = record.edit->shown;
        report.records.push_back(recordWith(*rom.release, shown, record.bytes));
    }
}

}  // namespace

Result<SaveReport> saveTrades(const Rom& rom, std::span<const TradeEdit> edits, SaveOptions options, FileSystem& fs) {
    auto planned = planAll(rom, edits);
    if (!planned) return nothingWritten(planned.error());
    const std::string where = "Could not save " + whatIsSaved(edits) + " to " + quoted(rom.path);
    auto check = [&](File& file) { return changesIn(file, rom, *planned, options.checksums, options.built); };
    auto write = [&](File& file, const Changes& changes) -> Result<SaveReport> {
        SaveReport report = reportOf(changes);
        auto written = writeChanges(file, fs, rom.path, changes.bytes, changes.size, where);
        if (!written) return written.error();
        report.written = *written;
        addRecords(report, rom, *planned);
        return report;
    };
    return transaction(rom.path, options.makeWritable, options.lockWait, fs, where, check, write);
}

Result<SaveReport> saveTradesAs(const Rom& rom, std::span<const TradeEdit> edits, const std::string& copy,
                                SaveOptions options, FileSystem& fs) {
    auto planned = planAll(rom, edits);
    if (!planned) return nothingWritten(planned.error());
    const std::string where = "Could not save a copy of " + quoted(rom.path) + " to " + quoted(copy);
    // Read only: a copy is how a read-only ROM is saved. Without the save
    // lock, which needs a file open for writing.
    auto opened = fs.open(rom.path, OpenMode::Read);
    if (!opened) return nothingWritten(inContext(opened.error(), where));
    auto changes = changesIn(**opened, rom, *planned, options.checksums, options.built, true);
    if (!changes) return nothingWritten(inWhere(changes.error(), where));
    if (auto closed = (*opened)->close(); !closed) return nothingWritten(inContext(closed.error(), where));
    const ProtectedFile never[] = {{rom.path, "the ROM"}};
    if (auto written = writeNewFile(fs, copy, changes->image, never); !written) return nothingWritten(inContext(written.error(), where));
    SaveReport report = reportOf(*changes);
    addRecords(report, rom, *planned);
    return report;
}

Result<SaveReport> rewindSave(const Rom& rom, std::span<const ByteChange> changes, Rewind way, SaveOptions options,
                              FileSystem& fs) {
    const bool undo = way == Rewind::Undo;
    const Platform& platform = rom.release->family().platform();
    const std::string where = std::string(undo ? "Could not undo the save in " : "Could not redo the save in ") + quoted(rom.path);
    // The file still holds what the save left (undo) or found (redo) in
    // every byte of the trades; where another program's save has changed
    // only the checksums since, they are made again for the file as it is.
    auto check = [&](File& file) -> Result<Changes> {
        auto size = file.size();
        if (!size) return size.error();
        // The records the save changed: the table must still hold them where the game reads them.
        int needed = 0;
        for (const ByteChange& c : changes) {
            if (!checkOfByte(platform, c.offset) && rom.table && c.offset >= rom.table->offset) {
                needed = std::max(needed, int((c.offset - rom.table->offset) / rom.release->layout.size) + 1);
            }
        }
        const bool trades =
            std::any_of(changes.begin(), changes.end(), [&](const ByteChange& c) { return !checkOfByte(platform, c.offset); });
        if (trades && rom.table) {
            if (auto confirmed = confirmTradeTable(file, *rom.release, *rom.table, needed, rom.path, rom.size); !confirmed) {
                return confirmed.error();
            }
        }
        Changes target;
        target.size = *size;
        std::vector<std::string> differ;
        bool checksDiffer = false;
        std::vector<std::uint8_t> now;
        // One read a run of neighbouring bytes (a byte past the end differs too).
        for (std::size_t first = 0, end = 0; first < changes.size(); first = end) {
            for (end = first + 1; end < changes.size() && changes[end].offset == changes[end - 1].offset + 1;) ++end;
            now.assign(end - first, 0);
            auto got = readUpTo(file, changes[first].offset, now);
            if (!got) return got.error();
            for (std::size_t i = first; i < end; ++i) {
                const ByteChange& c = changes[i];
                const std::uint8_t expected = undo ? c.after : c.before;
                const bool same = i - first < *got && now[i - first] == expected;
                // The checksums alone may have moved on, where the save changed a trade too.
                if (checkOfByte(platform, c.offset) && trades) {
                    checksDiffer = checksDiffer || !same;
                } else if (!same) {
                    differ.push_back(hexOffset(c.offset));
                }
                target.bytes.push_back({c.offset, expected, undo ? c.before : c.after});
            }
        }
        if (!differ.empty()) {
            const std::size_t named = std::min<std::size_t>(differ.size(), 8);
            return changedByOther(
                ErrorCode::TradeChangedOnDisk,
                where + ": another program changed " + (differ.size() == 1 ? "the byte " : "the bytes ") +
                    joinedList(std::vector<std::string>(differ.begin(), differ.begin() + std::ptrdiff_t(named)), differ.size() - named) +
                    " since that save, so " + (undo ? "undoing" : "redoing") + " it would write over that program's work.");
        }
        if (!checksDiffer) return target;
        // The trades' bytes as recorded; the checksums made for the file as it is now.
        std::erase_if(target.bytes, [&](const ByteChange& c) { return checkOfByte(platform, c.offset); });
        HoldingFile held(file);
        auto sums = platform.holdWholeSummed(held, *size);
        if (!sums) return sums.error();
        const std::span<std::uint8_t> image = *held.whole();
        for (ByteChange& c : target.bytes) c.before = image[c.offset];
        target.tradeBytes = target.bytes.size();
        addChecksums(platform, image, std::move(*sums), ChecksumPolicy::KeepConsistent, target);
        return target;
    };
    auto write = [&](File& file, const Changes& target) -> Result<SaveReport> {
        SaveReport report;
        report.changes = target.bytes;
        auto written = writeChanges(file, fs, rom.path, target.bytes, target.size, where);
        if (!written) return written.error();
        report.written = *written;
        return report;
    };
    return transaction(rom.path, options.makeWritable, options.lockWait, fs, where, check, write);
}

Result<SaveReport> writeTradeRecord(const Rom& rom, const TradeEdit& edit, SaveOptions options, FileSystem& fs) {
    return saveTrades(rom, std::span(&edit, 1), options, fs);
}

Result<std::vector<ByteChange>> previewSave(const Rom& rom, std::span<const TradeEdit> edits, SaveOptions options,
                                            FileSystem& fs) {
    auto planned = planAll(rom, edits);
    if (!planned) return planned.error();
    const std::string where = "Could not read " + quoted(rom.path);
    auto opened = fs.open(rom.path, OpenMode::Read);
    if (!opened) return inContext(opened.error(), where);
    auto changes = changesIn(**opened, rom, *planned, options.checksums, options.built);
    if (!changes) return inWhere(changes.error(), where);
    if (auto closed = (*opened)->close(); !closed) return inContext(closed.error(), where);
    std::sort(changes->bytes.begin(), changes->bytes.end(), byOffset);
    return changes->bytes;
}

}  // namespace kestrane
