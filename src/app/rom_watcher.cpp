#include "app/rom_watcher.h"

#include <QFileInfo>

namespace kestrane {

RomWatcher::RomWatcher(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &RomWatcher::settled);
}

RomWatcher::Signature RomWatcher::now() const {
    QFileInfo info(path_);
    info.setCaching(false);
    if (!info.exists()) return {};
    return {true, info.size(), info.lastModified(), info.birthTime()};
}

void RomWatcher::watch(const QString& path) {
    if (watcher_) {
        if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
        if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
    }
    settle_.stop();
    path_ = path;
    if (path_.isEmpty()) return;
    known_ = pending_ = now();
    if (!watcher_) {
        watcher_ = new QFileSystemWatcher(this);
        connect(watcher_, &QFileSystemWatcher::fileChanged, this, &RomWatcher::somethingHappened);
        connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &RomWatcher::somethingHappened);
    }
    // The folder too: a rebuild that writes a new file and renames it over the old one ends the file's watch.
    watcher_->addPath(path_);
    watcher_->addPath(QFileInfo(path_).absolutePath());
}

void RomWatcher::noteOwnWrite() {
    known_ = pending_ = now();
    settle_.stop();
}

void RomWatcher::somethingHappened() {
    if (path_.isEmpty()) return;
    // A file replaced by a rename is a new file to follow.
    if (!watcher_->files().contains(path_) && QFileInfo::exists(path_)) watcher_->addPath(path_);
    pending_ = now();
    settle_.start();
}

void RomWatcher::settled() {
    const Signature current = now();
    if (current != pending_) {
        // Still being written: wait until it stays.
        pending_ = current;
        settle_.start();
        return;
    }
    if (!current.exists || current == known_) return;
    emit changedOnDisk();
}

}  // namespace kestrane
