// A save into the ROM and its build tree's trade file together, so that
// the next build keeps the edits: both planned before either is written;
// the new trade file written beside the old one, flushed and read back;
// the ROM's save transaction; then, only after its read-back passed and
// the trade file is found as it was read, the new trade file renamed into
// place. Where that last step fails, the ROM's save is taken back.
#pragma once

#include <span>
#include <string>

#include "source/trade_source.h"
#include "trades/save.h"

namespace kestrane {

// How the tree's build makes a ROM: its rgbfix's checksums always, the
// Stadium data only where its Makefile runs tools/stadium.
SaveOptions asBuilt(const Rom& rom, const TradeSource& source, SaveOptions options);

// Refused where the trade file may not be written: a symbolic link (the
// rename would replace the link, not the file it leads to) or read-only.
Result<void> sourceWritable(const TradeSource& source, FileSystem& fs = nativeFileSystem());

// The trade file's new text for the edits, from the ROM as it is now;
// nothing is written. Refused where the source is not in step, the ROM
// changed since it was read, or the rows cannot be written so.
Result<std::string> planSourceEdit(const Rom& rom, const TradeSource& source, std::span<const TradeEdit> edits,
                                   const SaveOptions& options, FileSystem& fs = nativeFileSystem());

struct SourceSaveReport {
    SaveReport rom;
    std::string before, after;  // the trade file's text before and after; equal where no row changed
};

// Saves the edits into the ROM and the trade file (see above). A trade file
// that is a symbolic link or read-only is refused before anything is written.
Result<SourceSaveReport> saveTradesWithSource(const Rom& rom, const TradeSource& source, std::span<const TradeEdit> edits,
                                              const SaveOptions& options, FileSystem& fs = nativeFileSystem());

// Takes such a save back (Undo) or makes it again (Redo): the ROM through
// rewindSave, the trade file written whole again where it still holds
// what the save left (Undo) or found (Redo).
// `changes` are the ROM's (SaveReport::changes), `before` and `after` the trade file's texts.
Result<SaveReport> rewindSaveWithSource(const Rom& rom, const TradeSource& source, std::span<const ByteChange> changes,
                                        const std::string& before, const std::string& after, Rewind way, const SaveOptions& options,
                                        FileSystem& fs = nativeFileSystem());

// What a save into both wrote in the tree: "data/events/npc_trades.asm
// written too (line 14).", and the tree's other ROMs built from the same
// file; empty where the save changed no trade.
std::string sourceSavedNote(const Rom& rom, const TradeSource& source, std::span<const TradeEdit> edits, const SaveReport& saved);

// The trade file's changed lines as a unified diff ("--- a/FILE", "+++ b/FILE",
// a hunk for each changed line); empty where none changed.
std::string sourceDiff(const TradeSource& source, std::string_view after);

}  // namespace kestrane
