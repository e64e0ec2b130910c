#include "app/message_sink.h"

#include <QMessageBox>

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

}  // namespace kestrane
