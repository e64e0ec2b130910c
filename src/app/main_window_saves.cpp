// The window's commands that write: saving a trade, a copy, an import, an
// export, and taking saves back or making them again.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStatusBar>

#include "app/appearance.h"
#include "app/common_dialog.h"
#include "app/main_window.h"
#include "app/message_sink.h"
#include "app/name_box.h"
#include "exchange/table_file.h"
#include "patch/patch_file.h"
#include "trades/rom_diff.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"
#include "trades/trainer_id.h"

namespace kestrane {
namespace {

// The most changes a question lists before "and N more".
constexpr int kListedChanges = 30;

// The changes as lines of a question, at most kListedChanges of them.
QStringList changeLines(const std::vector<FieldChange>& changes) {
    QStringList lines;
    for (int i = 0; i < int(changes.size()) && i < kListedChanges; ++i) lines << fromCore(changeLine(changes[std::size_t(i)]));
    if (int(changes.size()) > kListedChanges) lines << QStringLiteral("\u2026and %1 more").arg(int(changes.size()) - kListedChanges);
    return lines;
}

}  // namespace

SaveOptions MainWindow::saveOptions() const { return SaveOptions{policyFor(checksumsAction_->isChecked())}; }

Result<TradeEdit, Problems> MainWindow::editFromBoxes() const {
    TradeEdit edit = current_.more.value_or(uneditedEdit(*current_.record));
    Problems problems;
    auto keep = [&](auto result, auto& target) {
        if (result) target = *result;
        else problems.push_back(result.error());
    };
    const TradeRecord& shown = *current_.record;
    // The record as the file holds it now (after a reload that kept the boxes).
    edit.shown = shown;
    // The boxes of fields the release's trades hold.
    if (shown.trainerId) keep(parseTrainerId(form_.trainerId->text().toStdString()), edit.trainerId);
    keep(speciesOf(form_.requestedSpecies, SpeciesRole::Requested), edit.requestedSpecies);
    keep(speciesOf(form_.offeredSpecies, SpeciesRole::Offered), edit.offeredSpecies);
    keep(resolveName(*rom_, shown, NameRole::Nickname, form_.nickname->text().toStdU16String()), edit.nickname);
    if (shown.trainerName) {
        keep(resolveName(*rom_, shown, NameRole::TrainerName, form_.trainerName->text().toStdU16String()), edit.trainerName);
    }
    if (!problems.empty()) return problems;
    return edit;
}

std::optional<SaveReport> MainWindow::saveEdits(std::span<const TradeEdit> edits, const QString& what) {
    SaveOptions options = saveOptions();
    auto saved = saveTrades(*rom_, edits, options, files_);
    if (!saved && saved.error().code == ErrorCode::ReadOnlyFile) {
        const QString name = QFileInfo(romPath()).fileName();
        // Cancel is the default: the mark is the user's, and Enter should not take it off.
        switch (messages_.choose(this, kAppTitle, QStringLiteral("\u201c%1\u201d is read-only. Make it writable and save?").arg(name),
                                 {QStringLiteral("Make Writable and Save"), QStringLiteral("Save As\u2026"), QStringLiteral("Cancel")},
                                 2)) {
        case 0: break;
        case 1: saveRomAs(); return std::nullopt;
        default: return std::nullopt;
        }
        options.makeWritable = true;
        saved = saveTrades(*rom_, edits, options, files_);
        if (saved) {
            rom_->readOnly = false;
            updateTitle();
            form_.tableInfo->setText(form_.tableInfo->text().remove(QStringLiteral(" \u2014 read-only")));
        }
    }
    if (!saved) {
        const ErrorCode code = saved.error().code;
        if ((code == ErrorCode::TradeChangedOnDisk || code == ErrorCode::TableMoved) && current_.record && edits.size() == 1) {
            offerReload(saved.error());
        } else {
            tell(saved.error());
        }
        return std::nullopt;
    }
    history_.saved(what.toStdString(), saved->changes);
    updateUndoActions();
    return std::move(*saved);
}

bool MainWindow::saveTrade() {
    if (!rom_ || !current_.record) {
        tell(nothingWritten(refused(ErrorCode::NoTrade, rom_ ? "Select a trade before saving."
                                                             : "Open a ROM and select a trade before saving.")));
        return false;
    }
    auto edit = editFromBoxes();
    if (!edit) {
        tell(nothingWritten(together(edit.error())));
        return false;
    }
    auto saved = saveEdits(std::span(&*edit, 1), QStringLiteral("Save of ") + fromCore(current_.record->slot.name()));
    if (!saved) return false;
    // The boxes keep what the user typed; the next save compares with the file
    // as it is now, and each box's own undo starts afresh from the saved value.
    setCurrentTrade({current_.row, saved->records.front(), std::nullopt, {}}, false);
    clearChangedMarks();
    for (const auto& [field, box] : fieldBoxes()) {
        if (auto* combo = qobject_cast<QComboBox*>(box)) combo->setEditText(typedText(combo));
        else static_cast<QLineEdit*>(box)->setText(static_cast<QLineEdit*>(box)->text());
    }
    showWarnings();
    messages_.show(this, kAppTitle, fromCore(kSavedMessage), MessageIcon::Information);
    // Saved as asked; what the game can never do with it is said after.
    QStringList after;
    for (const TradeWarning& w : tradeWarnings(*rom_, saved->records.front())) after << fromCore(warningLine(current_.record->slot, w));
    if (!rom_->tableNote().empty()) after << fromCore(rom_->tableNote());
    if (!after.isEmpty()) statusBar()->showMessage(after.join(QLatin1Char(' ')));
    return true;
}

void MainWindow::offerReload(const Error& refusal) {
    const bool moved = refusal.code == ErrorCode::TableMoved;
    const int answer = messages_.choose(
        this, kAppTitle,
        fromCore(refusal.message) +
            (moved ? QStringLiteral("\n\nReload the ROM and keep what you typed? Save then writes it into the table the game reads.")
                   : QStringLiteral("\n\nRead the trade again and keep what you typed? The fields the other program changed are "
                                    "marked; Save then writes your values over them.")),
        {QStringLiteral("Reload and Keep My Edits"), QStringLiteral("Discard My Edits"), QStringLiteral("Cancel")});
    if (answer == 2) return;
    if (answer == 1) {
        // The trade as the file holds it: the ROM again where its table moved.
        if (moved) {
            setCurrentTrade({current_.row, current_.record, std::nullopt, {}});
            reloadRom();
        } else {
            showTrade(current_.row);
        }
        return;
    }
    const CurrentTrade editing = current_;
    const std::vector<std::pair<Field, QString>> typed = [&] {
        std::vector<std::pair<Field, QString>> texts;
        for (const auto& [field, box] : fieldBoxes()) {
            auto* combo = qobject_cast<QComboBox*>(box);
            texts.emplace_back(field, combo ? typedText(combo) : static_cast<QLineEdit*>(box)->text());
        }
        return texts;
    }();
    if (moved) {
        auto rom = kestrane::openRom(rom_->path, files_);
        if (!rom) return tell(rom.error());
        showRom(romPath(), std::move(*rom));
        if (editing.row >= rom_->slotCount()) {
            return tell(refused(ErrorCode::NoTrade, editing.record->slot.name() + " is not in the table the game now reads."));
        }
    }
    auto reading = readTradeRecord(*rom_, editing.record->slot, files_);
    if (!reading || !reading->record) return tell(reading ? refused(ErrorCode::NoTrade, std::string(kNoTradeMessage)) : reading.error());
    setCurrentTrade(editing, false);
    for (const auto& [field, text] : typed) {
        for (const auto& [boxField, box] : fieldBoxes()) {
            if (boxField != field) continue;
            if (auto* combo = qobject_cast<QComboBox*>(box)) combo->setEditText(text);
            else static_cast<QLineEdit*>(box)->setText(text);
        }
    }
    keepEditsOver(*reading->record);
}

void MainWindow::keepEditsOver(const TradeRecord& now) {
    const TradeRecord before = *current_.record;
    CurrentTrade kept = current_;
    kept.record = now;
    // The boxes the user did not edit show the file's values; the others keep their text.
    std::vector<std::pair<QWidget*, QString>> typed;
    for (const auto& [field, box] : fieldBoxes()) {
        if (!kept.edited.count(field)) continue;
        auto* combo = qobject_cast<QComboBox*>(box);
        typed.emplace_back(box, combo ? typedText(combo) : static_cast<QLineEdit*>(box)->text());
    }
    setCurrentTrade(kept);
    for (const auto& [box, text] : typed) {
        if (auto* combo = qobject_cast<QComboBox*>(box)) combo->setEditText(text);
        else static_cast<QLineEdit*>(box)->setText(text);
    }
    setWindowModified(!current_.edited.empty());
    showPictures();
    showWarnings();
    QStringList elsewhere;
    for (const FieldChange& change : fieldChanges(*rom_, before, now)) {
        const auto boxes = fieldBoxes();
        const auto found = std::find_if(boxes.begin(), boxes.end(), [&](const auto& b) { return b.first == change.field; });
        const bool edited = current_.edited.count(change.field) > 0;
        if (edited && found != boxes.end()) {
            markChangedOnDisk(found->second, QStringLiteral("Another program changed this in the file to: ") + fromCore(change.after));
        } else if (edited) {
            elsewhere << fromCore(change.label) + QStringLiteral(" (now ") + fromCore(change.after) + QStringLiteral(")");
        }
    }
    if (!elsewhere.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("The other program also changed: ") + elsewhere.join(QStringLiteral(", ")) +
                                 QStringLiteral("; More Fields keeps your values."));
    }
}

