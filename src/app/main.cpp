#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include "app/common_dialog.h"
#include "app/main_window.h"
#include "app/message_sink.h"
#include "version.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrane"));
    QApplication::setApplicationVersion(QString::fromLatin1(kestrane::kVersionText));
    QApplication::setDesktopFileName(QStringLiteral("app.kestrane.Kestrane"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edit the in-game trades of Pok\u00e9mon Gold, Silver and Crystal ROM images."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("rom"), QStringLiteral("A .gb or .gbc file to open."), QStringLiteral("[rom]"));
    parser.process(app);

    kestrane::MessageBoxSink messages;
    kestrane::QtDialogBackend dialogs;
    kestrane::MainWindow window(messages, dialogs);
    window.show();
    if (!parser.positionalArguments().isEmpty()) {
        window.openRom(QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath());
    }
    return QApplication::exec();
}
