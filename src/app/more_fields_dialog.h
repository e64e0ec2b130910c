// "More Fields — Trade Number N": the fields of the trade being edited that
// the main form does not show, those of them the release's records hold,
// each box made from its row of the field table: the held item, the DVs,
// the gender requirement and the dialog set; the third generation's IVs,
// personality, ability, IDs, contest conditions and mail. Beside the boxes,
// what the game makes of them (the gender, shininess, nature, Unown's
// letter), following every change. Modal; OK keeps the values for the next
// save, Cancel drops them. Every rule and read-out comes from the core.
#pragma once

#include <QDialog>
#include <QList>
#include <map>
#include <optional>
#include <string>

#include "trades/dvs.h"
#include "trades/field_table.h"
#include "trades/front_picture.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"

class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QSpinBox;

namespace kestrane {

class MessageSink;

// What the main form's boxes say now, for what the game makes of the trade.
struct ChosenInMainForm {
    std::optional<SpeciesId> requested, offered;
    std::optional<std::uint16_t> trainerId;
};

class MoreFieldsDialog final : public QDialog {
    Q_OBJECT

public:
    // `edit`: the trade being edited; the dialog shows its fields as edited,
    // else as stored. `chosen`: the main form's species and ID, for the
    // read-outs and the trader's lines (none where a box names nothing yet).
    MoreFieldsDialog(QWidget* parent, MessageSink& messages, const Rom& rom, const TradeEdit& edit, ChosenInMainForm chosen);

    // The edit with the fields OK kept.
    const TradeEdit& edit() const { return edit_; }
    // OK kept values other than those the dialog was given.
    bool changed() const { return changed_; }

public slots:
    void accept() override;

signals:
    // How the offered creature will look with the boxes' values, whenever they change.
    void lookChanged(kestrane::PictureLook look);

private:
    // Every box's change: the read-outs, the signs and the picture follow.
    void boxesChanged();
    void updateDvReadOuts();
    void updateReadOuts(const TradeRecord& record);
    void showTraderLines();
    // The signs beside the fields' boxes, as the boxes say.
    void showWarnings(const TradeEdit& edit);
    void makeShinyCommand();
    void chooseNature(int nature);
    Dvs shownDvs() const;
    // The edit the boxes make now, every field given (what the family's rules start from).
    TradeEdit boxesEdit() const;
    // The numbers of an edit the family made (a nature, shininess), put into their boxes.
    void showNumbers(const TradeEdit& made);
    // The held item as the box says; none where the release's trades hold no item.
    std::optional<Result<ItemId>> chosenItem() const;
    std::optional<GenderRequirement> chosenRequirement() const;
    // A field's box, made from its row of the field table.
    QComboBox* choiceBox(const FieldRow& row, const TradeEdit& edit);
    QGroupBox* partsBox(const FieldRow& row, const TradeEdit& edit);
    // A field of plain numbers: a box, or a group of them, one a part.
    QWidget* numbersBox(const FieldRow& row, const NumberPlace& place, const TradeEdit& edit);
    QWidget* oneNumberBox(const FieldRow& row, const NumberPlace& place, std::uint32_t start);

    MessageSink& messages_;
    const Rom& rom_;
    ChosenInMainForm chosen_;
    TradeEdit edit_;
    bool changed_ = false;

    QComboBox* item_ = nullptr;
    QList<QSpinBox*> parts_;   // the DVs' boxes, in the field table's order
    QList<QLabel*> readOuts_;  // what the game makes of the DVs, one label each
    QComboBox* genderRequirement_ = nullptr;
    QComboBox* dialogSet_ = nullptr;
    QLabel* traderLines_ = nullptr;
    QComboBox* nature_ = nullptr;                      // the natures, where the creatures have one
    std::map<Field, QLabel*> signs_;                   // the warning sign beside a field's box
    std::map<Field, QList<QWidget*>> numbers_;         // the boxes of fields of plain numbers, one a number
    std::map<Field, QHBoxLayout*> outRows_;            // where a field's read-outs go, beside its box
    std::map<std::string, QLabel*, std::less<>> outs_;  // the family's read-outs shown, by key
};

}  // namespace kestrane