void MainWindow::saveRomAs() {
    if (!rom_) return;
    // Every edit goes into the copy, typed ones too, checked as a save.
    std::vector<TradeEdit> edits;
    if (isWindowModified() && current_.record) {
        auto edit = editFromBoxes();
        if (!edit) return tell(nothingWritten(together(edit.error())));
        edits.push_back(*edit);
    }
    const QFileInfo rom(romPath());
    // A name beside the ROM that names nothing yet: "crystal copy.gbc", "crystal copy 2.gbc" …
    QString proposed;
    for (int n = 1; n < 100 && proposed.isEmpty(); ++n) {
        const QString name = rom.completeBaseName() + QStringLiteral(" copy") + (n > 1 ? QStringLiteral(" %1").arg(n) : QString()) +
                             (rom.suffix().isEmpty() ? QString() : QStringLiteral(".") + rom.suffix());
        if (!QFileInfo::exists(rom.dir().filePath(name))) proposed = name;
    }
    CommonDialog dialog(dialogs_);
    auto path = dialog.showSave(this, QStringLiteral("Save ROM As"),
                                proposed.size() <= CommonDialog::kMaxSaveFileName ? proposed : QString(), rom.absolutePath(),
                                kRomFilter, 0, QStringLiteral(".") + rom.suffix());
    if (!path) return tell(path.error());
    if (path->isEmpty()) return;
    auto saved = saveTradesAs(*rom_, edits, toCore(*path), saveOptions(), files_);
    if (!saved) return tell(saved.error());
    // The window edits the copy from now on.
    const int row = current_.record ? current_.row : -1;
    auto copy = kestrane::openRom(toCore(*path), files_);
    // The copy is written either way: a failure here says so, and the window stays on the ROM.
    if (!copy) return tell(inContext(copy.error(), "The copy was saved to " + quoted(toCore(*path)) + ", but it could not be opened to edit"));
    showRom(QDir::toNativeSeparators(QFileInfo(*path).absoluteFilePath()), std::move(*copy));
    if (row >= 0) showTrade(row);
    statusBar()->showMessage(QStringLiteral("Saved as %1; the window now edits that file.").arg(QFileInfo(*path).fileName()));
}

