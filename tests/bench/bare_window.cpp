// The yardstick for start-up: an empty main window of the same toolkit,
// built with the same flags, ending after its first frame like kestrane.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "app/first_paint.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    // A second yardstick: the same, showing one line of text.
    if (qEnvironmentVariableIsSet("KESTRANE_BARE_WITH_TEXT")) window.setCentralWidget(new QLabel("Kestrane"));
    kestrane::quitAfterFirstPaintIfAsked(window);
    window.show();
    return QApplication::exec();
}
