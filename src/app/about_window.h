// The About window: the program's name, version and copyright; modeless,
// owned by the main window, closed only by its "OK" button or its close box.
#pragma once

#include <QDialog>

namespace kestrane {

class AboutWindow final : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* owner);

protected:
    // Escape does not close it, Enter presses nothing.
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kestrane
