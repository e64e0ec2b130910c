#include "main_window_test.h"

void MainWindowTest::initTestCase() {
    // Settings of the tests' own, never the user's.
    settingsDir = std::make_unique<TempDir>();
    QCoreApplication::setOrganizationName("Kestrane tests");
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(settingsDir->folder()));
    // The desktop's list of recent files, of the tests' own too.
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(settingsDir->folder()));
    useStyleWithDeferredIcons();  // the style the program runs with
}

void MainWindowTest::init() {
    dir = std::make_unique<TempDir>();
    sink = std::make_unique<RecordingSink>();
    dialogs = std::make_unique<ScriptedDialogs>();
    files = std::make_unique<FaultInjectingFileSystem>();
    window = std::make_unique<MainWindow>(*sink, *dialogs, *files);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void MainWindowTest::cleanup() {
    window.reset();
    waitForDesktopRecentFiles();  // no write of a test's list outlives the test
    QSettings().remove("recent");
    QSettings().remove("emulator");
    QVERIFY(sink->messages.isEmpty());
    QVERIFY2(!sink->unexpected, "a question nobody scripted an answer for");
    QVERIFY(sink->questions.isEmpty());
}

void MainWindowTest::controlTable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    struct Row {
        const char *name, *kind, *container, *caption;
        bool enabled;
    };
    const Row rows[] = {
        {"Image1", "QLabel", "client", "", true},
        {"Frame5", "QGroupBox", "client", "ROM Information", false},
        {"txtName", "QLabel", "Frame5", "Game Name:", false},
        {"headr", "QLabel", "Frame5", "", true},
        {"txtCDE", "QLabel", "Frame5", "Game Code:", false},
        {"txtCode", "QLabel", "Frame5", "", true},
        {"lang", "QLabel", "Frame5", "Language:", false},
        {"language", "QLabel", "Frame5", "", true},
        {"Frame2", "QGroupBox", "client", "Trade Number", false},
        {"tradelist", "QListWidget", "Frame2", "", false},
        {"Frame6", "QGroupBox", "client", "In-Game Location", false},
        {"location", "QLabel", "Frame6", "", true},
        {"Frame3", "QGroupBox", "client", "Trade Details", false},
        {"Label2", "QLabel", "Frame3", "&Offered Pok\u00e9mon:", false},
        {"Label3", "QLabel", "Frame3", "&Nickname:", false},
        {"theirpoke", "QComboBox", "Frame3", "", false},
        {"txtNickname", "QLineEdit", "Frame3", "", false},
        {"Label10", "QLabel", "Frame3", "O&riginal Trainer:", false},
        {"Label11", "QLabel", "Frame3", "&ID Number:", false},
        {"txtOT", "QLineEdit", "Frame3", "", false},
        {"txtID", "QLineEdit", "Frame3", "", false},
        {"Label9", "QLabel", "Frame3", "&Your Pok\u00e9mon:", false},
        {"btnSave", "QPushButton", "Frame3", "&Save", false},
        {"yourpoke", "QComboBox", "Frame3", "", false},
        {"Frame1", "QGroupBox", "client", "", true},
        {"Label4", "QLabel", "Frame1", "\u00a9 2026 Kestrane team", true},
    };
    for (const Row& r : rows) {
        QTest::newRow(r.name) << r.name << r.kind << r.container << QString::fromUtf8(r.caption) << r.enabled;
    }
}

void MainWindowTest::controlTable() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, container);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    QWidget* control = w(name);
    QCOMPARE(control->metaObject()->className(), kind);
    QCOMPARE(control->parentWidget()->objectName(), container);
    // Wholly inside its container, as a user sees it.
    QVERIFY(control->parentWidget()->rect().contains(control->geometry()));
    QCOMPARE(ownFlag(control), enabled);
    if (auto* frame = qobject_cast<QGroupBox*>(control)) QCOMPARE(frame->title(), caption);
    else if (auto* button = qobject_cast<QPushButton*>(control)) QCOMPARE(button->text(), caption);
    else QCOMPARE(text(name), caption);
}

// What a user sees of the layout: frames side by side without overlap,
// each field below its caption, the ROM information read left to right.
void MainWindowTest::layoutReadsAsDesigned() {
    const QStringList frames = {"Frame5", "Frame2", "Frame6", "Frame3", "Frame1"};
    for (const QString& a : frames) {
        for (const QString& b : frames) QVERIFY2(a == b || !w(a)->geometry().intersects(w(b)->geometry()), qPrintable(a + b));
    }
    QVERIFY(w("Frame5")->geometry().bottom() < w("Frame2")->geometry().top());
    QVERIFY(w("Frame2")->geometry().right() < w("Frame3")->geometry().left());
    QVERIFY(w("Frame2")->geometry().bottom() < w("Frame6")->geometry().top());
    QVERIFY(w("Frame3")->geometry().bottom() < w("Frame1")->geometry().top());
    for (auto [caption, field] : {std::pair{"Label2", "theirpoke"}, std::pair{"Label3", "txtNickname"},
                                  std::pair{"Label10", "txtOT"}, std::pair{"Label11", "txtID"},
                                  std::pair{"Label9", "yourpoke"}}) {
        const QRect c = w(caption)->geometry(), f = w(field)->geometry();
        QVERIFY2(c.bottom() < f.top() && qAbs(c.left() - f.left()) <= 16, caption);
    }
    const QStringList row = {"txtName", "headr", "txtCDE", "txtCode", "lang", "language"};
    for (int i = 1; i < row.size(); ++i) {
        QVERIFY(w(row[i - 1])->geometry().left() < w(row[i])->geometry().left());
        QCOMPARE(w(row[i])->y(), w(row[0])->y());
    }
}

