// The ROMs opened last, newest first, remembered between runs (QSettings),
// and told to the desktop's own list of recent files where it has one: the
// freedesktop list (recently-used.xbel) on Linux, the shell's recent
// documents on Windows.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QAction;
class QMenu;

namespace kestrane {

inline constexpr int kRecentRoms = 8;

class RecentRoms {
public:
    QStringList paths() const;
    // Puts the path first (once), keeps the newest eight, tells the desktop;
    // nothing where it is first already.
    void add(const QString& path);
    void clear();
};

// What the user answered, for each build tree (by its folder), to writing
// edits into its trade file too: remembered beside the recent ROMs.
class SourceAnswers {
public:
    // True: write both; false: the ROM only; none: not asked yet.
    std::optional<bool> writeBoth(const QString& tree) const;
    void remember(const QString& tree, bool both);
};

// The menu of recent ROMs: an entry a path (one that is gone shown, but
// not to be chosen), then `clear`.
void showRecentRomsIn(QMenu* menu, const QStringList& paths, QAction* clear, const std::function<void(const QString&)>& open);

// Adds a file to the desktop's list of recent files; quietly nothing where
// the platform has none, or its list cannot be read as such. The
// freedesktop list is written in the background.
void tellDesktopOfRecentFile(const QString& path);
// Returns once every addition asked for is written (before the program ends).
void waitForDesktopRecentFiles();

}  // namespace kestrane
