// Windows only: the real window on Windows files. Paths outside ASCII and
// beyond 260 characters, as the file dialog and a drop hand them over, and
// saves while another program holds the ROM open, as an emulator does.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <memory>

#include "app/main_window.h"
#include "scripted.h"
#include "support/rom_image.h"

using namespace kestrane;
using namespace kestrane::testing;

namespace {

// Trade 1 of a retail-like Crystal image: its ID's low byte.
const std::uint32_t kIdAt = slotOffset(kCrystalTable, 1) + 17;

}  // namespace

class WindowsWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<RecordingSink> sink;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<MainWindow> window;

    template <typename T = QWidget>
    T* w(const QString& name) {
        return control<T>(window.get(), name);
    }
    // A path as Windows programs hand it over: drive letter, backslashes.
    static QString native(const std::string& path) { return QDir::toNativeSeparators(QString::fromStdString(path)); }
    void chooseTrade1AndSaveId(const QString& id) {
        auto* list = w<QListWidget>("tradelist");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QCoreApplication::processEvents();
        w<QLineEdit>("txtID")->setText(id);
        QTest::mouseClick(w<QPushButton>("btnSave"), Qt::LeftButton);
    }
    HANDLE holdOpen(const std::string& path, DWORD access, DWORD share) {
        return ::CreateFileW(fsPath(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

private slots:
    void init() {
        dir = std::make_unique<TempDir>();
        sink = std::make_unique<RecordingSink>();
        dialogs = std::make_unique<ScriptedDialogs>();
        window = std::make_unique<MainWindow>(*sink, *dialogs);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() {
        window.reset();
        QVERIFY(sink->messages.isEmpty());
    }

    void pathsOutsideAsciiAndBeyond260Characters_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("non-ASCII") << QString("\u30af\u30ea\u30b9\u30bf\u30eb \u00e9");
        QTest::newRow("beyond 260") << QString(120, 'd') + "/" + QString(120, 'e');
    }
    void pathsOutsideAsciiAndBeyond260Characters() {
        QFETCH(QString, folder);
        std::filesystem::create_directories(fsPath(dir->file(folder.toStdString())));
        const std::string path = dir->write(folder.toStdString() + "/Kristall \u00e9.gbc", retailLikeRom("BYTE"));
        QVERIFY(folder.size() < 20 || path.size() > 260);
        dialogs->willChoose(native(path));
        w<QAction>("mnuOpen")->trigger();
        QCOMPARE(window->windowTitle(), QString("Kestrane \u2014 Kristall \u00e9.gbc[*]"));
        chooseTrade1AndSaveId("9");
        auto messages = sink->take();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, QString("Trade Data Saved."));
        QCOMPARE(int(readFile(path)[kIdAt]), 9);
    }

    void aSaveWhileAnEmulatorHoldsTheRomOpen() {
        const std::string path = dir->write("crystal.gbc", retailLikeRom("BYTE"));
        window->openRom(native(path));
        HANDLE emulator = holdOpen(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        QVERIFY(emulator != INVALID_HANDLE_VALUE);
        chooseTrade1AndSaveId("7");
        ::CloseHandle(emulator);
        auto messages = sink->take();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, QString("Trade Data Saved."));
        QCOMPARE(int(readFile(path)[kIdAt]), 7);
    }

    void aSaveRefusedWhileAnotherProgramDeniesWriters() {
        const Bytes rom = retailLikeRom("BYTE");
        const std::string path = dir->write("crystal.gbc", rom);
        window->openRom(native(path));
        HANDLE locker = holdOpen(path, GENERIC_READ, FILE_SHARE_READ);
        QVERIFY(locker != INVALID_HANDLE_VALUE);
        chooseTrade1AndSaveId("7");  // reading the trade is still allowed
        ::CloseHandle(locker);
        auto messages = sink->take();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QString("Error: 75"));
        QVERIFY2(messages[0].text.contains("in use by another program"), qPrintable(messages[0].text));
        QVERIFY(messages[0].text.endsWith("Nothing was written."));
        QCOMPARE(readFile(path), rom);
    }

    void droppingAFile() {
        const std::string path = dir->write("drop \u00e9.gbc", retailLikeRom("AAUE"));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(native(path))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &drop);
        QCOMPARE(window->windowTitle(), QString("Kestrane \u2014 drop \u00e9.gbc[*]"));
        QCOMPARE(w<QLabel>("headr")->text(), QString("Pok\u00e9mon Gold"));
    }
};

QTEST_MAIN(WindowsWindowTest)
#include "windows_window_test.moc"