void MainWindowTest::windowMenusListsAndFocus() {
    QCOMPARE(window->windowTitle(), QString("Kestrane"));
    QCOMPARE(w("client")->size(), QSize(641, 427));  // the designed 493 x 427 and the pictures' column
    QCOMPARE(window->minimumSize(), window->maximumSize());  // fixed size
    QVERIFY(!window->windowIcon().isNull());
    // The banner as its PNG has it: pixels stored in another byte order would turn its blue orange.
    const QImage banner = w<QLabel>("Image1")->pixmap().toImage();
    QCOMPARE(banner.size(), QSize(493, 97));
    QCOMPARE(banner.pixel(2, 50) & 0xFFFFFFu, 0x2259C2u);   // the blue band
    QCOMPARE(banner.pixel(60, 50) & 0xFFFFFFu, 0x743C1Du);  // the kestrel
    // The menu bar's overflow arrows, read when first drawn, are the style's own pictures.
    const auto* style = qobject_cast<QProxyStyle*>(QApplication::style());
    QVERIFY(style);
    for (auto arrow : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        const QIcon deferred = style->standardIcon(arrow);
        QVERIFY(!deferred.isNull());
        QCOMPARE(deferred.pixmap(16, 16).toImage(), style->baseStyle()->standardIcon(arrow).pixmap(16, 16).toImage());
    }

    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        bool enabled;
    };
    for (const Item& item : {Item{"mnuOpen", "&Open ROM...", QKeySequence("Ctrl+O"), true},
                             Item{"mnuSave", "&Save ROM", QKeySequence("Ctrl+S"), false},
                             Item{"mnuExit", "E&xit", QKeySequence("Ctrl+Q"), true},
                             Item{"mnuMoreFields", "&More Fields\u2026", QKeySequence("Ctrl+M"), false},
                             Item{"mnuApplyPatch", "Apply Pa&tch\u2026", QKeySequence(), true},
                             Item{"mnuPadNames", "&Pad Names as the Games Do", QKeySequence(), true},
                             Item{"mnuAbout", "&About", QKeySequence(), true}}) {
        QCOMPARE(action(item.name)->text(), QString(item.caption));
        QCOMPARE(action(item.name)->shortcut(), item.shortcut);
        QCOMPARE(action(item.name)->isEnabled(), item.enabled);
    }
    QList<QAction*> menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), 4);
    QCOMPARE(menus[0]->text(), QString("&File"));
    QCOMPARE(menus[1]->text(), QString("&Edit"));
    QCOMPARE(menus[2]->text(), QString("&Trade"));
    QCOMPARE(menus[3]->text(), QString("&Help"));
    QStringList file;
    for (QAction* a : menus[0]->menu()->actions()) file << (a->isSeparator() ? QString("-") : a->objectName());
    QCOMPARE(file, QStringList({"mnuOpen", "", "mnuReload", "mnuSave", "mnuSaveAs", "-", "mnuExport", "mnuImport",
                                "mnuCreatePatch", "mnuApplyPatch", "-", "mnuPlay", "mnuChooseEmulator", "-", "mnuChecksums", "-",
                                "mnuExit"}));
    // Every item of every menu has an Alt letter of its own in that menu.
    for (QAction* menu : menus) {
        QSet<QChar> letters;
        for (QAction* a : menu->menu()->actions()) {
            if (a->isSeparator()) continue;
            const qsizetype amp = a->text().indexOf('&');
            QVERIFY2(amp >= 0 && amp + 1 < a->text().size(), qPrintable(a->text()));
            const QChar letter = a->text()[amp + 1].toLower();
            QVERIFY2(!letters.contains(letter), qPrintable(a->text()));
            letters.insert(letter);
        }
    }
    QCOMPARE(menus[0]->menu()->actions()[1]->menu()->objectName(), QString("mnuRecent"));
    QCOMPARE(menus[0]->menu()->actions()[1]->text(), QString("Rece&nt ROMs"));
    QCOMPARE(menus[0]->menu()->actions()[15]->objectName(), QString("cmdBreak"));
    QCOMPARE(action("mnuSaveAs")->shortcut(), QKeySequence("Ctrl+Shift+S"));
    QCOMPARE(action("mnuUndo")->text(), QString("&Undo Save"));
    QCOMPARE(action("mnuRedo")->text(), QString("&Redo Save"));
    for (const char* name : {"mnuSaveAs", "mnuUndo", "mnuRedo"}) QVERIFY(!action(name)->isEnabled());
    QCOMPARE(action("mnuPlay")->text(), QString("Pla&y in Emulator"));
    QCOMPARE(action("mnuChooseEmulator")->text(), QString("&Choose Emulator\u2026"));
    QCOMPARE(action("mnuReload")->text(), QString("&Reload ROM"));
    QCOMPARE(action("mnuReload")->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(action("mnuExport")->text(), QString("&Export Trades\u2026"));
    QCOMPARE(action("mnuImport")->text(), QString("&Import Trades\u2026"));
    for (const char* name : {"mnuReload", "mnuExport", "mnuImport"}) QVERIFY(!action(name)->isEnabled());
    QCOMPARE(action("mnuChecksums")->text(), QString("&Update Checksums When Saving"));
    QVERIFY(action("mnuChecksums")->isCheckable() && action("mnuChecksums")->isChecked());

    auto* list = w<QListWidget>("tradelist");
    QCOMPARE(list->count(), 7);
    QCOMPARE(list->item(0)->text(), QString("Trade Number 1"));
    QCOMPARE(list->item(6)->text(), QString("Trade Number 7"));
    QCOMPARE(list->currentRow(), -1);
    for (const char* name : {"yourpoke", "theirpoke"}) {
        auto* box = w<QComboBox>(name);
        QCOMPARE(box->count(), 252);
        QCOMPARE(box->itemText(0), QString("?????"));
        QCOMPARE(box->itemText(1), QString("Bulbasaur "));
        QCOMPARE(box->itemText(151), QString("Mew"));
        QCOMPARE(box->itemText(251), QString("Celebi "));
        QVERIFY(box->isEditable());
        QCOMPARE(box->currentIndex(), -1);
        QCOMPARE(box->currentText(), QString());
    }
    QCOMPARE(w<QLineEdit>("txtID")->maxLength(), 5);

    // The keyboard, with everything usable: Tab follows the layout, and
    // each caption's Alt-key letter moves to its field.
    open(dir->write("c.gbc", gameRom("BYTE")));
    QCOMPARE(QApplication::focusWidget(), w("tradelist"));  // an opened ROM: Space chooses Trade Number 1
    keyOnList(Qt::Key_Space);
    QCOMPARE(text("txtNickname"), QString("ROCKY"));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const QStringList order = {"tradelist", "theirpoke", "txtNickname", "txtOT", "txtID", "yourpoke", "btnSave"};
    QStringList walked;
    w("tradelist")->setFocus();
    for (int i = 0; i < order.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        while (focus && !order.contains(focus->objectName())) focus = focus->parentWidget();
        walked << (focus ? focus->objectName() : QString("?"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked, order);
    for (auto [key, field] : {std::pair{Qt::Key_O, "theirpoke"}, std::pair{Qt::Key_N, "txtNickname"},
                              std::pair{Qt::Key_R, "txtOT"}, std::pair{Qt::Key_I, "txtID"},
                              std::pair{Qt::Key_Y, "yourpoke"}}) {
        QTest::keyClick(window.get(), key, Qt::AltModifier);
        QWidget* focus = QApplication::focusWidget();
        while (focus && focus->objectName() != field) focus = focus->parentWidget();
        QVERIFY2(focus, field);
    }
}

void MainWindowTest::openingEachGameShowsItAndEnablesTheList_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("nickname");  // of trade 2
    QTest::addColumn<QString>("room");      // its room left
    QTest::addColumn<QString>("place");     // its place, as the ROM names it
    const QString english = "Goldenrod City, Johto", asTheRom = "GOLDENROD CITY, Johto", kana = "\u30a4\u30a4, \u30b8\u30e7\u30a6\u30c8";
    QTest::newRow("gold") << "AAUE" << "Pok\u00e9mon Gold" << "English" << "MUSCLE" << "4" << english;
    QTest::newRow("silver") << "AAXE" << "Pok\u00e9mon Silver" << "English" << "MUSCLE" << "4" << english;
    QTest::newRow("crystal") << "BYTE" << "Pok\u00e9mon Crystal" << "English" << "MUSCLE" << "4" << english;
    QTest::newRow("french crystal") << "BYTF" << "Pok\u00e9mon Crystal" << "French" << "MUSCLE" << "4" << asTheRom;
    QTest::newRow("spanish crystal") << "BYTS" << "Pok\u00e9mon Crystal" << "Spanish" << "MUSCLE" << "4" << asTheRom;
    QTest::newRow("japanese gold") << "AAUJ" << "Pok\u00e9mon Gold" << "Japanese" << "\u30b1\u30f3\u30bf" << "1" << kana;
    QTest::newRow("japanese silver") << "AAXJ" << "Pok\u00e9mon Silver" << "Japanese" << "\u30b1\u30f3\u30bf" << "1" << kana;
    // Red's title stands for its code; its records hold no trainer or ID.
    QTest::newRow("red") << "POKEMON RED" << "Pok\u00e9mon Red" << "English" << "MARCEL" << "4" << "Route 2 Trade House";
    QTest::newRow("yellow") << "POKEMON YELLOW" << "Pok\u00e9mon Yellow" << "English" << "MILES" << "5" << "Route 2 Trade House";
    // Japanese Green: kana, a 5-byte nickname, the trainer the game gives in its own words.
    QTest::newRow("japanese green") << "POKEMON GREEN" << "Pok\u00e9mon Green" << "Japanese" << "\u30d0\u30ea\u30d0\u30ea" << "1"
                                    << "Route 2 Trade House";
    // Nine trades, in table order; mixed case.
    QTest::newRow("polished crystal") << "PKPC" << "Pok\u00e9mon Polished Crystal" << "English" << "Mimic" << "5"
                                      << "Violet City, Johto";
    // A name longer than its label: the label widens, what follows moves along.
    QTest::newRow("emerald") << "BPEE" << "Pok\u00e9mon Emerald" << "English" << "ROCKY" << "5" << "Fortree City";
}

void MainWindowTest::openingEachGameShowsItAndEnablesTheList() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, language);
    QFETCH(QString, nickname);
    QFETCH(QString, room);
    QFETCH(QString, place);
    const std::string path = dir->write("my rom é.gbc", gameRom(qPrintable(code)));
    open(path);
    QCOMPARE(dialogs->asked.size(), 1);
    const DialogRecord& asked = dialogs->asked[0];
    QCOMPARE(asked.title, QString("Open Pok\u00e9mon Gold, Silver, Crystal, Polished Crystal, Red, Blue, Yellow, Green, Emerald, FireRed, LeafGreen, Ruby or "
                                  "Sapphire ROM..."));
    QCOMPARE(asked.flags, 0x1804u);
    QCOMPARE(asked.initialDir, QString());
    QCOMPARE(asked.filters.size(), 1);
    QCOMPARE(asked.filters[0].description, QString("GB ROMs (*.gb)"));
    QCOMPARE(asked.filters[0].patterns, QString("*.gb;*.gbc;*.gba"));
    QCOMPARE(asked.owner, window.get());

    QCOMPARE(text("headr"), name);
    QVERIFY(w<QLabel>("headr")->fontMetrics().horizontalAdvance(name) <= w("headr")->width());
    QVERIFY(w("headr")->geometry().right() < w("txtCDE")->geometry().left());
    // The code, or the title that stands for it, whole; the language after it, inside the frame.
    QCOMPARE(text("txtCode"), code);
    QVERIFY(w<QLabel>("txtCode")->fontMetrics().horizontalAdvance(code) <= w("txtCode")->width());
    QVERIFY(w("txtCode")->geometry().right() < w("lang")->geometry().left());
    QVERIFY(w("language")->geometry().right() < w("Frame5")->width());
    // Whole, or (a long title before it, another platform's font) cut and whole in its tooltip.
    QCOMPARE(text("language") == language ? language : w("language")->toolTip(), language);
    QCOMPARE(window->windowTitle(), QString("Kestrane \u2014 my rom \u00e9.gbc[*]"));
    QVERIFY(!window->isWindowModified());
    expectEnabled(kRomOpen, true);
    expectEnabled(kEditor, false);
    QVERIFY(!action("mnuSave")->isEnabled());
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);  // a disabled command does nothing
    QVERIFY(sink->messages.isEmpty());

    // Every open starts from a fresh dialog.
    dialogs->willChoose("");
    action("mnuOpen")->trigger();
    QCOMPARE(dialogs->asked[1].initialDir, QString());
    QCOMPARE(window->romPath(), QString::fromStdString(path));

    // Names in the release's own characters, their room in its own field.
    clickTrade(1);
    QCOMPARE(text("txtNickname"), nickname);
    QCOMPARE(w<QLineEdit>("txtNickname")->findChild<QLabel*>("roomLeft")->text(), room);
    // The place in the ROM's words; whole in the tooltip where the label cuts it.
    QCOMPARE(w<QLabel>("location")->toolTip(), place);
    QVERIFY(text("location") == place || place.startsWith(text("location").chopped(1)));
    // What the records do not hold is a fact of the trade, shown and not editable.
    const bool firstGeneration = code.startsWith("POKEMON");
    QCOMPARE(w("txtOT")->isEnabled(), !firstGeneration);
    QCOMPARE(w("txtID")->isEnabled(), !firstGeneration);
    if (firstGeneration) {
        const QString trainer = language == "Japanese" ? QString("\u30c8\u30ec\u30fc\u30ca\u30fc") : QString("TRAINER");
        QCOMPARE(text("txtOT"), trainer);
        QCOMPARE(text("txtID"), QString("random"));
        QCOMPARE(w("txtID")->toolTip(), QString("OT %1, ID and DVs chosen at random when the trade happens").arg(trainer));
        QCOMPARE(w<QListWidget>("tradelist")->count(), 10);
    }
    if (code == "PKPC") QCOMPARE(w<QListWidget>("tradelist")->count(), 9);
}

