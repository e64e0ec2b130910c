// The ROMs opened last, newest first, remembered between runs (QSettings),
// and told to the desktop's own list of recent files where it has one: the
// freedesktop list (recently-used.xbel) on Linux, the shell's recent
// documents on Windows.
#pragma once

#include <QString>
#include <QStringList>

namespace kestrane {

inline constexpr int kRecentRoms = 8;

class RecentRoms {
public:
    QStringList paths() const;
    // Puts the path first (once), keeps the newest eight, tells the desktop.
    void add(const QString& path);
    void clear();
};

// Adds a file to the desktop's list of recent files; quietly nothing where
// the platform has none, or its list cannot be read as such.
void tellDesktopOfRecentFile(const QString& path);

}  // namespace kestrane
