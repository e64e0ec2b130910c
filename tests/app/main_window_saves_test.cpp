// The window's commands that write: a trade, a copy, an import, an export,
// a patch, and undoing and redoing saves.
#include <functional>
#include "main_window_test.h"

#include <fstream>

#include "app/rom_watcher.h"
#include "patch/patch_file.h"

void MainWindowTest::readOnlyRomsStayReadOnly() {
    const std::string gold = dir->write("ro.gb", gameRom("AAUE"));
    const std::string other = dir->write("ro.txt", randomImage("XXXX"));
    ::chmod(gold.c_str(), 0444);
    ::chmod(other.c_str(), 0444);
    open(other);
    expectMessage("Kestrane", "Unsupported ROM.", MessageIcon::Exclamation);
    open(gold);
    QCOMPARE(text("headr"), QString("Pok\u00e9mon Gold"));
    for (const std::string& path : {gold, other}) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        QCOMPARE(int(st.st_mode & 07777), 0444);
    }
    QCOMPARE(window->windowTitle(), QString("Kestrane \u2014 ro.gb (read-only)[*]"));
    QVERIFY(text("tableInfo").endsWith("\u2014 read-only"));
    // Saving asks: Cancel writes nothing; Save As writes a copy the window then edits.
    const Bytes before = readFile(gold);
    clickTrade(0);
    typeInto("txtID", "7");
    sink->willChoose(2);
    save();
    const auto asked = sink->takeQuestions();
    QCOMPARE(asked[0].text, QString("\u201cro.gb\u201d is read-only. Make it writable and save?"));
    QCOMPARE(asked[0].defaultButton, 2);  // Cancel: Enter never takes the mark off
    QCOMPARE(readFile(gold), before);
    const std::string copy = dir->file("copy.gb");
    dir->write("ro copy.gb", {});
    sink->willChoose(1);
    dialogs->willChoose(QString::fromStdString(copy));
    save();
    QCOMPARE(sink->takeQuestions().size(), 1);
    QCOMPARE(dialogs->asked.back().fileName, QString("ro copy 2.gb"));  // a name beside it that names nothing yet
    QCOMPARE(readFile(gold), before);
    QCOMPARE(readFile(copy)[kGoldSlot1 + *kAt.trainerIdAt], 7);
    QCOMPARE(window->windowTitle(), QString("Kestrane \u2014 copy.gb[*]"));
    QCOMPARE(w<QMenu>("mnuRecent")->actions()[0]->toolTip(), QDir::toNativeSeparators(QString::fromStdString(copy)));
    QCOMPARE(text("txtID"), QString("7"));
    // Make Writable and Save, on the read-only one again.
    open(gold);
    clickTrade(0);
    typeInto("txtID", "8");
    sink->willChoose(0);
    save();
    QCOMPARE(sink->takeQuestions().size(), 1);
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(readFile(gold)[kGoldSlot1 + *kAt.trainerIdAt], 8);
    QCOMPARE(window->windowTitle(), QString("Kestrane \u2014 ro.gb[*]"));
}

// File → Create Patch…: the clean ROM asked for, where to save (BPS, or
// IPS by the filter), what differs shown, then the patch written.
void MainWindowTest::creatingAPatch() {
    const Bytes clean = gameRom("BYTE");
    const std::string cleanPath = dir->write("clean.gbc", clean);
    const std::string hack = dir->write("hack.gbc", clean);
    open(hack);
    clickTrade(4);
    typeInto("txtNickname", "PEBBLE");
    sink->willAnswer(SaveAnswer::Save);  // the unsaved edit first
    dialogs->willChoose(QString::fromStdString(cleanPath));
    dialogs->willChoose(QString::fromStdString(dir->file("hack")), 2);  // the IPS filter, no ending typed
    sink->willChoose(0);
    action("mnuCreatePatch")->trigger();
    auto asked = sink->takeQuestions();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked[1].text, QString("The patch turns \u201cclean.gbc\u201d into \u201chack.gbc\u201d:\n\nTrade Number 5  "
                                    "Nickname  ROCKY \u2192 PEBBLE\n0 other bytes differ outside the trade tables.\n\nCreate it?"));
    QCOMPARE(dialogs->asked.last().fileName, QString("hack.bps"));
    auto told = sink->take();
    QCOMPARE(told.size(), 2);  // saved, then the patch
    QVERIFY(told[1].text.startsWith("The patch was written to \u201chack.ips\u201d"));
    QCOMPARE(applyIps(clean, readFile(dir->file("hack.ips"))).target, readFile(hack));
    QCOMPARE(readFile(cleanPath), clean);

    // Applied again from a fresh window (no ROM open): the patch, its ROM, where the result goes; then it is open.
    window = std::make_unique<MainWindow>(*sink, *dialogs, *files);
    window->show();
    QVERIFY(action("mnuApplyPatch")->isEnabled());
    dialogs->willChoose(QString::fromStdString(dir->file("hack.ips")));
    dialogs->willChoose(QString::fromStdString(cleanPath));
    dialogs->willChoose(QString::fromStdString(dir->file("patched.gbc")));
    action("mnuApplyPatch")->trigger();
    QCOMPARE(readFile(dir->file("patched.gbc")), readFile(hack));
    QCOMPARE(window->romPath(), QDir::toNativeSeparators(QString::fromStdString(dir->file("patched.gbc"))));
    QVERIFY(window->statusBar()->currentMessage().contains("does not say which ROM it was made for"));
    // A patch for another ROM is refused, nothing written.
    QVERIFY(createPatch(cleanPath, hack, dir->file("hack.bps"), GameCheck::SameGame));
    dialogs->willChoose(QString::fromStdString(dir->file("hack.bps")));
    dialogs->willChoose(QString::fromStdString(hack));
    dialogs->willChoose(QString::fromStdString(dir->file("twice.gbc")));
    action("mnuApplyPatch")->trigger();
    expectRefusal("This patch was made for a ROM whose CRC32 is");
    QVERIFY(!std::filesystem::exists(fsPath(dir->file("twice.gbc"))));
}