void MainWindow::createPatchCommand() {
    if (!rom_ || !maySwitchAway()) return;
    const QFileInfo rom(romPath());
    CommonDialog cleanDialog(dialogs_);
    const QString clean = cleanDialog.showOpen(this, QStringLiteral("Choose the Clean ROM"), rom.absolutePath(), kRomFilter,
                                                     kOpenFlags);
    if (clean.isEmpty()) return;
    auto found = diffRoms(toCore(clean), rom_->path, files_);
    if (!found) return tell(found.error());
    // The formats as the dialog's filters; a name typed without its
    // format's ending gets that of the filter chosen.
    QStringList filters;
    for (const PatchKind& kind : kPatchKinds) {
        filters << fromCore(kind.description) + QStringLiteral(" (*") + fromCore(kind.extension) + QStringLiteral(")|*") +
                       fromCore(kind.extension);
    }
    CommonDialog dialog(dialogs_);
    auto chosen = dialog.showSave(this, QStringLiteral("Create Patch"), rom.completeBaseName() + fromCore(kPatchKinds[0].extension),
                                  rom.absolutePath(), filters.join(QLatin1Char('|')), 0, QString());
    if (!chosen) return tell(chosen.error());
    if (chosen->isEmpty()) return;
    QString patch = *chosen;
    const int filter = std::clamp(dialog.filterIndex(), 1, int(std::size(kPatchKinds))) - 1;
    if (!patchFormatOf(toCore(patch))) patch += fromCore(kPatchKinds[filter].extension);
    QStringList lines;
    for (const std::string& line : diffSummary(*found)) lines << fromCore(line);
    if (lines.size() > kListedChanges + 1) {
        const int more = int(lines.size()) - 1 - kListedChanges;
        lines = lines.mid(0, kListedChanges) << QStringLiteral("\u2026and %1 more").arg(more) << lines.last();
    }
    if (messages_.choose(this, QStringLiteral("Create Patch"),
                         QStringLiteral("The patch turns \u201c%1\u201d into \u201c%2\u201d:\n\n%3\n\nCreate it?")
                             .arg(QFileInfo(clean).fileName(), rom.fileName(), lines.join('\n')),
                         {QStringLiteral("Create Patch"), QStringLiteral("Cancel")}) != 0) {
        return;
    }
    auto written = createPatch(toCore(clean), rom_->path, toCore(patch), GameCheck::SameGame, files_);
    if (!written) return tell(written.error());
    messages_.show(this, kAppTitle,
                   QStringLiteral("The patch was written to \u201c%1\u201d (%2 bytes).").arg(QFileInfo(patch).fileName()).arg(written->patchSize),
                   MessageIcon::Information);
}

