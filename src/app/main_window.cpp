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
                               &MainWindow::showMoreFields);
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

    // Only what the user does marks the trade modified, never what the window fills in.
    for (auto [box, field] : {std::pair{form_.nickname, Field::Nickname}, std::pair{form_.trainerName, Field::TrainerName},
                              std::pair{form_.trainerId, Field::TrainerId}}) {
        connect(box, &QLineEdit::textEdited, this, [this, field = field] { markEdited(field); });
        connect(box, &QLineEdit::textEdited, this, &MainWindow::showWarnings);
    }
    // Names are limited by the bytes they take, not by characters ("[PK]" is
    // one byte): the room left shows in the box, and a save says what is too long.
    for (auto [box, role] : {std::pair{form_.nickname, NameRole::Nickname}, std::pair{form_.trainerName, NameRole::TrainerName}}) {
        connect(box, &QLineEdit::textChanged, this, [this, box = box, role = role] { updateRoomLeft(box, role); });
    }
    // Both lists show one model: 252 strings, not 504 items.
    speciesModel_ = new QStringListModel(this);
    showSpeciesNames(builtInSpeciesList());
    for (auto [box, field] : {std::pair{form_.offeredSpecies, Field::OfferedSpecies},
                              std::pair{form_.requestedSpecies, Field::RequestedSpecies}}) {
        box->setModel(speciesModel_);
        box->setCurrentIndex(-1);
        box->setEditText(QString());
        connect(box, &QComboBox::activated, this, [this, field = field] { markEdited(field); });
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, field = field] { markEdited(field); });
        // The pictures follow what the lists say, chosen or typed.
        connect(box, &QComboBox::currentTextChanged, this, [this] {
            showPictures();
            showWarnings();
        });
    }
}

void MainWindow::showSpeciesNames(const SpeciesList& names) {
    QStringList entries;
    for (const std::string& entry : names.entries()) entries << fromCore(entry);
    if (entries != speciesModel_->stringList()) speciesModel_->setStringList(entries);
}

void MainWindow::setCurrentTrade(CurrentTrade trade, bool refill) {
    current_ = std::move(trade);
    chooser_->select(current_.row);
    if (refill) fillEditor();
    setWindowModified(current_.record && !current_.edited.empty());
    updateActions();
}

std::vector<std::pair<Field, QWidget*>> MainWindow::fieldBoxes() const {
    return {{Field::RequestedSpecies, form_.requestedSpecies},
            {Field::OfferedSpecies, form_.offeredSpecies},
            {Field::Nickname, form_.nickname},
            {Field::TrainerName, form_.trainerName},
            {Field::TrainerId, form_.trainerId}};
}

void MainWindow::clearChangedMarks() {
    for (const auto& [field, box] : fieldBoxes()) markChangedOnDisk(box, QString());
}

void MainWindow::fillEditor() {
    clearChangedMarks();
    const std::optional<TradeRecord>& record = current_.record;
    const bool shown = record.has_value();
    for (QWidget* w : std::initializer_list<QWidget*>{form_.nickname, form_.trainerName, form_.trainerId, form_.detailsFrame,
                                                      form_.saveButton, form_.requestedSpecies, form_.offeredSpecies,
                                                      form_.locationFrame}) {
        w->setEnabled(shown);
    }
    for (QLabel* caption : form_.detailCaptions) caption->setEnabled(shown);
    // A place longer than its label (another language's, a hack's) is cut
    // with an ellipsis and shown whole in the tooltip.
    const QString location = shown ? fromCore(record->location) : QString();
    form_.location->setText(form_.location->fontMetrics().elidedText(location, Qt::ElideRight, form_.location->width()));
    form_.location->setToolTip(location);
    form_.trainerId->setText(shown && record->trainerId ? QString::number(*record->trainerId) : QString());
    for (auto [box, stored] : {std::pair{form_.requestedSpecies, shown ? std::optional(record->requestedSpecies) : std::nullopt},
                               std::pair{form_.offeredSpecies, shown ? std::optional(record->offeredSpecies) : std::nullopt}}) {
        const auto row = stored ? rom_->species->rowOf(*stored) : std::nullopt;
        box->setCurrentIndex(row.value_or(-1));
        if (!stored) box->setEditText(QString());
        else if (!row) box->setEditText(fromCore(unlistedSpeciesText(*stored)));
    }
    form_.nickname->setText(shown ? QString::fromStdU16String(record->nickname) : QString());
    form_.trainerName->setText(shown && record->trainerName ? QString::fromStdU16String(*record->trainerName) : QString());
    showHiddenBytes(form_.nickname, shown ? fromCore(record->nicknameHidden) : QString());
    showHiddenBytes(form_.trainerName, shown ? fromCore(record->trainerNameHidden) : QString());
    updateRoomLeft(form_.nickname, NameRole::Nickname);
    updateRoomLeft(form_.trainerName, NameRole::TrainerName);
    // Fields the release's records do not hold (Red, Blue and Yellow's
    // trainer and ID) are facts of the trade: shown, never edited.
    if (shown) {
        const QString given = fromCore(givenAtTradeText(*rom_));
        if (!record->trainerName) {
            form_.trainerName->setEnabled(false);
            form_.trainerName->setText(fromCore(rom_->words->givenTrainer));
            form_.trainerName->setToolTip(given);
        }
        form_.trainerId->setMaxLength(record->trainerId ? 5 : 32767);
        if (!record->trainerId) {
            form_.trainerId->setEnabled(false);
            form_.trainerId->setText(QStringLiteral("random"));
            form_.trainerId->setToolTip(given);
        } else {
            form_.trainerId->setToolTip(QString());
        }
    }
    showPictures();
    showWarnings();
}