// Edit → Undo Save and Redo Save, for a trade and an import; a file
// another program changed since is refused, nothing written.
void MainWindowTest::undoAndRedoSaves() {
    Bytes image = gameRom("BYTE");
    buildChecksums(image);
    const std::string path = dir->write("c.gbc", image);
    open(path);
    clickTrade(4);
    typeInto("txtID", "123");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    const Bytes saved = readFile(path);
    QCOMPARE(action("mnuUndo")->text(), QString("&Undo Save of Trade Number 5"));
    action("mnuUndo")->trigger();
    QCOMPARE(readFile(path), image);
    QCOMPARE(text("txtID"), QString("4660"));  // the trade shown, as the file now holds it
    QCOMPARE(action("mnuRedo")->text(), QString("&Redo Save of Trade Number 5"));
    QVERIFY(!action("mnuUndo")->isEnabled());
    action("mnuRedo")->trigger();
    QCOMPARE(readFile(path), saved);
    // An import is one step.
    const std::string table = dir->file("t.json");
    std::ofstream(fsPath(table)) << R"({"trades": [{"slot": 1, "id": 1}, {"slot": 2, "id": 2}]})";
    dialogs->willChoose(QString::fromStdString(table));
    sink->willChoose(0);
    action("mnuImport")->trigger();
    sink->takeQuestions();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(action("mnuUndo")->text(), QString("&Undo Import"));
    action("mnuUndo")->trigger();
    QCOMPARE(readFile(path), saved);
    // Another program changed a byte the save wrote: refused, nothing written.
    Bytes other = saved;
    other[slotOffset(kCrystalTable, 5) + *kAt.trainerIdAt] = 0x44;
    dir->write("c.gbc", other);
    action("mnuUndo")->trigger();
    expectRefusal("another program changed the byte 0xFCEE9 since that save");
    QCOMPARE(readFile(path), other);
    QCOMPARE(action("mnuUndo")->text(), QString("&Undo Save of Trade Number 5"));
}

// A save refused because another program changed the trade: Reload and
// Keep My Edits reads it again, keeps the fields the user edited (marked
// where the other program changed them too) and takes the file's values of
// the rest; Save then writes only the user's edits. A rebuild that moved the
// table the game reads is refused the same way, and kept edits go into the
// new table.
void MainWindowTest::typedEditsSurviveAChangedFile() {
    const Bytes gold = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", gold);
    open(path);
    clickTrade(0);
    typeInto("txtNickname", "MINE");
    typeInto("txtOT", "ME");
    Bytes changed = gold;
    changed[kGoldSlot1 + *kAt.trainerIdAt] = 0x99;  // the ID and the trainer's name, by another program
    changed[kGoldSlot1 + kAt.trainerName->at] = 0x81;
    dir->write("gold.gb", changed);
    sink->willChoose(0);
    save();
    QCOMPARE(sink->takeQuestions().size(), 1);
    QCOMPARE(text("txtNickname"), QString("MINE"));
    QCOMPARE(text("txtOT"), QString("ME"));
    QCOMPARE(text("txtID"), QString("4761"));
    QCOMPARE(w<QLineEdit>("txtID")->toolTip(), QString());
    QVERIFY(w<QLineEdit>("txtOT")->toolTip().startsWith("Another program changed this in the file to: "));
    QVERIFY(window->isWindowModified());
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    Bytes after = readFile(path);
    QCOMPARE(after[kGoldSlot1 + kAt.nickname.at], 0x8C);     // M
    QCOMPARE(after[kGoldSlot1 + kAt.trainerName->at], 0x8C);  // M, typed over the other program's
    QCOMPARE(after[kGoldSlot1 + *kAt.trainerIdAt], 0x99);     // the other program's ID, untouched
    QCOMPARE(w<QLineEdit>("txtOT")->toolTip(), QString());

    // A rebuild: the routine now reads a copy of the records; the old ones stay as dead bytes.
    typeInto("txtID", "4242");
    Bytes rebuilt = after;
    std::copy_n(after.begin() + kGoldSilverTable, 6 * 32, rebuilt.begin() + 0xFD200);
    putRoutine(rebuilt, kGoldSilverRoutine, 0xFD200);
    dir->write("gold.gb", rebuilt);
    sink->willChoose(0);
    save();
    const auto asked = sink->takeQuestions();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].text.contains("is no longer where it was when the ROM was opened (0xFCC24): the game now reads 6 trades "
                                    "at 0xFD200"), qPrintable(asked[0].text));
    QCOMPARE(readFile(path), rebuilt);
    QCOMPARE(text("tableInfo"), QString("Trade table: 0xFD200 (moved)"));
    QCOMPARE(text("txtID"), QString("4242"));
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(differences(readFile(path), rebuilt), (std::vector<std::size_t>{0xFD200 + 32 + 17, 0xFD200 + 32 + 18}));
}