void MainWindowTest::badOpensChangeNothing() {
    const std::string gold = dir->write("gold.gb", gameRom("AAUE"));
    open(gold);
    clickTrade(0);
    Bytes header = gameRom("AAUE");
    header.resize(0x142);
    struct Case {
        std::string path;
        QString title;
        QString part;
    };
    for (const Case& c : {Case{dir->write("other.gb", randomImage("aaue")), "Kestrane", "Unsupported ROM."},
                          Case{dir->write("short.gb", header), "Kestrane", "too short"},
                          Case{dir->folder(), "Error: 75", "folder"},
                          Case{dir->file("gone.gb"), "Error: 53", "does not exist"},
                          Case{"", "", ""}}) {
        open(c.path);
        if (!c.path.empty()) {
            auto messages = sink->take();
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages[0].title, c.title);
            QVERIFY2(messages[0].text.contains(c.part), qPrintable(messages[0].text));
            QCOMPARE(messages[0].parent, window.get());  // over the window
        }
        QCOMPARE(window->romPath(), QString::fromStdString(gold));
        QCOMPARE(QString::fromUtf8(window->rom()->release->code.data(), 4), QString("AAUE"));
        QCOMPARE(text("headr"), QString("Pok\u00e9mon Gold"));
        QCOMPARE(text("txtNickname"), QString("ROCKY"));
        QCOMPARE(window->windowTitle(), QString("Kestrane \u2014 gold.gb[*]"));
        expectEnabled(kEditor, true);
    }
    // The editor still saves to the ROM the window names.
    w<QLineEdit>("txtID")->setText("7");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(readFile(gold)[kGoldSlot1 + *kAt.trainerIdAt], 7);
}

void MainWindowTest::showingTradesAndTheSlotWithout() {
    Bytes rom = gameRom("AAUE");
    rom[0xFCC25] = 252;  // trade 2 asks for a species without a list entry
    const std::string gold = dir->write("gold.gb", rom);
    open(gold);
    clickTrade(0);
    expectEnabled(kEditor, true);
    QVERIFY(action("mnuSave")->isEnabled());
    QCOMPARE(text("location"), QString("Violet City, Johto"));
    QCOMPARE(w<QComboBox>("yourpoke")->currentIndex(), 63);
    QCOMPARE(text("yourpoke"), QString("Abra "));
    QCOMPARE(w<QComboBox>("theirpoke")->currentIndex(), 95);
    QCOMPARE(text("txtNickname"), QString("ROCKY"));
    QCOMPARE(text("txtOT"), QString("KYLE"));
    QCOMPARE(text("txtID"), QString("4660"));

    clickTrade(1);
    QCOMPARE(w<QComboBox>("yourpoke")->currentIndex(), -1);
    QCOMPARE(text("yourpoke"), QString("#252"));
    QCOMPARE(text("location"), QString("Goldenrod City, Johto"));
    // Saved without picking a species, the byte without entry stays.
    w<QLineEdit>("txtID")->setText("9");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    rom[0xFCC25 + 16] = 9;
    rom[0xFCC25 + 17] = 0;
    QCOMPARE(readFile(gold), rom);

    clickTrade(6);
    expectMessage("Kestrane", "There is no trade assigned to this slot.", MessageIcon::Exclamation);
    expectEnabled(kEditor, false);
    QVERIFY(!action("mnuSave")->isEnabled());
    expectEnabled(kRomOpen, true);
    for (const char* name : {"location", "txtNickname", "txtOT", "txtID", "yourpoke", "theirpoke"}) {
        QCOMPARE(text(name), QString());
    }
    QCOMPARE(w<QComboBox>("theirpoke")->currentIndex(), -1);

    // The keyboard selects as the mouse does.
    w("tradelist")->setFocus();
    keyOnList(Qt::Key_Up);
    expectEnabled(kEditor, true);
    QCOMPARE(text("location"), QString("Route 14, Kanto"));
    QCOMPARE(readFile(gold), rom);
}

void MainWindowTest::aSelectionThatCannotBeReadLeavesTheWindowAsItWas() {
    Bytes rom = gameRom("AAUE");
    const std::string gold = dir->write("gold.gb", rom);
    open(gold);
    clickTrade(0);
    rom.resize(0xFCC30);  // cut inside trade 3
    dir->write("gold.gb", rom);
    clickTrade(2);
    expectRefusal("ends at");
    QCOMPARE(w<QListWidget>("tradelist")->currentRow(), 0);
    QCOMPARE(text("location"), QString("Violet City, Johto"));
    QCOMPARE(text("txtNickname"), QString("ROCKY"));
    expectEnabled(kEditor, true);

    std::filesystem::remove(gold);
    clickTrade(3);
    auto messages = sink->take();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].title, QString("Error: 53"));
    QCOMPARE(w<QListWidget>("tradelist")->currentRow(), 0);
}

void MainWindowTest::savingWritesExactlyTheEditedFields_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("row");
    QTest::addColumn<uint>("base");
    QTest::newRow("gold") << "AAUE" << 0 << uint(kGoldSlot1 + kAt.requestedSpeciesAt);
    QTest::newRow("silver") << "AAXE" << 0 << uint(kGoldSlot1 + kAt.requestedSpeciesAt);
    QTest::newRow("crystal") << "BYTE" << 4 << uint(kCrystalSlot5 + kAt.requestedSpeciesAt);
}

void MainWindowTest::saveRefusalsWriteNothing_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty id") << "txtID" << "" << "The ID number is empty.";
    QTest::newRow("word id") << "txtID" << "12abc" << "\"12abc\" is not a number.";
    QTest::newRow("id too big") << "txtID" << "65536" << "Please enter an ID number between 0 and 65535.";
    QTest::newRow("negative id") << "txtID" << "-1" << "Please enter an ID number between 0 and 65535.";
    QTest::newRow("no species") << "yourpoke" << "" << "Please choose the requested species (Your Pok\u00e9mon)";
    QTest::newRow("unknown species") << "theirpoke" << "Pikachoo" << "\"Pikachoo\" is not a species: choose the offered species";
    QTest::newRow("percent in name") << "txtNickname" << "AB%C" << "cannot hold \"%\" (U+0025), character 3";
    QTest::newRow("accent in name") << "txtOT" << "Jos\u00e8" << "cannot hold \"\u00e8\" (U+00E8), character 4";
    QTest::newRow("at sign") << "txtNickname" << "R@D" << "(U+0040), character 2";
    QTest::newRow("brace") << "txtNickname" << "{" << "(U+007B), character 1";
    QTest::newRow("tab") << "txtOT" << "a\tb" << "(U+0009), character 2";
    QTest::newRow("kana") << "txtOT" << "\u3042" << "(U+3042), character 1";
    QTest::newRow("emoji") << "txtOT" << "\U0001F600" << "(U+1F600), character 1";
    QTest::newRow("exponent id") << "txtID" << "1e5" << "\"1e5\" is not a number.";
    QTest::newRow("hex id of no hex digits") << "txtID" << "0xG1" << "\"0xG1\" is not a number.";
    QTest::newRow("species 252 typed") << "theirpoke" << "252" << "The offered species (Offered Pok\u00e9mon) 252 is not in the list";
    QTest::newRow("species 300 typed") << "yourpoke" << "300" << "The requested species (Your Pok\u00e9mon) 300 is not in the list";
    // Bytes, not characters, count: a token is one byte.
    QTest::newRow("13 bytes") << "txtNickname" << "ROCKYTHEGREAT"
                              << "The nickname needs 13 bytes, but its field holds 10. Please shorten it.";
    // Every problem at once, then what happened to the file.
    QTest::newRow("two problems") << "txtID" << "x"
                                  << "\"x\" is not a number. Please enter an ID number between 0 and 65535.\n"
                                     "The original trainer's name needs 11 bytes, but its field holds 10. Please "
                                     "shorten it.\nNothing was written.";
}

// The room left is counted in bytes, as the game stores names.
void MainWindowTest::namesAreLimitedByTheirBytes() {
    const Bytes before = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", before);
    open(path);
    clickTrade(0);
    auto room = [&](const char* box) { return w<QLineEdit>(box)->findChild<QLabel*>("roomLeft"); };
    QCOMPARE(room("txtNickname")->text(), QString("5"));  // ROCKY
    typeInto("txtNickname", "[PK][MN]RO");
    QCOMPARE(room("txtNickname")->text(), QString("6"));
    typeInto("txtOT", "ROCKYTHEGREAT");
    QCOMPARE(room("txtOT")->text(), QString("-3"));
    QVERIFY(room("txtOT")->toolTip().contains("needs 13 bytes, but its field holds 10"));
    // A typed "\\" is a byte the save writes, counted like any other.
    typeInto("txtOT", "AB\\CDEFGHIJKLMN");
    QCOMPARE(room("txtOT")->text(), QString("-5"));
    save();
    expectRefusal("needs 15 bytes, but its field holds 10");
    typeInto("txtOT", "KYLE");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    const std::uint32_t at = kGoldSlot1 + kAt.nickname.at;
    const Bytes after = readFile(path);
    QCOMPARE(Bytes(after.begin() + at, after.begin() + at + 5), (Bytes{0xE1, 0xE2, 0x91, 0x8E, 0x50}));
}

