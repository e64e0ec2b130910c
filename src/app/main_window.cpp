#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QPainter>
#include <qdrawutil.h>
#include <QStringListModel>
#include <utility>

#include "app/about_window.h"
#include "app/common_dialog.h"
#include "app/message_sink.h"
#include "app/appearance.h"
#include "support/hex_text.h"
#include "trades/games.h"
#include "trades/pokedex.h"
#include "trades/save.h"

namespace kestrane {
namespace {

const QString kChecksumsSetting = QStringLiteral("save/updateChecksums");
const QString kOpenTitle = QStringLiteral("Open Pok\u00e9mon Gold, Silver or Crystal ROM...");
const QString kRomFilter = QStringLiteral("GB ROMs (*.gb)|*.gb;*.gbc");
constexpr std::uint32_t kOpenFlags = kHideReadOnly | kPathMustExist | kFileMustExist;  // 0x1804

// The core takes paths as UTF-8 on every platform.
std::string nativePath(const QString& path) { return path.toUtf8().toStdString(); }

QString fromCore(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// A single local .gb/.gbc file, or nothing.
std::optional<QString> droppedRom(const QMimeData* mime) {
    if (!mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().constFirst().isLocalFile()) return std::nullopt;
    QString path = mime->urls().constFirst().toLocalFile();
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("gb") && suffix != QLatin1String("gbc")) return std::nullopt;
    return path;
}

// A frame drawn as designed: its caption on the frame's top line, in blue
// while the frame is enabled, and the box filling the frame's rectangle.
// (Qt's own group box puts the caption above the line and starts the box
// lower.) Only the caption is blue: a palette or style sheet on the frame
// would colour its children too, and a style sheet costs start-up time.
class ClassicFrame final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        // An etched line, as the designed frames have; the styles' own group
        // box frames keep room above them for a caption.
        const QRect box = rect().adjusted(0, title().isEmpty() ? 0 : metrics.height() / 2, 0, 0);
        qDrawShadeRect(&painter, box, palette(), true, 1, 0);
        if (title().isEmpty()) return;
        const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(caption, palette().brush(QPalette::Window));
        painter.setPen(isEnabled() ? QColor(0, 0, 255) : palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(caption.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, title());
    }
};

template <typename W>
W* place(W* widget, const char* name, int x, int y, int w, int h, bool enabled) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    widget->setEnabled(enabled);
    return widget;
}

}  // namespace