void MainWindowTest::saveNeedsAnOpenRomAndAShownTrade() {
    auto saveCommand = [&] { QVERIFY(QMetaObject::invokeMethod(window.get(), "saveTrade")); };
    saveCommand();
    expectMessage("Kestrane", "Open a ROM and select a trade before saving. Nothing was written.",
                  MessageIcon::Exclamation);
    const Bytes rom = gameRom("AAXE");
    const std::string silver = dir->write("silver.gb", rom);
    open(silver);
    saveCommand();
    expectMessage("Kestrane", "Select a trade before saving. Nothing was written.", MessageIcon::Exclamation);
    clickTrade(6);
    sink->take();
    saveCommand();
    expectMessage("Kestrane", "Select a trade before saving. Nothing was written.", MessageIcon::Exclamation);
    QCOMPARE(readFile(silver), rom);
}

void MainWindowTest::savingWritesExactlyTheEditedFields() {
    QFETCH(QString, code);
    QFETCH(int, row);
    QFETCH(uint, base);
    const Bytes before = gameRom(qPrintable(code));
    const std::string path = dir->write("rom.gbc", before);
    open(path);
    clickTrade(row);

    w<QComboBox>("yourpoke")->setCurrentIndex(25);  // Pikachu
    auto* offered = w<QComboBox>("theirpoke");
    offered->setEditText("celebi");                 // typed, matched without case
    QTest::keyClicks(w("txtNickname"), "XYZ");     // appended: "ROCKYXYZ"
    w<QLineEdit>("txtOT")->setText("[PK]AB");
    w<QLineEdit>("txtID")->setText("37460");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);

    Bytes expected = before;
    const Bytes fields = {25, 251, 0x91, 0x8E, 0x82, 0x8A, 0x98, 0x97, 0x98, 0x99, 0x50, 0x20};
    std::copy(fields.begin(), fields.end(), expected.begin() + base);
    const Bytes tail = {0x54, 0x92, 0xE1, 0x80, 0x81, 0x50, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    std::copy(tail.begin(), tail.end(), expected.begin() + base + *kAt.trainerIdAt - kAt.requestedSpeciesAt);
    QCOMPARE(differences(readFile(path), expected).size(), size_t(0));
    // The window shows what was typed; nothing is read back.
    QCOMPARE(text("theirpoke"), QString("celebi"));

    // Ctrl+S saves the same way; unchanged, it changes no byte.
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(differences(readFile(path), expected).size(), size_t(0));

    // A name typed exactly wins over the completion the box offers but the user has not taken:
    // "mew" completes to "mew|two" (150 comes first), and saves Mew, 151.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    for (auto [key, box, at] : {std::tuple{Qt::Key_O, "theirpoke", base + 1}, std::tuple{Qt::Key_Y, "yourpoke", base}}) {
        QTest::keyClick(window.get(), key, Qt::AltModifier);
        QLineEdit* typed = w<QComboBox>(box)->lineEdit();
        typed->selectAll();
        QTest::keyClicks(typed, "mew");
        QCOMPARE(typed->text(), QString("mewtwo "));
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
        QCOMPARE(int(readFile(path)[at]), 151);
        QCOMPARE(text(box), QString("mew"));
        // The box's own undo starts afresh at the saved value: Ctrl+Z leaves it, and the file, as saved.
        QTest::keyClick(typed, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text(box), QString("mew"));
        QVERIFY(!window->isWindowModified());
        QCOMPARE(int(readFile(path)[at]), 151);
    }
    // Left by the mouse, the box keeps what was typed (shown as the list spells the entry it names
    // exactly); Tab takes the completion.
    QLineEdit* offeredLine = offered->lineEdit();
    struct Leaving {
        const char* how;
        std::function<void()> leave;
        QString shown;
        int saved;
    };
    for (const Leaving& l : std::vector<Leaving>{
             {"a click on the Nickname box", [&] { QTest::mouseClick(w("txtNickname"), Qt::LeftButton); }, "Mew", 151},
             {"a click on Save", [&] { QTest::mouseClick(w("btnSave"), Qt::LeftButton); }, "Mew", 151},
             {"Tab", [&] { QTest::keyClick(offeredLine, Qt::Key_Tab); }, "Mewtwo ", 150},
         }) {
        qInfo("%s", l.how);
        QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);
        offeredLine->selectAll();
        QTest::keyClicks(offeredLine, "mew");
        QCOMPARE(offeredLine->text(), QString("mewtwo "));
        l.leave();
        QCOMPARE(text("theirpoke"), l.shown);
        if (sink->messages.isEmpty()) QTest::mouseClick(w("btnSave"), Qt::LeftButton);
        expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
        QCOMPARE(int(readFile(path)[base + 1]), l.saved);
    }
}

