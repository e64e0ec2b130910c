// The window under test, its helpers and the user paths it is tested
// through; the paths are defined in main_window_test.cpp and (the saves)
// main_window_saves_test.cpp.
#pragma once

#include "app/main_window.h"
#include "families/gen2/second_generation_layouts.h"

#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProxyStyle>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <memory>

#include "app/about_window.h"
#include "app/appearance.h"
#include "app/emulator.h"
#include "trades/pictures.h"
#include "support/bad_inputs.h"
#include "support/build_tree_image.h"
#include "support/file_systems.h"
#include "support/first_generation_image.h"
#include "support/gba_image.h"
#include "families/families.h"
#include "support/rom_image.h"
#include "support/polished_crystal_image.h"
#include "scripted.h"
#include "support/fault_injection.h"
#include "support/patch_applier.h"

using namespace kestrane;
using namespace kestrane::testing;

namespace window_test {

// The records of trade 1 (Gold/Silver) and trade 5 (Crystal), and their fields.
inline const std::uint32_t kGoldSlot1 = slotOffset(kGoldSilverTable, 1);
inline const std::uint32_t kCrystalSlot5 = slotOffset(kCrystalTable, 5);
inline constexpr RecordLayout kAt = kRecordOf32Bytes;

// A retail-like ROM of the game with trade 1 (Gold/Silver) or trade 5 (Crystal) made up
// (the Japanese releases: as they are).
inline Bytes gameRom(const char* code) {
    if (std::string_view(code) == "BPEE") return emeraldImage(std::vector<Trade60>(4));
    if (std::string_view(code) == "POKEMON GREEN") return japaneseFirstGenerationRom(code);
    if (std::string_view(code) == "PKPC") return polishedCrystalRom();
    if (recordSizeOf(code) == 14) return firstGenerationRom(code, 3);
    Bytes rom = retailLikeRom(code, 3);
    if (recordSizeOf(code) == 32) putRecord(rom, code[0] == 'B' ? kCrystalSlot5 : kGoldSlot1, TradeBytes{});
    return rom;
}

inline const QStringList kEditor = {"txtNickname", "txtOT", "txtID", "Frame3", "Label2", "Label3", "Label9",
                             "Label10", "Label11", "btnSave", "yourpoke", "theirpoke", "Frame6"};
inline const QStringList kRomOpen = {"Frame5", "Frame2", "txtName", "txtCDE", "lang", "tradelist"};

inline bool ownFlag(const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }

// The desktop's list of recent files with another program's entry.
inline const std::string kOtherRecentFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xbel version=\"1.0\" xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\">\n"
    "  <bookmark href=\"file:///elsewhere/notes.txt\" added=\"2026-01-01T00:00:00Z\"><info>\n"
    "    <metadata owner=\"http://freedesktop.org\"><bookmark:applications>\n"
    "      <bookmark:application name=\"Editor\" exec=\"'editor %u'\" count=\"3\"/>\n"
    "    </bookmark:applications></metadata>\n"
    "  </info></bookmark>\n"
    "</xbel>\n";

}  // namespace window_test

