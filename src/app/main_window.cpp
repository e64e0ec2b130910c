#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStringListModel>
#include <QTimer>
#include <utility>

#include "app/about_window.h"
#include "app/appearance.h"
#include "app/common_dialog.h"
#include "app/emulator.h"
#include "app/message_sink.h"
#include "app/more_fields_dialog.h"
#include "app/name_box.h"
#include "app/rom_watcher.h"
#include "app/trade_chooser.h"
#include "exchange/table_file.h"
#include "families/families.h"
#include "support/hex_text.h"
#include "trades/creature_list.h"
#include "trades/releases.h"
#include "trades/save.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"
#include "trades/trainer_id.h"

namespace kestrane {
namespace {

const QString kChecksumsSetting = QStringLiteral("save/updateChecksums");
const QString kPadNamesSetting = QStringLiteral("edit/padNamesWithTerminator");

QString openTitle() { return QStringLiteral("Open ") + fromCore(gamesText(kestrane::families::all(), "or")) + QStringLiteral(" ROM..."); }

// A single local file named as a ROM is, or nothing.
std::optional<QString> droppedRom(const QMimeData* mime) {
    if (!mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().constFirst().isLocalFile()) return std::nullopt;
    QString path = mime->urls().constFirst().toLocalFile();
    const std::string suffix = toCore(QFileInfo(path).suffix().toLower());
    const std::vector<RomFileKind> kinds = romFileKinds(families::all());
    const bool named = std::any_of(kinds.begin(), kinds.end(), [&](const RomFileKind& kind) { return kind.extension == suffix; });
    if (!named) return std::nullopt;
    return path;
}

}  // namespace

MainWindow::MainWindow(MessageSink& messages, DialogBackend& dialogs, FileSystem& files, QWidget* parent)
    : QMainWindow(parent), messages_(messages), dialogs_(dialogs), files_(files) {
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(appIcon());
    createActions();
    createMenus();
    createControls();
    // Made now, so that the window's size is settled from the start.
    statusBar()->setSizeGripEnabled(false);
    showRomInformation();
    updateActions();
    setAcceptDrops(true);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    watcher_ = new RomWatcher(this);
    connect(watcher_, &RomWatcher::changedOnDisk, this, &MainWindow::followChangeOnDisk);
}

MainWindow::~MainWindow() {
    // The children outlive this part of the window: what they signal while
    // they go (a list emptied with its model) reaches no slot of it.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void MainWindow::createActions() {
    auto action = [this](const char* name, const QString& caption, const QKeySequence& shortcut, auto slot) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(shortcut);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    openAction_ = action("mnuOpen", QStringLiteral("&Open ROM..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                         &MainWindow::openRomCommand);
    reloadAction_ = action("mnuReload", QStringLiteral("&Reload ROM"), QKeySequence(Qt::Key_F5), &MainWindow::reloadRom);
    saveAction_ = action("mnuSave", QStringLiteral("&Save ROM"), QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::saveTrade);
    saveAsAction_ = action("mnuSaveAs", QStringLiteral("Save ROM &As\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                           &MainWindow::saveRomAs);
    // Text boxes keep their own Ctrl+Z: a focused box takes the key first.
    undoAction_ = action("mnuUndo", QStringLiteral("&Undo Save"), QKeySequence::Undo, &MainWindow::undoSave);
    redoAction_ = action("mnuRedo", QStringLiteral("&Redo Save"), QKeySequence::Redo, &MainWindow::redoSave);
    playAction_ = action("mnuPlay", QStringLiteral("Pla&y in Emulator"), QKeySequence(Qt::Key_F9), &MainWindow::playInEmulator);
    chooseEmulatorAction_ = action("mnuChooseEmulator", QStringLiteral("&Choose Emulator\u2026"), QKeySequence(),
                                   &MainWindow::chooseEmulator);
    clearRecentAction_ = action("mnuClearRecent", QStringLiteral("&Clear Recent ROMs"), QKeySequence(), [this] {
        recentRoms_.clear();
        showRecentRoms();
    });
    exportAction_ = action("mnuExport", QStringLiteral("&Export Trades\u2026"), QKeySequence(), &MainWindow::exportTrades);
    importAction_ = action("mnuImport", QStringLiteral("&Import Trades\u2026"), QKeySequence(), &MainWindow::importTrades);
    patchAction_ = action("mnuCreatePatch", QStringLiteral("Create &Patch\u2026"), QKeySequence(), &MainWindow::createPatchCommand);
    applyPatchAction_ = action("mnuApplyPatch", QStringLiteral("Apply Pa&tch\u2026"), QKeySequence(), &MainWindow::applyPatchCommand);
    exitAction_ = action("mnuExit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q), &QWidget::close);
    aboutAction_ = action("mnuAbout", QStringLiteral("&About"), QKeySequence(), &MainWindow::showAbout);
    moreFieldsAction_ = action("mnuMoreFields", QStringLiteral("&More Fields\u2026"), QKeySequence(Qt::CTRL | Qt::Key_M),
                               [this] { editor_->showMoreFields(); });
    // Remembered between runs; on unless the user turned it off.
    checksumsAction_ = new QAction(QStringLiteral("&Update Checksums When Saving"), this);
    checksumsAction_->setObjectName(QStringLiteral("mnuChecksums"));
    checksumsAction_->setCheckable(true);
    checksumsAction_->setChecked(QSettings().value(kChecksumsSetting, true).toBool());
    connect(checksumsAction_, &QAction::toggled, this, [](bool on) { QSettings().setValue(kChecksumsSetting, on); });
    // Remembered too; off unless the user turned it on (the release's own padding).
    padNamesAction_ = new QAction(QStringLiteral("&Pad Names as the Games Do"), this);
    padNamesAction_->setObjectName(QStringLiteral("mnuPadNames"));
    padNamesAction_->setCheckable(true);
    padNamesAction_->setChecked(QSettings().value(kPadNamesSetting, false).toBool());
    const std::string alwaysTerminated = gameNames(
        gamesWhere(families::all(), GameRows::Every, [](const Release& r) { return r.layout.nickname.padding == r.charset().terminator(); }));
    padNamesAction_->setStatusTip(fromCore("Fill the rest of a typed name's field with 0x50, as the games' own builds do, "
                                           "rather than 0x20 (" + alwaysTerminated + " always use 0x50)."));
    connect(padNamesAction_, &QAction::toggled, this, [](bool on) { QSettings().setValue(kPadNamesSetting, on); });
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addAction(openAction_);
    recentMenu_ = file->addMenu(QStringLiteral("Rece&nt ROMs"));
    recentMenu_->setObjectName(QStringLiteral("mnuRecent"));
    recentMenu_->setToolTipsVisible(true);  // a missing file's path
    showRecentRoms();
    file->addAction(reloadAction_);
    file->addAction(saveAction_);
    file->addAction(saveAsAction_);
    file->addSeparator();
    file->addAction(exportAction_);
    file->addAction(importAction_);
    file->addAction(patchAction_);
    file->addAction(applyPatchAction_);
    file->addSeparator();
    file->addAction(playAction_);
    file->addAction(chooseEmulatorAction_);
    file->addSeparator();
    file->addAction(checksumsAction_);
    file->addSeparator()->setObjectName(QStringLiteral("cmdBreak"));
    file->addAction(exitAction_);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    edit->addAction(undoAction_);
    edit->addAction(redoAction_);

    QMenu* trade = menuBar()->addMenu(QStringLiteral("&Trade"));
    trade->setObjectName(QStringLiteral("mnuTrade"));
    trade->addAction(moreFieldsAction_);
    trade->addSeparator();
    trade->addAction(padNamesAction_);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(aboutAction_);
}

void MainWindow::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    form_ = buildMainForm(client);

    chooser_ = new TradeChooser(form_.tradeList);
    QStringList rows;
    for (int slot = 1; slot <= kListedSlots; ++slot) rows << fromCore(slotName(slot));
    chooser_->setRows(rows);
    connect(chooser_, &TradeChooser::choice, this, &MainWindow::tradeChosen);
    // The button runs exactly the menu command.
    connect(form_.saveButton, &QPushButton::clicked, saveAction_, &QAction::trigger);
    editor_ = new TradeEditor(*this, form_, rom_, messages_, files_);
    // The list's selection and the actions follow the trade being edited.
    connect(editor_, &TradeEditor::tradeChanged, this, [this] {
        chooser_->select(editor_->current().row);
        showSourceLine();
        updateActions();
    });
}

void MainWindow::openRomCommand() {
    CommonDialog dialog(dialogs_);
    const QString path = dialog.showOpen(this, openTitle(), QString(), romFilter(), kOpenFlags);
    // Cancelled: the ROM that was open stays open.
    if (!path.isEmpty()) openRom(path);
}

void MainWindow::openRom(const QString& given) {
    // One spelling of a ROM's path for messages, the title, the recent list
    // and the emulator: absolute, with the platform's separators.
    const QString path = QDir::toNativeSeparators(QFileInfo(given).absoluteFilePath());
    auto rom = kestrane::openRom(toCore(path), families::all(), files_);
    if (!rom) return tell(rom.error());
    // Only a ROM that opened can take the place of the trade being edited.
    if (!maySwitchAway()) return;
    rom->path = toCore(path);
    setCurrentRom(std::move(*rom));
}

void MainWindow::followChangeOnDisk() {
    if (!rom_) return;
    if (askingAboutDisk_) {
        changedWhileAsking_ = true;
        return;
    }
    // A file being written, or cut short, is not taken: the next change is awaited.
    auto rom = kestrane::openRom(rom_->path, families::all(), files_);
    if (!rom || rom->size.cutOff()) return;
    watcher_->noteSeen();
    const QString name = QFileInfo(romPath()).fileName();
    if (editor_->current().record && !editor_->current().edited.empty()) {
        // Asked once for this change, keeping what was typed as Reload and Keep My Edits does.
        offerReload(changedByOther(ErrorCode::TableMoved, "\u201c" + toCore(name) +
                                                              "\u201d changed on disk (a rebuild, or another program's save)."));
        return;
    }
    const bool romOnly = std::exchange(romOnlyInTree_, false);
    reloadRom();
    // A rebuild from a source in step: quietly read again, unless it replaced edits that went to the ROM alone.
    if (source_ && source_->inStep()) {
        const QString from = QStringLiteral("\u201c%1\u201d was rebuilt from %2").arg(name, fromCore(source_->file));
        if (romOnly) {
            messages_.show(this, kAppTitle, from + QStringLiteral(": the edits saved to the ROM only are gone, as that file never held them."),
                           MessageIcon::Information);
        } else {
            statusBar()->showMessage(from + QStringLiteral(" and read again."));
        }
        return;
    }
    statusBar()->showMessage(QStringLiteral("\u201c%1\u201d changed on disk and was read again.").arg(name));
}

void MainWindow::reloadRom() {
    if (!rom_) return;
    const int row = editor_->current().record ? editor_->current().row : -1;
    auto rom = kestrane::openRom(rom_->path, families::all(), files_);
    if (!rom) return tell(rom.error());
    if (!maySwitchAway()) return;
    setCurrentRom(std::move(*rom));
    // The trade that was shown, as the file now holds it.
    if (row >= 0 && row < form_.tradeList->count() && form_.tradeList->isEnabled()) showTrade(row);
}

void MainWindow::showRecentRoms() {
    showRecentRomsIn(recentMenu_, recentRoms_.paths(), clearRecentAction_, [this](const QString& path) { openRom(path); });
}

void MainWindow::playInEmulator() {
    if (!rom_ || !maySwitchAway()) return;
    EmulatorChoice choice = chosenEmulator();
    if (choice.program.isEmpty()) choice.program = findEmulator();
    if (choice.program.isEmpty()) {
        if (!chooseEmulator()) return;
        choice = chosenEmulator();
    }
    const QStringList arguments = emulatorArguments(choice.arguments, romPath());
    if (const QString why = startDetached(choice.program, arguments); !why.isEmpty()) {
        refuse(QStringLiteral("Could not start the emulator \"%1\": %2.").arg(choice.program, why));
        return;
    }
    statusBar()->showMessage(QStringLiteral("Started %1 on %2.").arg(QFileInfo(choice.program).fileName(),
                                                                    QFileInfo(romPath()).fileName()));
}

bool MainWindow::chooseEmulator() {
    EmulatorChoice choice = chosenEmulator();
    if (choice.program.isEmpty()) choice.program = findEmulator();  // offered
    EmulatorDialog dialog(this, dialogs_, choice);
    dialog.setFont(form_.captionFont);
    if (dialog.exec() != QDialog::Accepted || dialog.choice().program.isEmpty()) return false;
    rememberEmulator(dialog.choice());
    return true;
}

QString MainWindow::romPath() const { return rom_ ? QDir::toNativeSeparators(fromCore(rom_->path)) : QString(); }

void MainWindow::setCurrentRom(Rom rom) {
    rom_ = std::move(rom);
    // Followed on disk from the next turn of the event loop: never before the first frame.
    QTimer::singleShot(0, this, [this] {
        if (rom_) watcher_->watch(romPath());
    });
    setWindowFilePath(romPath());
    history_.clear();
    romOnlyInTree_ = false;
    readSource();
    editor_->showSpeciesNames(*rom_->species);
    // A new ROM starts with no trade chosen: the editor empty and disabled.
    QStringList rows;
    for (int slot = 1; slot <= rom_->slotCount(); ++slot) rows << fromCore(slotName(slot));
    chooser_->setRows(rows);
    editor_->setCurrentTrade({});
    showRomInformation();
    form_.romFrame->setEnabled(true);
    form_.tradeListFrame->setEnabled(true);
    for (QLabel* caption : form_.romCaptions) caption->setEnabled(true);
    form_.tradeList->setEnabled(rom_->table.has_value());
    recentRoms_.add(romPath());
    showRecentRoms();
    // The keyboard chooses a trade at once (Space, the arrow keys).
    if (rom_->table) form_.tradeList->setFocus();
    if (!rom_->table) refuse(fromCore(describe(rom_->noTable)));
    else if (rom_->size.cutOff()) refuse(fromCore(rom_->size.cutOffNote()));
}

void MainWindow::showRomInformation() {
    // [*] shows the unsaved-edit mark the desktop's way ("crystal.gbc*").
    setWindowTitle(!rom_ ? kAppTitle
                         : kAppTitle + QStringLiteral(" \u2014 ") + QFileInfo(romPath()).fileName() +
                               (rom_->readOnly ? QStringLiteral(" (read-only)") : QString()) + QStringLiteral("[*]"));
    if (!rom_) return;
    const Release& release = *rom_->release;
    const QString name = fromCore(release.shortName());
    form_.gameName->setText(name);
    form_.gameName->setToolTip(release.reachedByLayout ? fromCore(release.name) : QString());
    // A name or a title standing for the code (Red, Blue and Yellow) longer
    // than its label ("Pokémon LeafGreen"): the label widens and what follows
    // moves along, so that it shows whole; only what still passes the
    // frame's edge is cut (whole in the tooltip).
    constexpr int kNameWidth = 89, kCodeCaptionAt = 184, kCodeCaptionGap = 4, kCodeCaptionWidth = 72, kCodeWidth = 65,
                  kCaptionGap = 7, kLanguageCaptionWidth = 56, kNarrowGap = 3;
    const int nameWidth = std::max(kNameWidth, form_.gameName->fontMetrics().horizontalAdvance(name) + 2);
    form_.gameName->resize(nameWidth, form_.gameName->height());
    QLabel* codeCaption = form_.romCaptions.value(1);
    codeCaption->move(std::max(kCodeCaptionAt, form_.gameName->x() + nameWidth + kCodeCaptionGap), codeCaption->y());
    // The frame's right margin is its table line's.
    const int frameEdge = form_.romFrame->width() - form_.tableInfo->x();
    const QString code = fromCore(release.code);
    QLabel* codeLabel = form_.gameCode;
    QLabel* languageCaption = form_.romCaptions.value(2);
    codeLabel->move(codeCaption->x() + kCodeCaptionWidth, codeLabel->y());
    const int codeWidth = std::max(kCodeWidth, codeLabel->fontMetrics().horizontalAdvance(code) + 2);
    codeLabel->resize(codeWidth, codeLabel->height());
    // A long title: the gaps after the code and its caption narrow first.
    const bool longCode = codeWidth > kCodeWidth;
    languageCaption->move(codeLabel->x() + codeWidth + (longCode ? kNarrowGap : kCaptionGap), languageCaption->y());
    const int captionWidth = longCode ? languageCaption->fontMetrics().horizontalAdvance(languageCaption->text()) + kNarrowGap
                                      : kLanguageCaptionWidth;
    form_.language->move(languageCaption->x() + captionWidth, form_.language->y());
    form_.language->resize(std::max(1, frameEdge - form_.language->x()), form_.language->height());
    codeLabel->setText(code);
    codeLabel->setToolTip(QString());
    const QString language = fromCore(languageName(release.language));
    form_.language->setText(form_.language->fontMetrics().elidedText(language, Qt::ElideRight, form_.language->width()));
    form_.language->setToolTip(form_.language->text() == language ? QString() : language);
    // A table the game's routine does not vouch for says so, whole in the tooltip.
    const bool byRecords = rom_->table && rom_->table->foundBy == FoundBy::RecordScan;
    QString table = !rom_->table ? QStringLiteral("Trade table: not found")
                                 : QStringLiteral("Trade table: ") + fromCore(hexOffset(rom_->table->offset)) +
                                       (byRecords            ? QStringLiteral(" (found by its records alone)")
                                        : rom_->tableMoved() ? QStringLiteral(" (moved)")
                                                             : QString()) +
                                       (release.reachedByLayout ? QStringLiteral(", ") + fromCore(release.layout.key) + QStringLiteral(" records")
                                                        : QString());
    // A cut file is said in the frame (in short, the whole sentence in its tooltip).
    const QString cutOff = rom_->size.cutOff() ? fromCore(rom_->size.cutOffNote()) : QString();
    if (!cutOff.isEmpty()) table += QStringLiteral(" \u2014 the file may be cut off");
    if (rom_->readOnly) table += QStringLiteral(" \u2014 read-only");
    form_.tableInfo->setText(table);
    QStringList tip;
    if (release.reachedByLayout) tip << QStringLiteral("Its records: ") + fromCore(release.layout.description) + QLatin1Char('.');
    if (byRecords) tip << fromCore(rom_->tableNote());
    if (!cutOff.isEmpty()) tip << cutOff;
    form_.tableInfo->setToolTip(tip.join(QLatin1Char(' ')));
    // The build tree's trade file follows the table on its row: in short,
    // with why it is not in step whole in the tooltip.
    const bool inTree = source_ || !sourceProblem_.isEmpty();
    form_.sourceInfo->setVisible(inTree);
    const int tableWidth = inTree ? form_.tableInfo->fontMetrics().horizontalAdvance(table) + 2 : frameEdge - form_.tableInfo->x();
    form_.tableInfo->resize(std::min(tableWidth, frameEdge - form_.tableInfo->x()), form_.tableInfo->height());
    if (inTree) {
        const QString file = source_ && !source_->file.empty() ? fromCore(source_->file) : QString();
        const QString said = !source_            ? QStringLiteral("Source: not read")
                             : source_->inStep() ? QStringLiteral("Source: %1 (in step)").arg(file)
                             : file.isEmpty()    ? QStringLiteral("Source: not in step")
                                                 : QStringLiteral("Source: %1 (not in step)").arg(file);
        form_.sourceInfo->move(form_.tableInfo->x() + form_.tableInfo->width() + 10, form_.sourceInfo->y());
        form_.sourceInfo->resize(std::max(1, frameEdge - form_.sourceInfo->x()), form_.sourceInfo->height());
        form_.sourceInfo->setText(form_.sourceInfo->fontMetrics().elidedText(said, Qt::ElideRight, form_.sourceInfo->width()));
        form_.sourceInfo->setToolTip(source_ ? fromCore(sentence(source_->state())) : sourceProblem_);
    }
}

void MainWindow::updateActions() {
    const bool open = rom_.has_value();
    const bool table = open && rom_->table.has_value();
    const bool trade = editor_->current().record.has_value();
    for (QAction* a : {reloadAction_, saveAsAction_, patchAction_, playAction_}) a->setEnabled(open);
    for (QAction* a : {exportAction_, importAction_}) a->setEnabled(table);
    for (QAction* a : {saveAction_, moreFieldsAction_}) a->setEnabled(trade);
    const SaveHistory::Entry* undo = history_.toUndo();
    const SaveHistory::Entry* redo = history_.toRedo();
    undoAction_->setText(undo ? QStringLiteral("&Undo ") + fromCore(undo->what) : QStringLiteral("&Undo Save"));
    redoAction_->setText(redo ? QStringLiteral("&Redo ") + fromCore(redo->what) : QStringLiteral("&Redo Save"));
    undoAction_->setEnabled(undo != nullptr);
    redoAction_->setEnabled(redo != nullptr);
}

void MainWindow::tradeChosen(int row) {
    if (!maySwitchAway()) {
        chooser_->select(editor_->current().row);  // Cancel: the selection as it was
        return;
    }
    showTrade(row);
}

bool MainWindow::showTrade(int row) {
    if (!rom_ || row < 0 || row >= rom_->slotCount()) return false;
    auto reading = readTradeRecord(*rom_, Slot::fromNumber(row + 1), files_);
    if (!reading) {
        chooser_->select(editor_->current().row);  // as it was before the selection
        tell(reading.error());
        return false;
    }
    editor_->setCurrentTrade({row, reading->record, std::nullopt, {}});
    if (!reading->record) refuse(fromCore(kNoTradeMessage));
    return true;
}

NamePadding MainWindow::namePadding() const {
    return padNamesAction_->isChecked() ? NamePadding::Terminator : NamePadding::Release;
}

bool MainWindow::maySwitchAway() {
    if (!isWindowModified() || !editor_->current().record) return true;
    switch (messages_.askToSave(this, kAppTitle,
                                QStringLiteral("Save changes to %1?").arg(fromCore(editor_->current().record->slot.name())))) {
    case SaveAnswer::Save: return saveTrade();
    case SaveAnswer::Discard:
        // The boxes show the trade as it was read again.
        editor_->setCurrentTrade({editor_->current().row, editor_->current().record, std::nullopt, {}});
        return true;
    case SaveAnswer::Cancel: break;
    }
    return false;
}

void MainWindow::showAbout() {
    if (!about_) about_ = new AboutWindow(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::refuse(const QString& text) { messages_.show(this, kAppTitle, text, MessageIcon::Exclamation); }

void MainWindow::tell(const Error& error) {
    // File failures keep the classic "Error: N" box; refusals are
    // exclamations titled with the program's name.
    if (error.isFileFailure()) {
        messages_.show(this, QStringLiteral("Error: %1").arg(error.number()), fromCore(describe(error)), MessageIcon::None,
                       fromCore(error.detail));
    } else {
        messages_.show(this, kAppTitle, fromCore(describe(error)), MessageIcon::Exclamation, fromCore(error.detail));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!maySwitchAway()) return event->ignore();
    // The owned About window goes with its owner.
    if (about_) about_->close();
    QMainWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedRom(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (auto path = droppedRom(event->mimeData())) {
        event->acceptProposedAction();
        openRom(*path);
    }
}

}  // namespace kestrane