void MainWindowTest::saveRefusalsWriteNothing() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    const Bytes before = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", before);
    open(path);
    clickTrade(0);
    if (auto* box = window->findChild<QComboBox*>(field)) {
        box->setCurrentIndex(-1);
        box->setEditText(value);
    } else {
        w<QLineEdit>(field)->setText(value);
    }
    if (QTest::currentDataTag() == QByteArray("two problems")) w<QLineEdit>("txtOT")->setText("[PK][MN]ABCDEFGHI");
    save();
    auto messages = sink->take();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].title, QString("Kestrane"));
    QCOMPARE(messages[0].icon, MessageIcon::Exclamation);
    QVERIFY2(messages[0].text.contains(message), qPrintable(messages[0].text));
    QCOMPARE(readFile(path), before);
}

// Trades carried from one ROM to another through File → Export Trades…
// and Import Trades…: one transaction, the same checks as the command line.
void MainWindowTest::exportAndImportCarryTradesBetweenRoms() {
    Bytes a = retailLikeRom("BYTE", 3);
    putRecord(a, kCrystalSlot5, TradeBytes{});  // ROCKY from KYLE
    const std::string from = dir->write("a.gbc", a);
    Bytes b = retailLikeRom("BYTE", 4);
    const std::string to = dir->write("b.gbc", b);
    const std::string table = dir->file("trades.json");
    open(from);
    dialogs->willChoose(QString::fromStdString(table));
    action("mnuExport")->trigger();
    expectMessage("Kestrane", "The trades were exported to \"trades.json\".", MessageIcon::Information);
    QCOMPARE(dialogs->asked.last().fileName, QString("a.json"));
    QCOMPARE(dialogs->asked.last().defaultExtension, QString(".json"));

    open(to);
    clickTrade(4);
    QCOMPARE(text("txtNickname"), QString("PAUL"));
    typeInto("txtID", "1");  // an unsaved edit: asked about first
    sink->willAnswer(SaveAnswer::Discard);
    dialogs->willChoose(QString::fromStdString(table));
    sink->willChoose(0);  // the preview: Import
    action("mnuImport")->trigger();
    auto asked = sink->takeQuestions();
    QCOMPARE(asked.size(), 2);
    QVERIFY2(asked[1].text.contains("Importing \"trades.json\" changes:\n\nTrade Number 5  Requested species  93 Haunter \u2192 63 Abra\n"),
             qPrintable(asked[1].text));
    QCOMPARE(asked[1].detail, QString("Import | Cancel"));
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(text("txtNickname"), QString("ROCKY"));  // the trade on show, as the file now holds it
    const Bytes after = readFile(to);
    for (int slot = 1; slot <= 7; ++slot) {
        const std::uint32_t at = slotOffset(kCrystalTable, slot);
        QCOMPARE(Bytes(after.begin() + at, after.begin() + at + 32), Bytes(a.begin() + at, a.begin() + at + 32));
    }

    // A table that is refused writes nothing and says every problem.
    std::ofstream(fsPath(table)) << R"({"trades": [{"slot": 1, "id": 70000, "offered": "Pikachoo"}]})";
    dialogs->willChoose(QString::fromStdString(table));
    action("mnuImport")->trigger();
    expectRefusal("Trade Number 1: Please enter an ID number between 0 and 65535.\nTrade Number 1: \"Pikachoo\"");
    QCOMPARE(readFile(to), after);
    // JSON numbers as numbers: a fraction refused, a whole one taken.
    std::ofstream(fsPath(table)) << R"({"trades": [{"slot": 1, "id": 4660.6}]})";
    dialogs->willChoose(QString::fromStdString(table));
    action("mnuImport")->trigger();
    expectRefusal("Trade Number 1: \"id\" must be a whole number or a text (a number from 0 to 65535), not 4660.6.");
    QCOMPARE(readFile(to), after);
    // A value nested sixty thousand deep is refused unbuilt; the window and its edits go on.
    std::ofstream(fsPath(table)) << std::string(60'000, '[') << std::string(60'000, ']');
    dialogs->willChoose(QString::fromStdString(table));
    action("mnuImport")->trigger();
    expectRefusal("nests its values more than 16 levels deep");
    QCOMPARE(readFile(to), after);
    std::ofstream(fsPath(table)) << R"({"trades": [{"slot": 1, "requested": 63}]})";
    dialogs->willChoose(QString::fromStdString(table));
    sink->willChoose(0);
    action("mnuImport")->trigger();
    QCOMPARE(sink->takeQuestions().size(), 1);
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(readFile(to)[slotOffset(kCrystalTable, 1) + 1], 63);
    // Shown before written: Cancel writes nothing, and a table that changes nothing says so.
    dialogs->willChoose(QString::fromStdString(table));
    action("mnuImport")->trigger();
    expectMessage("Kestrane", "\"trades.json\" changes nothing in this ROM; nothing was written.", MessageIcon::Information);
    std::ofstream(fsPath(table)) << R"({"trades": [{"slot": 1, "requested": 64}]})";
    dialogs->willChoose(QString::fromStdString(table));
    sink->willChoose(1);
    action("mnuImport")->trigger();
    QCOMPARE(sink->takeQuestions().size(), 1);
    QCOMPARE(readFile(to)[slotOffset(kCrystalTable, 1) + 1], 63);
    // One larger than any table is refused unread; the window goes on.
    growPastAnyRead(table);
    dialogs->willChoose(QString::fromStdString(table));
    action("mnuImport")->trigger();
    const Bytes imported = readFile(to);
    expectRefusal("more than the 1,048,576 Kestrane reads");
    QCOMPARE(readFile(to), imported);
    // A sister release's table (Gold's into Silver) is taken, and the preview says whose it is.
    open(dir->write("gold.gb", gameRom("AAUE")));
    dialogs->willChoose(QString::fromStdString(table));
    action("mnuExport")->trigger();
    sink->take();
    const std::string silver = dir->write("silver.gb", retailLikeRom("AAXE", 3));
    open(silver);
    dialogs->willChoose(QString::fromStdString(table));
    sink->willChoose(0);
    action("mnuImport")->trigger();
    QVERIFY(sink->takeQuestions()[0].text.startsWith("The table is from Pok\u00e9mon Gold (AAUE), a sister release"));
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(readFile(silver)[kGoldSlot1 + kAt.offeredSpeciesAt], 95);
}

void MainWindowTest::filesThatChangeOrCannotBeWritten() {
    const Bytes gold = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", gold);
    // A file system that refuses every write, then one whose disk is full.
    ReadOnlyFileSystem readOnly;
    DiskFullFileSystem full;
    const struct {
        FileSystem* files;
        const char *title, *says;
    } failing[] = {{&readOnly, "Error: 70", "permission denied. Nothing was written."}, {&full, "Error: 61", "the disk is full"}};
    for (const auto& f : failing) {
        MainWindow failingWindow(*sink, *dialogs, *f.files);
        failingWindow.openRom(QString::fromStdString(path));
        failingWindow.findChild<QListWidget*>("tradelist")->setCurrentRow(0);
        QCoreApplication::processEvents();
        failingWindow.findChild<QLineEdit*>("txtID")->setText("9");
        failingWindow.findChild<QAction*>("mnuSave")->trigger();
        auto messages = sink->take();
        QCOMPARE(messages.size(), 1);
        if (messages[0].text.contains("no /dev/full")) continue;  // a platform without one
        QCOMPARE(messages[0].title, QString(f.title));
        QVERIFY2(messages[0].text.contains(f.says), qPrintable(messages[0].text));
    }
    QCOMPARE(readFile(path), gold);

    open(path);
    clickTrade(0);
    w<QLineEdit>("txtID")->setText("9");
    const Bytes silver = retailLikeRom("AAXE");
    dir->write("gold.gb", silver);  // replaced by another game
    save();
    expectRefusal("no longer holds the game");
    QCOMPARE(readFile(path), silver);
    std::filesystem::remove(path);
    save();
    auto messages = sink->take();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].title, QString("Error: 53"));
    QVERIFY2(messages[0].text.contains("Nothing was written."), qPrintable(messages[0].text));
    QVERIFY(!std::filesystem::exists(path));
}

