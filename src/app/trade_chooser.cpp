#include "app/trade_chooser.h"

#include <QEvent>
#include <QListWidget>
#include <QScopedValueRollback>
#include <utility>

namespace kestrane {

TradeChooser::TradeChooser(QListWidget* list) : QObject(list), list_(list) {
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (quiet_ || std::exchange(pending_, true)) return;
        QMetaObject::invokeMethod(this, [this] {
            pending_ = false;
            const QList<QListWidgetItem*> selected = list_->selectedItems();
            if (!selected.isEmpty()) emit choice(list_->row(selected.front()));
        }, Qt::QueuedConnection);
    });
    viewport_ = list->viewport();
    viewport_->installEventFilter(this);
    connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = list_->row(item);
        if (row == rowAtPress_ && row == selected_) emit choice(row);
    });
}

void TradeChooser::select(int row) {
    selected_ = row;
    // Not by blocking the selection's signals: the list repaints on them.
    const QScopedValueRollback quiet(quiet_, true);
    if (row < 0) {
        list_->clearSelection();
        list_->setCurrentRow(-1, QItemSelectionModel::Clear);
    } else {
        list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
}

void TradeChooser::setRows(const QStringList& rows) {
    select(-1);
    const QScopedValueRollback quiet(quiet_, true);
    while (list_->count() > rows.size()) delete list_->takeItem(list_->count() - 1);
    for (int row = 0; row < rows.size(); ++row) {
        if (row < list_->count()) list_->item(row)->setText(rows[row]);
        else list_->addItem(rows[row]);
    }
}

bool TradeChooser::eventFilter(QObject* watched, QEvent* event) {
    // The viewport as it was when watched: the list may be half destroyed
    // when its viewport's last events arrive.
    if (event->type() == QEvent::MouseButtonPress && watched == viewport_) rowAtPress_ = list_->currentRow();
    return QObject::eventFilter(watched, event);
}

}  // namespace kestrane
