#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDir>
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
#include <QStatusBar>
#include <QImage>
#include <QPainter>
#include <qdrawutil.h>
#include <QStringListModel>
#include <utility>

#include "app/about_window.h"
#include "app/common_dialog.h"
#include "app/emulator.h"
#include "app/message_sink.h"
#include "app/appearance.h"
#include "support/hex_text.h"
#include "app/trade_chooser.h"
#include "exchange/table_file.h"
#include "trades/releases.h"
#include "trades/trainer_id.h"
#include "trades/pokedex.h"
#include "trades/save.h"

namespace kestrane {
namespace {

const QString kChecksumsSetting = QStringLiteral("save/updateChecksums");
const QString kOpenTitle = QStringLiteral("Open ") + QString::fromStdString(gamesText("or")) + QStringLiteral(" ROM...");
const QString kRomFilter = QStringLiteral("GB ROMs (*.gb)|*.gb;*.gbc");
const QString kTableFilter = QStringLiteral("Trade tables (*.json)|*.json");
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
W* place(W* widget, const char* name, QRect geometry, bool enabled) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
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
    // Made now, so that the window's size is settled from the start.
    statusBar()->setSizeGripEnabled(false);
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
    openAction_ = action("mnuOpen", QStringLiteral("Open ROM..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                         &MainWindow::openRomCommand);
    reloadAction_ = action("mnuReload", QStringLiteral("Reload ROM"), QKeySequence(Qt::Key_F5), &MainWindow::reloadRom);
    reloadAction_->setEnabled(false);
    saveAction_ = action("mnuSave", QStringLiteral("Save ROM"), QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::saveTrade);
    saveAction_->setEnabled(false);
    playAction_ = action("mnuPlay", QStringLiteral("Play in Emulator"), QKeySequence(Qt::Key_F9), &MainWindow::playInEmulator);
    playAction_->setEnabled(false);
    chooseEmulatorAction_ = action("mnuChooseEmulator", QStringLiteral("Choose Emulator\u2026"), QKeySequence(),
                                   &MainWindow::chooseEmulator);
    clearRecentAction_ = action("mnuClearRecent", QStringLiteral("Clear Recent ROMs"), QKeySequence(), [this] {
        recentRoms_.clear();
        showRecentRoms();
    });
    exportAction_ = action("mnuExport", QStringLiteral("Export Trades\u2026"), QKeySequence(), &MainWindow::exportTrades);
    importAction_ = action("mnuImport", QStringLiteral("Import Trades\u2026"), QKeySequence(), &MainWindow::importTrades);
    for (QAction* a : {exportAction_, importAction_}) a->setEnabled(false);
    exitAction_ = action("mnuExit", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q), &QWidget::close);
    aboutAction_ = action("mnuAbout", QStringLiteral("About"), QKeySequence(), &MainWindow::showAbout);
    moreFieldsAction_ = action("mnuMoreFields", QStringLiteral("More Fields\u2026"), QKeySequence(Qt::CTRL | Qt::Key_M),
                               &MainWindow::showMoreFields);
    moreFieldsAction_->setEnabled(false);
    // Remembered between runs; on unless the user turned it off.
    checksumsAction_ = new QAction(QStringLiteral("Update Checksums When Saving"), this);
    checksumsAction_->setObjectName(QStringLiteral("mnuChecksums"));
    checksumsAction_->setCheckable(true);
    checksumsAction_->setChecked(QSettings().value(kChecksumsSetting, true).toBool());
    connect(checksumsAction_, &QAction::toggled, this, [](bool on) { QSettings().setValue(kChecksumsSetting, on); });
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addAction(openAction_);
    recentMenu_ = file->addMenu(QStringLiteral("Recent ROMs"));
    recentMenu_->setObjectName(QStringLiteral("mnuRecent"));
    recentMenu_->setToolTipsVisible(true);  // a missing file's path
    showRecentRoms();
    file->addAction(reloadAction_);
    file->addAction(saveAction_);
    file->addSeparator();
    file->addAction(exportAction_);
    file->addAction(importAction_);
    file->addSeparator();
    file->addAction(playAction_);
    file->addAction(chooseEmulatorAction_);
    file->addSeparator();
    file->addAction(checksumsAction_);
    file->addSeparator()->setObjectName(QStringLiteral("cmdBreak"));
    file->addAction(exitAction_);

    QMenu* trade = menuBar()->addMenu(QStringLiteral("&Trade"));
    trade->setObjectName(QStringLiteral("mnuTrade"));
    trade->addAction(moreFieldsAction_);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(aboutAction_);
}

void MainWindow::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    // The designed 493 x 427, and a column to the right for the pictures.
    client->setFixedSize(641, 427);
    client->setFont(classicFont({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")}));
    setCentralWidget(client);
    captionFont_ = classicFont({QStringLiteral("@Arial Unicode MS"), QStringLiteral("Arial Unicode MS"),
                                QStringLiteral("Arial")});
    const QFont& classic = captionFont_;

    // The layout: frames, then in each its controls, at their designed places.
    auto frame = [&](const char* name, const QString& caption, QRect at, bool enabled) {
        return place(new ClassicFrame(caption, client), name, at, enabled);
    };
    place(new QLabel(client), "Image1", {0, 0, 493, 97}, true)->setPixmap(artwork(QStringLiteral("banner")));
    romFrame_ = frame("Frame5", QStringLiteral("ROM Information"), {8, 104, 473, 57}, false);
    tradeListFrame_ = frame("Frame2", QStringLiteral("Trade Number"), {8, 176, 177, 129}, false);
    locationFrame_ = frame("Frame6", QStringLiteral("In-Game Location"), {8, 320, 177, 41}, false);
    detailsFrame_ = frame("Frame3", QStringLiteral("Trade Details"), {200, 176, 281, 185}, false);
    QGroupBox* copyrightFrame = frame("Frame1", QString(), {8, 376, 473, 41}, true);
    QGroupBox* picturesFrame = frame("FramePictures", QStringLiteral("Pictures"), {489, 104, 144, 313}, true);
    for (QGroupBox* f : {romFrame_, tradeListFrame_, detailsFrame_}) f->setFont(classic);

    // The focus order follows the layout (list, then the fields as they read,
    // then Save) and is the order of creation: Qt 6.4's setTabOrder loses the
    // chain around editable combo boxes.
    tradeList_ = place(new QListWidget(tradeListFrame_), "tradelist", {16, 24, 145, 94}, false);
    offeredSpecies_ = place(new QComboBox(detailsFrame_), "theirpoke", {16, 48, 113, 21}, false);
    nickname_ = place(new QLineEdit(detailsFrame_), "txtNickname", {152, 48, 113, 19}, false);
    trainerName_ = place(new QLineEdit(detailsFrame_), "txtOT", {16, 104, 113, 19}, false);
    trainerId_ = place(new QLineEdit(detailsFrame_), "txtID", {152, 104, 113, 19}, false);
    requestedSpecies_ = place(new QComboBox(detailsFrame_), "yourpoke", {16, 152, 113, 21}, false);
    saveButton_ = place(new QPushButton(QStringLiteral("&Save"), detailsFrame_), "btnSave", {152, 144, 113, 25}, false);

    // A field's caption carries an Alt-key letter that moves to the field.
    struct LabelRow {
        QLabel** member;  // where the window keeps it, if it does
        QList<QLabel*>* group;
        QWidget* buddy;
        QWidget* parent;
        const char* name;
        QString text;
        QRect at;
        bool enabled;
    };
    const LabelRow labels[] = {
        {nullptr, &romCaptions_, nullptr, romFrame_, "txtName", QStringLiteral("Game Name:"), {8, 24, 65, 17}, false},
        {&gameName_, nullptr, nullptr, romFrame_, "headr", QString(), {80, 24, 89, 17}, true},
        {nullptr, &romCaptions_, nullptr, romFrame_, "txtCDE", QStringLiteral("Game Code:"), {184, 24, 65, 17}, false},
        {&gameCode_, nullptr, nullptr, romFrame_, "txtCode", QString(), {256, 24, 65, 17}, true},
        {nullptr, &romCaptions_, nullptr, romFrame_, "lang", QStringLiteral("Language:"), {328, 24, 57, 17}, false},
        {&language_, nullptr, nullptr, romFrame_, "language", QString(), {384, 24, 65, 17}, true},
        {&tableInfo_, nullptr, nullptr, romFrame_, "tableInfo", QString(), {8, 40, 457, 14}, true},
        {&location_, nullptr, nullptr, locationFrame_, "location", QString(), {16, 16, 113, 17}, true},
        {nullptr, &detailCaptions_, offeredSpecies_, detailsFrame_, "Label2", QStringLiteral("&Offered Pok\u00e9mon:"),
         {24, 24, 89, 17}, false},
        {nullptr, &detailCaptions_, nickname_, detailsFrame_, "Label3", QStringLiteral("&Nickname:"), {168, 24, 57, 17}, false},
        {nullptr, &detailCaptions_, trainerName_, detailsFrame_, "Label10", QStringLiteral("O&riginal Trainer:"),
         {24, 80, 81, 17}, false},
        {nullptr, &detailCaptions_, trainerId_, detailsFrame_, "Label11", QStringLiteral("&ID Number:"), {168, 80, 57, 17}, false},
        {nullptr, &detailCaptions_, requestedSpecies_, detailsFrame_, "Label9", QStringLiteral("&Your Pok\u00e9mon:"),
         {24, 128, 81, 17}, false},
        {nullptr, nullptr, nullptr, copyrightFrame, "Label4", kCopyrightLine, {160, 16, 169, 17}, true},
        {nullptr, nullptr, nullptr, picturesFrame, "lblOfferedPicture", QStringLiteral("Offered Pok\u00e9mon"), {14, 20, 116, 17}, true},
        {&offeredPicture_, nullptr, nullptr, picturesFrame, "picOffered", QString(), {14, 38, 116, 116}, true},
        {nullptr, nullptr, nullptr, picturesFrame, "lblYourPicture", QStringLiteral("Your Pok\u00e9mon"), {14, 164, 116, 17}, true},
        {&requestedPicture_, nullptr, nullptr, picturesFrame, "picYours", QString(), {14, 182, 116, 116}, true},
    };
    for (const LabelRow& row : labels) {
        QLabel* label = place(new QLabel(row.text, row.parent), row.name, row.at, row.enabled);
        label->setFont(classic);
        if (row.member) *row.member = label;
        if (row.group) row.group->append(label);
        if (row.buddy) label->setBuddy(row.buddy);
    }

    picturesFrame->setFont(classic);
    for (QLabel* picture : {offeredPicture_, requestedPicture_}) {
        picture->setFrameShape(QFrame::Box);
        picture->setAlignment(Qt::AlignCenter);
    }

    tradeList_->setFont(classic);
    tradeList_->setSelectionMode(QAbstractItemView::SingleSelection);
    chooser_ = new TradeChooser(tradeList_);
    QStringList rows;
    for (int slot = 1; slot <= kListedSlots; ++slot) rows << fromCore(slotName(slot));
    chooser_->setRows(rows);
    connect(chooser_, &TradeChooser::choice, this, &MainWindow::tradeChosen);

    saveButton_->setFont(classic);
    // The button runs exactly the menu command.
    connect(saveButton_, &QPushButton::clicked, saveAction_, &QAction::trigger);

    // The text boxes and species lists keep the window's own font.
    for (QWidget* box : std::initializer_list<QWidget*>{offeredSpecies_, requestedSpecies_, nickname_, trainerName_, trainerId_}) {
        box->setFont(client->font());
    }
    // Only what the user does marks the trade modified, never what the window fills in.
    for (QLineEdit* box : {nickname_, trainerName_, trainerId_}) connect(box, &QLineEdit::textEdited, this, &MainWindow::markModified);
    // Names are limited by the bytes they take, not by characters ("[PK]" is
    // one byte): the room left shows in the box, and a save says what is too long.
    for (auto [box, role] : {std::pair{nickname_, NameRole::Nickname}, std::pair{trainerName_, NameRole::TrainerName}}) {
        connect(box, &QLineEdit::textChanged, this, [this, box = box, role = role] { showRoomLeft(box, role); });
    }
    trainerId_->setMaxLength(5);
    // Both lists show one model: 252 strings, not 504 items.
    speciesModel_ = new QStringListModel(this);
    showSpeciesNames(builtInSpeciesNames());
    for (QComboBox* box : {offeredSpecies_, requestedSpecies_}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setModel(speciesModel_);
        box->setCurrentIndex(-1);
        box->setEditText(QString());
        connect(box, &QComboBox::activated, this, &MainWindow::markModified);
        connect(box->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::markModified);
        // The pictures follow what the lists say, chosen or typed.
        connect(box, &QComboBox::currentTextChanged, this, [this] { showPictures(); });
    }
}

void MainWindow::showSpeciesNames(const SpeciesNames& names) {
    QStringList entries;
    for (const std::string& entry : names.entries()) entries << fromCore(entry);
    if (entries != speciesModel_->stringList()) speciesModel_->setStringList(entries);
}

void MainWindow::setShownTrade(int row, std::optional<TradeRecord> record) {
    chooser_->setChosen(row);
    chooser_->select(row);
    const bool shown = record.has_value();
    saveAction_->setEnabled(shown);
    moreFieldsAction_->setEnabled(shown);
    for (QWidget* w : std::initializer_list<QWidget*>{nickname_, trainerName_, trainerId_, detailsFrame_, saveButton_,
                                                      requestedSpecies_, offeredSpecies_, locationFrame_}) {
        w->setEnabled(shown);
    }
    for (QLabel* caption : detailCaptions_) caption->setEnabled(shown);
    location_->setText(shown ? fromCore(record->location) : QString());
    trainerId_->setText(shown ? QString::number(record->trainerId) : QString());
    for (auto [box, stored] : {std::pair{requestedSpecies_, shown ? int(record->requestedSpecies) : -1},
                               std::pair{offeredSpecies_, shown ? int(record->offeredSpecies) : -1}}) {
        box->setCurrentIndex(stored < kSpeciesCount ? stored : -1);
        if (stored < 0) box->setEditText(QString());
        else if (stored >= kSpeciesCount) box->setEditText(fromCore(unlistedSpeciesText(std::uint8_t(stored))));
    }
    nickname_->setText(shown ? QString::fromStdU16String(record->nickname) : QString());
    trainerName_->setText(shown ? QString::fromStdU16String(record->trainerName) : QString());
    showHiddenBytes(nickname_, shown ? record->nicknameHidden : std::string());
    showHiddenBytes(trainerName_, shown ? record->trainerNameHidden : std::string());
    shown_ = shown ? std::optional<ShownTrade>(ShownTrade{std::move(*record), std::nullopt}) : std::nullopt;
    showRoomLeft(nickname_, NameRole::Nickname);
    showRoomLeft(trainerName_, NameRole::TrainerName);
    showPictures();
    setWindowModified(false);
}

void MainWindow::showPictures(std::optional<Dvs> dvs) {
    if (!offeredPicture_) return;  // still being built
    if (!shown_) {
        for (QLabel* frame : {offeredPicture_, requestedPicture_}) {
            frame->clear();
            frame->setToolTip(QStringLiteral("No trade is shown."));
        }
        return;
    }
    const TradeRecord& r = shown_->record;
    const Dvs arriving = dvs.value_or(shown_->more ? shown_->more->dvs : r.dvs);
    showPicture(offeredPicture_, speciesOf(offeredSpecies_, SpeciesRole::Offered), lookOf(arriving));
    showPicture(requestedPicture_, speciesOf(requestedSpecies_, SpeciesRole::Requested), PictureLook{});
}

void MainWindow::showPicture(QLabel* frame, const Result<std::uint8_t>& species, PictureLook look) {
    auto picture = species ? readFrontPicture(*rom_, *species, look, files_) : Result<FrontPicture>(species.error());
    if (!picture) {
        frame->clear();
        frame->setToolTip(fromCore(picture.error().message));
        return;
    }
    const std::vector<std::uint8_t> rgb = picture->rgb();
    const QImage image(rgb.data(), picture->width, picture->height, picture->width * 3, QImage::Format_RGB888);
    // Twice the size, each pixel a block of four: no smoothing.
    frame->setPixmap(QPixmap::fromImage(image.scaled(picture->width * 2, picture->height * 2, Qt::IgnoreAspectRatio,
                                                     Qt::FastTransformation)));
    frame->setToolTip(QString());
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

void MainWindow::showRoomLeft(QLineEdit* box, NameRole role) {
    auto* room = box->findChild<QLabel*>(QStringLiteral("roomLeft"));
    if (!room) {
        room = new QLabel(box);
        room->setObjectName(QStringLiteral("roomLeft"));
        QFont small = box->font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        room->setFont(small);
        room->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        room->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    room->setVisible(shown_.has_value());
    if (!shown_) return;
    const QString what = fromCore(nameRoleText(role));
    bool fits = false;
    if (const auto used = nameRoom(*rom_, shown_->record, role, box->text().toStdU16String())) {
        const int left = int(used->length) - int(used->used);
        fits = left >= 0;
        room->setText(QString::number(left));
        room->setToolTip(fits ? QStringLiteral("%1 of the %2's %3 bytes left").arg(left).arg(what).arg(used->length)
                              : QStringLiteral("The %1 needs %2 bytes, but its field holds %3.")
                                    .arg(what).arg(used->used).arg(used->length));
    } else {
        room->setText(QStringLiteral("?"));
        room->setToolTip(QStringLiteral("The %1 holds a character the game cannot write.").arg(what));
    }
    room->setStyleSheet(fits ? QStringLiteral("color: gray;") : QStringLiteral("color: #c00000;"));
    // At the box's right end, left of the hidden-byte marker if there is one.
    const int marker = box->findChild<QAction*>(QStringLiteral("hiddenBytes")) ? box->height() : 0;
    const int width = room->fontMetrics().horizontalAdvance(QStringLiteral("-00")) + 4;
    room->setGeometry(box->width() - width - marker - 2, 0, width, box->height());
    box->setTextMargins(0, 0, width + 2, 0);
}

void MainWindow::openRomCommand() {
    CommonDialog dialog(dialogs_);
    const QString path = dialog.showOpen(this, kOpenTitle, QString(), kRomFilter, kOpenFlags);
    // Cancelled: the ROM that was open stays open.
    if (!path.isEmpty()) openRom(path);
}

void MainWindow::openRom(const QString& given) {
    // One spelling of a ROM's path for messages, the title, the recent list
    // and the emulator: absolute, with the platform's separators.
    const QString path = QDir::toNativeSeparators(QFileInfo(given).absoluteFilePath());
    auto rom = kestrane::openRom(nativePath(path), files_);
    if (!rom) return tell(rom.error());
    // Only a ROM that opened can take the place of the trade being edited.
    if (!maySwitchAway()) return;
    showRom(path, std::move(*rom));
}

void MainWindow::reloadRom() {
    if (!rom_) return;
    const QString path = romPath_;
    const int row = shown_ ? chooser_->chosen() : -1;
    auto rom = kestrane::openRom(nativePath(path), files_);
    if (!rom) return tell(rom.error());
    if (!maySwitchAway()) return;
    showRom(path, std::move(*rom));
    // The trade that was shown, as the file now holds it.
    if (row >= 0 && row < tradeList_->count() && tradeList_->isEnabled()) showTrade(row);
}

void MainWindow::showRecentRoms() {
    for (QAction* a : recentMenu_->actions()) {
        if (a != clearRecentAction_) delete a;
    }
    recentMenu_->clear();
    const QStringList paths = recentRoms_.paths();
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        auto* entry = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        entry->setObjectName(QStringLiteral("mnuRecent%1").arg(i + 1));
        entry->setToolTip(path);
        // A file that is gone is shown, but cannot be chosen.
        entry->setEnabled(QFileInfo(path).isFile());
        connect(entry, &QAction::triggered, this, [this, path] { openRom(path); });
    }
    recentMenu_->addSeparator();
    recentMenu_->addAction(clearRecentAction_);
    clearRecentAction_->setEnabled(!paths.isEmpty());
}

void MainWindow::playInEmulator() {
    if (!rom_) return;
    const bool edited = isWindowModified() && shown_;
    if (!maySwitchAway()) return;
    // Discarded: the boxes show the file again.
    if (edited && !isWindowModified() && shown_) showTrade(chooser_->chosen());
    EmulatorChoice choice = chosenEmulator();
    if (choice.program.isEmpty()) choice.program = findEmulator();
    if (choice.program.isEmpty()) {
        if (!chooseEmulator()) return;
        choice = chosenEmulator();
    }
    const QStringList arguments = emulatorArguments(choice.arguments, romPath_);
    if (const QString why = startDetached(choice.program, arguments); !why.isEmpty()) {
        refuse(QStringLiteral("Could not start the emulator \"%1\": %2.").arg(choice.program, why));
        return;
    }
    statusBar()->showMessage(QStringLiteral("Started %1 on %2.").arg(QFileInfo(choice.program).fileName(),
                                                                    QFileInfo(romPath_).fileName()));
}

bool MainWindow::chooseEmulator() {
    EmulatorChoice choice = chosenEmulator();
    if (choice.program.isEmpty()) choice.program = findEmulator();  // offered
    EmulatorDialog dialog(this, dialogs_, choice);
    dialog.setFont(captionFont_);
    if (dialog.exec() != QDialog::Accepted || dialog.choice().program.isEmpty()) return false;
    rememberEmulator(dialog.choice());
    return true;
}

void MainWindow::exportTrades() {
    if (!rom_) return;
    const QFileInfo rom(romPath_);
    const QString proposed = rom.completeBaseName() + QStringLiteral(".json");
    CommonDialog dialog(dialogs_);
    auto path = dialog.showSave(this, QStringLiteral("Export Trades"),
                                proposed.size() <= CommonDialog::kMaxSaveFileName ? proposed : QStringLiteral("trades.json"),
                                rom.absolutePath(), kTableFilter, 0, fromCore(exchange::kTableExtension));
    if (!path) return tell(path.error());
    if (path->isEmpty()) return;
    if (auto written = exchange::exportTable(*rom_, nativePath(*path), files_); !written) return tell(written.error());
    messages_.show(this, kAppTitle, QStringLiteral("The trades were exported to \"%1\".").arg(QFileInfo(*path).fileName()),
                   MessageIcon::Information);
}

void MainWindow::importTrades() {
    if (!rom_ || !maySwitchAway()) return;
    CommonDialog dialog(dialogs_);
    const QString path = dialog.showOpen(this, QStringLiteral("Import Trades"), QFileInfo(romPath_).absolutePath(),
                                         kTableFilter, kOpenFlags);
    if (path.isEmpty()) return;
    auto edits = exchange::importEditsFrom(nativePath(path), *rom_, files_);
    if (!edits) return tell(nothingWritten(together(edits.error())));
    const SaveOptions options{policyFor(checksumsAction_->isChecked())};
    if (auto saved = saveTrades(*rom_, *edits, options, files_); !saved) return tell(saved.error());
    // The trade on show, as the file now holds it.
    if (shown_) showTrade(chooser_->chosen());
    messages_.show(this, kAppTitle, fromCore(kSavedMessage), MessageIcon::Information);
}

void MainWindow::showRom(const QString& path, Rom rom) {
    romPath_ = path;
    rom_ = std::move(rom);
    const Release& release = *rom_->release;
    gameName_->setText(fromCore(release.name));
    gameCode_->setText(fromCore(release.code));
    language_->setText(fromCore(release.language));
    if (rom_->table) {
        tableInfo_->setText(QStringLiteral("Trade table: %1%2")
                                .arg(fromCore(hexOffset(rom_->table->offset)), rom_->tableMoved() ? QStringLiteral(" (moved)") : QString()));
    } else {
        tableInfo_->setText(QStringLiteral("Trade table: not found"));
    }
    // A cut file is said in the frame (in short, the whole sentence in its tooltip) and at once.
    const QString cutOff = rom_->size.cutOff() ? fromCore(rom_->size.cutOffNote()) : QString();
    if (!cutOff.isEmpty()) tableInfo_->setText(tableInfo_->text() + QStringLiteral(" \u2014 the file may be cut off"));
    tableInfo_->setToolTip(cutOff);
    showSpeciesNames(*rom_->species);
    // A new ROM starts with no trade chosen: the editor empty and disabled.
    QStringList rows;
    for (int slot = 1; slot <= rom_->slotCount(); ++slot) rows << fromCore(slotName(slot));
    chooser_->setRows(rows);
    setShownTrade(-1, std::nullopt);
    updateTitle();
    romFrame_->setEnabled(true);
    tradeListFrame_->setEnabled(true);
    for (QLabel* caption : romCaptions_) caption->setEnabled(true);
    tradeList_->setEnabled(rom_->table.has_value());
    for (QAction* a : {exportAction_, importAction_}) a->setEnabled(rom_->table.has_value());
    playAction_->setEnabled(true);
    recentRoms_.add(path);
    showRecentRoms();
    // The keyboard chooses a trade at once (Space, the arrow keys).
    if (rom_->table) tradeList_->setFocus();
    reloadAction_->setEnabled(true);
    if (!rom_->table) refuse(fromCore(describe(rom_->noTable)));
    else if (!cutOff.isEmpty()) refuse(cutOff);
}

void MainWindow::tradeChosen(int row) {
    if (!maySwitchAway()) {
        chooser_->select(chooser_->chosen());  // Cancel: the selection as it was
        return;
    }
    showTrade(row);
}

bool MainWindow::showTrade(int row) {
    if (!rom_ || row < 0 || row >= rom_->slotCount()) return false;
    auto reading = readTradeRecord(*rom_, Slot::fromNumber(row + 1), files_);
    if (!reading) {
        chooser_->select(chooser_->chosen());  // as it was before the selection
        tell(reading.error());
        return false;
    }
    setShownTrade(row, reading->record);
    if (!reading->record) refuse(fromCore(kNoTradeMessage));
    return true;
}

Result<std::uint8_t> MainWindow::speciesOf(const QComboBox* box, SpeciesRole role) const {
    // An entry chosen from the list is its number; typed text is the core's to resolve.
    const QString text = box->currentText();
    if (box->currentIndex() >= 0 && box->itemText(box->currentIndex()) == text) return std::uint8_t(box->currentIndex());
    const TradeRecord& shown = shown_->record;
    return resolveSpecies(text.toStdString(), role == SpeciesRole::Requested ? shown.requestedSpecies : shown.offeredSpecies,
                          role, *rom_->species);
}

Result<TradeEdit, Problems> MainWindow::editFromBoxes() const {
    TradeEdit edit = uneditedEdit(shown_->record);
    Problems problems;
    auto keep = [&](auto result, auto& target) {
        if (result) target = *result;
        else problems.push_back(result.error());
    };
    keep(parseTrainerId(trainerId_->text().toStdString()), edit.trainerId);
    keep(speciesOf(requestedSpecies_, SpeciesRole::Requested), edit.requestedSpecies);
    keep(speciesOf(offeredSpecies_, SpeciesRole::Offered), edit.offeredSpecies);
    keep(resolveName(*rom_, shown_->record, NameRole::Nickname, nickname_->text().toStdU16String()), edit.nickname);
    keep(resolveName(*rom_, shown_->record, NameRole::TrainerName, trainerName_->text().toStdU16String()), edit.trainerName);
    if (const auto& more = shown_->more) {
        edit.heldItem = more->heldItem;
        edit.dvs = more->dvs;
        edit.genderRequirement = more->genderRequirement;
        edit.dialogSet = more->dialogSet;
    }
    if (!problems.empty()) return problems;
    return edit;
}

bool MainWindow::saveTrade() {
    if (!rom_ || !shown_) {
        tell(nothingWritten(refused(ErrorCode::NoTrade, rom_ ? "Select a trade before saving."
                                                             : "Open a ROM and select a trade before saving.")));
        return false;
    }
    auto edit = editFromBoxes();
    if (!edit) {
        tell(nothingWritten(together(edit.error())));
        return false;
    }
    const SaveOptions options{policyFor(checksumsAction_->isChecked())};
    auto saved = writeTradeRecord(*rom_, *edit, options, files_);
    if (!saved) {
        tell(saved.error());
        return false;
    }
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
    auto offered = speciesOf(offeredSpecies_, SpeciesRole::Offered);
    MoreFieldsDialog dialog(this, messages_, *rom_, r.slot, values,
                            offered ? std::optional<std::uint8_t>(*offered) : std::nullopt);
    dialog.setFont(captionFont_);
    // The offered picture follows the DVs while they are changed.
    connect(&dialog, &MoreFieldsDialog::dvsChanged, this, [this](const Dvs& dvs) { showPictures(dvs); });
    const bool kept = dialog.exec() == QDialog::Accepted;
    if (kept) shown_->more = dialog.values();
    showPictures();
    if (kept && dialog.values() != values) markModified();
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

void MainWindow::showAbout() {
    if (!about_) about_ = new AboutWindow(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
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