void MainWindowTest::everyFailingCallOfASaveIsReported() {
    const Bytes gold = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", gold);
    open(path);
    clickTrade(0);
    w<QLineEdit>("txtNickname")->setText("NEW");
    const int before = int(files->calls().size());
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    const int calls = int(files->calls().size()) - before;
    for (int n = 1; n <= calls; ++n) {
        dir->write("gold.gb", gold);
        clickTrade(0);
        w<QLineEdit>("txtNickname")->setText("NEW");
        files->failCall(int(files->calls().size()) + n, fileFailure(ErrorCode::DeviceIo, "injected"));
        save();
        auto messages = sink->take();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QString("Error: 57"));
    }
}

void MainWindowTest::saveRefusesATradeFromElsewhere() {
    const Bytes gold = gameRom("AAUE");
    const Bytes crystal = gameRom("BYTE");
    const std::string goldPath = dir->write("gold.gb", gold);
    const std::string crystalPath = dir->write("crystal.gbc", crystal);
    open(goldPath);
    clickTrade(0);

    // Changed on disk since it was shown: Cancel leaves all as it is.
    Bytes changed = gold;
    changed[kGoldSlot1 + kAt.nickname.at + 1] ^= 1;
    dir->write("gold.gb", changed);
    sink->willChoose(2);
    save();
    auto asked = sink->takeQuestions();
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].text.startsWith("Trade Number 1 was changed in"));
    QCOMPARE(asked[0].detail, QString("Reload and Keep My Edits | Discard My Edits | Cancel"));
    QCOMPARE(readFile(goldPath), changed);

    // Another ROM opened starts clean: nothing of the Gold trade is left to save into it.
    open(crystalPath);
    QCOMPARE(text("txtNickname"), QString());
    expectEnabled(kEditor, false);
    QVERIFY(!action("mnuSave")->isEnabled());
    QVERIFY(w<QListWidget>("tradelist")->selectedItems().isEmpty());
    QCOMPARE(readFile(crystalPath), crystal);
}

