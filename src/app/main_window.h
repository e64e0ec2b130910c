// The main window (Form1): ROM information, the seven trade slots, the
// trade editor, and the File and Help menus. It holds the state the
// commands share (the open ROM, the trade shown) and asks the core for
// everything else; it does no byte arithmetic of its own.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <optional>
#include <string>

#include "app/more_fields_dialog.h"
#include "support/file.h"
#include "trades/rom.h"
#include "trades/trade_record.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kestrane {

class AboutWindow;
class DialogBackend;
class MessageSink;

class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(MessageSink& messages, DialogBackend& dialogs, FileSystem& files = nativeFileSystem(),
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens a ROM as if it had been chosen in the open dialog (asking first
    // about unsaved edits).
    void openRom(const QString& path);

    // The ROM the window works on, empty before the first successful open.
    const QString& romPath() const { return romPath_; }
    const std::optional<Rom>& rom() const { return rom_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void openRomCommand();
    void reloadRom();
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

    void setEditorEnabled(bool enabled);
    void clearEditor();
    void fillEditor(const TradeRecord& record);
    // Reads and shows a trade; false (and the window as it was) when it cannot be read.
    bool showTrade(int row);
    // Shows an opened ROM: ROM Information, the list, and the editor empty.
    void showRom(const QString& path, Rom rom);
    // Asks about unsaved edits; true when the window may go on (saved or discarded).
    bool maySwitchAway();
    void markModified();
    int selectedRow() const;
    void showHiddenBytes(QLineEdit* box, const std::string& note);
    std::string speciesText(const QComboBox* box) const;
    void selectListRow(int row);
    void updateTitle();

    void refuse(const QString& text);
    void tell(const Error& error);

    MessageSink& messages_;
    DialogBackend& dialogs_;
    FileSystem& files_;

    QString romPath_;
    std::optional<Rom> rom_;
    std::optional<ShownTrade> shown_;
    int listRow_ = -1;      // the row the editor answers for
    int rowAtPress_ = -1;   // tells a click on the current row from a change
    bool choicePending_ = false;     // a change of selection waits to be handled
    bool settingSelection_ = false;  // the window, not the user, changes the selection

    QPointer<AboutWindow> about_;

    QAction* mnuOpen_ = nullptr;
    QAction* mnuReload_ = nullptr;
    QAction* mnuSave_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QAction* mnuMoreFields_ = nullptr;
    QAction* mnuChecksums_ = nullptr;
    QAction* mnuAbout_ = nullptr;

    QGroupBox* frame5_ = nullptr;
    QLabel* txtName_ = nullptr;
    QLabel* headr_ = nullptr;
    QLabel* txtCDE_ = nullptr;
    QLabel* txtCode_ = nullptr;
    QLabel* lang_ = nullptr;
    QLabel* language_ = nullptr;
    QLabel* tableInfo_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QListWidget* tradelist_ = nullptr;
    QGroupBox* frame6_ = nullptr;
    QLabel* location_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
    QComboBox* theirpoke_ = nullptr;
    QLineEdit* txtNickname_ = nullptr;
    QLabel* label10_ = nullptr;
    QLabel* label11_ = nullptr;
    QLineEdit* txtOT_ = nullptr;
    QLineEdit* txtID_ = nullptr;
    QLabel* label9_ = nullptr;
    QPushButton* btnSave_ = nullptr;
    QComboBox* yourpoke_ = nullptr;
};

}  // namespace kestrane
