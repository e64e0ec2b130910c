// For the start-up benchmark: with KESTRANE_QUIT_AFTER_FIRST_PAINT set, the
// program ends as soon as its window has painted its first frame. The bare
// comparison window uses the very same hook.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace kestrane {

inline void quitAfterFirstPaintIfAsked(QWidget& window) {
    if (!qEnvironmentVariableIsSet("KESTRANE_QUIT_AFTER_FIRST_PAINT")) return;
    struct Watch : QObject {
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                watched->removeEventFilter(this);
                // After the rest of this frame is painted and flushed.
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
            return false;
        }
    };
    window.installEventFilter(new Watch);
}

}  // namespace kestrane
