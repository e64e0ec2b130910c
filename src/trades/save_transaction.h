// The transaction every write into a ROM goes through: under the file's
// save lock, every check on what the file holds now, then the writes of
// the changed bytes, flushed, read back and compared; a read-only ROM made
// writable only once the checks pass, and read-only again if the save fails.
#pragma once

#include <chrono>
#include <cstdint>
#include <utility>
#include <string>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "trades/byte_change.h"

namespace kestrane {

// A file failure told with what was being done; other errors say it themselves.
inline Error inWhere(const Error& e, const std::string& where) { return e.kind == ErrorKind::FileFailure ? inContext(e, where) : e; }

// One transaction on the ROM: `check(file)` makes every check and gives the
// plan, under the save lock, so that saves from several programs take turns;
// then `write(file, plan)`. A read-only ROM is refused unless the user asked
// to make it writable; then the checks are first made on a read of it, and
// its mode changes only once they pass, to be made read-only again if the
// save then fails.
// `write` gives a report whose `written` names the ranges it wrote.
template <typename Check, typename Write>
auto transaction(const std::string& path, bool makeWritable, std::chrono::milliseconds lockWait, FileSystem& fs,
                 const std::string& where, Check check, Write write) -> decltype(write(std::declval<File&>(), *check(std::declval<File&>()))) {
    auto status = fs.status(path);
    if (!status) return nothingWritten(inContext(status.error(), where));
    bool madeWritable = false;
    if (status->readOnly) {
        if (!makeWritable) return nothingWritten(refused(ErrorCode::ReadOnlyFile, quoted(path) + " is read-only."));
        auto reading = fs.open(path, OpenMode::Read);
        if (!reading) return nothingWritten(inContext(reading.error(), where));
        if (auto checked = check(**reading); !checked) return nothingWritten(inWhere(checked.error(), where));
        if (auto closed = (*reading)->close(); !closed) return nothingWritten(inContext(closed.error(), where));
        if (auto writable = fs.setReadOnly(path, false); !writable) return nothingWritten(inContext(writable.error(), where));
        madeWritable = true;
    }
    // The mark put back on a save that does not go through.
    auto undone = [&](Error e) {
        // Not where the path now names another program's file.
        if (madeWritable && e.effect != FileEffect::WentElsewhere) {
            if (auto back = fs.setReadOnly(path, true); !back) {
                e.message += " It could not be made read-only again (" + back.error().message + ").";
            }
        }
        return e;
    };
    auto opened = fs.open(path, OpenMode::ReadWrite);
    if (!opened) return undone(nothingWritten(inContext(opened.error(), where)));
    File& file = **opened;
    // From the first read to the read-back: another save's checksums are
    // then part of what this one reads.
    if (auto locked = file.lock(lockWait); !locked) return undone(nothingWritten(inContext(locked.error(), where)));
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
                                            const std::string& where);

}  // namespace kestrane
