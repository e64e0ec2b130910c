// The main window (Form1): ROM information, the trade slots, the trade
// editor, and the File, Trade and Help menus. It holds the state the
// commands share (the open ROM, the trade shown and whether it was edited)
// and asks the core for everything else; it does no byte arithmetic of its
// own. Widgets are named by their role; their object names are the layout's
// control names (Frame5, txtNickname ...).
#pragma once

#include <QMainWindow>
#include <QFont>
#include <QPointer>
#include <optional>
#include <string>

#include "app/more_fields_dialog.h"
#include "app/recent_roms.h"
#include "support/file.h"
#include "trades/pictures.h"
#include "trades/pokedex.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QStringListModel;

namespace kestrane {

class AboutWindow;
class DialogBackend;
class MessageSink;
class TradeChooser;

class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(MessageSink& messages, DialogBackend& dialogs, FileSystem& files = nativeFileSystem(),
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens a ROM as if it had been chosen in the open dialog (asking first
    // about unsaved edits); a relative path is taken from the working folder.
    void openRom(const QString& path);

    // The ROM the window works on, empty before the first successful open.
    const QString& romPath() const { return romPath_; }
    const std::optional<Rom>& rom() const { return rom_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void openRomCommand();
    void reloadRom();
    void exportTrades();
    void importTrades();
    void playInEmulator();
    bool chooseEmulator();
    void tradeChosen(int row);
    bool saveTrade();
    void showMoreFields();
    void showAbout();

private:
    // The trade in the editor (always of the ROM open: opening another starts clean).
    struct ShownTrade {
        TradeRecord record;
        std::optional<MoreFields> more;  // kept from the More Fields dialog
    };

    void createActions();
    void createMenus();
    void createControls();

    // The one place that changes which trade is shown: the list's chosen
    // row, the editor's contents and enabled state, and the unsaved mark.
    void setShownTrade(int row, std::optional<TradeRecord> record);
    // The species lists' entries: the ROM's names, or the built-in ones.
    void showSpeciesNames(const SpeciesNames& names);
    // Both front pictures, as the boxes and the DVs now say: the offered
    // creature as it will arrive (dvs: the DVs it will have).
    void showPictures(std::optional<Dvs> dvs = std::nullopt);
    void showPicture(QLabel* frame, const Result<std::uint8_t>& species, PictureLook look);
    // Reads and shows a trade; false (and the window as it was) when it cannot be read.
    bool showTrade(int row);
    // Shows an opened ROM: ROM Information, the list, and the editor empty.
    void showRom(const QString& path, Rom rom);
    // Asks about unsaved edits; true when the window may go on (saved or discarded).
    bool maySwitchAway();
    void markModified();
    // The edit the boxes ask for, or every problem of it.
    Result<TradeEdit, Problems> editFromBoxes() const;
    Result<std::uint8_t> speciesOf(const QComboBox* box, SpeciesRole role) const;
    void showHiddenBytes(QLineEdit* box, const std::string& note);
    // The bytes left in a name's field, in a corner of its box.
    void showRoomLeft(QLineEdit* box, NameRole role);
    void updateTitle();
    void showRecentRoms();

    void refuse(const QString& text);
    void tell(const Error& error);

    MessageSink& messages_;
    DialogBackend& dialogs_;
    FileSystem& files_;

    QString romPath_;
    std::optional<Rom> rom_;
    std::optional<ShownTrade> shown_;

    QPointer<AboutWindow> about_;
    RecentRoms recentRoms_;
    TradeChooser* chooser_ = nullptr;

    QAction* openAction_ = nullptr;
    QAction* reloadAction_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* clearRecentAction_ = nullptr;
    QAction* playAction_ = nullptr;
    QAction* chooseEmulatorAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* importAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* moreFieldsAction_ = nullptr;
    QAction* checksumsAction_ = nullptr;
    QAction* aboutAction_ = nullptr;

    QGroupBox* romFrame_ = nullptr;
    QLabel* gameName_ = nullptr;
    QLabel* gameCode_ = nullptr;
    QLabel* language_ = nullptr;
    QLabel* tableInfo_ = nullptr;
    QGroupBox* tradeListFrame_ = nullptr;
    QListWidget* tradeList_ = nullptr;
    QGroupBox* locationFrame_ = nullptr;
    QLabel* location_ = nullptr;
    QGroupBox* detailsFrame_ = nullptr;
    QLabel* offeredPicture_ = nullptr;
    QLabel* requestedPicture_ = nullptr;
    QComboBox* offeredSpecies_ = nullptr;
    QLineEdit* nickname_ = nullptr;
    QLineEdit* trainerName_ = nullptr;
    QLineEdit* trainerId_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QComboBox* requestedSpecies_ = nullptr;
    QStringListModel* speciesModel_ = nullptr;  // both species lists show it
    QList<QLabel*> romCaptions_;     // "Game Name:", "Game Code:", "Language:"
    QList<QLabel*> detailCaptions_;  // the captions of the editor's fields
    QFont captionFont_;              // the designed face of captions, the list and the Save button
};

}  // namespace kestrane
