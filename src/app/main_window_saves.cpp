// The window's commands that write the ROM: saving a trade, a copy, an
// import, and taking saves back or making them again.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>

#include "app/appearance.h"
#include "app/common_dialog.h"
#include "app/main_window.h"
#include "app/message_sink.h"
#include "app/name_box.h"
#include "app/rom_watcher.h"
#include "exchange/table_file.h"
#include "families/families.h"
#include "patch/patch_file.h"
#include "source/source_save.h"
#include "trades/rom_diff.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"
#include "trades/trainer_id.h"

namespace kestrane {

SaveOptions MainWindow::saveOptions() const { return SaveOptions{policyFor(checksumsAction_->isChecked())}; }

std::optional<SaveReport> MainWindow::saveEdits(std::span<const TradeEdit> edits, const QString& what, bool withSource) {
    saveNote_.clear();
    // A trade file that may not be written: the ROM alone only where the user says so.
    if (withSource) {
        if (auto fit = sourceWritable(*source_, files_); !fit) {
            if (messages_.choose(this, kAppTitle,
                                 fromCore(fit.error().message) + QStringLiteral("\n\nSave to the ROM alone? Its next build replaces the edit."),
                                 {QStringLiteral("Save ROM Only"), QStringLiteral("Cancel")}, 1) != 0) {
                return std::nullopt;
            }
            withSource = false;
        }
    }
    if (withSource) {
        auto both = saveTradesWithSource(*rom_, *source_, edits, asBuilt(*rom_, *source_, saveOptions()), files_);
        if (!both) {
            tell(both.error());
            return std::nullopt;
        }
        history_.saved(what.toStdString(), both->rom.changes, SaveHistory::Alongside{both->before, both->after});
        watcher_->noteOwnWrite();
        saveNote_ = sourceNote(edits, both->rom, true);
        readSource();
        showSourceLine();
        showRomInformation();
        updateActions();
        return std::move(both->rom);
    }
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
            showRomInformation();
        }
    }
    if (!saved) {
        const ErrorCode code = saved.error().code;
        if ((code == ErrorCode::TradeChangedOnDisk || code == ErrorCode::TableMoved) && editor_->current().record && edits.size() == 1) {
            offerReload(saved.error());
        } else {
            tell(saved.error());
        }
        return std::nullopt;
    }
    history_.saved(what.toStdString(), saved->changes);
    watcher_->noteOwnWrite();
    saveNote_ = sourceNote(edits, *saved, false);
    if (source_ && saved->bytesChanged > 0) {
        romOnlyInTree_ = true;
        readSource();  // no longer in step with the ROM
        showRomInformation();
    }
    updateActions();
    return std::move(*saved);
}

bool MainWindow::saveTrade() {
    if (!rom_ || !editor_->current().record) {
        tell(nothingWritten(refused(ErrorCode::NoTrade, rom_ ? "Select a trade before saving."
                                                             : "Open a ROM and select a trade before saving.")));
        return false;
    }
    // Names written into the trade file are padded as its macros pad them.
    const bool withSource = writesSource();
    auto edit = editor_->editFromBoxes(withSource ? NamePadding::Terminator : namePadding());
    if (!edit) {
        tell(nothingWritten(together(edit.error())));
        return false;
    }
    auto saved = saveEdits(std::span(&*edit, 1), QStringLiteral("Save of ") + fromCore(editor_->current().record->slot.name()),
                           withSource);
    if (!saved) return false;
    // The boxes keep what the user typed; the next save compares with the file
    // as it is now, and each box's own undo starts afresh from the saved value.
    editor_->setCurrentTrade({editor_->current().row, saved->records.front(), std::nullopt, {}}, false);
    editor_->clearChangedMarks();
    for (const auto& [field, box] : editor_->fieldBoxes()) {
        if (auto* combo = qobject_cast<QComboBox*>(box)) combo->setEditText(typedText(combo));
        else static_cast<QLineEdit*>(box)->setText(static_cast<QLineEdit*>(box)->text());
    }
    editor_->showWarnings();
    messages_.show(this, kAppTitle, fromCore(kSavedMessage), MessageIcon::Information);
    // Saved as asked; what the game can never do with it is said after.
    QStringList after;
    if (!saveNote_.isEmpty()) after << saveNote_;
    for (const TradeWarning& w : tradeWarnings(*rom_, saved->records.front())) after << fromCore(warningLine(editor_->current().record->slot, w));
    if (!rom_->tableNote().empty()) after << fromCore(rom_->tableNote());
    // Checks that were stale before the save stay so: said as the command line says it.
    if (const std::string note = staleChecksumsNote(*rom_->release, *saved, saveOptions().checksums); !note.empty() && saveNote_.isEmpty()) {
        QString sentence = fromCore(note);
        sentence[0] = sentence[0].toUpper();
        after << sentence + QLatin1Char('.');
    }
    if (!after.isEmpty()) statusBar()->showMessage(after.join(QLatin1Char(' ')));
    return true;
}