void MainWindow::undoSave() { rewind(Rewind::Undo); }
void MainWindow::redoSave() { rewind(Rewind::Redo); }

void MainWindow::rewind(Rewind way) {
    const SaveHistory::Entry* entry = way == Rewind::Undo ? history_.toUndo() : history_.toRedo();
    // The file changes under the trade shown: its typed edits are asked about first.
    if (!rom_ || !entry || !maySwitchAway()) return;
    const QString what = fromCore(entry->what);
    auto done = rewindSave(*rom_, entry->changes, way, saveOptions(), files_);
    if (!done) return tell(done.error());
    if (way == Rewind::Undo) history_.undone();
    else history_.redone();
    updateUndoActions();
    if (current_.record) showTrade(current_.row);
    statusBar()->showMessage((way == Rewind::Undo ? QStringLiteral("Undone: ") : QStringLiteral("Done again: ")) + what + QStringLiteral("."));
}

void MainWindow::updateUndoActions() {
    const SaveHistory::Entry* undo = history_.toUndo();
    const SaveHistory::Entry* redo = history_.toRedo();
    undoAction_->setText(undo ? QStringLiteral("&Undo ") + fromCore(undo->what) : QStringLiteral("&Undo Save"));
    redoAction_->setText(redo ? QStringLiteral("&Redo ") + fromCore(redo->what) : QStringLiteral("&Redo Save"));
    undoAction_->setEnabled(undo != nullptr);
    redoAction_->setEnabled(redo != nullptr);
}

void MainWindow::exportTrades() {
    if (!rom_) return;
    const QFileInfo rom(romPath());
    const QString proposed = rom.completeBaseName() + fromCore(exchange::kTableExtension);
    CommonDialog dialog(dialogs_);
    auto path = dialog.showSave(this, QStringLiteral("Export Trades"),
                                proposed.size() <= CommonDialog::kMaxSaveFileName ? proposed : QStringLiteral("trades.json"),
                                rom.absolutePath(), kTableFilter, 0, fromCore(exchange::kTableExtension));
    if (!path) return tell(path.error());
    if (path->isEmpty()) return;
    if (auto written = exchange::exportTable(*rom_, toCore(*path), files_); !written) return tell(written.error());
    messages_.show(this, kAppTitle, QStringLiteral("The trades were exported to \"%1\".").arg(QFileInfo(*path).fileName()),
                   MessageIcon::Information);
}

void MainWindow::importTrades() {
    if (!rom_ || !maySwitchAway()) return;
    CommonDialog dialog(dialogs_);
    const QString path = dialog.showOpen(this, QStringLiteral("Import Trades"), QFileInfo(romPath()).absolutePath(),
                                         kTableFilter, kOpenFlags);
    if (path.isEmpty()) return;
    auto edits = exchange::importEditsFrom(toCore(path), *rom_, files_);
    if (!edits) return tell(nothingWritten(together(edits.error())));
    // What the table would change, before it is written.
    auto changes = plannedChanges(*rom_, edits->edits);
    if (!changes) return tell(nothingWritten(together(changes.error())));
    const QString table = QFileInfo(path).fileName();
    if (changes->empty()) {
        messages_.show(this, kAppTitle, QStringLiteral("\"%1\" changes nothing in this ROM; nothing was written.").arg(table),
                       MessageIcon::Information);
        return;
    }
    const QStringList lines = changeLines(*changes);
    const QString sister = edits->sister ? fromCore(sisterNote(*edits->sister)) + QStringLiteral("\n\n") : QString();
    if (messages_.choose(this, QStringLiteral("Import Trades"),
                         sister + QStringLiteral("Importing \"%1\" changes:\n\n%2\n\nImport these changes?").arg(table, lines.join('\n')),
                         {QStringLiteral("Import"), QStringLiteral("Cancel")}) != 0) {
        return;
    }
    if (!saveEdits(edits->edits, QStringLiteral("Import"))) return;
    // The trade on show, as the file now holds it.
    if (current_.record) showTrade(current_.row);
    messages_.show(this, kAppTitle, fromCore(kSavedMessage), MessageIcon::Information);
}

}  // namespace kestrane
