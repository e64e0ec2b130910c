#include "source/source_save.h"

#include <algorithm>
#include <map>

#include "platform/platform.h"
#include "support/folders.h"
#include "support/new_file.h"
#include "support/words.h"
#include "trades/game_family.h"

namespace kestrane {
namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

Error notInStep(const TradeSource& source) {
    return refused(ErrorCode::SourceNotInStep, "The build tree's trade file is not in step with the ROM: " + sentence(source.state()));
}

}  // namespace

Result<void> sourceWritable(const TradeSource& source, FileSystem& fs) {
    if (isSymbolicLink(source.path)) {
        return refused(ErrorCode::NotAnOutput, source.file + " is a symbolic link, which Kestrane does not write through: put the file "
                                                             "itself in its place, or save the ROM alone.");
    }
    auto status = fs.status(source.path);
    if (!status) return status.error();
    if (status->readOnly) {
        return refused(ErrorCode::ReadOnlyFile, source.file + " is read-only: make it writable, or save the ROM alone.");
    }
    return {};
}

namespace {

// Whether the file still holds the text it was read with (or, where given, `other`).
Result<bool> holds(FileSystem& fs, const std::string& path, const std::string& text) {
    auto bytes = readWholeFile(fs, path, std::int64_t(text.size()) + 1);
    if (!bytes) {
        if (bytes.error().code == ErrorCode::TooLarge) return false;
        return bytes.error();
    }
    return std::equal(bytes->begin(), bytes->end(), text.begin(), text.end());
}

}  // namespace

SaveOptions asBuilt(const Rom& rom, const TradeSource& source, SaveOptions options) {
    options.checksums = ChecksumPolicy::AsBuilt;
    const std::span<const CheckArea> areas = rom.release->family().platform().checks();
    for (std::size_t i = 0; i < areas.size(); ++i) options.built[i] = areas[i].key != "stadium" || source.rebuildsStadium;
    return options;
}

Result<std::string> planSourceEdit(const Rom& rom, const TradeSource& source, std::span<const TradeEdit> edits,
                                   const SaveOptions& options, FileSystem& fs) {
    if (!source.inStep() || !source.rows || !rom.table) return notInStep(source);
    auto changes = previewSave(rom, edits, options, fs);
    if (!changes) return changes.error();
    const std::uint32_t size = rom.release->layout.size;
    const std::uint32_t begin = rom.table->offset, end = begin + std::uint32_t(source.rows->rows.size()) * size;
    std::map<std::size_t, RowChange> rows;
    for (const ByteChange& c : *changes) {
        if (c.offset < begin || c.offset >= end) continue;  // a checksum
        const std::size_t record = (c.offset - begin) / size;
        auto [row, added] = rows.try_emplace(record, RowChange{record, source.rows->rows[record].bytes});
        std::uint8_t& byte = row->second.bytes[(c.offset - begin) % size];
        if (byte != c.before) {
            return refused(ErrorCode::SourceNotInStep, source.romName + " changed since " + source.file +
                                                           " was read: open it again, then save.");
        }
        byte = c.after;
    }
    std::vector<RowChange> planned;
    for (auto& [record, row] : rows) planned.push_back(std::move(row));
    auto text = rewriteTradeFile(source.text, *source.rows, planned, source.file, *source.constants, *source.charmap);
    if (!text) return text.error();
    // The new file must build exactly the planned records: read back as the ROM's table was checked.
    auto again = readTradeFile(*text, source.tree.tableLabel, source.file, *source.constants, *source.charmap, source.rows->recordSize);
    if (!again) return again.error();
    std::vector<std::vector<std::uint8_t>> wanted;
    for (const SourceRow& row : source.rows->rows) wanted.push_back(row.bytes);
    for (const RowChange& row : planned) wanted[row.row] = row.bytes;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (i >= again->rows.size() || again->rows[i].bytes != wanted[i]) {
            return refused(ErrorCode::SourceNotInStep, "Kestrane's rewrite of " + source.file + " would not build record " +
                                                           std::to_string(i) + " as planned; nothing was written.");
        }
    }
    return text;
}