void MainWindow::showWarnings() {
    if (!form_.requestedWarning) return;  // still being built
    std::vector<TradeWarning> warnings;
    if (current_.record) {
        // A box the core cannot read yet shows nothing: Save says what is wrong with it.
        if (auto edit = editFromBoxes()) warnings = tradeWarnings(*rom_, *edit);
    }
    const std::pair<QLabel*, Field> signs[] = {{form_.requestedWarning, Field::RequestedSpecies},
                                               {form_.offeredWarning, Field::OfferedSpecies},
                                               {form_.nicknameWarning, Field::Nickname},
                                               {form_.trainerNameWarning, Field::TrainerName}};
    QStringList elsewhere;  // the fields of More Fields
    for (const TradeWarning& w : warnings) {
        if (w.field == Field::HeldItem || w.field == Field::GenderRequirement) elsewhere << fromCore(warningLine(current_.record->slot, w));
    }
    for (auto [sign, field] : signs) {
        QStringList reasons;
        for (const TradeWarning& w : warnings) {
            if (w.field == field) reasons << fromCore(w.text);
        }
        showWarning(sign, reasons);
    }
    if (!elsewhere.isEmpty()) statusBar()->showMessage(elsewhere.join(QLatin1Char(' ')));
}

void MainWindow::updateRoomLeft(QLineEdit* box, NameRole role) {
    const std::optional<TradeRecord>& record = current_.record;
    const bool held = record && (role == NameRole::Nickname || record->trainerName);
    showRoomLeft(box, held ? nameRoom(*rom_, *record, role, box->text().toStdU16String()) : std::nullopt,
                 fromCore(nameRoleText(role)), held);
}

void MainWindow::showPictures(std::optional<Dvs> dvs) {
    if (!form_.offeredPicture) return;  // still being built
    if (!current_.record) {
        for (QLabel* frame : {form_.offeredPicture, form_.requestedPicture}) {
            frame->clear();
            frame->setToolTip(QStringLiteral("No trade is shown."));
        }
        return;
    }
    const TradeRecord& r = *current_.record;
    const std::optional<Dvs> arriving = dvs ? dvs : current_.more && current_.more->dvs ? current_.more->dvs : r.dvs;
    showPicture(form_.offeredPicture, speciesOf(form_.offeredSpecies, SpeciesRole::Offered), lookOf(arriving));
    showPicture(form_.requestedPicture, speciesOf(form_.requestedSpecies, SpeciesRole::Requested), PictureLook{});
}

void MainWindow::showPicture(QLabel* frame, const Result<SpeciesId>& species, PictureLook look) {
    auto picture = species ? readFrontPicture(*rom_, *species, look, files_) : Result<FrontPicture>(species.error());
    if (!picture) {
        frame->clear();
        frame->setToolTip(fromCore(picture.error().message));
        return;
    }
    frame->setPixmap(pixmapOf(*picture));
    frame->setToolTip(QString());
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
    if (current_.record && !current_.edited.empty()) {
        // Asked once for this change, keeping what was typed as Reload and Keep My Edits does.
        offerReload(changedByOther(ErrorCode::TableMoved, "\u201c" + toCore(name) +
                                                              "\u201d changed on disk (a rebuild, or another program's save)."));
        return;
    }
    reloadRom();
    statusBar()->showMessage(QStringLiteral("\u201c%1\u201d changed on disk and was read again.").arg(name));
}

void MainWindow::reloadRom() {
    if (!rom_) return;
    const int row = current_.record ? current_.row : -1;
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
    showSpeciesNames(*rom_->species);
    // A new ROM starts with no trade chosen: the editor empty and disabled.
    QStringList rows;
    for (int slot = 1; slot <= rom_->slotCount(); ++slot) rows << fromCore(slotName(slot));
    chooser_->setRows(rows);
    setCurrentTrade({});
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
    form_.gameName->setText(fromCore(release.shortName()));
    form_.gameName->setToolTip(release.reachedByLayout ? fromCore(release.name) : QString());
    // A title standing for the code (Red, Blue and Yellow) is longer than a
    // code: its label widens and the language moves along, so that it shows
    // whole; only what still passes the frame's edge is cut (whole in the tooltip).
    constexpr int kCodeWidth = 65, kCaptionGap = 7, kLanguageCaptionWidth = 56;
    // The frame's right margin is its table line's.
    const int frameEdge = form_.tableInfo->x() + form_.tableInfo->width();
    const QString code = fromCore(release.code);
    QLabel* codeLabel = form_.gameCode;
    QLabel* languageCaption = form_.romCaptions.value(2);
    const int codeWidth = std::max(kCodeWidth, codeLabel->fontMetrics().horizontalAdvance(code) + 2);
    codeLabel->resize(codeWidth, codeLabel->height());
    languageCaption->move(codeLabel->x() + codeWidth + kCaptionGap, languageCaption->y());
    form_.language->move(languageCaption->x() + kLanguageCaptionWidth, form_.language->y());
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
}

