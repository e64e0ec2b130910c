#include "app/common_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "families/families.h"
#include "trades/releases.h"

namespace kestrane {

QString romFilter() {
    QStringList patterns;
    for (const RomFileKind& kind : romFileKinds(families::all())) {
        patterns << QStringLiteral("*.") + QString::fromUtf8(kind.extension.data(), qsizetype(kind.extension.size()));
    }
    return QStringLiteral("GB ROMs (*.gb)|") + patterns.join(QLatin1Char(';'));
}

QString prepareFilter(const QString& filter) {
    QString prepared = filter;
    prepared.replace(QLatin1Char('|'), QChar(0));
    if (!prepared.endsWith(QChar(0))) prepared.append(QChar(0));
    // The terminating NUL the system reads after the text.
    prepared.append(QChar(0));
    return prepared;
}

QList<FileFilter> filterPairs(const QString& prepared) {
    QList<FileFilter> pairs;
    const QStringList parts = prepared.split(QChar(0));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;  // the double NUL ends the list
        pairs.append({parts[i], parts[i + 1]});
    }
    return pairs;
}

QString CommonDialog::showOpen(QWidget* owner, const QString& title, const QString& initDir, const QString& filter,
                               std::uint32_t flags) {
    record_.owner = owner;
    record_.filters = filterPairs(prepareFilter(filter));
    record_.initialDir = initDir.isEmpty() ? lastFileName_ : initDir;
    record_.title = title;
    record_.flags = flags;
    record_.fileName.clear();  // the file buffer is blank for every open
    auto answer = backend_.chooseOpen(record_);
    if (!answer || answer->path.isEmpty()) return {};
    record_.filterIndex = answer->filterIndex;
    lastFileName_ = answer->path;
    filterIndex_ = answer->filterIndex;
    return answer->path;
}

Result<QString> CommonDialog::showSave(QWidget* owner, const QString& title, const QString& fileName,
                                       const QString& initDir, const QString& filter, std::uint32_t flags,
                                       const QString& defaultExtension) {
    if (fileName.size() > kMaxSaveFileName) {
        return refused(ErrorCode::InvalidArgument, "The proposed file name has " + std::to_string(fileName.size()) +
                                                         " characters; the save dialog takes at most 128.");
    }
    record_.owner = owner;
    record_.flags = flags;
    record_.fileName = fileName;
    record_.filters = filterPairs(prepareFilter(filter));
    record_.initialDir = initDir;
    record_.title = title;
    record_.defaultExtension = defaultExtension;
    auto answer = backend_.chooseSave(record_);
    if (!answer || answer->path.isEmpty()) return QString();
    record_.filterIndex = answer->filterIndex;
    filterIndex_ = answer->filterIndex;
    return answer->path;
}

namespace {

std::optional<DialogAnswer> runDialog(const DialogRecord& record, QFileDialog::AcceptMode mode) {
    QFileInfo initial(record.initialDir);
    QString folder = initial.isFile() ? initial.absolutePath() : record.initialDir;
    QFileDialog dialog(record.owner, record.title, folder);
    dialog.setAcceptMode(mode);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(record.flags & kFileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    } else {
        dialog.setDefaultSuffix(record.defaultExtension.mid(record.defaultExtension.startsWith('.') ? 1 : 0));
    }
    // Qt reads the patterns from the last parentheses; the description is
    // shown as given.
    QStringList names;
    for (const FileFilter& f : record.filters) {
        names << f.description + QStringLiteral(" (") + QString(f.patterns).replace(';', ' ') + QLatin1Char(')');
    }
    if (!names.isEmpty()) dialog.setNameFilters(names);
    if (record.filterIndex >= 1 && record.filterIndex <= names.size()) dialog.selectNameFilter(names[record.filterIndex - 1]);
    if (initial.isFile()) dialog.selectFile(initial.fileName());
    else if (!record.fileName.isEmpty()) dialog.selectFile(record.fileName);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return DialogAnswer{dialog.selectedFiles().constFirst(), int(names.indexOf(dialog.selectedNameFilter())) + 1};
}

}  // namespace

std::optional<DialogAnswer> QtDialogBackend::chooseOpen(const DialogRecord& record) {
    return runDialog(record, QFileDialog::AcceptOpen);
}

std::optional<DialogAnswer> QtDialogBackend::chooseSave(const DialogRecord& record) {
    return runDialog(record, QFileDialog::AcceptSave);
}

}  // namespace kestrane