void MainWindowTest::acceptedIdsAreRoundedAndTrimmed() {
    const Bytes before = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", before);
    open(path);
    clickTrade(0);
    for (auto [typed, value] : {std::pair{" 12 ", 12}, std::pair{"1.5", 2}}) {
        w<QLineEdit>("txtID")->setText(typed);
        save();
        expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
        QCOMPARE(int(readFile(path)[kGoldSlot1 + *kAt.trainerIdAt]), value);
    }
}

void MainWindowTest::namesInTheGamesOwnCharacters() {
    Bytes rom = gameRom("AAUE");
    const Bytes hoOh = {0x87, 0x8E, 0xE3, 0x8E, 0x87, 0x50};
    std::copy(hoOh.begin(), hoOh.end(), rom.begin() + kGoldSlot1 + kAt.nickname.at);
    const std::string path = dir->write("gold.gb", rom);
    open(path);
    clickTrade(0);
    QCOMPARE(text("txtNickname"), QString("HO-OH"));
    w<QLineEdit>("txtNickname")->setText("MR. ZAP");
    w<QLineEdit>("txtOT")->setText("\u2642 & \u2640");
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    const Bytes after = readFile(path);
    QCOMPARE(Bytes(after.begin() + kGoldSlot1 + kAt.nickname.at, after.begin() + kGoldSlot1 + 11),
             (Bytes{0x8C, 0x91, 0xE8, 0x7F, 0x99, 0x80, 0x8F, 0x50}));
    QCOMPARE(Bytes(after.begin() + kGoldSlot1 + kAt.trainerName->at, after.begin() + kGoldSlot1 + 25),
             (Bytes{0xEF, 0x7F, 0xE9, 0x7F, 0xF5, 0x50}));
}

void MainWindowTest::openingWhatIsNoRom() {
    for (const BadOpen& row : badOpens(*dir)) {
        const bool exists = std::filesystem::is_regular_file(fsPath(row.path));
        const Bytes before = exists ? readFile(row.path) : Bytes{};
        MainWindow fresh(*sink, *dialogs, *files);
        // An empty path cannot come from the dialog; it comes from "kestrane ''".
        fresh.openRom(QString::fromStdString(row.path));
        if (!row.code) {
            QCOMPARE(fresh.romPath(), QDir::toNativeSeparators(QString::fromStdString(row.path)));
            QVERIFY2(sink->take().isEmpty(), row.name.c_str());
            continue;
        }
        auto messages = sink->take();
        QCOMPARE(messages.size(), 1);
        const QString title = row.kind == ErrorKind::FileFailure ? QString("Error: %1").arg(int(*row.code)) : "Kestrane";
        QCOMPARE(messages[0].title, title);
        QVERIFY2(messages[0].text.contains(QString::fromStdString(row.message)), qPrintable(messages[0].text));
        // As the command line: the code found and what is supported.
        if (*row.code == ErrorCode::UnsupportedRom) {
            QVERIFY(messages[0].detail.startsWith("The game code at 0x13F is") || messages[0].detail.contains("lacks the logo"));
        }
        QCOMPARE(fresh.romPath(), QString());
        QVERIFY2(!fresh.findChild<QListWidget*>("tradelist")->isEnabled(), row.name.c_str());
        if (exists) QCOMPARE(readFile(row.path), before);
    }
}

// What the game shows: the ROM's own names and pictures, the offered
// creature in the colours it will arrive in, following the lists and
// More Fields as they change.
void MainWindowTest::whatTheGameShows() {
    Bytes hack = retailLikeRom("BYTE", 5);
    putPictures(hack, "BYTE");
    renameSpecies(hack, "BYTE", 66, "BRAWLER");
    open(dir->write("hack.gbc", hack));
    const Rom rom = *window->rom();
    auto pixel = [&](const char* name) { return w<QLabel>(name)->pixmap().toImage().pixelColor(2, 2); };
    auto colour = [&](int species, PictureLook look) {
        const FrontPicture picture = *readFrontPicture(rom, species, look);
        const Rgb c = picture.colours[picture.shades[1 * picture.width + 1]];
        return QColor(c.red, c.green, c.blue);
    };
    clickTrade(1);  // trade 2: MUSCLE, species 66, from MIKE
    QCOMPARE(text("theirpoke"), QString("BRAWLER"));
    QCOMPARE(w<QLabel>("picOffered")->pixmap().size(), QSize(80, 80));  // 5 x 5 tiles at twice their size
    QCOMPARE(pixel("picOffered"), colour(66, {false, 'A'}));
    QCOMPARE(pixel("picYours"), colour(63, {}));
    auto* offered = w<QComboBox>("theirpoke");
    offered->setEditText("pikachu");
    QCOMPARE(pixel("picOffered"), colour(25, {false, 'A'}));
    offered->setEditText("Pikachoo");
    QVERIFY(w<QLabel>("picOffered")->pixmap().isNull());
    QVERIFY(w<QLabel>("picOffered")->toolTip().startsWith("\"Pikachoo\" is not a species"));
    offered->setEditText("pikachu");
    // Make Shiny in More Fields: the shiny colours at once, and kept by OK.
    QColor whileOpen;
    whenModal([&](QWidget* d) {
        QTest::mouseClick(d->findChild<QPushButton*>("btnMakeShiny"), Qt::LeftButton);
        whileOpen = pixel("picOffered");
        QMetaObject::invokeMethod(d, "accept");
    });
    action("mnuMoreFields")->trigger();
    QCOMPARE(whileOpen, colour(25, {true, 'A'}));
    QCOMPARE(pixel("picOffered"), colour(25, {true, 'A'}));

    // No pictures where the game keeps them: empty frames that say why.
    sink->willAnswer(SaveAnswer::Discard);
    open(dir->write("plain.gbc", retailLikeRom("BYTE", 5)));
    QCOMPARE(sink->takeQuestions().size(), 1);
    clickTrade(0);
    QVERIFY(w<QLabel>("picYours")->pixmap().isNull());
    QVERIFY(w<QLabel>("picYours")->toolTip().startsWith("The picture of species 69 cannot be drawn: "));
}

void MainWindowTest::moreFieldsEndToEnd() {
    const Bytes before = retailLikeRom("BYTE");
    const std::string path = dir->write("crystal.gbc", before);
    open(path);
    QVERIFY(!action("mnuMoreFields")->isEnabled());
    clickTrade(0);
    QVERIFY(action("mnuMoreFields")->isEnabled());

    // Cancel drops what was changed.
    whenModal([](QWidget* d) {
        d->findChild<QSpinBox*>("spnAttack")->setValue(1);
        QMetaObject::invokeMethod(d, "reject");
    });
    QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier);
    QString title, shiny, hp, gender, unown;
    QStringList said;
    whenModal([&](QWidget* d) {
        title = d->windowTitle();
        // ROCKY, Onix: DVs 9/6/6/6, item 0x53, either, collector.
        QCOMPARE(d->findChild<QSpinBox*>("spnAttack")->value(), 9);
        QCOMPARE(d->findChild<QComboBox*>("cboItem")->currentText(), QString("BITTER BERRY"));
        QCOMPARE(d->findChild<QComboBox*>("cboDialogSet")->count(), 4);
        QCOMPARE(d->findChild<QComboBox*>("cboDialogSet")->itemText(3), QString("Girl"));
        // The ROM's lines, this trade's names filled in, following the boxes.
        auto* lines = d->findChild<QLabel*>("lblTraderLines");
        said << d->findChild<QComboBox*>("cboDialogSet")->toolTip() << lines->text();
        d->findChild<QComboBox*>("cboGenderRequirement")->setCurrentIndex(1);
        said << lines->text();
        d->findChild<QComboBox*>("cboDialogSet")->setCurrentIndex(2);
        said << lines->text();
        QVERIFY(!d->findChild<QLabel*>("lblUnown")->isVisibleTo(d));
        QTest::mouseClick(d->findChild<QPushButton*>("btnMakeShiny"), Qt::LeftButton);
        QCOMPARE(d->findChild<QSpinBox*>("spnAttack")->value(), 10);
        d->findChild<QSpinBox*>("spnAttack")->setValue(15);
        shiny = d->findChild<QLabel*>("lblShiny")->text();
        hp = d->findChild<QLabel*>("lblHpDv")->text();
        gender = d->findChild<QLabel*>("lblGender")->text();
        d->findChild<QComboBox*>("cboItem")->setEditText("lucky egg");
        d->findChild<QComboBox*>("cboGenderRequirement")->setCurrentIndex(1);
        d->findChild<QComboBox*>("cboDialogSet")->setCurrentIndex(2);
        QMetaObject::invokeMethod(d, "accept");
    });
    action("mnuMoreFields")->trigger();
    QCOMPARE(title, QString("More Fields \u2014 Trade Number 1"));
    QCOMPARE(said.size(), 4);
    QVERIFY2(said[0].startsWith("I COLLECT POK\u00e9MON.\nDO YOU HAVE\nBELLSPROUT?"), qPrintable(said[0]));
    QVERIFY2(said[1].contains("<b>Asking:</b> I COLLECT POK\u00e9MON. / DO YOU HAVE / BELLSPROUT? // WANT TO TRADE IT / FOR MY ONIX?"),
             qPrintable(said[1]));
    QVERIFY2(said[2].contains("BELLSPROUT\u2642?"), qPrintable(said[2]));
    QVERIFY2(said[3].contains("<b>Afterwards:</b> SET 2 PHASE 4"), qPrintable(said[3]));
    QCOMPARE(shiny, QString("Shiny: yes"));
    QCOMPARE(hp, QString("HP DV: 8"));
    // Onix (95) in these images: ratio testGenderRatio(95) = 0xBF; v = 15 x 16 + 10 = 250: male.
    QCOMPARE(gender, QString("Gender: male"));
    QCOMPARE(readFile(path), before);  // OK only keeps the values
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    const std::uint32_t record = slotOffset(kCrystalTable, 1);
    Bytes expected = before;
    expected[record] = 0x02;
    expected[record + 14] = 0xFA;
    expected[record + 15] = 0xAA;
    expected[record + 16] = 0x7E;
    expected[record + 30] = 0x01;
    QCOMPARE(differences(readFile(path), expected), std::vector<std::size_t>{});

    // An item the ROM does not have is refused in the dialog, which stays open.
    bool stayed = false;
    whenModal([&](QWidget* d) {
        d->findChild<QComboBox*>("cboItem")->setEditText("Lucky Eg");
        QMetaObject::invokeMethod(d, "accept");
        stayed = d->isVisible();
        QMetaObject::invokeMethod(d, "reject");
    });
    action("mnuMoreFields")->trigger();
    QVERIFY(stayed);
    expectRefusal("\"Lucky Eg\" is not an item of this ROM");

    // Unown offered: its letter is read out.
    w<QComboBox>("theirpoke")->setCurrentIndex(201);
    QString letter;
    whenModal([&](QWidget* d) {
        QVERIFY(d->findChild<QLabel*>("lblUnown")->isVisibleTo(d));
        letter = d->findChild<QLabel*>("lblUnown")->text();
        QMetaObject::invokeMethod(d, "reject");
    });
    action("mnuMoreFields")->trigger();
    QCOMPARE(letter, QString("Unown letter: %1").arg(QChar(unownLetter({15, 10, 10, 10}))));
}

