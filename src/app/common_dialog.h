// The open and save file dialogs, as one small object per command.
//
// A CommonDialog keeps a dialog record that every call reuses (a field a
// call does not set keeps what the last call, or the user, left in it), the
// path of its last successful open and the filter the user chose last.
// Filters are given as "Description|patterns|Description|patterns|", the
// patterns separated by ";".
#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

#include "support/result.h"

class QWidget;

namespace kestrane {

// The dialog flags the program uses (their Windows values).
inline constexpr std::uint32_t kHideReadOnly = 0x4;
inline constexpr std::uint32_t kPathMustExist = 0x800;
inline constexpr std::uint32_t kFileMustExist = 0x1000;
// How the window opens an existing file (0x1804).
inline constexpr std::uint32_t kOpenFlags = kHideReadOnly | kPathMustExist | kFileMustExist;
// The files the window opens and writes, as filters.
// "GB ROMs (*.gb)|*.gb;*.gbc": the names every family's images go by.
QString romFilter();
inline constexpr char kTableFilter[] = "Trade tables (*.json)|*.json";

struct FileFilter {
    QString description;  // "GB ROMs (*.gb)"
    QString patterns;     // "*.gb;*.gbc"
};

// The filter text as the system dialog takes it: every "|" a NUL, and the
// list always ending in two NULs.
QString prepareFilter(const QString& filter);
// The description/pattern pairs of a prepared filter.
QList<FileFilter> filterPairs(const QString& prepared);

// What a dialog is asked and what it answers.
struct DialogRecord {
    QWidget* owner = nullptr;
    QString title;
    QString initialDir;       // may name a file: its folder is shown, the file preselected
    QString fileName;         // save: the proposed name
    QList<FileFilter> filters;
    int filterIndex = 0;      // 1-based; 0: none chosen yet
    std::uint32_t flags = 0;
    QString defaultExtension; // save: appended when the user types none (".gpl")
};

struct DialogAnswer {
    QString path;
    int filterIndex = 0;
};

// The system's file chooser; tests script it.
class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    virtual std::optional<DialogAnswer> chooseOpen(const DialogRecord& record) = 0;
    virtual std::optional<DialogAnswer> chooseSave(const DialogRecord& record) = 0;
};

// Qt's own file dialog.
class QtDialogBackend final : public DialogBackend {
public:
    std::optional<DialogAnswer> chooseOpen(const DialogRecord& record) override;
    std::optional<DialogAnswer> chooseSave(const DialogRecord& record) override;
};

class CommonDialog {
public:
    static constexpr int kMaxSaveFileName = 128;

    explicit CommonDialog(DialogBackend& backend) : backend_(backend) {}

    // The chosen path, or empty text when nothing was chosen. An empty
    // initDir starts from the last path this object returned.
    QString showOpen(QWidget* owner, const QString& title, const QString& initDir,
                     const QString& filter = QStringLiteral("All Files (*.*)|*.*|"), std::uint32_t flags = 0);
    // The chosen path, or empty text. A fileName longer than 128 characters
    // is an InvalidArgument error, before any dialog is shown. A name typed
    // without extension gets defaultExtension.
    Result<QString> showSave(QWidget* owner, const QString& title, const QString& fileName, const QString& initDir,
                             const QString& filter = QStringLiteral("All Files (*.*)|*.*|"), std::uint32_t flags = 0,
                             const QString& defaultExtension = QStringLiteral(".gpl"));
    // The filter the user chose in the last successful dialog (1-based), or 0.
    int filterIndex() const { return filterIndex_; }

private:
    DialogBackend& backend_;
    DialogRecord record_;
    QString lastFileName_;
    int filterIndex_ = 0;
};

}  // namespace kestrane
