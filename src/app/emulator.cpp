#include "app/emulator.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

#include "app/common_dialog.h"

namespace kestrane {
namespace {

const QString kProgram = QStringLiteral("emulator/program");
const QString kArguments = QStringLiteral("emulator/arguments");

#ifdef Q_OS_WIN
const QStringList kKnownEmulators = {QStringLiteral("mGBA.exe"), QStringLiteral("bgb.exe"), QStringLiteral("bgb64.exe"),
                                     QStringLiteral("SameBoy.exe")};
const QString kProgramFilter = QStringLiteral("Programs (*.exe)|*.exe|All Files (*.*)|*.*|");
#else
const QStringList kKnownEmulators = {QStringLiteral("mgba-qt"), QStringLiteral("mgba"), QStringLiteral("sameboy"),
                                     QStringLiteral("gambatte_qt"), QStringLiteral("bgb")};
const QString kProgramFilter = QStringLiteral("All Files (*)|*|");
#endif

}  // namespace

EmulatorChoice chosenEmulator() {
    QSettings settings;
    return {settings.value(kProgram).toString(), settings.value(kArguments).toString()};
}

void rememberEmulator(const EmulatorChoice& choice) {
    QSettings settings;
    settings.setValue(kProgram, choice.program);
    settings.setValue(kArguments, choice.arguments);
}

QString findEmulator() {
    for (const QString& name : kKnownEmulators) {
#ifdef Q_OS_WIN
        const QString beside = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
        if (QFileInfo(beside).isExecutable()) return beside;
#endif
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty()) return found;
    }
    return {};
}

QStringList emulatorArguments(const QString& arguments, const QString& romPath) {
    QStringList args = QProcess::splitCommand(arguments);
    bool placed = false;
    for (QString& arg : args) {
        if (arg.contains(QLatin1String("%f"))) {
            arg.replace(QLatin1String("%f"), romPath);
            placed = true;
        }
    }
    if (!placed) args << romPath;
    return args;
}

QString startDetached(const QString& program, const QStringList& arguments) {
    const QFileInfo file(program);
    const QString found = file.isAbsolute() ? program : QStandardPaths::findExecutable(program);
    if (found.isEmpty() || !QFileInfo::exists(found)) return QStringLiteral("the program does not exist");
    if (QFileInfo(found).isDir()) return QStringLiteral("it is a folder, not a program");
    if (!QFileInfo(found).isExecutable()) return QStringLiteral("the program may not be run (it is not executable)");
    QProcess process;
    process.setProgram(found);
    process.setArguments(arguments);
    if (!process.startDetached()) {
        return process.errorString().isEmpty() ? QStringLiteral("it could not be started") : process.errorString();
    }
    return {};
}

EmulatorDialog::EmulatorDialog(QWidget* parent, DialogBackend& dialogs, const EmulatorChoice& choice)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("ChooseEmulator"));
    setWindowTitle(QStringLiteral("Choose Emulator"));
    program_ = new QLineEdit(choice.program, this);
    program_->setObjectName(QStringLiteral("txtEmulator"));
    program_->setMinimumWidth(320);
    auto* browse = new QPushButton(QStringLiteral("&Browse\u2026"), this);
    browse->setObjectName(QStringLiteral("btnBrowse"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this] {
        CommonDialog dialog(dialogs_);
        const QString path = dialog.showOpen(this, QStringLiteral("Choose Emulator"), program_->text(), kProgramFilter,
                                             kPathMustExist | kFileMustExist);
        if (!path.isEmpty()) program_->setText(QDir::toNativeSeparators(path));
    });
    arguments_ = new QLineEdit(choice.arguments, this);
    arguments_->setObjectName(QStringLiteral("txtEmulatorArguments"));
    arguments_->setPlaceholderText(QStringLiteral("%f"));
    arguments_->setToolTip(QStringLiteral("%f stands for the ROM's path; without it, the path comes last."));
    auto* programRow = new QHBoxLayout;
    programRow->addWidget(program_);
    programRow->addWidget(browse);
    auto* form = new QFormLayout(this);
    // A label of its own: only a label with a buddy shows "&P" as an Alt letter.
    auto* programLabel = new QLabel(QStringLiteral("&Program:"), this);
    programLabel->setBuddy(program_);
    form->addRow(programLabel, programRow);
    form->addRow(QStringLiteral("&Arguments:"), arguments_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

EmulatorChoice EmulatorDialog::choice() const { return {program_->text().trimmed(), arguments_->text().trimmed()}; }

}  // namespace kestrane