// Polished Crystal: the ball by the ROM's item name, typed as a number; the
// ROM's lines as its text engine unpacks them; saved into the ball's byte alone.
void MainWindowTest::polishedCrystalInMoreFields() {
    const Bytes before = polishedCrystalRom();
    const std::string path = dir->write("polished.gbc", before);
    open(path);
    clickTrade(0);
    QString ball, typed, item, lines;
    whenModal([&](QWidget* d) {
        auto* box = d->findChild<QSpinBox*>("spnBall");
        ball = box->text();
        item = d->findChild<QComboBox*>("cboItem")->currentText();
        lines = d->findChild<QLabel*>("lblTraderLines")->text();
        box->selectAll();
        QTest::keyClicks(box, "6");
        box->interpretText();
        typed = box->text();
        QMetaObject::invokeMethod(d, "accept");
    });
    action("mnuMoreFields")->trigger();
    QCOMPARE(ball, QString("Ultra Ball (2)"));
    QCOMPARE(typed, QString("Level Ball (6)"));
    QCOMPARE(item, QString("Item 29"));
    QVERIFY2(lines.contains("I collect Pok\u00e9mon. Do you / have Abra? // Want to trade it / for my Machop?"), qPrintable(lines));
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    Bytes expected = before;
    expected[kPolishedTable + 20] = 6;
    QCOMPARE(differences(readFile(path), expected), std::vector<std::size_t>{});
}

// The third generation: the family's fields in More Fields and no other,
// what the personality makes beside it, a nature chosen and Make Shiny by
// the secret ID; the picture following; saved as the same `set` writes.
void MainWindowTest::theThirdGenerationInMoreFields() {
    Bytes image = emeraldImage(std::vector<Trade60>(4));  // Onix (95) from KYLE, ID 4660, secret ID 1, personality 0x84
    putEmeraldPictures(image, {95, 63});
    const std::string path = dir->write("emerald.gba", image);
    dropFile(path);  // a .gba opens as any ROM does, and is remembered as one
    QCOMPARE(text("headr"), QString("Pok\u00e9mon Emerald"));
    QCOMPARE(action("mnuRecent1")->text(), QString("&1 emerald.gba"));
#ifndef Q_OS_WIN
    waitForDesktopRecentFiles();
    const Bytes xbel = readFile(settingsDir->file("recently-used.xbel"));
    QVERIFY(std::string(xbel.begin(), xbel.end()).find("<mime:mime-type type=\"application/x-gba-rom\"/>") != std::string::npos);
#endif
    const Rom rom = *window->rom();
    clickTrade(0);
    auto colourAt = [&](const QPixmap& pixmap, int x, int y) { return pixmap.toImage().pixelColor(x, y); };
    auto colour = [&](PictureLook look, int x, int y) {
        const FrontPicture picture = *readFrontPicture(rom, 95, look);
        const Rgb c = picture.colours[picture.shades[std::size_t(y * picture.width + x)]];
        return QColor(c.red, c.green, c.blue);
    };
    // 64 x 64 in its frame at its own size; colour 0 (the pixel at 0, 0) left undrawn.
    QCOMPARE(w<QLabel>("picOffered")->pixmap().size(), QSize(64, 64));
    QCOMPARE(colourAt(w<QLabel>("picOffered")->pixmap(), 0, 0).alpha(), 0);
    QCOMPARE(colourAt(w<QLabel>("picOffered")->pixmap(), 3, 0), colour({false, 'A'}, 3, 0));

    QStringList absent, seen;
    QString abilities, gender, shinyBefore, shinyAfter, nature, mail, sign;
    QColor whileOpen;
    std::uint16_t secretId = 0;
    std::uint32_t personality = 0;
    whenModal([&](QWidget* d) {
        for (const char* name : {"spnAttack", "lblHpDv", "cboGenderRequirement", "cboDialogSet", "lblTraderLines"}) {
            if (d->findChild<QWidget*>(name)) absent << name;
        }
        auto box = [&](const char* name) { return d->findChild<QSpinBox*>(name); };
        seen << QString::number(box("spnIvHp")->value()) << QString::number(box("spnIvSpeed")->value())
             << QString::number(box("spnTough")->value()) << QString::number(box("spnSheen")->value())
             << box("spnMail")->text() << d->findChild<QComboBox*>("cboOtGender")->currentText()
             << d->findChild<QAbstractSpinBox*>("spnPersonality")->text();
        auto* ability = d->findChild<QComboBox*>("cboAbility");
        abilities = ability->itemText(0) + " | " + ability->itemText(1);
        gender = d->findChild<QLabel*>("lblGender")->text();
        nature = d->findChild<QComboBox*>("cboNature")->currentText();
        // The IVs in the summary's order; the ability Onix lacks, signed.
        box("spnIvSpeed")->setValue(30);
        ability->setCurrentIndex(1);
        sign = d->findChild<QLabel*>("warnAbility")->isVisible() ? d->findChild<QLabel*>("warnAbility")->toolTip() : QString();
        // A personality typed in hex, then a nature chosen: the nearest personality upward with it.
        auto* typed = d->findChild<QAbstractSpinBox*>("spnPersonality");
        typed->selectAll();
        QTest::keyClicks(typed, "0xBEEF");
        auto* natures = d->findChild<QComboBox*>("cboNature");
        natures->setCurrentIndex(5);
        emit natures->activated(5);  // as chosen from its list
        personality = std::uint32_t(typed->text().toUInt(nullptr, 16));
        shinyBefore = d->findChild<QLabel*>("lblShiny")->text();
        QTest::mouseClick(d->findChild<QPushButton*>("btnMakeShiny"), Qt::LeftButton);
        shinyAfter = d->findChild<QLabel*>("lblShiny")->text();
        secretId = std::uint16_t(box("spnSecretId")->value());
        whileOpen = colourAt(w<QLabel>("picOffered")->pixmap(), 3, 0);
        mail = box("spnMail")->text();
        QMetaObject::invokeMethod(d, "accept");
    });
    action("mnuMoreFields")->trigger();
    QCOMPARE(absent, QStringList{});
    QCOMPARE(seen, (QStringList{"31", "22", "30", "10", "none", "male", "0x00000084"}));
    QCOMPARE(abilities, QString("0: STURDY | 1: none"));
    QCOMPARE(gender, QString("Gender: male"));  // Onix is always male
    QCOMPARE(nature, QString("Relaxed"));       // 132 % 25 = 7
    QCOMPARE(sign, QString("Onix has no second ability, so with ability 1 the creature would have none."));
    QCOMPARE(personality % 25, 5u);  // Bold
    QVERIFY(personality > 0xBEEF);
    QCOMPARE(shinyBefore, QString("Shiny: no"));
    QCOMPARE(shinyAfter, QString("Shiny: yes"));
    QCOMPARE(whileOpen, colour({true, 'A'}, 3, 0));
    QCOMPARE(colourAt(w<QLabel>("picOffered")->pixmap(), 3, 0), colour({true, 'A'}, 3, 0));  // kept by OK
    QCOMPARE(mail, QString("none"));
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);

    // The same edit as `set --ivs … --ability 1 --personality 0xBEEF --nature Bold --shiny` makes it.
    auto same = openRom(dir->write("same.gba", image), families::all());
    GivenEdit given;
    given.giveText(Field::Ivs, "31/20/21/23/24/30");
    given.giveText(Field::AbilityNum, "1");
    given.giveText(Field::Personality, "0xBEEF");
    given.nature = "Bold";
    given.shiny = true;
    const auto planned = planTradeRecord(*same, *resolveEdit(*same, *readTradeRecord(*same, Slot::fromNumber(1))->record, given));
    QVERIFY(planned);
    Bytes expected = image;
    std::copy(planned->begin(), planned->end(), expected.begin() + kEmeraldTable);
    QCOMPARE(differences(readFile(path), expected), std::vector<std::size_t>{});
    QCOMPARE(std::uint16_t(expected[kEmeraldTable + 0x1A] | expected[kEmeraldTable + 0x1B] << 8), secretId);
}

