// The main window: ROM information, the trade slots, the trade editor, and
// the File, Edit, Trade and Help menus. It holds the state the
// commands share (the open ROM, the trade being edited and whether it was
// edited) and asks the core for everything else; it does no byte arithmetic
// of its own. Widgets are named by their role; their object names (Frame5,
// txtNickname ...) are what the tests and the accessibility tools find them by.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <optional>
#include <set>
#include <string>

#include "app/main_form.h"
#include "trades/save.h"
#include "trades/save_history.h"
#include "app/recent_roms.h"
#include "support/file.h"
#include "trades/pictures.h"
#include "trades/creature_list.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"
#include "trades/trade_text.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
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

    // The ROM the window works on (absolute, the platform's separators),
    // empty before the first successful open.
    QString romPath() const;
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
    void saveRomAs();
    void createPatchCommand();
    void applyPatchCommand();
    // The open ROM changed on disk (a rebuild, another program's save).
    void followChangeOnDisk();
    void undoSave();
    void redoSave();
    void showMoreFields();
    void showAbout();

private:
    // The trade being edited: its row, the record as read (none: the slot
    // has no trade), the More Fields values kept for the next save, and the
    // fields the user edited (only those are saved; the rest keep the file's bytes).
    struct CurrentTrade {
        int row = -1;
        std::optional<TradeRecord> record;
        std::optional<TradeEdit> more;
        std::set<Field> edited;
    };

    void createActions();
    void createMenus();
    void createControls();

    // The one place that changes the trade being edited: the list's
    // selection, the unsaved mark (the trade's edited fields) and the
    // actions follow; `refill` puts the record's values in the boxes (after
    // a save the boxes keep what was typed).
    void setCurrentTrade(CurrentTrade trade, bool refill = true);
    void fillEditor();
    // The species lists' entries: the ROM's names, or the built-in ones.
    void showSpeciesNames(const SpeciesList& names);
    // Both front pictures, as the boxes and the DVs now say: the offered
    // creature as it will arrive (dvs: the DVs it will have).
    void showPictures(std::optional<Dvs> dvs = std::nullopt);
    void showPicture(QLabel* frame, const Result<SpeciesId>& species, PictureLook look);
    // Reads and shows a trade; false (and the window as it was) when it cannot be read.
    bool showTrade(int row);
    // The one place that changes the ROM the window works on: its path, ROM
    // Information, the title, the list, and the editor empty (as Qt's
    // Application example's setCurrentFile).
    void setCurrentRom(Rom rom);
    // ROM Information and the title, as the ROM's state now says.
    void showRomInformation();
    // Every action's state, from the window's state.
    void updateActions();
    // Asks about unsaved edits; true when the window may go on (saved, or
    // discarded: the boxes then show the trade as read).
    bool maySwitchAway();
    // The user changed a field of the editor: the trade has unsaved edits.
    void markEdited(Field field);
    // The boxes of the main window's fields.
    std::vector<std::pair<Field, QWidget*>> fieldBoxes() const;
    // How typed names fill the rest of their field: the user's preference, given with each edit.
    NamePadding namePadding() const;
    // The edit the boxes ask for, or every problem of it.
    Result<TradeEdit, Problems> editFromBoxes() const;
    Result<SpeciesId> speciesOf(const QComboBox* box, SpeciesRole role) const;
    void updateRoomLeft(QLineEdit* box, NameRole role);
    // The warning signs of a trade that can never happen, as the boxes now say.
    void showWarnings();
    void showRecentRoms();
    SaveOptions saveOptions() const;
    // Saves edits into the ROM, asking first about a read-only one (made
    // writable, or saved as a copy instead), and keeps the save for Undo.
    // None: not saved (the user was told, or chose otherwise).
    std::optional<SaveReport> saveEdits(std::span<const TradeEdit> edits, const QString& what);
    // After a save refused because another program changed the trade (or
    // the table the game reads moved): read it again keeping the fields the
    // user edited (marked where the file changed them too) and the file's
    // values of the rest, or show the file's trade, or leave all as it is.
    void offerReload(const Error& refusal);
    // Shows `now`, the trade as the file holds it, over the edits: the
    // fields the user edited keep their typed values.
    void keepEditsOver(const TradeRecord& now);
    void clearChangedMarks();
    void rewind(Rewind way);

    void refuse(const QString& text);
    void tell(const Error& error);

    MessageSink& messages_;
    DialogBackend& dialogs_;
    FileSystem& files_;

    std::optional<Rom> rom_;
    CurrentTrade current_;
    SaveHistory history_;  // the saves made since the ROM was opened

    QPointer<AboutWindow> about_;
    RecentRoms recentRoms_;
    class RomWatcher* watcher_ = nullptr;
    bool askingAboutDisk_ = false;     // a "changed on disk" question is open
    bool changedWhileAsking_ = false;  // and the file changed again meanwhile
    TradeChooser* chooser_ = nullptr;

    QAction* openAction_ = nullptr;
    QAction* reloadAction_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* clearRecentAction_ = nullptr;
    QAction* playAction_ = nullptr;
    QAction* chooseEmulatorAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* patchAction_ = nullptr;
    QAction* applyPatchAction_ = nullptr;
    QAction* importAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* moreFieldsAction_ = nullptr;
    QAction* checksumsAction_ = nullptr;
    QAction* padNamesAction_ = nullptr;
    QAction* aboutAction_ = nullptr;

    MainForm form_;
    QStringListModel* speciesModel_ = nullptr;  // both species lists show it
};

}  // namespace kestrane