using namespace window_test;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<TempDir> settingsDir;
    std::unique_ptr<RecordingSink> sink;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<FaultInjectingFileSystem> files;
    std::unique_ptr<MainWindow> window;

    template <typename T = QWidget>
    T* w(const QString& name) {
        return control<T>(window.get(), name);
    }
    QAction* action(const QString& name) { return w<QAction>(name); }
    // As a drag from a file manager arrives: enter, then drop.
    void dropUrls(const QList<QUrl>& urls) {
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted()) return;
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &event);
    }
    void dropFile(const std::string& path) { dropUrls({QUrl::fromLocalFile(QString::fromStdString(path))}); }

    void open(const std::string& path) {
        dialogs->willChoose(QString::fromStdString(path));
        action("mnuOpen")->trigger();
    }
    // The window handles a choice once the click or key is over.
    void clickTrade(int row) {
        auto* list = w<QListWidget>("tradelist");
        QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QCoreApplication::processEvents();
    }
    void keyOnList(Qt::Key key) {
        QTest::keyClick(w("tradelist"), key);
        QCoreApplication::processEvents();
    }
    void save() { QTest::mouseClick(w<QPushButton>("btnSave"), Qt::LeftButton); }
    QString text(const QString& name) {
        QWidget* c = w(name);
        if (auto* l = qobject_cast<QLabel*>(c)) return l->text();
        if (auto* e = qobject_cast<QLineEdit*>(c)) return e->text();
        if (auto* b = qobject_cast<QComboBox*>(c)) return b->currentText();
        return {};
    }
    void expectEnabled(const QStringList& names, bool enabled) {
        for (const QString& name : names) QVERIFY2(ownFlag(w(name)) == enabled, qPrintable(name));
    }
    void expectMessage(const QString& title, const QString& text, MessageIcon icon) {
        auto messages = sink->take();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, title);
        QCOMPARE(messages[0].text, text);
        QCOMPARE(messages[0].icon, icon);
    }
    // Expects one refusal whose text holds `part`.
    void expectRefusal(const QString& part) {
        auto messages = sink->take();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].text.contains(part), qPrintable(messages[0].text));
        QVERIFY(messages[0].text != "Trade Data Saved.");
    }

    // Acts on the modal dialog the next command opens, then leaves it.
    template <typename Act>
    void whenModal(Act act) {
        QTimer::singleShot(0, this, [act] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            act(dialog);
        });
    }

    // Types into a box as a user does, which marks the trade modified.
    void typeInto(const char* name, const QString& text) {
        auto* box = w<QLineEdit>(name);
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    // The trade list's selected row, -1 for none.
    int selectedRow() {
        auto selected = w<QListWidget>("tradelist")->selectedItems();
        return selected.isEmpty() ? -1 : w<QListWidget>("tradelist")->row(selected.front());
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void controlTable_data();
    void controlTable();
    void layoutReadsAsDesigned();
    void windowMenusListsAndFocus();
    void openingEachGameShowsItAndEnablesTheList_data();
    void openingEachGameShowsItAndEnablesTheList();
    void badOpensChangeNothing();
    void readOnlyRomsStayReadOnly();
    void creatingAPatch();
    void undoAndRedoSaves();
    void typedEditsSurviveAChangedFile();
    void showingTradesAndTheSlotWithout();
    void saveNeedsAnOpenRomAndAShownTrade();
    void aSelectionThatCannotBeReadLeavesTheWindowAsItWas();
    void savingWritesExactlyTheEditedFields_data();
    void savingWritesExactlyTheEditedFields();
    void saveRefusalsWriteNothing_data();
    void saveRefusalsWriteNothing();
    void namesAreLimitedByTheirBytes();
    void exportAndImportCarryTradesBetweenRoms();
    void acceptedIdsAreRoundedAndTrimmed();
    void namesInTheGamesOwnCharacters();
    void openingWhatIsNoRom();
    void filesThatChangeOrCannotBeWritten();
    void everyFailingCallOfASaveIsReported();
    void saveRefusesATradeFromElsewhere();
    void aFailingDiskIsNeverReportedAsSaved();
    void whatTheGameShows();
    void moreFieldsEndToEnd();
    void theThirdGenerationInMoreFields();
    void polishedCrystalInMoreFields();
    void tradesThatCanNeverHappenAreSigned();
    void checksumsFollowTheMenuItem();
    void theUnsavedMarkAppearsAndClears();
    void everyWayOfLeavingAsks_data();
    void everyWayOfLeavingAsks();
    void aSaveThatFailsKeepsTheUserWhereTheyWere();
    void nothingAsksWithoutEdits();
    void focusAloneReadsNoTrade();
    void hiddenBytesAreMarked();
    void reloadShowsWhatTheFileNowHolds();
    void romHacks();
    void recentRomsAreRememberedAndOffered();
    void playInEmulator();
    void aboutIsOneModelessWindowClosedOnlyByOkOrItsCloseBox();
    void exitClosesWithoutAskingAndTakesAboutAlong();
    void droppingARomOpensIt();
    void theWindowFollowsTheRomOnDisk();
    void workingFromTheBuildTree();
};