void MainWindowTest::aFailingDiskIsNeverReportedAsSaved() {
    const std::string path = dir->write("gold.gb", gameRom("AAUE"));
    open(path);
    clickTrade(0);
    w<QLineEdit>("txtID")->setText("1");
    files->failNext(FileOp::Write, fileFailure(ErrorCode::DiskFull, "the disk is full"));
    save();
    auto messages = sink->take();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].title, QString("Error: 61"));
    QVERIFY2(messages[0].text.contains("may hold part of the new data"), qPrintable(messages[0].text));
}

void MainWindowTest::checksumsFollowTheMenuItem() {
    Bytes image = gameRom("AAUE");
    buildChecksums(image, false);
    const std::string path = dir->write("gold.gb", image);
    open(path);
    clickTrade(0);
    w<QLineEdit>("txtID")->setText("1");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    Bytes expected = readFile(path);
    buildChecksums(expected, false);
    QCOMPARE(readFile(path), expected);

    // Turned off, the save leaves them (and the choice is remembered).
    action("mnuChecksums")->setChecked(false);
    QCOMPARE(QSettings().value("save/updateChecksums").toBool(), false);
    MainWindow second(*sink, *dialogs, *files);
    QVERIFY(!second.findChild<QAction*>("mnuChecksums")->isChecked());
    w<QLineEdit>("txtID")->setText("2");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(differences(readFile(path), expected), (std::vector<std::size_t>{kGoldSlot1 + *kAt.trainerIdAt}));
    action("mnuChecksums")->setChecked(true);

    // Pad Names as the Games Do: a typed name's rest is 0x50, not 0x20; remembered as well.
    QVERIFY(!action("mnuPadNames")->isChecked());
    for (bool games : {true, false}) {
        action("mnuPadNames")->setChecked(games);
        QCOMPARE(QSettings().value("edit/padNamesWithTerminator").toBool(), games);
        typeInto("txtNickname", games ? "ZAP" : "ZIP");
        save();
        expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
        const Bytes after = readFile(path);
        const Bytes name(after.begin() + kGoldSlot1 + 3, after.begin() + kGoldSlot1 + 14);
        QCOMPARE(name, (Bytes{0x99, std::uint8_t(games ? 0x80 : 0x88), 0x8F, 0x50, std::uint8_t(games ? 0x50 : 0x20),
                              std::uint8_t(games ? 0x50 : 0x20), std::uint8_t(games ? 0x50 : 0x20), std::uint8_t(games ? 0x50 : 0x20),
                              std::uint8_t(games ? 0x50 : 0x20), std::uint8_t(games ? 0x50 : 0x20), 0x50}));
        MainWindow again(*sink, *dialogs, *files);
        QCOMPARE(again.findChild<QAction*>("mnuPadNames")->isChecked(), games);
    }

    // Stadium data already stale before the save stays so, and the window says so as the command line does.
    Bytes stale = gameRom("AAUE");
    buildChecksums(stale, true);
    stale[0x1FFE00] ^= 1;
    std::uint16_t sum = 0;  // the global checksum consistent again: only the Stadium data is stale
    for (std::size_t i = 0; i < stale.size(); ++i) sum = std::uint16_t(sum + (i == 0x14E || i == 0x14F ? 0 : stale[i]));
    stale[0x14E] = std::uint8_t(sum >> 8), stale[0x14F] = std::uint8_t(sum);
    open(dir->write("stale.gb", stale));
    clickTrade(0);
    typeInto("txtID", "3");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(window->statusBar()->currentMessage(),
             QString("Checksums updated, but the Stadium data was already stale and was left as it was "
                     "(\"kestrane-cli checksums --fix\" makes them consistent)."));
}