void MainWindow::offerReload(const Error& refusal) {
    const bool moved = refusal.code == ErrorCode::TableMoved;
    // The question's own event loop may see the file change again: that
    // change waits for this answer (followChangeOnDisk).
    askingAboutDisk_ = true;
    changedWhileAsking_ = false;
    const int answer = messages_.choose(
        this, kAppTitle,
        fromCore(refusal.message) +
            (moved ? QStringLiteral("\n\nReload the ROM and keep what you typed? Save then writes it into the table the game reads.")
                   : QStringLiteral("\n\nRead the trade again and keep what you typed? The fields the other program changed are "
                                    "marked; Save then writes your values over them.")),
        {QStringLiteral("Reload and Keep My Edits"), QStringLiteral("Discard My Edits"), QStringLiteral("Cancel")});
    askingAboutDisk_ = false;
    if (answer == 2) {
        // Left as it is: a change made meanwhile is a new one to ask about.
        if (std::exchange(changedWhileAsking_, false)) QTimer::singleShot(0, this, &MainWindow::followChangeOnDisk);
        return;
    }
    // Either answer reads the file as it is now, whatever changed meanwhile.
    changedWhileAsking_ = false;
    if (answer == 1) {
        // The trade as the file holds it: the ROM again where its table moved.
        if (moved) {
            editor_->setCurrentTrade({editor_->current().row, editor_->current().record, std::nullopt, {}});
            reloadRom();
        } else {
            showTrade(editor_->current().row);
        }
        return;
    }
    const CurrentTrade editing = editor_->current();
    const std::vector<std::pair<Field, QString>> typed = [&] {
        std::vector<std::pair<Field, QString>> texts;
        for (const auto& [field, box] : editor_->fieldBoxes()) {
            auto* combo = qobject_cast<QComboBox*>(box);
            texts.emplace_back(field, combo ? typedText(combo) : static_cast<QLineEdit*>(box)->text());
        }
        return texts;
    }();
    if (moved) {
        auto rom = kestrane::openRom(rom_->path, families::all(), files_);
        if (!rom) return tell(rom.error());
        setCurrentRom(std::move(*rom));
        if (editing.row >= rom_->slotCount()) {
            return tell(refused(ErrorCode::NoTrade, editing.record->slot.name() + " is not in the table the game now reads."));
        }
    }
    auto reading = readTradeRecord(*rom_, editing.record->slot, files_);
    if (!reading || !reading->record) return tell(reading ? refused(ErrorCode::NoTrade, std::string(kNoTradeMessage)) : reading.error());
    editor_->setCurrentTrade(editing, false);
    for (const auto& [field, text] : typed) {
        for (const auto& [boxField, box] : editor_->fieldBoxes()) {
            if (boxField != field) continue;
            if (auto* combo = qobject_cast<QComboBox*>(box)) combo->setEditText(text);
            else static_cast<QLineEdit*>(box)->setText(text);
        }
    }
    keepEditsOver(*reading->record);
}

