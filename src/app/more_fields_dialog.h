// "More Fields — Trade Number N": the held item, the DVs with what the game
// makes of them, the gender requirement and the dialog set of the trade
// being edited, those of them the release's trades hold (a first-generation
// trade has the dialog set alone). Modal; OK keeps the values for the next
// save, Cancel drops them. Every rule and read-out comes from the core.
#pragma once

#include <QDialog>
#include <QList>
#include <map>
#include <optional>

#include "trades/dvs.h"
#include "trades/field_table.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;

namespace kestrane {

class MessageSink;

struct ChosenSpecies {
    std::optional<SpeciesId> requested, offered;
};

class MoreFieldsDialog final : public QDialog {
    Q_OBJECT

public:
    // `edit`: the trade being edited; the dialog shows its held item, DVs,
    // gender requirement and dialog set (as edited, else as stored).
    // `chosen`: the species chosen in the main window, for the gender
    // read-out and the trader's lines (none where a box names no species).
    MoreFieldsDialog(QWidget* parent, MessageSink& messages, const Rom& rom, const TradeEdit& edit, ChosenSpecies chosen);

    // The edit with the four fields OK kept.
    const TradeEdit& edit() const { return edit_; }
    // OK kept values other than those the dialog was given.
    bool changed() const { return changed_; }

public slots:
    void accept() override;

signals:
    // The DVs as the spin boxes hold them, whenever they change.
    void dvsChanged(const kestrane::Dvs& dvs);

private:
    void updateReadOuts();
    void showTraderLines();
    // The signs beside the held item and the gender requirement, as the boxes say.
    void showWarnings();
    void makeShinyCommand();
    Dvs shownDvs() const;
    // The held item as the box says; none where the release's trades hold no item.
    std::optional<Result<ItemId>> chosenItem() const;
    std::optional<GenderRequirement> chosenRequirement() const;
    // A field's box, made from its row of the field table.
    QComboBox* choiceBox(const FieldRow& row, const TradeEdit& edit);
    QGroupBox* partsBox(const FieldRow& row, const TradeEdit& edit);
    // A field of plain numbers: a spin box, or a group of them, one a part.
    QWidget* numbersBox(const FieldRow& row, const NumberPlace& place, const TradeEdit& edit);

    MessageSink& messages_;
    const Rom& rom_;
    ChosenSpecies chosen_;
    TradeEdit edit_;
    bool changed_ = false;

    QComboBox* item_ = nullptr;
    QList<QSpinBox*> parts_;   // the DVs' boxes, in the field table's order
    QList<QLabel*> readOuts_;  // what the game makes of the DVs, one label each
    QComboBox* genderRequirement_ = nullptr;
    QComboBox* dialogSet_ = nullptr;
    QLabel* traderLines_ = nullptr;
    std::map<Field, QLabel*> signs_;
    std::map<Field, QList<QSpinBox*>> numbers_;  // the boxes of fields of plain numbers  // the warning sign beside a field's box
};

}  // namespace kestrane