void MainWindow::updateActions() {
    const bool open = rom_.has_value();
    const bool table = open && rom_->table.has_value();
    const bool trade = current_.record.has_value();
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
        chooser_->select(current_.row);  // Cancel: the selection as it was
        return;
    }
    showTrade(row);
}

bool MainWindow::showTrade(int row) {
    if (!rom_ || row < 0 || row >= rom_->slotCount()) return false;
    auto reading = readTradeRecord(*rom_, Slot::fromNumber(row + 1), files_);
    if (!reading) {
        chooser_->select(current_.row);  // as it was before the selection
        tell(reading.error());
        return false;
    }
    setCurrentTrade({row, reading->record, std::nullopt, {}});
    if (!reading->record) refuse(fromCore(kNoTradeMessage));
    return true;
}

NamePadding MainWindow::namePadding() const {
    return padNamesAction_->isChecked() ? NamePadding::Terminator : NamePadding::Release;
}

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
    keep(resolveName(*rom_, shown, NameRole::Nickname, form_.nickname->text().toStdU16String(), namePadding()), edit.nickname);
    if (shown.trainerName) {
        keep(resolveName(*rom_, shown, NameRole::TrainerName, form_.trainerName->text().toStdU16String(), namePadding()),
             edit.trainerName);
    }
    if (!problems.empty()) return problems;
    return edit;
}

Result<SpeciesId> MainWindow::speciesOf(const QComboBox* box, SpeciesRole role) const {
    // An entry chosen from the list is its species; typed text is the core's to resolve.
    const QString text = typedText(box);
    if (box->currentIndex() >= 0 && box->itemText(box->currentIndex()) == text) {
        if (auto id = rom_->species->idOfRow(box->currentIndex())) return *id;
    }
    const TradeRecord& shown = *current_.record;
    return resolveSpecies(text.toStdString(), role == SpeciesRole::Requested ? shown.requestedSpecies : shown.offeredSpecies,
                          role, *rom_->species);
}

void MainWindow::showMoreFields() {
    if (!rom_ || !current_.record) return;
    // The read-outs follow the species chosen in the main window, as the core resolves it.
    auto chosen = [this](const QComboBox* box, SpeciesRole role) {
        auto species = speciesOf(box, role);
        return species ? std::optional<SpeciesId>(*species) : std::nullopt;
    };
    MoreFieldsDialog dialog(this, messages_, *rom_, current_.more.value_or(uneditedEdit(*current_.record)),
                            {chosen(form_.requestedSpecies, SpeciesRole::Requested), chosen(form_.offeredSpecies, SpeciesRole::Offered)});
    dialog.setFont(form_.captionFont);
    // The offered picture follows the DVs while they are changed.
    connect(&dialog, &MoreFieldsDialog::dvsChanged, this, [this](const Dvs& dvs) { showPictures(dvs); });
    if (dialog.exec() == QDialog::Accepted) {
        // Only the fields the dialog now changes are kept as edits.
        CurrentTrade trade = current_;
        trade.more = dialog.edit();
        for (auto [field, edited] : {std::pair{Field::HeldItem, trade.more->heldItem.has_value()},
                                     std::pair{Field::Dvs, trade.more->dvs.has_value()},
                                     std::pair{Field::GenderRequirement, trade.more->genderRequirement.has_value()},
                                     std::pair{Field::DialogSet, trade.more->dialogSet.has_value()}}) {
            if (edited) trade.edited.insert(field);
            else trade.edited.erase(field);
        }
        setCurrentTrade(std::move(trade), false);
    }
    showPictures();
    showWarnings();
}

bool MainWindow::maySwitchAway() {
    if (!isWindowModified() || !current_.record) return true;
    switch (messages_.askToSave(this, kAppTitle,
                                QStringLiteral("Save changes to %1?").arg(fromCore(current_.record->slot.name())))) {
    case SaveAnswer::Save: return saveTrade();
    case SaveAnswer::Discard:
        // The boxes show the trade as it was read again.
        setCurrentTrade({current_.row, current_.record, std::nullopt, {}});
        return true;
    case SaveAnswer::Cancel: break;
    }
    return false;
}

void MainWindow::markEdited(Field field) {
    if (!current_.record) return;
    current_.edited.insert(field);
    setWindowModified(true);
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