// A trade the game can never carry out: a sign beside the field, its
// reason the tooltip, following what is typed; saved all the same, the
// status bar saying it after.
void MainWindowTest::tradesThatCanNeverHappenAreSigned() {
    const std::string path = dir->write("crystal.gbc", retailLikeRom("BYTE"));
    open(path);
    clickTrade(0);
    struct Case {
        const char* sign;
        std::function<void()> type;  // in the main window's boxes
        const char* reason;
    };
    const QString kept = text("txtNickname");
    for (const Case& c : std::vector<Case>{
             {"warnRequested", [&] { w<QComboBox>("yourpoke")->setEditText("0"); },
              "Species 0 is no creature, so no player can ever give the trader one."},
             {"warnOffered", [&] { w<QComboBox>("theirpoke")->setEditText("0"); },
              "Species 0 is no creature, so the player would receive a broken one."},
             {"warnNickname", [&] { QTest::keyClick(w<QLineEdit>("txtNickname"), Qt::Key_A, Qt::ControlModifier);
                                    QTest::keyClick(w<QLineEdit>("txtNickname"), Qt::Key_Delete); },
              "The nickname is empty, so the creature would arrive without a name."},
             {"warnOT", [&] { QTest::keyClick(w<QLineEdit>("txtOT"), Qt::Key_A, Qt::ControlModifier);
                              QTest::keyClick(w<QLineEdit>("txtOT"), Qt::Key_Delete); },
              "The original trainer's name is empty, so the creature would show no trainer."},
         }) {
        QVERIFY(w<QLabel>(c.sign)->isHidden());
        c.type();
        QVERIFY2(!w<QLabel>(c.sign)->isHidden(), c.sign);
        QVERIFY2(!w<QLabel>(c.sign)->pixmap().isNull(), c.sign);  // its picture made when first shown
        QCOMPARE(w<QLabel>(c.sign)->toolTip(), QString(c.reason));
    }
    w<QComboBox>("yourpoke")->setEditText("Chansey");
    w<QComboBox>("theirpoke")->setEditText("Onix");
    QVERIFY(w<QLabel>("warnRequested")->isHidden() && w<QLabel>("warnOffered")->isHidden());
    w<QLineEdit>("txtNickname")->setText(kept);
    w<QLineEdit>("txtOT")->setText("KYLE");
    // More Fields: the held item and the gender requirement.
    QStringList signs;
    whenModal([&](QWidget* d) {
        auto shown = [&](const char* name) { return d->findChild<QLabel*>(name)->isVisible() ? d->findChild<QLabel*>(name)->toolTip() : QString(); };
        signs << shown("warnGenderRequirement") << shown("warnItem");
        d->findChild<QComboBox*>("cboGenderRequirement")->setCurrentIndex(1);
        d->findChild<QComboBox*>("cboItem")->setCurrentIndex(250);
        signs << shown("warnGenderRequirement") << shown("warnItem");
        QMetaObject::invokeMethod(d, "accept");
    });
    action("mnuMoreFields")->trigger();
    QCOMPARE(signs, (QStringList{"", "", "Chansey is always female, so a trader asking for a male one can never trade.",
                                 "Item 250 (TERU-SAMA) is an unused slot, not an item, so the creature would hold nothing real."}));
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QCOMPARE(readFile(path)[slotOffset(kCrystalTable, 1) + 30], 0x01);  // saved as asked
    QCOMPARE(window->statusBar()->currentMessage(),
             QString("Warning: Trade Number 1: Chansey is always female, so a trader asking for a male one can never trade. "
                     "Warning: Trade Number 1: Item 250 (TERU-SAMA) is an unused slot, not an item, so the creature would hold nothing real. "
                     "The checksums were already stale and were left as they were (\"kestrane-cli checksums --fix\" makes them consistent)."));
}

void MainWindowTest::theUnsavedMarkAppearsAndClears() {
    const std::string path = dir->write("gold.gb", gameRom("AAUE"));
    open(path);
    clickTrade(0);
    QVERIFY(!window->isWindowModified());
    typeInto("txtNickname", "ZAP");
    QVERIFY(window->isWindowModified());
    QCOMPARE(window->windowTitle(), QString("Kestrane \u2014 gold.gb[*]"));  // shown as "gold.gb*"
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    QVERIFY(!window->isWindowModified());
    // Choosing a species from the list marks it too; reading a trade clears it.
    QTest::keyClick(w("yourpoke"), Qt::Key_Down);
    QVERIFY(window->isWindowModified());
    sink->willAnswer(SaveAnswer::Discard);
    clickTrade(2);
    QCOMPARE(sink->takeQuestions().size(), 1);
    QVERIFY(!window->isWindowModified());
    // Filling the editor, or an unsuccessful save, is no edit of the user's.
    w<QLineEdit>("txtID")->setText("70000");
    QVERIFY(!window->isWindowModified());
}

void MainWindowTest::everyWayOfLeavingAsks_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("answer");
    for (const char* way : {"another trade", "the same trade", "open", "drop", "reload", "exit", "ctrl+q", "close box"}) {
        for (auto [answer, name] : {std::pair{SaveAnswer::Save, "save"}, std::pair{SaveAnswer::Discard, "discard"},
                                    std::pair{SaveAnswer::Cancel, "cancel"}}) {
            QTest::newRow(qPrintable(QString("%1, %2").arg(way, name))) << QString(way) << int(answer);
        }
    }
}

void MainWindowTest::everyWayOfLeavingAsks() {
    QFETCH(QString, way);
    QFETCH(int, answer);
    const Bytes gold = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", gold);
    const std::string other = dir->write("other.gbc", gameRom("BYTE"));
    open(path);
    clickTrade(0);
    typeInto("txtNickname", "ZAP");
    sink->willAnswer(SaveAnswer(answer));
    if (way == "another trade") clickTrade(2);
    if (way == "the same trade") clickTrade(0);
    if (way == "open") open(other);
    if (way == "drop") dropFile(other);
    if (way == "reload") QTest::keyClick(window.get(), Qt::Key_F5);
    if (way == "exit") action("mnuExit")->trigger();
    if (way == "ctrl+q") QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    if (way == "close box") window->close();

    const auto questions = sink->takeQuestions();
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions[0].title, QString("Kestrane"));
    QCOMPARE(questions[0].text, QString("Save changes to Trade Number 1?"));
    QCOMPARE(questions[0].parent, window.get());
    const bool quitting = way == "exit" || way == "ctrl+q" || way == "close box";
    if (SaveAnswer(answer) == SaveAnswer::Cancel) {
        // Everything as it was, the selection included.
        QCOMPARE(readFile(path), gold);
        QVERIFY(window->isVisible());
        QVERIFY(window->isWindowModified());
        QCOMPARE(text("txtNickname"), QString("ZAP"));
        QCOMPARE(selectedRow(), 0);
        QCOMPARE(window->romPath(), QString::fromStdString(path));
        return;
    }
    if (SaveAnswer(answer) == SaveAnswer::Save) {
        expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
        QCOMPARE(readFile(path)[kGoldSlot1 + kAt.nickname.at], 0x99);  // "Z"
    } else {
        QCOMPARE(readFile(path), gold);
    }
    QVERIFY(!window->isWindowModified());
    if (quitting) QVERIFY(!window->isVisible());
    if (way == "another trade") QCOMPARE(text("txtNickname"), QString("VOLTY"));
    if (way == "open" || way == "drop") {
        QCOMPARE(QDir::fromNativeSeparators(window->romPath()), QDir::fromNativeSeparators(QString::fromStdString(other)));
    }
    if (way == "the same trade" || way == "reload") {
        QCOMPARE(selectedRow(), 0);
        QCOMPARE(text("txtNickname"), SaveAnswer(answer) == SaveAnswer::Save ? QString("ZAP") : QString("ROCKY"));
    }
}

void MainWindowTest::nothingAsksWithoutEdits() {
    const std::string path = dir->write("gold.gb", gameRom("AAUE"));
    open(path);
    clickTrade(0);
    clickTrade(0);
    clickTrade(2);
    QTest::keyClick(window.get(), Qt::Key_F5);
    dropFile(dir->write("other.gbc", gameRom("BYTE")));
    clickTrade(1);
    action("mnuExit")->trigger();
    QVERIFY(!window->isVisible());
    QVERIFY(sink->questions.isEmpty());
}

void MainWindowTest::focusAloneReadsNoTrade() {
    Bytes cut = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", cut);
    open(path);
    // Cut short after the open: a read now would be refused with a message.
    cut.resize(kGoldSlot1 + 21);
    dir->write("gold.gb", cut);
    const auto callsBefore = files->calls().size();
    window->activateWindow();
    w("tradelist")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QCOMPARE(files->calls().size(), callsBefore);
    QVERIFY(sink->messages.isEmpty());
    expectEnabled(kEditor, false);
    QCOMPARE(selectedRow(), -1);
    // Keys choose as a click does, and the chosen row is highlighted.
    dir->write("gold.gb", gameRom("AAUE"));
    keyOnList(Qt::Key_End);
    QCOMPARE(selectedRow(), 6);
    expectMessage("Kestrane", "There is no trade assigned to this slot.", MessageIcon::Exclamation);
    keyOnList(Qt::Key_Home);
    QCOMPARE(selectedRow(), 0);
    QCOMPARE(text("txtNickname"), QString("ROCKY"));
}

