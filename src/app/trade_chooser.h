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

    // Selects a row (-1: none) without telling it as a choice.
    void select(int row);
    // Makes the list's rows these, none selected, none chosen.
    void setRows(const QStringList& rows);
    // The row the user chose last and the window accepted (-1: none).
    int chosen() const { return chosen_; }
    void setChosen(int row) { chosen_ = row; }

signals:
    void choice(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* list_;
    QObject* viewport_ = nullptr;
    int chosen_ = -1;
    int rowAtPress_ = -1;   // tells a click on the chosen row from a change
    bool pending_ = false;  // a change of selection waits to be told
    bool quiet_ = false;    // the window, not the user, changes the selection
};

}  // namespace kestrane
