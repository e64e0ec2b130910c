#include "trades/save.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>

#include "support/hex_text.h"
#include "support/words.h"

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

// The checksum bytes that `update` changed in image, from before.
void addChanged(std::vector<ByteChange>& changes, std::span<const std::uint8_t> image, std::uint32_t at,
                const std::vector<std::uint8_t>& before) {
    for (std::uint32_t i = 0; i < before.size(); ++i) {
        if (image[at + i] != before[i]) changes.push_back({at + i, before[i], image[at + i]});
    }
}

// Brings the checksums of the image up to date with the trade changes, as
// the policy says; records the bytes that change.
void keepChecksums(const Platform& platform, std::span<std::uint8_t> image, CheckSums sums, ChecksumPolicy policy,
                   Changes& changes) {
    const std::unique_ptr<ImageChecks> checks = platform.imageChecks(image, std::move(sums));
    changes.before = checks->state();
    // Only what was consistent is kept so, unless asked to make it so; what
    // no save changes (onlyByFix), only a fix makes.
    const bool force = policy == ChecksumPolicy::MakeConsistent;
    const std::span<const CheckArea> areas = platform.checks();
    CheckSet which{};
    bool kept = false;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        which[i] = force || (!areas[i].onlyByFix && changes.before.of(i) == ChecksumStatus::Consistent);
        kept = kept || (which[i] && !areas[i].onlyByFix);
    }
    if (!kept || (!force && changes.bytes.empty())) return;
    for (const ByteChange& c : changes.bytes) checks->set(c.offset, c.after);
    std::vector<std::vector<std::uint8_t>> before;
    for (const CheckArea& area : areas) {
        before.push_back(area.at + area.length <= image.size()
                             ? std::vector<std::uint8_t>(image.begin() + area.at, image.begin() + area.at + area.length)
                             : std::vector<std::uint8_t>());
    }
    checks->update(which);
    changes.checksumsUpdated = true;
    for (std::size_t i = 0; i < before.size(); ++i) addChanged(changes.bytes, image, areas[i].at, before[i]);
}

// Checks the open file against what was read, and gives the bytes to change
// (and, with `whole`, the whole file as read).
Result<Changes> changesIn(File& file, const Rom& rom, const std::vector<PlannedRecord>& planned, ChecksumPolicy policy,
                          bool whole = false) {
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
    // Every later step reads what this one holds: the whole file where the
    // checksums are kept (or a copy is made), read once.
    const Platform& platform = rom.release->family().platform();
    HoldingFile held(file);
    CheckSums sums;
    const bool wholeNeeded = (policy != ChecksumPolicy::Leave && *size <= platform.largestImage()) || whole;
    if (wholeNeeded) {
        auto summed = platform.holdWholeSummed(held, *size);
        if (!summed) return summed.error();
        sums = std::move(*summed);
    }
    // The game, as the platform identifies it.
    auto now = platform.identify(held, rom.path, rom.release->name);
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
    if (policy != ChecksumPolicy::Leave) keepChecksums(platform, *held.whole(), std::move(sums), policy, changes);
    if (whole) {
        const std::span<const std::uint8_t> image = *held.whole();
        changes.image.assign(image.begin(), image.end());
        // keepChecksums made the checksums' bytes; the trades' are made here.
        for (std::size_t i = 0; i < changes.tradeBytes; ++i) changes.image[changes.bytes[i].offset] = changes.bytes[i].after;
    }
    return changes;
}

