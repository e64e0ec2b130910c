#include <QApplication>
#include <QCommandLineParser>
#include <memory>
#include <string_view>

#include "app/appearance.h"
#include "app/common_dialog.h"
#include "app/first_paint.h"
#include "app/main_window.h"
#include "app/message_sink.h"
#include "app/recent_roms.h"
#include "families/families.h"
#include "version.h"

namespace {

// --help and --version print text only; they must work without a display.
bool asksForTextOnly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::unique_ptr<QCoreApplication> app = asksForTextOnly(argc, argv)
                                                ? std::make_unique<QCoreApplication>(argc, argv)
                                                : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrane"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrane"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kestrane::kVersionText));
    QGuiApplication::setDesktopFileName(QStringLiteral("app.kestrane.editor"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edit the in-game trades of %1 ROM images.").arg(QString::fromStdString(kestrane::gamesText(kestrane::families::all(), "and"))));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("rom"), QString::fromStdString("A " + kestrane::romFileKindsText(kestrane::families::all()) + " file to open."),
                                 QStringLiteral("[rom]"));
    parser.process(*app);

    if (qobject_cast<QApplication*>(app.get())) kestrane::useStyleWithDeferredIcons();
    kestrane::MessageBoxSink messages;
    kestrane::QtDialogBackend dialogs;
    kestrane::MainWindow window(messages, dialogs);
    kestrane::quitAfterFirstPaintIfAsked(window);
    window.show();
    if (!parser.positionalArguments().isEmpty()) {
        // Shown first, so that a message about the file stands over the window.
        QCoreApplication::processEvents();
        window.openRom(parser.positionalArguments().constFirst());
    }
    const int code = QCoreApplication::exec();
    kestrane::waitForDesktopRecentFiles();
    return code;
}
