// The main window: ROM information, the trade slots, the trade editor, and
// the File, Edit, Trade and Help menus. It holds the open ROM, its saves
// and the commands; the trade being edited is the editor's (trade_editor.h);
// it asks the core for everything else and does no byte arithmetic of its own. Widgets are named by their role; their object names (Frame5,
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
#include "source/trade_source.h"
#include "app/recent_roms.h"
#include "app/trade_editor.h"
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
    void showAbout();

private:
    using CurrentTrade = TradeEditor::CurrentTrade;

    void createActions();
    void createMenus();
    void createControls();

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
    // How typed names fill the rest of their field: the user's preference, given with each edit.
    NamePadding namePadding() const;
    void showRecentRoms();
    SaveOptions saveOptions() const;
    // Saves edits into the ROM, asking first about a read-only one (made
    // writable, or saved as a copy instead), and keeps the save for Undo.
    // None: not saved (the user was told, or chose otherwise).
    // With `withSource`, into the build tree's trade file too (asked first
    // where that file may not be written: the ROM alone, or nothing).
    std::optional<SaveReport> saveEdits(std::span<const TradeEdit> edits, const QString& what, bool withSource = false);
    // The build tree the ROM lies in, read again (at every opening and after each save into it).
    void readSource();
    // Whether a save writes the trade file too: the source in step and the
    // user's answer for its tree (asked once, then remembered).
    bool writesSource();
    // The trade's row in the trade file, under its place.
    void showSourceLine();
    // What a save said of the build tree ("… written too (line 14).", or
    // that the next build replaces the edit); empty where it lies in none.
    QString sourceNote(std::span<const TradeEdit> edits, const SaveReport& saved, bool withSource) const;
    // After a save refused because another program changed the trade (or
    // the table the game reads moved): read it again keeping the fields the
    // user edited (marked where the file changed them too) and the file's
    // values of the rest, or show the file's trade, or leave all as it is.
    void offerReload(const Error& refusal);
    // Shows `now`, the trade as the file holds it, over the edits: the
    // fields the user edited keep their typed values.
    void keepEditsOver(const TradeRecord& now);
    void rewind(Rewind way);

    void refuse(const QString& text);
    void tell(const Error& error);

    MessageSink& messages_;
    DialogBackend& dialogs_;
    FileSystem& files_;

    std::optional<Rom> rom_;
    SaveHistory history_;  // the saves made since the ROM was opened
    std::optional<TradeSource> source_;  // the build tree's trade file, where the ROM lies in a tree
    QString sourceProblem_;              // why the tree could not be looked at
    SourceAnswers sourceAnswers_;
    bool romOnlyInTree_ = false;  // a save went to the ROM alone, which the tree's next build replaces
    QString saveNote_;            // the last save's word on the tree, for the status bar

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
    TradeEditor* editor_ = nullptr;
};

}  // namespace kestrane
