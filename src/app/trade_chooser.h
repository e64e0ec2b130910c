// Which trade the user chooses in the trade list: a click on a row, the
// arrow keys, Home or End. A choice is told once the click or key press is
// over, so that a question it raises (unsaved edits) never sees the click's
// release undo its answer; a click on the row already chosen is a choice
// too (the trade is read again). Focus alone only makes a row current.
#pragma once

#include <QObject>
#include <QStringList>

class QListWidget;

namespace kestrane {

class TradeChooser final : public QObject {
    Q_OBJECT

public:
    explicit TradeChooser(QListWidget* list);

    // Selects a row (-1: none) without telling it as a choice: the row the
    // window shows.
    void select(int row);
    // Makes the list's rows these, none selected.
    void setRows(const QStringList& rows);

signals:
    void choice(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* list_;
    QObject* viewport_ = nullptr;
    int selected_ = -1;     // the row the window last selected
    int rowAtPress_ = -1;   // tells a click on the selected row from a change
    bool pending_ = false;  // a change of selection waits to be told
    bool quiet_ = false;    // the window, not the user, changes the selection
};

}  // namespace kestrane
