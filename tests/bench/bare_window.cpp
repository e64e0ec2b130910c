// The yardstick for start-up: a main window of the same toolkit, built
// with the same flags, ending after its first frame like kestrane; with
// KESTRANE_BARE_WITH_TEXT, of Kestrane's size and showing one label.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "app/first_paint.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    // The yardstick the window rows use: Kestrane's size, showing one line of text.
    if (qEnvironmentVariableIsSet("KESTRANE_BARE_WITH_TEXT")) {
        window.setCentralWidget(new QLabel("Kestrane"));
        window.setFixedSize(641, 465);
    }
    kestrane::quitAfterFirstPaintIfAsked(window);
    window.show();
    return QApplication::exec();
}
