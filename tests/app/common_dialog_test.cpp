#include "app/common_dialog.h"

#include <QTest>

#include "scripted.h"

using namespace kestrane;
using namespace kestrane::testing;

class CommonDialogTest : public QObject {
    Q_OBJECT

private slots:
    void prepareFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("prepared");
        const QChar nul(0);
        QTest::newRow("rom filter") << "GB ROMs (*.gb)|*.gb;*.gbc"
                                    << QString("GB ROMs (*.gb)") + nul + "*.gb;*.gbc" + nul + nul;
        QTest::newRow("ends in |") << "All Files (*.*)|*.*|" << QString("All Files (*.*)") + nul + "*.*" + nul + nul;
        QTest::newRow("empty") << "" << QString(nul) + nul;
        QTest::newRow("two pairs") << "A|*.a|B|*.b" << QString("A") + nul + "*.a" + nul + "B" + nul + "*.b" + nul + nul;
    }
    void prepareFilter() {
        QFETCH(QString, filter);
        QFETCH(QString, prepared);
        QCOMPARE(kestrane::prepareFilter(filter), prepared);
    }

    void filterPairsSplitDescriptionsFromPatterns() {
        auto pairs = filterPairs(kestrane::prepareFilter("GB ROMs (*.gb)|*.gb;*.gbc|All|*.*"));
        QCOMPARE(pairs.size(), 2);
        QCOMPARE(pairs[0].description, QString("GB ROMs (*.gb)"));
        QCOMPARE(pairs[0].patterns, QString("*.gb;*.gbc"));
        QCOMPARE(pairs[1].patterns, QString("*.*"));
        QVERIFY(filterPairs(kestrane::prepareFilter("")).isEmpty());
    }

    void showOpenRemembersThePathAndTheFilter() {
        ScriptedDialogs dialogs;
        CommonDialog dialog(dialogs);
        QCOMPARE(dialog.filterIndex(), 0);

        dialogs.willChoose("/roms/first.gbc", 2);
        QCOMPARE(dialog.showOpen(nullptr, "Title", "", "A|*.a|B|*.b", kFileMustExist), QString("/roms/first.gbc"));
        QCOMPARE(dialogs.asked[0].initialDir, QString());
        QCOMPARE(dialogs.asked[0].title, QString("Title"));
        QCOMPARE(dialogs.asked[0].flags, kFileMustExist);
        QCOMPARE(dialogs.asked[0].filters.size(), 2);
        QCOMPARE(dialog.filterIndex(), 2);

        // Cancelled: nothing chosen, and what was remembered stays.
        dialogs.willChoose("");
        QCOMPARE(dialog.showOpen(nullptr, "Title", "", "A|*.a|B|*.b"), QString());
        QCOMPARE(dialogs.asked[1].initialDir, QString("/roms/first.gbc"));
        QCOMPARE(dialogs.asked[1].filterIndex, 2);
        QCOMPARE(dialog.filterIndex(), 2);

        // A given folder wins over the remembered path; no filter means all files.
        dialogs.willChoose("/other/x.gb", 1);
        QCOMPARE(dialog.showOpen(nullptr, "T", "/start"), QString("/other/x.gb"));
        QCOMPARE(dialogs.asked[2].initialDir, QString("/start"));
        QCOMPARE(dialogs.asked[2].filters[0].description, QString("All Files (*.*)"));
        QCOMPARE(dialog.filterIndex(), 1);
    }

    void showSaveChecksTheNameAndProposesGpl() {
        ScriptedDialogs dialogs;
        CommonDialog dialog(dialogs);
        dialogs.willChoose("/roms/out.gpl", 1);
        auto chosen = dialog.showSave(nullptr, "Save", "abc", "/roms");
        QVERIFY(chosen.ok());
        QCOMPARE(*chosen, QString("/roms/out.gpl"));
        QCOMPARE(dialogs.asked[0].fileName, QString("abc"));
        QCOMPARE(dialogs.asked[0].defaultExtension, QString(".gpl"));
        QCOMPARE(dialog.filterIndex(), 1);

        QVERIFY(dialog.showSave(nullptr, "Save", QString(128, 'n'), "").ok());
        auto tooLong = dialog.showSave(nullptr, "Save", QString(129, 'n'), "");
        QVERIFY(!tooLong.ok());
        QCOMPARE(tooLong.error().code, ErrorCode::InvalidArgument);
        QCOMPARE(dialogs.asked.size(), 2);  // no dialog for the refused name

        // A save does not become the next open's starting point.
        dialogs.willChoose("");
        dialog.showOpen(nullptr, "Open", "");
        QCOMPARE(dialogs.asked.last().initialDir, QString());
    }
};

QTEST_MAIN(CommonDialogTest)
#include "common_dialog_test.moc"
