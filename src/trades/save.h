// Saving edits of trades into the ROM, in place, as one transaction:
//   the file's save lock is taken first, so that saves from several programs
//   take turns (each sees the bytes, and the checksums, the one before it
//   left); every edit is planned and every check made before the first byte is
//   written (the file still has the size and game it was opened with, and
//   each record still holds what was shown); then only the changed bytes
//   are written, flushed to disk once, read back and compared; the size is
//   checked again and the close too.
// A failure before the first write leaves the file untouched; one after it
// names every byte range that may hold part of the new data.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "support/file.h"
#include "support/result.h"
#include "platform/checks.h"
#include "trades/byte_change.h"
#include "trades/checksum_upkeep.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"
#include "support/new_file.h"

namespace kestrane {

// What the front ends say after a save the core confirmed.
inline constexpr std::string_view kSavedMessage = "Trade Data Saved.";
// How stale checksums are made consistent again.
inline constexpr std::string_view kFixChecksumsHint = "\"kestrane-cli checksums --fix\" makes them consistent";

struct SaveOptions {
    ChecksumPolicy checksums = ChecksumPolicy::KeepConsistent;
    // How long to wait for another program's save of the same file.
    std::chrono::milliseconds lockWait = kSaveLockWait;
    // A read-only ROM (its mode, or its attribute on Windows) is refused
    // unless the user asked to make it writable and save.
    bool makeWritable = false;
    CheckSet built{};  // with AsBuilt: the checks the ROM's build makes, by the platform's list
};

struct SaveReport {
    std::vector<ByteRange> written;    // empty when nothing needed to change
    // Every byte the save changed, checksums included, old and new: what
    // undoes it and does it again (rewindSave).
    std::vector<ByteChange> changes;
    std::size_t bytesChanged = 0;      // of the trades; checksums not counted
    std::vector<TradeRecord> records;  // the trades as the file now holds them, in the edits' order
    ChecksumState checksumsBefore;     // as the save found them (Leave: not looked at)
    bool checksumsUpdated = false;
    std::optional<ChecksumsSkipped> checksumsSkipped;  // why they were left alone, if they were
};

// How a save left the checksums, for messages: "checksums updated", ...
std::string checksumNote(const Release& release, const SaveReport& report, ChecksumPolicy policy);
// Only where a check was stale before the save and stays so: the part of
// the note a user must be told after any save ("checksums updated, but the
// Stadium data was already stale …"); else empty.
std::string staleChecksumsNote(const Release& release, const SaveReport& report, ChecksumPolicy policy);
// Which checksums a save changed: "the header checksum, the global checksum
// and the Stadium data"; empty where it changed none.
std::string checksumsChanged(const Release& release, const SaveReport& report);

// Saves several trades (at most one edit per slot) in one transaction. With
// the checksums kept, the whole file is read once and every check is made
// on what was read.
Result<SaveReport> saveTrades(const Rom& rom, std::span<const TradeEdit> edits, SaveOptions options = {},
                              FileSystem& fs = nativeFileSystem());

// The one-trade case of saveTrades.
Result<SaveReport> writeTradeRecord(const Rom& rom, const TradeEdit& edit, SaveOptions options = {},
                                    FileSystem& fs = nativeFileSystem());

// The same into a copy: the ROM with the edits, checked exactly as a save,
// written as the new file `copy` (beside it under a temporary name, read
// back, renamed into place: see writeNewFile), the ROM itself untouched.
// `copy` may not be the ROM. The report's `changes` are the copy's bytes that
// differ from the ROM's.
Result<SaveReport> saveTradesAs(const Rom& rom, std::span<const TradeEdit> edits, const std::string& copy,
                                SaveOptions options = {}, FileSystem& fs = nativeFileSystem());

enum class Rewind { Undo, Redo };

// Writes a save's bytes back as they were before it (Undo) or as it wrote
// them (Redo), through a save's transaction: the lock, then the check that
// the file still holds what the save left (Undo) or found (Redo), else a
// refusal naming the bytes that differ and nothing written; then the
// writes, the read-back and the checks after a save.
Result<SaveReport> rewindSave(const Rom& rom, std::span<const ByteChange> changes, Rewind way, SaveOptions options = {},
                              FileSystem& fs = nativeFileSystem());

// Every byte the save would change (checksums included), from the file as it
// is now, in the order of the file; nothing is written.
Result<std::vector<ByteChange>> previewSave(const Rom& rom, std::span<const TradeEdit> edits, SaveOptions options = {},
                                            FileSystem& fs = nativeFileSystem());

}  // namespace kestrane
