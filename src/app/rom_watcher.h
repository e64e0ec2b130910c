// Follows the open ROM on disk: a rebuild that replaces the file, another
// program's save. It tells the window once a change has settled (the file
// unchanged for a short while, so a file being written is not taken in the
// middle), and never for the window's own writes, which it is told of.
#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace kestrane {

class RomWatcher final : public QObject {
    Q_OBJECT

public:
    explicit RomWatcher(QObject* parent = nullptr);

    // Starts following `path` (absolute) as it is now; an empty path stops.
    void watch(const QString& path);
    // The window wrote the file itself (a save, an undo): that is no change to follow.
    void noteOwnWrite();
    // The change last told of has been dealt with (or declined): it is the file as known now.
    void noteSeen() { noteOwnWrite(); }

    // How long the file must stay as it is before a change is told.
    static constexpr int kSettleMs = 300;

signals:
    // The file differs from the one last known, and has settled.
    void changedOnDisk();

private:
    struct Signature {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        // A file renamed over the old one within the clock's tick has the same
        // size and time: its birth (where the file system keeps one) tells it apart.
        QDateTime born;
        friend bool operator==(const Signature&, const Signature&) = default;
    };
    Signature now() const;
    void somethingHappened();
    void settled();

    QString path_;
    QFileSystemWatcher* watcher_ = nullptr;  // made when first asked for: not before the first frame
    QTimer settle_;
    Signature known_;    // the file as the window knows it
    Signature pending_;  // as it was when the last event came
};

}  // namespace kestrane
