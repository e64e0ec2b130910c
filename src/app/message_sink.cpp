#include "app/message_sink.h"

#include <QMessageBox>

namespace kestrane {

void MessageBoxSink::show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(icon == MessageIcon::Information   ? QMessageBox::Information
                : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                   : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace kestrane