Result<SourceSaveReport> saveTradesWithSource(const Rom& rom, const TradeSource& source, std::span<const TradeEdit> edits,
                                              const SaveOptions& options, FileSystem& fs) {
    if (!source.inStep()) return notInStep(source);
    if (auto fit = sourceWritable(source, fs); !fit) return fit.error();
    auto text = planSourceEdit(rom, source, edits, options, fs);
    if (!text) return text.error();
    SourceSaveReport report{{}, source.text, *text};
    std::optional<PreparedFile> prepared;
    if (*text != source.text) {
        auto made = prepareNewFile(fs, source.path, bytesOf(*text));
        if (!made) return inContext(made.error(), "Could not write the new " + source.file + "; nothing was saved");
        prepared.emplace(std::move(*made));
    }
    auto saved = saveTrades(rom, edits, options, fs);
    if (!saved) return saved.error();  // the prepared file is removed as it goes
    report.rom = std::move(*saved);
    if (!prepared) return report;
    // Only now the trade file takes its new text: where it cannot, the ROM's save is taken back.
    auto takeBack = [&](const std::string& why) -> Error {
        auto undone = rewindSave(rom, report.rom.changes, Rewind::Undo, options, fs);
        if (undone) return refused(ErrorCode::SourceNotInStep, why + "; the ROM's save was taken back, so both are as they were.");
        // The ROM keeps the edit the trade file lacks: said as a failure that wrote, with where.
        return mayHoldNewData(fileFailure(undone.error().code, why + "; taking back the ROM's save failed too (" + undone.error().message +
                                                                   "): the ROM holds the edits, the trade file does not"),
                              report.rom.written);
    };
    auto same = holds(fs, source.path, source.text);
    if (!same) return takeBack("Could not read " + source.file + " again (" + same.error().message + ")");
    if (!*same) return takeBack(source.file + " was changed by another program since Kestrane read it");
    if (auto done = prepared->commit(); !done) return takeBack("Could not put the new " + source.file + " in place (" + done.error().message + ")");
    return report;
}

Result<SaveReport> rewindSaveWithSource(const Rom& rom, const TradeSource& source, std::span<const ByteChange> changes,
                                        const std::string& before, const std::string& after, Rewind way, const SaveOptions& options,
                                        FileSystem& fs) {
    const std::string& now = way == Rewind::Undo ? after : before;
    const std::string& then = way == Rewind::Undo ? before : after;
    if (now != then) {
        if (auto fit = sourceWritable(source, fs); !fit) return fit.error();
        auto same = holds(fs, source.path, now);
        if (!same) return same.error();
        if (!*same) {
            return changedByOther(ErrorCode::SourceNotInStep, source.file + " was changed since the save; nothing was " +
                                                                  (way == Rewind::Undo ? "undone." : "redone."));
        }
    }
    auto rewound = rewindSave(rom, changes, way, options, fs);
    if (!rewound || now == then) return rewound;
    if (auto written = writeNewFile(fs, source.path, bytesOf(then)); !written) {
        auto back = rewindSave(rom, changes, way == Rewind::Undo ? Rewind::Redo : Rewind::Undo, options, fs);
        return inContext(written.error(), "Could not write " + source.file + (back ? "; the ROM was left as it was" : "; the ROM was rewound, the trade file was not"));
    }
    return rewound;
}

std::string sourceSavedNote(const Rom& rom, const TradeSource& source, std::span<const TradeEdit> edits, const SaveReport& saved) {
    if (saved.bytesChanged == 0) return {};
    std::vector<int> lines;
    for (std::size_t i = 0; i < edits.size() && i < saved.records.size(); ++i) {
        if (saved.records[i].raw == edits[i].shown.raw) continue;
        if (auto line = source.lineOf(std::size_t(edits[i].shown.slot.recordIndex(rom.release->slotOrder)))) lines.push_back(*line);
    }
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> texts;
    for (int line : lines) texts.push_back(std::to_string(line));
    std::string note = source.file + " written too (" + (lines.size() == 1 ? "line " : "lines ") + joinedList(texts) + ").";
    if (!source.otherRoms.empty()) {
        note += " " + joinedList(source.otherRoms) + (source.otherRoms.size() == 1 ? " is" : " are") +
                " built from it too: the next build of each takes the edit as well.";
    }
    return note;
}

std::string sourceDiff(const TradeSource& source, std::string_view after) {
    const std::vector<std::string_view> old = linesOf(source.text), now = linesOf(after);
    std::string diff;
    for (std::size_t i = 0; i < std::min(old.size(), now.size()); ++i) {
        if (old[i] == now[i]) continue;
        const std::string line = std::to_string(i + 1);
        diff += "@@ -" + line + " +" + line + " @@\n-" + std::string(old[i]) + "\n+" + std::string(now[i]) + "\n";
    }
    return diff.empty() ? diff : "--- a/" + source.file + "\n+++ b/" + source.file + "\n" + diff;
}

}  // namespace kestrane