MainWindow::MainWindow(MessageSink& messages, DialogBackend& dialogs, FileSystem& files, QWidget* parent)
    : QMainWindow(parent), messages_(messages), dialogs_(dialogs), files_(files) {
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(appIcon());
    createActions();
    createMenus();
    createControls();
    updateTitle();
    setAcceptDrops(true);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

void MainWindow::createActions() {
    auto action = [this](const char* name, const QString& caption, const QKeySequence& shortcut, auto slot) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(shortcut);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuOpen_ = action("mnuOpen", QStringLiteral("Open ROM..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                      &MainWindow::openRomCommand);
    mnuReload_ = action("mnuReload", QStringLiteral("Reload ROM"), QKeySequence(Qt::Key_F5), &MainWindow::reloadRom);
    mnuReload_->setEnabled(false);
    mnuSave_ = action("mnuSave", QStringLiteral("Save ROM"), QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::saveTrade);
    mnuSave_->setEnabled(false);
    mnuExit_ = action("mnuExit", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q), &QWidget::close);
    mnuAbout_ = action("mnuAbout", QStringLiteral("About"), QKeySequence(), &MainWindow::showAbout);
    mnuMoreFields_ = action("mnuMoreFields", QStringLiteral("More Fields\u2026"), QKeySequence(Qt::CTRL | Qt::Key_M),
                            &MainWindow::showMoreFields);
    mnuMoreFields_->setEnabled(false);
    // Remembered between runs; on unless the user turned it off.
    mnuChecksums_ = new QAction(QStringLiteral("Update Checksums When Saving"), this);
    mnuChecksums_->setObjectName(QStringLiteral("mnuChecksums"));
    mnuChecksums_->setCheckable(true);
    mnuChecksums_->setChecked(QSettings().value(kChecksumsSetting, true).toBool());
    connect(mnuChecksums_, &QAction::toggled, this, [](bool on) { QSettings().setValue(kChecksumsSetting, on); });
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addAction(mnuOpen_);
    file->addAction(mnuReload_);
    file->addAction(mnuSave_);
    file->addAction(mnuChecksums_);
    file->addSeparator()->setObjectName(QStringLiteral("cmdBreak"));
    file->addAction(mnuExit_);

    QMenu* trade = menuBar()->addMenu(QStringLiteral("&Trade"));
    trade->setObjectName(QStringLiteral("mnuTrade"));
    trade->addAction(mnuMoreFields_);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(mnuAbout_);
}

void MainWindow::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(493, 427);
    client->setFont(classicFont({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")}));
    setCentralWidget(client);

    const QFont classic = classicFont({QStringLiteral("@Arial Unicode MS"), QStringLiteral("Arial Unicode MS"),
                                       QStringLiteral("Arial")});
    auto label = [&](QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h, bool on) {
        auto* l = place(new QLabel(text, parent), name, x, y, w, h, on);
        l->setFont(classic);
        return l;
    };
    auto frame = [&](const char* name, const QString& caption, int x, int y, int w, int h, bool on) {
        return place(new ClassicFrame(caption, client), name, x, y, w, h, on);
    };

    auto* banner = place(new QLabel(client), "Image1", 0, 0, 493, 97, true);
    banner->setPixmap(artwork(QStringLiteral("banner")));
    frame5_ = frame("Frame5", QStringLiteral("ROM Information"), 8, 104, 473, 57, false);
    frame2_ = frame("Frame2", QStringLiteral("Trade Number"), 8, 176, 177, 129, false);
    frame6_ = frame("Frame6", QStringLiteral("In-Game Location"), 8, 320, 177, 41, false);
    frame3_ = frame("Frame3", QStringLiteral("Trade Details"), 200, 176, 281, 185, false);
    auto* frame1 = frame("Frame1", QString(), 8, 376, 473, 41, true);
    for (QGroupBox* f : {frame5_, frame2_, frame3_}) f->setFont(classic);

    // The focus order is the order of creation: Qt 6.4's setTabOrder loses
    // the chain around editable combo boxes.
    theirpoke_ = place(new QComboBox(frame3_), "theirpoke", 16, 48, 113, 21, false);
    tradelist_ = place(new QListWidget(frame2_), "tradelist", 16, 24, 145, 94, false);
    txtNickname_ = place(new QLineEdit(frame3_), "txtNickname", 152, 48, 113, 19, false);
    btnSave_ = place(new QPushButton(QStringLiteral("Save"), frame3_), "btnSave", 152, 144, 113, 25, false);
    yourpoke_ = place(new QComboBox(frame3_), "yourpoke", 16, 152, 113, 21, false);
    txtID_ = place(new QLineEdit(frame3_), "txtID", 152, 104, 113, 19, false);
    txtOT_ = place(new QLineEdit(frame3_), "txtOT", 16, 104, 113, 19, false);

    txtName_ = label(frame5_, "txtName", QStringLiteral("Game Name:"), 8, 24, 65, 17, false);
    headr_ = label(frame5_, "headr", QString(), 80, 24, 89, 17, true);
    txtCDE_ = label(frame5_, "txtCDE", QStringLiteral("Game Code:"), 184, 24, 65, 17, false);
    txtCode_ = label(frame5_, "txtCode", QString(), 256, 24, 65, 17, true);
    lang_ = label(frame5_, "lang", QStringLiteral("Language:"), 328, 24, 57, 17, false);
    language_ = label(frame5_, "language", QString(), 384, 24, 65, 17, true);
    tableInfo_ = label(frame5_, "tableInfo", QString(), 8, 40, 457, 14, true);
    location_ = label(frame6_, "location", QString(), 16, 16, 113, 17, true);
    label2_ = label(frame3_, "Label2", QStringLiteral("Offered Pok\u00e9mon:"), 24, 24, 89, 17, false);
    label3_ = label(frame3_, "Label3", QStringLiteral("Nickname:"), 168, 24, 57, 17, false);
    label10_ = label(frame3_, "Label10", QStringLiteral("Original Trainer:"), 24, 80, 81, 17, false);
    label11_ = label(frame3_, "Label11", QStringLiteral("ID Number:"), 168, 80, 57, 17, false);
    label9_ = label(frame3_, "Label9", QStringLiteral("Your Pok\u00e9mon:"), 24, 128, 81, 17, false);
    label(frame1, "Label4", kCopyrightLine, 160, 16, 169, 17, true);

    tradelist_->setFont(classic);
    tradelist_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int slot = 1; slot <= kListedSlots; ++slot) tradelist_->addItem(fromCore(slotName(slot)));
    tradelist_->setCurrentRow(-1);
    // A trade is read when the user chooses a row (a click, the arrow keys,
    // Home, End): a change of selection. Focus alone only makes a row current.
    // It is handled once the click or key press is over: a question asked
    // in the middle of a click would see the click's release undo a Cancel.
    connect(tradelist_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (settingSelection_ || std::exchange(choicePending_, true)) return;
        QMetaObject::invokeMethod(this, [this] {
            choicePending_ = false;
            tradeChosen(selectedRow());
        }, Qt::QueuedConnection);
    });
    // A click on the row already shown reads it again, as a change of row does.
    tradelist_->viewport()->installEventFilter(this);
    connect(tradelist_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        int row = tradelist_->row(item);
        if (row == rowAtPress_ && row == listRow_) tradeChosen(row);
    });

    btnSave_->setFont(classic);
    // The button runs exactly the menu command.
    connect(btnSave_, &QPushButton::clicked, mnuSave_, &QAction::trigger);

    // The text boxes and species lists keep the window's own font.
    for (QWidget* box : std::initializer_list<QWidget*>{theirpoke_, yourpoke_, txtNickname_, txtOT_, txtID_}) {
        box->setFont(client->font());
    }
    // Only what the user does marks the trade modified, never what the window fills in.
    for (QLineEdit* box : {txtNickname_, txtOT_, txtID_}) connect(box, &QLineEdit::textEdited, this, &MainWindow::markModified);
    txtNickname_->setMaxLength(10);
    txtOT_->setMaxLength(10);
    txtID_->setMaxLength(5);
    QStringList species;
    for (std::string_view name : speciesList()) species << fromCore(name);
    // Both lists show one model: 252 strings, not 504 items.
    auto* speciesModel = new QStringListModel(species, this);
    for (QComboBox* box : {theirpoke_, yourpoke_}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setModel(speciesModel);
        box->setCurrentIndex(-1);
        box->setEditText(QString());
        connect(box, &QComboBox::activated, this, &MainWindow::markModified);
        connect(box->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::markModified);
    }
}

void MainWindow::setEditorEnabled(bool enabled) {
    mnuSave_->setEnabled(enabled);
    mnuMoreFields_->setEnabled(enabled);
    for (QWidget* w : std::initializer_list<QWidget*>{txtNickname_, txtOT_, txtID_, frame3_, label2_, label3_, label9_,
                                                      label10_, label11_, btnSave_, yourpoke_, theirpoke_, frame6_}) {
        w->setEnabled(enabled);
    }
}

void MainWindow::clearEditor() {
    location_->clear();
    txtNickname_->clear();
    txtID_->clear();
    txtOT_->clear();
    for (QComboBox* box : {yourpoke_, theirpoke_}) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
    showHiddenBytes(txtNickname_, {});
    showHiddenBytes(txtOT_, {});
}

void MainWindow::showHiddenBytes(QLineEdit* box, const std::string& note) {
    // A small marker at the box's end, and the note as the tooltip of both.
    QAction* marker = box->findChild<QAction*>(QStringLiteral("hiddenBytes"));
    if (note.empty()) {
        delete marker;
        box->setToolTip(QString());
        return;
    }
    if (!marker) {
        marker = box->addAction(style()->standardIcon(QStyle::SP_MessageBoxInformation), QLineEdit::TrailingPosition);
        marker->setObjectName(QStringLiteral("hiddenBytes"));
    }
    marker->setToolTip(fromCore(note));
    box->setToolTip(fromCore(note));
}

void MainWindow::fillEditor(const TradeRecord& record) {
    location_->setText(fromCore(record.location));
    txtID_->setText(QString::number(record.trainerId));
    for (auto [box, stored] : {std::pair{yourpoke_, record.requestedSpecies}, std::pair{theirpoke_, record.offeredSpecies}}) {
        if (stored < kSpeciesCount) {
            box->setCurrentIndex(stored);
        } else {
            box->setCurrentIndex(-1);
            box->setEditText(fromCore(unlistedSpeciesText(stored)));
        }
    }
    txtNickname_->setText(QString::fromStdU16String(record.nickname));
    txtOT_->setText(QString::fromStdU16String(record.trainerName));
    showHiddenBytes(txtNickname_, record.nicknameHidden);
    showHiddenBytes(txtOT_, record.trainerNameHidden);
}

void MainWindow::openRomCommand() {
    CommonDialog dialog(dialogs_);
    const QString path = dialog.showOpen(this, kOpenTitle, QString(), kRomFilter, kOpenFlags);
    // Cancelled: the ROM that was open stays open.
    if (!path.isEmpty()) openRom(path);
}

void MainWindow::openRom(const QString& path) {
    auto rom = kestrane::openRom(nativePath(path), files_);
    if (!rom) return tell(rom.error());
    // Only a ROM that opened can take the place of the trade being edited.
    if (!maySwitchAway()) return;
    showRom(path, std::move(*rom));
}

void MainWindow::reloadRom() {
    if (!rom_) return;
    const QString path = romPath_;
    const int row = shown_ ? listRow_ : -1;
    auto rom = kestrane::openRom(nativePath(path), files_);
    if (!rom) return tell(rom.error());
    if (!maySwitchAway()) return;
    showRom(path, std::move(*rom));
    // The trade that was shown, as the file now holds it.
    if (row >= 0 && row < tradelist_->count() && tradelist_->isEnabled()) selectListRow(row), showTrade(row);
}

void MainWindow::showRom(const QString& path, Rom rom) {
    romPath_ = path;
    rom_ = std::move(rom);
    const GameInfo& game = *rom_->game;
    headr_->setText(fromCore(game.name));
    txtCode_->setText(fromCore(game.code));
    language_->setText(fromCore(game.language));
    if (rom_->table) {
        const bool moved = rom_->table->offset != game.facts.usualTable;
        tableInfo_->setText(QStringLiteral("Trade table: %1%2")
                                .arg(fromCore(hexOffset(rom_->table->offset)), moved ? QStringLiteral(" (moved)") : QString()));
    } else {
        tableInfo_->setText(QStringLiteral("Trade table: not found"));
    }
    // A new ROM starts with no trade chosen: the editor empty and disabled.
    shown_.reset();
    listRow_ = -1;
    setEditorEnabled(false);
    clearEditor();
    {
        selectListRow(-1);
        const QScopedValueRollback quiet(settingSelection_, true);
        // As many entries as the table has records, never fewer than seven.
        while (tradelist_->count() > rom_->slotCount()) delete tradelist_->takeItem(tradelist_->count() - 1);
        while (tradelist_->count() < rom_->slotCount()) tradelist_->addItem(fromCore(slotName(tradelist_->count() + 1)));
    }
    setWindowModified(false);
    updateTitle();
    if (auto writable = files_.makeOwnerWritable(nativePath(path)); !writable) {
        refuse(QStringLiteral("Kestrane could not make \"%1\" writable: %2. Its trades can be shown, but saving "
                              "will fail until the file can be written.")
                   .arg(path, fromCore(writable.error().message)));
    }
    for (QWidget* w : std::initializer_list<QWidget*>{frame5_, frame2_, txtName_, txtCDE_, lang_}) w->setEnabled(true);
    tradelist_->setEnabled(rom_->table.has_value());
    mnuReload_->setEnabled(true);
    if (!rom_->table) refuse(fromCore(describe(rom_->noTable)));
}

void MainWindow::tradeChosen(int row) {
    if (row < 0) return;
    if (!maySwitchAway()) {
        selectListRow(listRow_);  // Cancel: the selection as it was
        return;
    }
    showTrade(row);
}

bool MainWindow::showTrade(int row) {
    if (!rom_ || row >= rom_->slotCount()) return false;
    auto reading = readTradeRecord(*rom_, Slot::fromNumber(row + 1), files_);
    if (!reading) {
        selectListRow(listRow_);  // as it was before the selection
        tell(reading.error());
        return false;
    }
    listRow_ = row;
    setWindowModified(false);
    if (!reading->record) {
        setEditorEnabled(false);
        clearEditor();
        shown_.reset();
        refuse(fromCore(kNoTradeMessage));
        return true;
    }
    setEditorEnabled(true);
    fillEditor(*reading->record);
    shown_ = ShownTrade{*reading->record, std::nullopt};
    return true;
}

std::string MainWindow::speciesText(const QComboBox* box) const {
    // An entry chosen from the list stands for its number; typed text is
    // resolved by the core like any other.
    const QString text = box->currentText();
    if (box->currentIndex() >= 0 && box->itemText(box->currentIndex()) == text) return std::to_string(box->currentIndex());
    return text.toStdString();
}

bool MainWindow::saveTrade() {
    const QString nothing = QStringLiteral(" Nothing was written.");
    if (!rom_) return refuse(QStringLiteral("Open a ROM and select a trade before saving.") + nothing), false;
    if (!shown_) return refuse(QStringLiteral("Select a trade before saving.") + nothing), false;
    TradeEdit edit = uneditedEdit(shown_->record);
    edit.requestedSpecies = speciesText(yourpoke_);
    edit.offeredSpecies = speciesText(theirpoke_);
    edit.nickname = txtNickname_->text().toStdU16String();
    edit.trainerName = txtOT_->text().toStdU16String();
    edit.trainerId = txtID_->text().toStdU16String();
    if (const auto& more = shown_->more) {
        edit.heldItem = std::to_string(more->heldItem);
        edit.dvs = more->dvs;
        edit.genderRequirement = std::to_string(more->genderRequirement);
        edit.dialogSet = std::to_string(more->dialogSet);
    }

    const SaveOptions options{mnuChecksums_->isChecked() ? ChecksumPolicy::KeepConsistent : ChecksumPolicy::Leave};
    auto saved = writeTradeRecord(*rom_, edit, options, files_);
    if (!saved) return tell(saved.error()), false;
    // The boxes keep what the user typed; the next save compares with the file as it is now.
    shown_->record = saved->records.front();
    setWindowModified(false);
    messages_.show(this, kAppTitle, fromCore(kSavedMessage), MessageIcon::Information);
    return true;
}

void MainWindow::showMoreFields() {
    if (!rom_ || !shown_) return;
    const TradeRecord& r = shown_->record;
    const MoreFields values = shown_->more.value_or(MoreFields{r.heldItem, r.dvs, r.genderRequirement, r.dialogSet});
    // The read-outs follow the species chosen in the main window, as the core resolves it.
    auto offered = resolveSpecies(speciesText(theirpoke_), r.offeredSpecies, SpeciesRole::Offered);
    MoreFieldsDialog dialog(this, messages_, *rom_, r.slot, values,
                            offered ? std::optional<std::uint8_t>(*offered) : std::nullopt);
    if (dialog.exec() != QDialog::Accepted) return;
    shown_->more = dialog.values();
    if (dialog.values() != values) markModified();
}

bool MainWindow::maySwitchAway() {
    if (!isWindowModified() || !shown_) return true;
    switch (messages_.askToSave(this, kAppTitle,
                                QStringLiteral("Save changes to %1?").arg(fromCore(shown_->record.slot.name())))) {
    case SaveAnswer::Save: return saveTrade();
    case SaveAnswer::Discard: setWindowModified(false); return true;
    case SaveAnswer::Cancel: break;
    }
    return false;
}

void MainWindow::markModified() {
    if (shown_) setWindowModified(true);
}

int MainWindow::selectedRow() const {
    const QList<QListWidgetItem*> selected = tradelist_->selectedItems();
    return selected.isEmpty() ? -1 : tradelist_->row(selected.front());
}

void MainWindow::showAbout() {
    if (!about_) about_ = new AboutWindow(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::selectListRow(int row) {
    // Not by blocking the selection's signals: the list repaints on them.
    const QScopedValueRollback quiet(settingSelection_, true);
    if (row < 0) {
        tradelist_->clearSelection();
        tradelist_->setCurrentRow(-1, QItemSelectionModel::Clear);
    } else {
        tradelist_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
}

void MainWindow::updateTitle() {
    // [*] shows the unsaved-edit mark the desktop's way ("crystal.gbc*").
    setWindowTitle(romPath_.isEmpty()
                       ? kAppTitle
                       : kAppTitle + QStringLiteral(" \u2014 ") + QFileInfo(romPath_).fileName() + QStringLiteral("[*]"));
}

void MainWindow::refuse(const QString& text) { messages_.show(this, kAppTitle, text, MessageIcon::Exclamation); }

void MainWindow::tell(const Error& error) {
    // File failures keep the classic "Error: N" box; refusals are
    // exclamations titled with the program's name.
    if (error.isFileFailure()) {
        messages_.show(this, QStringLiteral("Error: %1").arg(error.number()), fromCore(describe(error)), MessageIcon::None);
    } else {
        refuse(fromCore(describe(error)));
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tradelist_->viewport() && event->type() == QEvent::MouseButtonPress) {
        rowAtPress_ = tradelist_->currentRow();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace kestrane
