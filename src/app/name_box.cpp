#include "app/name_box.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

namespace kestrane {

void showHiddenBytes(QLineEdit* box, const QString& note) {
    QAction* marker = box->findChild<QAction*>(QStringLiteral("hiddenBytes"));
    if (note.isEmpty()) {
        delete marker;
        box->setToolTip(QString());
        return;
    }
    if (!marker) {
        marker = box->addAction(box->style()->standardIcon(QStyle::SP_MessageBoxInformation), QLineEdit::TrailingPosition);
        marker->setObjectName(QStringLiteral("hiddenBytes"));
    }
    marker->setToolTip(note);
    box->setToolTip(note);
}

void showRoomLeft(QLineEdit* box, const std::optional<NameRoom>& room, const QString& what, bool shown) {
    auto* label = box->findChild<QLabel*>(QStringLiteral("roomLeft"));
    if (!label) {
        label = new QLabel(box);
        label->setObjectName(QStringLiteral("roomLeft"));
        QFont small = box->font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        label->setFont(small);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    label->setVisible(shown);
    if (!shown) return;
    bool fits = false;
    if (room) {
        const int left = int(room->length) - int(room->used);
        fits = left >= 0;
        label->setText(QString::number(left));
        label->setToolTip(fits ? QStringLiteral("%1 of the %2's %3 bytes left").arg(left).arg(what).arg(room->length)
                               : QStringLiteral("The %1 needs %2 bytes, but its field holds %3.")
                                     .arg(what).arg(room->used).arg(room->length));
    } else {
        label->setText(QStringLiteral("?"));
        label->setToolTip(QStringLiteral("The %1 holds a character the game cannot write.").arg(what));
    }
    label->setStyleSheet(fits ? QStringLiteral("color: gray;") : QStringLiteral("color: #c00000;"));
    // At the box's right end, left of the hidden-byte marker if there is one.
    const int marker = box->findChild<QAction*>(QStringLiteral("hiddenBytes")) ? box->height() : 0;
    const int width = label->fontMetrics().horizontalAdvance(QStringLiteral("-00")) + 4;
    label->setGeometry(box->width() - width - marker - 2, 0, width, box->height());
    box->setTextMargins(0, 0, width + 2, 0);
}

void markChangedOnDisk(QWidget* box, const QString& note) {
    const bool marked = box->property("changedOnDisk").toBool();
    if (note.isEmpty() && !marked) return;
    box->setProperty("changedOnDisk", !note.isEmpty());
    box->setStyleSheet(note.isEmpty() ? QString() : QStringLiteral("background-color: #fff2b3;"));
    box->setToolTip(note);
}

}  // namespace kestrane