void MainWindowTest::aSaveThatFailsKeepsTheUserWhereTheyWere() {
    const Bytes gold = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", gold);
    open(path);
    clickTrade(0);
    typeInto("txtID", "70000");
    sink->willAnswer(SaveAnswer::Save);
    clickTrade(2);
    QCOMPARE(sink->takeQuestions().size(), 1);
    expectRefusal("between 0 and 65535");
    QCOMPARE(selectedRow(), 0);
    QCOMPARE(text("txtID"), QString("70000"));
    QVERIFY(window->isWindowModified());
    QCOMPARE(readFile(path), gold);
    sink->willAnswer(SaveAnswer::Discard);
    window->close();
    QCOMPARE(sink->takeQuestions().size(), 1);
}

// A rebuild (a new file renamed over the old), a file rewritten in place,
// a file half written, the window's own save, and a change while the user
// has typed: the window follows each as a hacker expects.
void MainWindowTest::theWindowFollowsTheRomOnDisk() {
    const Bytes image = gameRom("BYTE");
    const std::string path = dir->write("hack.gbc", image);
    open(path);
    clickTrade(4);  // ROCKY, ID 4660
    auto rebuilt = [&](const char* nickname, std::uint16_t id) {
        Bytes next = readFile(path);
        TradeBytes trade;
        trade.nickname = nameField(nickname);
        trade.id = id;
        putRecord(next, kCrystalSlot5, trade);
        return next;
    };
    const QString read = QStringLiteral("changed on disk and was read again");

    // A rebuild writes a new file and renames it over the ROM.
    const std::string fresh = dir->write("hack.gbc.new", rebuilt("REBUILT", 1));
    std::filesystem::rename(fsPath(fresh), fsPath(path));
    QTRY_COMPARE(text("txtNickname"), QString("REBUILT"));
    QVERIFY(window->statusBar()->currentMessage().contains(read));
    QCOMPARE(selectedRow(), 4);

    // Rewritten in place; half written first (cut short), which is not taken until it is whole.
    const Bytes whole = rebuilt("INPLACE", 2);
    {
        std::ofstream cut(fsPath(path), std::ios::binary | std::ios::trunc);
        cut.write(reinterpret_cast<const char*>(whole.data()), std::streamsize(whole.size() / 2));
    }
    QTest::qWait(3 * RomWatcher::kSettleMs);
    QCOMPARE(text("txtNickname"), QString("REBUILT"));
    QVERIFY(sink->messages.isEmpty());
    dir->write("hack.gbc", whole);
    QTRY_COMPARE(text("txtNickname"), QString("INPLACE"));

    // The window's own save is no change to follow.
    window->statusBar()->clearMessage();
    typeInto("txtID", "777");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QTest::qWait(3 * RomWatcher::kSettleMs);
    QVERIFY(!window->statusBar()->currentMessage().contains(read));
    QVERIFY(sink->questions.isEmpty());

    // With a typed edit, asked once, however often the file changes while the question is open;
    // Reload and Keep My Edits keeps it over the file's newest values.
    typeInto("txtNickname", "MINE");
    sink->willChoose(0);
    sink->whileAsking = [&] {
        dir->write("hack.gbc", rebuilt("SECOND", 4321));
        QTest::qWait(4 * RomWatcher::kSettleMs);
    };
    dir->write("hack.gbc", rebuilt("OTHER", 31337));
    QTRY_COMPARE(sink->questions.size(), 1);
    QVERIFY(sink->takeQuestions()[0].text.startsWith("\u201chack.gbc\u201d changed on disk"));
    QCOMPARE(text("txtNickname"), QString("MINE"));
    QCOMPARE(text("txtID"), QString("4321"));
    QTest::qWait(3 * RomWatcher::kSettleMs);
    QVERIFY(sink->questions.isEmpty());

    // Rebuilt as another game: an edit its records cannot hold is dropped, and said so; the rest is saved.
    typeInto("txtID", "4242");
    sink->willChoose(0);
    sink->take();
    dir->write("hack.gbc", firstGenerationRom("POKEMON RED", 3));
    QTRY_COMPARE(sink->questions.size(), 1);
    sink->takeQuestions();
    expectMessage("Kestrane", "Kept your edits to Trade Number 5 except the ID: Pok\u00e9mon Red's trades have no trainer ID.",
                  MessageIcon::Information);
    QCOMPARE(text("txtNickname"), QString("MINE"));
    QVERIFY(!control<QLineEdit>(window.get(), "txtID")->isEnabled());
    QCOMPARE(text("txtID"), QString("random"));  // as every Red trade shows it
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    const Bytes red = readFile(path);
    QCOMPARE(Bytes(red.begin() + kRedBlueTable + 4 * 14 + 3, red.begin() + kRedBlueTable + 4 * 14 + 8), (Bytes{0x8C, 0x88, 0x8D, 0x84, 0x50}));
    sink->willAnswer(SaveAnswer::Discard);
}