// The path still names the file the save wrote, not one another program put there.
Result<bool> stillThere(File& file, FileSystem& fs, const std::string& path) {
    auto written = file.identity();
    if (!written) return written.error();
    auto there = fs.status(path);
    if (!there) return there.error();
    return there->type == FileStatus::Type::Regular && there->identity == *written;
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

// A file failure told with what was being done; other errors say it themselves.
Error inWhere(const Error& e, const std::string& where) { return e.kind == ErrorKind::FileFailure ? inContext(e, where) : e; }

// One transaction on the ROM: `check(file)` makes every check and gives the
// plan, under the save lock, so that saves from several programs take turns;
// then `write(file, plan)`. A read-only ROM is refused unless the user asked
// to make it writable; then the checks are first made on a read of it, and
// its mode changes only once they pass, to be made read-only again if the
// save then fails.
template <typename Check, typename Write>
Result<SaveReport> transaction(const Rom& rom, const SaveOptions& options, FileSystem& fs, const std::string& where,
                               Check check, Write write) {
    auto status = fs.status(rom.path);
    if (!status) return nothingWritten(inContext(status.error(), where));
    bool madeWritable = false;
    if (status->readOnly) {
        if (!options.makeWritable) return nothingWritten(refused(ErrorCode::ReadOnlyFile, quoted(rom.path) + " is read-only."));
        auto reading = fs.open(rom.path, OpenMode::Read);
        if (!reading) return nothingWritten(inContext(reading.error(), where));
        if (auto checked = check(**reading); !checked) return nothingWritten(inWhere(checked.error(), where));
        if (auto closed = (*reading)->close(); !closed) return nothingWritten(inContext(closed.error(), where));
        if (auto writable = fs.setReadOnly(rom.path, false); !writable) return nothingWritten(inContext(writable.error(), where));
        madeWritable = true;
    }
    // The mark put back on a save that does not go through.
    auto undone = [&](Error e) {
        // Not where the path now names another program's file.
        if (madeWritable && e.effect != FileEffect::WentElsewhere) {
            if (auto back = fs.setReadOnly(rom.path, true); !back) {
                e.message += " It could not be made read-only again (" + back.error().message + ").";
            }
        }
        return e;
    };
    auto opened = fs.open(rom.path, OpenMode::ReadWrite);
    if (!opened) return undone(nothingWritten(inContext(opened.error(), where)));
    File& file = **opened;
    // From the first read to the read-back: another save's checksums are
    // then part of what this one reads.
    if (auto locked = file.lock(options.lockWait); !locked) return undone(nothingWritten(inContext(locked.error(), where)));
    auto plan = check(file);
    if (!plan) return undone(nothingWritten(inWhere(plan.error(), where)));
    auto report = write(file, *plan);
    if (!report) return undone(report.error());
    if (auto closed = file.close(); !closed) return undone(mayHoldNewData(inContext(closed.error(), where), report->written));
    return report;
}

// Writes the bytes in their order, one write a run; then flushes, reads
// back, and checks that the file kept its size and the checksums made and
// that the path still names it. Gives the ranges written, or the failure
// and every range that may hold part of the new data.
Result<std::vector<ByteRange>> writeChanges(File& file, FileSystem& fs, const std::string& path,
                                            const std::vector<ByteChange>& changes, std::int64_t expectedSize,
                                            const std::string& where) {
    const auto runs = runsOf(changes);
    std::vector<ByteRange> touched;
    auto failed = [&](const Error& e) { return mayHoldNewData(inWhere(e, where), touched); };
    for (const auto& [range, bytes] : runs) {
        // Every write lands in the file of the size the checks saw: one cut
        // short meanwhile would be grown back with zeros.
        auto now = file.size();
        if (!now) return failed(now.error());
        if (*now != expectedSize) {
            return failed(changedByOther(ErrorCode::FileSizeChanged,
                                         where + ": another program changed the file's size while it was being saved "
                                                 "(from " + groupedNumber(expectedSize) + " to " + groupedNumber(*now) +
                                                 " bytes)."));
        }
        touched.push_back(range);
        if (auto written = writeExactly(file, range.first, bytes); !written) return failed(written.error());
    }
    if (touched.empty()) return touched;
    if (auto flushed = file.flush(); !flushed) return failed(flushed.error());
    for (const auto& [range, bytes] : runs) {
        std::vector<std::uint8_t> back(bytes.size());
        if (auto read = readExactly(file, range.first, back); !read) return failed(read.error());
        if (back != bytes) {
            return failed(differsFromWritten(ErrorCode::VerifyFailed, where + ": the bytes read back differ from those written."));
        }
    }
    auto sizeAfter = file.size();
    if (!sizeAfter) return failed(sizeAfter.error());
    if (*sizeAfter != expectedSize) {
        return failed(differsFromWritten(ErrorCode::FileSizeChanged, where + ": the file's length changed from " +
                                                                         std::to_string(expectedSize) + " to " +
                                                                         std::to_string(*sizeAfter) + " bytes."));
    }
    auto there = stillThere(file, fs, path);
    if (!there) return failed(there.error());
    if (!*there) {
        Error replaced = changedByOther(ErrorCode::FileReplaced,
                                        where + ": another program replaced the file while it was being saved. The new "
                                                "bytes went to the file it replaced; " + quoted(path) +
                                                " now names the file the other program put there, which Kestrane did not "
                                                "change. Open it again.");
        replaced.effect = FileEffect::WentElsewhere;
        return replaced;
    }
    return touched;
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

std::string staleChecksumsNote(const Release& release, const SaveReport& report, ChecksumPolicy policy) {
    const Platform& platform = release.family().platform();
    if (policy == ChecksumPolicy::Leave || report.checksumsSkipped) return {};
    // The first check a save keeps that was stale already.
    const CheckArea* stale = nullptr;
    const std::span<const CheckArea> areas = platform.checks();
    for (std::size_t i = 0; i < areas.size() && !stale; ++i) {
        if (!areas[i].onlyByFix && report.checksumsBefore.of(i) == ChecksumStatus::Stale) stale = &areas[i];
    }
    if (!report.checksumsUpdated) {
        if (report.bytesChanged == 0 || !stale) return {};
        return "the checksums were already stale and were left as they were (" + std::string(kFixChecksumsHint) + ")";
    }
    if (policy == ChecksumPolicy::KeepConsistent && stale) {
        return "checksums updated, but " + std::string(stale->name) + " was already stale and was left as it was (" +
               std::string(kFixChecksumsHint) + ")";
    }
    return {};
}

std::string checksumNote(const Release& release, const SaveReport& report, ChecksumPolicy policy) {
    const Platform& platform = release.family().platform();
    if (policy == ChecksumPolicy::Leave) return "checksums left as they were";
    if (report.checksumsSkipped) return "checksums left as they were: " + checksumsSkippedText(platform, *report.checksumsSkipped);
    if (std::string stale = staleChecksumsNote(release, report, policy); !stale.empty()) return stale;
    return report.checksumsUpdated ? "checksums updated" : "";
}

std::string checksumsChanged(const Release& release, const SaveReport& report) {
    const Platform& platform = release.family().platform();
    std::vector<std::string> which;
    for (const CheckArea& area : platform.checks()) {
        if (std::any_of(report.changes.begin(), report.changes.end(),
                        [&](const ByteChange& c) { return c.offset >= area.at && c.offset < area.at + area.length; })) {
            which.emplace_back(area.name);
        }
    }
    return joinedList(which);
}

Result<SaveReport> saveTrades(const Rom& rom, std::span<const TradeEdit> edits, SaveOptions options, FileSystem& fs) {
    auto planned = planAll(rom, edits);
    if (!planned) return nothingWritten(planned.error());
    const std::string where = "Could not save " + whatIsSaved(edits) + " to " + quoted(rom.path);
    auto check = [&](File& file) { return changesIn(file, rom, *planned, options.checksums); };
    auto write = [&](File& file, const Changes& changes) -> Result<SaveReport> {
        SaveReport report = reportOf(changes);
        auto written = writeChanges(file, fs, rom.path, changes.bytes, changes.size, where);
        if (!written) return written.error();
        report.written = *written;
        addRecords(report, rom, *planned);
        return report;
    };
    return transaction(rom, options, fs, where, check, write);
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
    auto changes = changesIn(**opened, rom, *planned, options.checksums, true);
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
        keepChecksums(platform, image, std::move(*sums), ChecksumPolicy::KeepConsistent, target);
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
    return transaction(rom, options, fs, where, check, write);
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
    auto changes = changesIn(**opened, rom, *planned, options.checksums);
    if (!changes) return inWhere(changes.error(), where);
    if (auto closed = (*opened)->close(); !closed) return inContext(closed.error(), where);
    std::sort(changes->bytes.begin(), changes->bytes.end(), byOffset);
    return changes->bytes;
}

}  // namespace kestrane