void MainWindowTest::hiddenBytesAreMarked() {
    Bytes rom = gameRom("AAUE");
    const Bytes field = {0x80, 0x4B, 0x81, 0x01, 0x50};  // A, a byte without character, B, another
    std::copy(field.begin(), field.end(), rom.begin() + kGoldSlot1 + kAt.nickname.at);
    const std::string path = dir->write("gold.gb", rom);
    open(path);
    clickTrade(0);
    auto* nickname = w<QLineEdit>("txtNickname");
    QCOMPARE(nickname->text(), QString("AB"));
    const QString note = "Also holds 0x4B at character 2 and 0x01 at character 3; kept unless you change this name.";
    QCOMPARE(nickname->toolTip(), note);
    QVERIFY(nickname->findChild<QAction*>("hiddenBytes"));
    QCOMPARE(w<QLineEdit>("txtOT")->toolTip(), QString());
    QVERIFY(!w<QLineEdit>("txtOT")->findChild<QAction*>("hiddenBytes"));
    clickTrade(2);
    QCOMPARE(nickname->toolTip(), QString());
    QVERIFY(!nickname->findChild<QAction*>("hiddenBytes"));
}

void MainWindowTest::reloadShowsWhatTheFileNowHolds() {
    Bytes gold = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", gold);
    QVERIFY(!action("mnuReload")->isEnabled());
    open(path);
    clickTrade(0);
    gold[kGoldSlot1 + kAt.nickname.at] = 0x99;  // another program writes "Z"
    dir->write("gold.gb", gold);
    action("mnuReload")->trigger();
    QCOMPARE(text("txtNickname"), QString("ZOCKY"));
    QCOMPARE(selectedRow(), 0);
    expectEnabled(kEditor, true);
}

void MainWindowTest::romHacks() {
    // A table moved by 48 bytes, and a copy the routine points to (the stale
    // table left alone): the trades the game reads, and saves only into them.
    Bytes moved = randomImage("BYTE", 8);
    putTable(moved, kCrystalTable + 48, retailTrades("BYTE"));
    putRoutine(moved, kCrystalRoutine + 48, kCrystalTable + 48);
    Bytes copied = retailLikeRom("BYTE");
    auto copy = retailTrades("BYTE");
    copy[1].nickname = nameField("EDITED");
    putTable(copied, 0xFF000, copy);
    putRoutine(copied, kCrystalRoutine, 0xFF000);
    Bytes scanned = randomImage("BYTE", 8);  // no routine: the records alone
    putTable(scanned, 0x123456, retailTrades("BYTE"));
    const struct {
        const char *file, *tableInfo, *nickname;
        const Bytes& image;
        int row;
        std::uint32_t idAt;
    } found[] = {{"hack.gbc", "Trade table: 0xFCE88 (moved)", "VOLTY", moved, 2, kCrystalTable + 48 + 64 + 17},
                 {"copied.gbc", "Trade table: 0xFF000 (moved)", "EDITED", copied, 0, 0xFF020 + 17},
                 {"scanned.gbc", "Trade table: 0x123456 (found by its records alone)", "VOLTY", scanned, 2, 0x123456 + 64 + 17}};
    for (const auto& f : found) {
        const std::string path = dir->write(f.file, f.image);
        open(path);
        QCOMPARE(text("tableInfo"), QString(f.tableInfo));
        clickTrade(f.row);
        QCOMPARE(text("txtNickname"), QString(f.nickname));
        w<QLineEdit>("txtID")->setText("1");
        save();
        expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
        QCOMPARE(differences(readFile(path), f.image), (std::vector<std::size_t>{f.idAt, f.idAt + 1}));
        // A table the routine does not vouch for says so after the news.
        QCOMPARE(window->statusBar()->currentMessage().contains("found by its records alone"), &f.image == &scanned);
    }
    // The game's own routine decides: one bad byte where it points is refused, never taken elsewhere.
    Bytes bad = retailLikeRom("BYTE");
    bad[kCrystalTable] = 9;
    const std::string badPath = dir->write("bad.gbc", bad);
    open(badPath);
    expectRefusal("points to 0xFCE58, where the record of Trade Number 2 fails the checks: its dialog set byte is 9");
    QVERIFY(!w("tradelist")->isEnabled());
    QCOMPARE(readFile(badPath), bad);
    // Hundreds of thousands of routine copies: a message of a few lines, at once.
    Bytes many = randomImage("BYTE", 8);
    many.resize(8 * 1024 * 1024);
    for (std::uint32_t at = 0x4000, n = 0; n < 299593; ++n, at += 21) putRoutine(many, at, at + 0x40);
    QElapsedTimer timer;
    timer.start();
    open(dir->write("many.gbc", many));
    QVERIFY(timer.elapsed() < 5000);
    auto told = sink->take();
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].text.size() < 1000, qPrintable(told[0].text));
    QVERIFY(told[0].text.contains("and 299,581 more"));

    // The 16-bit species base with species added: chosen by name, written as a word, drawn from its tables.
    const Bytes base = species16Rom(false, 300);
    const std::string basePath = dir->write("base16.gbc", base);
    open(basePath);
    QCOMPARE(text("headr"), QString("Pok\u00e9mon Crystal"));
    QCOMPARE(w("headr")->toolTip(), QString("Pok\u00e9mon Crystal (16-bit species base)"));
    QCOMPARE(text("tableInfo"), QString("Trade table: 0xFCE8D, 16-bit species records"));
    QVERIFY(w("tableInfo")->toolTip().contains("16-bit species IDs"));
    clickTrade(0);
    QCOMPARE(w<QComboBox>("yourpoke")->count(), 301);
    w<QComboBox>("yourpoke")->setEditText("ADDED 300");
    w<QComboBox>("theirpoke")->setEditText("299");
    QVERIFY(!w<QLabel>("picOffered")->pixmap().isNull());
    save();
    expectMessage("Kestrane", "Trade Data Saved.", MessageIcon::Information);
    const std::uint32_t species = slotOffset(kSpecies16Table, 1) + 1;
    QCOMPARE(differences(base, readFile(basePath)), (std::vector<std::size_t>{species, species + 1, species + 2, species + 3}));
    QCOMPARE(readFile(basePath)[species + 1], 0x01);  // 300 = 0x012C, low byte first

    // Nine records: nine entries, the added ones named so.
    Bytes nine = retailLikeRom("AAUE");
    auto trades = retailTrades("AAUE");
    trades.resize(9);
    putTable(nine, kGoldSilverTable, trades);
    open(dir->write("nine.gb", nine));
    QCOMPARE(w<QListWidget>("tradelist")->count(), 9);
    QCOMPARE(w<QListWidget>("tradelist")->item(8)->text(), QString("Trade Number 9"));
    clickTrade(8);
    QCOMPARE(text("location"), QString("Added in this ROM"));

    // No table: the ROM is shown, its trades are not, and the file stays as it was.
    const Bytes none = randomImage("BYTE", 8);
    const std::string path = dir->write("none.gbc", none);
    open(path);
    auto messages = sink->take();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].title, QString("Kestrane"));
    QVERIFY(messages[0].text.startsWith("Pok\u00e9mon Crystal keeps its trade table at 0xFCE58"));
    QCOMPARE(text("headr"), QString("Pok\u00e9mon Crystal"));
    QCOMPARE(text("tableInfo"), QString("Trade table: not found"));
    QCOMPARE(w<QListWidget>("tradelist")->count(), 7);
    QVERIFY(!w("tradelist")->isEnabled());
    QCOMPARE(readFile(path), none);

    // Cut short inside trade 7: said on opening and in the frame; trade 7 is past the end, not absent.
    Bytes cut = retailLikeRom("BYTE");
    cut.resize(slotOffset(kCrystalTable, 7) + 21);
    open(dir->write("cut.gbc", cut));
    expectMessage("Kestrane", "The file is 1,036,077 bytes; its header says 2,097,152: it may be cut off.",
                  MessageIcon::Exclamation);
    QCOMPARE(text("tableInfo"), QString("Trade table: 0xFCE58 \u2014 the file may be cut off"));
    clickTrade(6);
    expectRefusal("Trade Number 7 lies past the end of the file");
    QVERIFY(!w("txtNickname")->isEnabled());
    clickTrade(5);
    QCOMPARE(text("txtNickname"), QString("AEROY"));
}

