// Starting the game in an emulator: the program a user chose (remembered),
// else the first known emulator found; its arguments with %f for the ROM.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;

namespace kestrane {

class DialogBackend;

struct EmulatorChoice {
    QString program;    // "" : none chosen
    QString arguments;  // "" : the ROM's path as the only argument
};

EmulatorChoice chosenEmulator();
void rememberEmulator(const EmulatorChoice& choice);

// The first known emulator on PATH (on Windows, beside Kestrane first): the
// path to it, or "" when there is none.
QString findEmulator();

// The emulator's arguments for a ROM: each %f is the ROM's path; without
// one, the path is the last argument. Quoted parts stay one argument.
QStringList emulatorArguments(const QString& arguments, const QString& romPath);

// Starts the program on its own (it outlives Kestrane); "" when it started,
// else why not, for a message.
QString startDetached(const QString& program, const QStringList& arguments);

// "Choose Emulator": the program (typed, or picked with Browse…) and its
// arguments.
class EmulatorDialog final : public QDialog {
    Q_OBJECT

public:
    EmulatorDialog(QWidget* parent, DialogBackend& dialogs, const EmulatorChoice& choice);
    EmulatorChoice choice() const;

private:
    DialogBackend& dialogs_;
    QLineEdit* program_ = nullptr;
    QLineEdit* arguments_ = nullptr;
};

}  // namespace kestrane
