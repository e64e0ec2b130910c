#include "app/message_sink.h"

#include <QMessageBox>
#include <QPushButton>

namespace kestrane {

void MessageBoxSink::show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                          const QString& detail) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setInformativeText(detail);
    box.setIcon(icon == MessageIcon::Information   ? QMessageBox::Information
                : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                   : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

SaveAnswer MessageBoxSink::askToSave(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(QMessageBox::Warning);
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveAnswer::Save;
    case QMessageBox::Discard: return SaveAnswer::Discard;
    default: return SaveAnswer::Cancel;
    }
}

int MessageBoxSink::choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
                           int defaultButton) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(QMessageBox::Warning);
    QList<QAbstractButton*> added;
    for (int i = 0; i < buttons.size(); ++i) {
        const bool last = i + 1 == buttons.size();
        added.append(box.addButton(buttons[i], last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    if (!added.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(added.value(defaultButton, added.first())));
        box.setEscapeButton(added.last());
    }
    box.exec();
    const int index = int(added.indexOf(box.clickedButton()));
    return index >= 0 ? index : int(buttons.size()) - 1;
}

}  // namespace kestrane
