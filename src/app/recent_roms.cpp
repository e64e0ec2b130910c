#include "app/recent_roms.h"

#include <QAction>
#include <algorithm>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>
#include <QSettings>
#include <QVariant>
#include <QStandardPaths>
#include <QThreadPool>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "app/appearance.h"
#include "families/families.h"

#ifdef Q_OS_WIN
#include <windows.h>
#include <shlobj.h>
#endif

namespace kestrane {
namespace {

const QString kSetting = QStringLiteral("recent/roms");
const QString kSourceSetting = QStringLiteral("recent/sourceTrees");  // the build trees' answers, beside the ROMs

#ifndef Q_OS_WIN
// The freedesktop list: every bookmark of the file copied as it is, the one
// for this path (if any) left out, and a fresh one added at the end.
void addToXbel(const QString& file, const QString& path) {
    const QString href = QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded());
    QByteArray old;
    if (QFile in(file); in.open(QIODevice::ReadOnly)) old = in.readAll();
    QSaveFile out(file);
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (!out.open(QIODevice::WriteOnly)) return;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("xbel"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    xml.writeNamespace(QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks"), QStringLiteral("bookmark"));
    xml.writeNamespace(QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"), QStringLiteral("mime"));
    QXmlStreamReader in(old);
    int depth = 0;
    bool skipping = false;
    while (!old.isEmpty() && !in.atEnd()) {
        in.readNext();
        if (in.isStartElement()) {
            ++depth;
            if (depth == 1) continue;  // <xbel>: written above
            if (depth == 2 && in.name() == QLatin1String("bookmark")) skipping = in.attributes().value(QStringLiteral("href")) == href;
            if (!skipping) xml.writeCurrentToken(in);
        } else if (in.isEndElement()) {
            if (depth > 1 && !skipping) xml.writeCurrentToken(in);
            if (--depth == 1) skipping = false;
        } else if (depth > 1 && !skipping && (in.isCharacters() && !in.isWhitespace())) {
            xml.writeCurrentToken(in);
        }
    }
    // A list that is no list is left as it was.
    if (in.hasError()) return out.cancelWriting();
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    const QString bookmark = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
    xml.writeStartElement(QStringLiteral("bookmark"));
    xml.writeAttribute(QStringLiteral("href"), href);
    for (const char* when : {"added", "modified", "visited"}) xml.writeAttribute(QLatin1String(when), now);
    xml.writeStartElement(QStringLiteral("info"));
    xml.writeStartElement(QStringLiteral("metadata"));
    xml.writeAttribute(QStringLiteral("owner"), QStringLiteral("http://freedesktop.org"));
    xml.writeEmptyElement(QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"), QStringLiteral("mime-type"));
    // The type its name says; a name that says none is listed as the first kind's.
    const std::string suffix = toCore(QFileInfo(path).suffix().toLower());
    const std::vector<RomFileKind> kinds = romFileKinds(families::all());
    std::string_view type = kinds.front().mimeType;
    for (const RomFileKind& kind : kinds) {
        if (kind.extension == suffix) type = kind.mimeType;
    }
    xml.writeAttribute(QStringLiteral("type"), fromCore(type));
    xml.writeStartElement(bookmark, QStringLiteral("applications"));
    xml.writeEmptyElement(bookmark, QStringLiteral("application"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Kestrane"));
    xml.writeAttribute(QStringLiteral("exec"), QStringLiteral("'kestrane %f'"));
    xml.writeAttribute(QStringLiteral("modified"), now);
    xml.writeAttribute(QStringLiteral("count"), QStringLiteral("1"));
    xml.writeEndElement();  // applications
    xml.writeEndElement();  // metadata
    xml.writeEndElement();  // info
    xml.writeEndElement();  // bookmark
    xml.writeEndElement();  // xbel
    xml.writeEndDocument();
    out.commit();
}

// One thread: each addition reads what the one before it wrote.
QThreadPool& desktopListWriter() {
    struct OneWorker : QThreadPool {
        OneWorker() { setMaxThreadCount(1); }
    };
    static OneWorker pool;
    return pool;
}
#endif

}  // namespace

QStringList RecentRoms::paths() const { return QSettings().value(kSetting).toStringList(); }

void RecentRoms::add(const QString& path) {
    const QStringList before = paths();
    QStringList list = before;
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kRecentRoms) list.removeLast();
    // The ROM first already (opened again, the usual start): nothing is
    // rewritten and synced to the disk for lists that stay as they were.
    if (list == before) return;
    QSettings().setValue(kSetting, list);
    tellDesktopOfRecentFile(path);
}

void RecentRoms::clear() { QSettings().remove(kSetting); }

std::optional<bool> SourceAnswers::writeBoth(const QString& tree) const {
    const QVariantMap answers = QSettings().value(kSourceSetting).toMap();
    const auto found = answers.find(tree);
    return found == answers.end() ? std::nullopt : std::optional<bool>(found->toBool());
}

void SourceAnswers::remember(const QString& tree, bool both) {
    QSettings settings;
    QVariantMap answers = settings.value(kSourceSetting).toMap();
    answers.insert(tree, both);
    settings.setValue(kSourceSetting, answers);
}

void tellDesktopOfRecentFile(const QString& path) {
#ifdef Q_OS_WIN
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    ::SHAddToRecentDocs(SHARD_PATHW, native.c_str());
#else
    // Another program's file, rewritten and synced to the disk: one worker
    // does it, in the order asked, while the window goes on (a sync may take
    // a millisecond or tens of them, and the first frame shows nothing of it).
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/recently-used.xbel");
    desktopListWriter().start([file, path] { addToXbel(file, path); });
#endif
}

void waitForDesktopRecentFiles() {
#ifndef Q_OS_WIN
    desktopListWriter().waitForDone();
#endif
}

void showRecentRomsIn(QMenu* menu, const QStringList& paths, QAction* clear, const std::function<void(const QString&)>& open) {
    for (QAction* a : menu->actions()) {
        if (a != clear) delete a;
    }
    menu->clear();
    // Files of one name are told apart by their folder's name, or where
    // that is the same too, by the folder's whole path.
    auto shown = [&](const QString& path) {
        const QFileInfo file(path);
        auto sameName = [&](auto part) {
            return std::count_if(paths.begin(), paths.end(), [&](const QString& other) { return part(QFileInfo(other)) == part(file); }) > 1;
        };
        if (!sameName([](const QFileInfo& f) { return f.fileName(); })) return file.fileName();
        const bool sameFolderName = sameName([](const QFileInfo& f) { return f.fileName() + QLatin1Char('/') + f.dir().dirName(); });
        return file.fileName() + QStringLiteral(" \u2014 ") +
               (sameFolderName ? QDir::toNativeSeparators(file.absolutePath()) : file.dir().dirName());
    };
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        // "&&": an ampersand in a name is shown, not taken for an Alt letter.
        auto* entry = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown(path).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        entry->setObjectName(QStringLiteral("mnuRecent%1").arg(i + 1));
        entry->setToolTip(path);
        // A file that is gone is shown, but cannot be chosen.
        entry->setEnabled(QFileInfo(path).isFile());
        QObject::connect(entry, &QAction::triggered, menu, [open, path] { open(path); });
    }
    menu->addSeparator();
    menu->addAction(clear);
    clear->setEnabled(!paths.isEmpty());
}

}  // namespace kestrane