void MainWindow::keepEditsOver(const TradeRecord& now) {
    const TradeRecord before = *editor_->current().record;
    CurrentTrade kept = editor_->current();
    kept.record = now;
    // Reloaded as another game: what its records cannot hold is no edit to save.
    const std::optional<std::string> dropped = dropFieldsNotHeld(*rom_->release, now.slot, kept.edited, kept.more);
    // The boxes the user did not edit show the file's values; the others keep their text.
    std::vector<std::pair<QWidget*, QString>> typed;
    for (const auto& [field, box] : editor_->fieldBoxes()) {
        if (!kept.edited.count(field)) continue;
        auto* combo = qobject_cast<QComboBox*>(box);
        typed.emplace_back(box, combo ? typedText(combo) : static_cast<QLineEdit*>(box)->text());
    }
    editor_->setCurrentTrade(kept);
    for (const auto& [box, text] : typed) {
        if (auto* combo = qobject_cast<QComboBox*>(box)) combo->setEditText(text);
        else static_cast<QLineEdit*>(box)->setText(text);
    }
    editor_->showPictures();
    editor_->showWarnings();
    QStringList elsewhere;
    for (const FieldChange& change : fieldChanges(*rom_, before, now)) {
        const auto boxes = editor_->fieldBoxes();
        const auto found = std::find_if(boxes.begin(), boxes.end(), [&](const auto& b) { return b.first == change.field; });
        const bool edited = editor_->current().edited.count(change.field) > 0;
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
    if (dropped) messages_.show(this, kAppTitle, fromCore(*dropped), MessageIcon::Information);
}

void MainWindow::saveRomAs() {
    if (!rom_) return;
    // Every edit goes into the copy, typed ones too, checked as a save.
    std::vector<TradeEdit> edits;
    if (isWindowModified() && editor_->current().record) {
        auto edit = editor_->editFromBoxes(namePadding());
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
                                romFilter(), 0, QStringLiteral(".") + rom.suffix());
    if (!path) return tell(path.error());
    if (path->isEmpty()) return;
    auto saved = saveTradesAs(*rom_, edits, toCore(*path), saveOptions(), files_);
    if (!saved) return tell(saved.error());
    // The window edits the copy from now on.
    const int row = editor_->current().record ? editor_->current().row : -1;
    auto copy = kestrane::openRom(toCore(*path), families::all(), files_);
    // The copy is written either way: a failure here says so, and the window stays on the ROM.
    if (!copy) return tell(inContext(copy.error(), "The copy was saved to " + quoted(toCore(*path)) + ", but it could not be opened to edit"));
    copy->path = toCore(QDir::toNativeSeparators(QFileInfo(*path).absoluteFilePath()));
    setCurrentRom(std::move(*copy));
    if (row >= 0) showTrade(row);
    statusBar()->showMessage(QStringLiteral("Saved as %1; the window now edits that file.").arg(QFileInfo(*path).fileName()));
}

void MainWindow::undoSave() { rewind(Rewind::Undo); }
void MainWindow::redoSave() { rewind(Rewind::Redo); }

void MainWindow::rewind(Rewind way) {
    const SaveHistory::Entry* entry = way == Rewind::Undo ? history_.toUndo() : history_.toRedo();
    // The file changes under the trade shown: its typed edits are asked about first.
    if (!rom_ || !entry || !maySwitchAway()) return;
    const QString what = fromCore(entry->what);
    // A save into the trade file too is taken back (made again) in both, or not at all.
    if (entry->alongside && (!source_ || source_->path.empty())) {
        return tell(nothingWritten(refused(ErrorCode::SourceNotInStep,
                                           "The build tree's trade file can no longer be found, so this save into both cannot be " +
                                               std::string(way == Rewind::Undo ? "undone." : "done again."))));
    }
    auto done = entry->alongside
                    ? rewindSaveWithSource(*rom_, *source_, entry->changes, entry->alongside->before, entry->alongside->after, way,
                                           saveOptions(), files_)
                    : rewindSave(*rom_, entry->changes, way, saveOptions(), files_);
    if (!done) return tell(done.error());
    if (entry->alongside) {
        readSource();
        showRomInformation();
    }
    if (way == Rewind::Undo) history_.undone();
    else history_.redone();
    watcher_->noteOwnWrite();
    updateActions();
    if (editor_->current().record) showTrade(editor_->current().row);
    statusBar()->showMessage((way == Rewind::Undo ? QStringLiteral("Undone: ") : QStringLiteral("Done again: ")) + what + QStringLiteral("."));
}

void MainWindow::importTrades() {
    if (!rom_ || !maySwitchAway()) return;
    CommonDialog dialog(dialogs_);
    const QString path = dialog.showOpen(this, QStringLiteral("Import Trades"), QFileInfo(romPath()).absolutePath(),
                                         kTableFilter, kOpenFlags);
    if (path.isEmpty()) return;
    const bool withSource = writesSource();
    auto edits = exchange::importEditsFrom(toCore(path), *rom_, withSource ? NamePadding::Terminator : namePadding(), files_);
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
    std::vector<std::string> said;
    for (const FieldChange& change : *changes) said.push_back(changeLine(change));
    const QStringList lines = questionLines(said);
    const QString sister = edits->sister ? fromCore(sisterNote(*edits->sister)) + QStringLiteral("\n\n") : QString();
    if (messages_.choose(this, QStringLiteral("Import Trades"),
                         sister + QStringLiteral("Importing \"%1\" changes:\n\n%2\n\nImport these changes?").arg(table, lines.join('\n')),
                         {QStringLiteral("Import"), QStringLiteral("Cancel")}) != 0) {
        return;
    }
    if (!saveEdits(edits->edits, QStringLiteral("Import"), withSource)) return;
    // The trade on show, as the file now holds it.
    if (editor_->current().record) showTrade(editor_->current().row);
    messages_.show(this, kAppTitle, fromCore(kSavedMessage), MessageIcon::Information);
    if (!saveNote_.isEmpty()) statusBar()->showMessage(saveNote_);
}

}  // namespace kestrane