// File → Recent ROMs: the last eight, newest first, across runs; a missing
// file shown but not chosen; a choice asks about unsaved edits like any open.
void MainWindowTest::recentRomsAreRememberedAndOffered() {
    // Another program's entry in the desktop's list stays as it was.
    settingsDir->write("recently-used.xbel", Bytes(kOtherRecentFile.begin(), kOtherRecentFile.end()));
    const std::string a = dir->write("a.gbc", gameRom("BYTE"));
    const std::string b = dir->write("b.gbc", gameRom("AAUE"));
    open(a);
    open(b);
    // Opened again while first: the lists stay, and neither file is rewritten.
    QSettings().sync();
    waitForDesktopRecentFiles();
    const QString settingsFile = QSettings().fileName(), desktopList = QString::fromStdString(settingsDir->file("recently-used.xbel"));
    const QDateTime written = QFileInfo(settingsFile).lastModified(), told = QFileInfo(desktopList).lastModified();
    open(b);
    QSettings().sync();
    waitForDesktopRecentFiles();
    QCOMPARE(QFileInfo(settingsFile).lastModified(), written);
    QCOMPARE(QFileInfo(desktopList).lastModified(), told);
    auto entries = [&](MainWindow& w) {
        QStringList names;
        for (QAction* entry : w.findChild<QMenu*>("mnuRecent")->actions()) {
            if (!entry->isSeparator()) names << entry->text() + (entry->isEnabled() ? "" : " (missing)");
        }
        return names;
    };
    QCOMPARE(entries(*window), QStringList({"&1 b.gbc", "&2 a.gbc", "&Clear Recent ROMs"}));
    QCOMPARE(action("mnuRecent1")->toolTip(), QDir::toNativeSeparators(QString::fromStdString(b)));
    for (int i = 0; i < 7; ++i) open(dir->write("r" + std::to_string(i) + ".gbc", gameRom("BYTE")));
    QCOMPARE(entries(*window).size(), 9);  // eight (a.gbc, the oldest, gone) and Clear
    QCOMPARE(action("mnuRecent8")->text(), QString("&8 b.gbc"));

    // Another run sees them; a file since deleted is there, but cannot be chosen.
    std::filesystem::remove(fsPath(dir->file("r5.gbc")));
    MainWindow next(*sink, *dialogs, *files);
    QCOMPARE(entries(next)[1], QString("&2 r5.gbc (missing)"));
    // Chosen with an unsaved edit: the question first; Cancel keeps the ROM open.
    clickTrade(0);
    typeInto("txtID", "7");
    sink->willAnswer(SaveAnswer::Cancel);
    action("mnuRecent8")->trigger();
    QCOMPARE(sink->takeQuestions().size(), 1);
    QCOMPARE(QFileInfo(window->romPath()).fileName(), QString("r6.gbc"));
    sink->willAnswer(SaveAnswer::Discard);
    action("mnuRecent8")->trigger();
    QCOMPARE(sink->takeQuestions().size(), 1);
    QCOMPARE(window->romPath(), QString::fromStdString(b));
#ifndef Q_OS_WIN  // Windows keeps its list in the shell, which no test reads back.
    // The desktop's own list learned them.
    waitForDesktopRecentFiles();
    const Bytes xbel = readFile(settingsDir->file("recently-used.xbel"));
    const std::string list(xbel.begin(), xbel.end());
    QVERIFY(list.find("/b.gbc\"") != std::string::npos);
    QCOMPARE(list.find("/b.gbc\""), list.rfind("/b.gbc\""));  // once
    QVERIFY(list.find("<bookmark:application name=\"Editor\" exec=\"'editor %u'\" count=\"3\"/>") != std::string::npos);
#endif

    action("mnuClearRecent")->trigger();
    QCOMPARE(entries(*window), QStringList({"&Clear Recent ROMs (missing)"}));
    // Files of one name, told apart by their folders.
    for (const char* folder : {"one", "two", "R&D"}) {
        std::filesystem::create_directories(fsPath(dir->file(folder)));
        open(dir->write(std::string(folder) + "/crystal.gbc", gameRom("BYTE")));
    }
    QCOMPARE(entries(*window), QStringList({"&1 crystal.gbc \u2014 R&&D", "&2 crystal.gbc \u2014 two", "&3 crystal.gbc \u2014 one",
                                            "&Clear Recent ROMs"}));
}

// File → Play in Emulator (F9) and Choose Emulator…, with an emulator
// that writes down how it was started.
void MainWindowTest::playInEmulator() {
    const std::string said = dir->file("started.txt");
    qputenv("KESTRANE_STUB_OUTPUT", QByteArray::fromStdString(said));
    // What the emulator was started with, once it has written it down.
    auto startedWith = [&]() -> QStringList {
        const bool wrote = QTest::qWaitFor(
            [&] { return std::filesystem::exists(fsPath(said)) && !readFile(said).empty(); }, 10000);
        if (!wrote) return {"(not started)"};
        const Bytes bytes = readFile(said);
        std::filesystem::remove(fsPath(said));
        return QString::fromStdString(std::string(bytes.begin(), bytes.end())).split('\n', Qt::SkipEmptyParts);
    };
    const std::string path = dir->write("play me.gbc", gameRom("BYTE"));
    const QString rom = QDir::toNativeSeparators(QString::fromStdString(path));
    QVERIFY(!action("mnuPlay")->isEnabled());
    open(path);
    QCOMPARE(action("mnuPlay")->shortcut(), QKeySequence(Qt::Key_F9));

    // None chosen and none found: Choose Emulator opens; the choice is remembered.
    const QByteArray path0 = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(dir->folder()));
    QStringList captions;  // each with its Alt letter, none shown as "&"
    whenModal([&](QWidget* d) {
        for (QLabel* label : d->findChildren<QLabel*>()) {
            if (label->buddy()) captions << label->text() + " \u2192 " + label->buddy()->objectName();
        }
        QCOMPARE(d->windowTitle(), QString("Choose Emulator"));
        d->findChild<QLineEdit*>("txtEmulator")->setText(KESTRANE_STUB_EMULATOR);
        d->findChild<QLineEdit*>("txtEmulatorArguments")->setText("--fast \"%f\" --scale 2");
        QMetaObject::invokeMethod(d, "accept");
    });
    QTest::keyClick(window.get(), Qt::Key_F9);
    QCOMPARE(captions, QStringList({"&Program: \u2192 txtEmulator", "&Arguments: \u2192 txtEmulatorArguments"}));
    QCOMPARE(startedWith(), QStringList({"--fast", rom, "--scale", "2"}));
    QCOMPARE(window->statusBar()->currentMessage(), QString("Started %1 on play me.gbc.").arg(QFileInfo(KESTRANE_STUB_EMULATOR).fileName()));

    // Unsaved edits are asked about first: Discard shows the trade as the file holds it.
    clickTrade(0);
    typeInto("txtID", "7");
    sink->willAnswer(SaveAnswer::Discard);
    action("mnuPlay")->trigger();
    QCOMPARE(sink->takeQuestions().size(), 1);
    QVERIFY(text("txtID") != "7");
    QCOMPARE(startedWith().size(), 4);
    typeInto("txtID", "7");
    sink->willAnswer(SaveAnswer::Cancel);
    action("mnuPlay")->trigger();
    QCOMPARE(sink->takeQuestions().size(), 1);
    QVERIFY(!std::filesystem::exists(fsPath(said)));  // not started
    sink->willAnswer(SaveAnswer::Discard);
    action("mnuPlay")->trigger();
    sink->takeQuestions();
    QCOMPARE(startedWith().size(), 4);

    // None chosen: the first known emulator on PATH, the ROM as its last argument.
    QSettings().remove("emulator");
#ifdef Q_OS_WIN
    const std::string known = dir->file("mGBA.exe");
#else
    const std::string known = dir->file("mgba-qt");
#endif
    std::filesystem::copy_file(fsPath(KESTRANE_STUB_EMULATOR), fsPath(known));
    action("mnuPlay")->trigger();
    QCOMPARE(startedWith(), QStringList({rom}));

    // One that cannot be started says which, and why.
    rememberEmulator({QString::fromStdString(dir->file("gone/emu")), QString()});
    action("mnuPlay")->trigger();
    expectRefusal(QString("Could not start the emulator \"%1\": the program does not exist.").arg(QString::fromStdString(dir->file("gone/emu"))));
    qputenv("PATH", path0);
}

void MainWindowTest::aboutIsOneModelessWindowClosedOnlyByOkOrItsCloseBox() {
    action("mnuAbout")->trigger();
    action("mnuAbout")->trigger();
    auto abouts = window->findChildren<AboutWindow*>();
    QCOMPARE(abouts.size(), 1);
    QPointer<AboutWindow> about = abouts[0];
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QCOMPARE(about->objectName(), QString("Form2"));
    QCOMPARE(about->windowTitle(), QString("About"));
    QVERIFY(!about->isModal());
    QCOMPARE(about->size(), QSize(356, 125));
    QCOMPARE(about->findChild<QLabel*>("Label1")->text(), QString("Kestrane v1.0"));
    QVERIFY(about->findChild<QLabel*>("Label3")->text().startsWith(
        "A tool to change the Pok\u00e9mon trades in Game Boy and Game Boy Advance Pok\u00e9mon ROMs. "));
    QVERIFY(!about->findChild<QLabel*>("Image1")->pixmap().isNull());
    auto* ok = about->findChild<QPushButton*>("Command1");
    QCOMPARE(ok->geometry(), QRect(264, 24, 81, 25));
    QVERIFY(!ok->isDefault() && !ok->autoDefault());

    // The main window stays usable meanwhile.
    open(dir->write("gold.gb", gameRom("AAUE")));
    QCOMPARE(text("headr"), QString("Pok\u00e9mon Gold"));

    QTest::keyClick(about, Qt::Key_Escape);
    QTest::keyClick(about, Qt::Key_Return);
    QVERIFY(about && about->isVisible());
    QTest::mouseClick(ok, Qt::LeftButton);
    QTRY_VERIFY(!about);

    action("mnuAbout")->trigger();
    about = window->findChild<AboutWindow*>();
    QVERIFY(about);
    about->close();  // the close box
    QTRY_VERIFY(!about);
}

void MainWindowTest::exitClosesWithoutAskingAndTakesAboutAlong() {
    const Bytes before = gameRom("AAUE");
    const std::string path = dir->write("gold.gb", before);
    open(path);
    clickTrade(0);
    w<QLineEdit>("txtNickname")->setText("UNSAVED");
    action("mnuAbout")->trigger();
    QPointer<AboutWindow> about = window->findChild<AboutWindow*>();
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!window->isVisible());
    QTRY_VERIFY(!about);
    QCOMPARE(readFile(path), before);
}

void MainWindowTest::droppingARomOpensIt() {
    const std::string path = dir->write("drop.gbc", gameRom("BYTE"));
    auto drop = [&](const QList<QUrl>& urls) { dropUrls(urls); };
    drop({QUrl::fromLocalFile(QString::fromStdString(dir->write("notes.txt", {1, 2})))});
    QCOMPARE(window->romPath(), QString());
    drop({QUrl::fromLocalFile(QString::fromStdString(path)), QUrl::fromLocalFile("/tmp/x.gb")});
    QCOMPARE(window->romPath(), QString());
    drop({QUrl::fromLocalFile(QString::fromStdString(path))});
    QCOMPARE(sink->take().size(), 0);
    QCOMPARE(QDir::fromNativeSeparators(window->romPath()), QDir::fromNativeSeparators(QString::fromStdString(path)));
    QCOMPARE(text("headr"), QString("Pok\u00e9mon Crystal"));
}


QTEST_MAIN(MainWindowTest)