// A ROM in its build tree: the trade file named, each trade's row shown,
// saves into both (asked once), Undo and Redo of both, a save to the ROM
// alone said, and the rebuild that replaces it.
void MainWindowTest::workingFromTheBuildTree() {
    const Bytes image = gameRom("BYTE");
    const std::string path = dir->write("pokecrystal.gbc", image);
    const TreeFiles tree = writeBuildTree(*dir, "pokecrystal.gbc", image, kCrystalTable, 7);
    auto sourceHolds = [&](const std::string& part) {
        const Bytes text = readFile(tree.tradePath);
        return std::string(text.begin(), text.end()).find(part) != std::string::npos;
    };
    open(path);
    QCOMPARE(text("sourceInfo"), QString("Source: data/events/npc_trades.asm (in step)"));
    QVERIFY(w("sourceInfo")->isVisible());
    QVERIFY(!w("tableInfo")->geometry().intersects(w("sourceInfo")->geometry()));
    clickTrade(1);  // record 0, the table's first row
    QCOMPARE(text("sourceLine"), QString("line 14"));
    QCOMPARE(w("sourceLine")->toolTip(), QString("data/events/npc_trades.asm, line 14"));

    // The first save asks; Write Both writes the ROM and the row.
    typeInto("txtNickname", "BOB");
    sink->willChoose(0);
    save();
    auto asked = sink->takeQuestions();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].text, QString("pokecrystal.gbc is built from data/events/npc_trades.asm. Write your edits there too, so the "
                                    "next build keeps them?"));
    QCOMPARE(asked[0].detail, QString("Write Both | ROM Only"));
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QVERIFY(sourceHolds("\"BOB\",    $37"));
    QCOMPARE(window->statusBar()->currentMessage(), QString("data/events/npc_trades.asm written too (line 14)."));
    QCOMPARE(text("sourceInfo"), QString("Source: data/events/npc_trades.asm (in step)"));
    const Bytes romBob = readFile(path), sourceBob = readFile(tree.tradePath);
    // The answer is the tree's from now on.
    typeInto("txtNickname", "BEN");
    save();
    QVERIFY(sink->takeQuestions().isEmpty());
    sink->take();
    QVERIFY(sourceHolds("\"BEN\",    $37"));
    // Undo and Redo take back and make again both.
    action("mnuUndo")->trigger();
    QCOMPARE(readFile(tree.tradePath), sourceBob);
    action("mnuRedo")->trigger();
    QVERIFY(sourceHolds("\"BEN\",    $37"));
    const Bytes romBen = readFile(path), sourceBen = readFile(tree.tradePath);

    // ROM Only: the trade file stays, the window says the next build replaces the edit.
    SourceAnswers().remember(QDir(QString::fromStdString(dir->folder())).absolutePath(), false);
    typeInto("txtNickname", "SAM");
    save();
    QVERIFY(sink->takeQuestions().isEmpty());
    sink->take();
    QCOMPARE(readFile(tree.tradePath), sourceBen);
    QCOMPARE(window->statusBar()->currentMessage(),
             QString("pokecrystal.gbc lies in a build tree, and its next build replaces this edit: it went to the ROM only."));
    QCOMPARE(text("sourceInfo"), QString("Source: data/events/npc_trades.asm (not in step)"));
    QVERIFY(w("sourceInfo")->toolTip().startsWith("pokecrystal.gbc holds edits that data/events/npc_trades.asm does not"));

    // The tree's rebuild brings back what the trade file holds, and says the ROM-only edit is gone.
    const std::string built = dir->write("pokecrystal.gbc.new", romBen);
    std::filesystem::rename(fsPath(built), fsPath(path));
    QTRY_COMPARE(text("txtNickname"), QString("BEN"));
    expectMessage("Kestrane",
                  "\u201cpokecrystal.gbc\u201d was rebuilt from data/events/npc_trades.asm: the edits saved to the ROM only are gone, as "
                  "that file never held them.",
                  MessageIcon::Information);
    QCOMPARE(text("sourceInfo"), QString("Source: data/events/npc_trades.asm (in step)"));

    // A trade file that may not be written: the ROM alone only where the user says so.
    SourceAnswers().remember(QDir(QString::fromStdString(dir->folder())).absolutePath(), true);
    ::chmod(tree.tradePath.c_str(), 0444);
    typeInto("txtNickname", "ZED");
    sink->willChoose(1);  // Cancel
    save();
    asked = sink->takeQuestions();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].text, QString("data/events/npc_trades.asm is read-only: make it writable, or save the ROM alone.\n\nSave to the "
                                    "ROM alone? Its next build replaces the edit."));
    QCOMPARE(readFile(path), romBen);
    QCOMPARE(readFile(tree.tradePath), sourceBen);
    sink->willAnswer(SaveAnswer::Discard);
}
