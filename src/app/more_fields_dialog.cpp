#include "app/more_fields_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "app/appearance.h"
#include "app/message_sink.h"
#include "trades/field_table.h"
#include "trades/fields.h"
#include "trades/game_data.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"

namespace kestrane {
namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

MoreFieldsDialog::MoreFieldsDialog(QWidget* parent, MessageSink& messages, const Rom& rom, const TradeEdit& edit,
                                   ChosenSpecies chosen)
    : QDialog(parent), messages_(messages), rom_(rom), chosen_(chosen), edit_(edit) {
    setObjectName(QStringLiteral("MoreFields"));
    setWindowTitle(QStringLiteral("More Fields \u2014 ") + fromCore(edit.shown.slot.name()));
    setModal(true);
    auto* form = new QFormLayout;
    auto withSign = [](QWidget* field, QLabel* sign) {
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(sign);
        // The row keeps its width whether the sign shows or not.
        auto policy = sign->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        sign->setSizePolicy(policy);
        return row;
    };

    // A box a row of the field table, for the fields of More Fields the release's records hold.
    for (const FieldRow& row : kFieldRows) {
        if (row.place != FieldPlace::MoreFields || !rom.release->layout.has(row.field)) continue;
        const QString label = fromCore(std::string(row.boxLabel));
        if (const NumberPlace* place = rom.release->layout.numberPlace(row.field)) {
            QWidget* box = numbersBox(row, *place, edit);
            if (row.parts.empty()) form->addRow(label, box);
            else form->addRow(box);
            continue;
        }
        if (row.input == FieldInput::Parts) {
            form->addRow(partsBox(row, edit));
            continue;
        }
        QComboBox* box = choiceBox(row, edit);
        box->setObjectName(fromCore(std::string(row.objectName)));
        if (!row.toolTip.empty()) box->setToolTip(fromCore(std::string(row.toolTip)));
        if (row.warningName.empty()) {
            form->addRow(label, box);
        } else {
            QLabel* sign = warningSign(this, std::string(row.warningName).c_str());
            signs_[row.field] = sign;
            form->addRow(label, withSign(box, sign));
        }
        if (row.field == Field::DialogSet) {
            // What the trader says, as the game will print it, following the boxes.
            traderLines_ = named(new QLabel(this), "lblTraderLines");
            traderLines_->setWordWrap(true);
            traderLines_->setTextFormat(Qt::RichText);
            traderLines_->setTextInteractionFlags(Qt::TextSelectableByMouse);
            traderLines_->setMinimumWidth(380);
            form->addRow(traderLines_);
        }
    }
    // What the game itself gives the creature, where the records hold it not.
    if (const std::string given = givenAtTradeText(rom); !given.empty()) {
        auto* facts = named(new QLabel(fromCore(given) + QLatin1Char('.'), this), "lblGivenAtTrade");
        facts->setWordWrap(true);
        form->addRow(fromCore(std::string(kGivenAtTradeLabel)) + QLatin1Char(':'), facts);
    }

    auto* buttons = named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &MoreFieldsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    updateReadOuts();
    showTraderLines();
    showWarnings();
}

QComboBox* MoreFieldsDialog::choiceBox(const FieldRow& row, const TradeEdit& edit) {
    auto* box = new QComboBox(this);
    const TradeRecord& stored = edit.shown;
    if (row.field == Field::HeldItem) {
        item_ = box;
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        const int items = rom_.items ? int(rom_.items->size()) : kItemCount;
        for (int item = 0; item < items; ++item) box->addItem(fromCore(itemLabel(rom_.items, ItemId(item))));
        box->setCurrentIndex(edit.heldItem.value_or(*stored.heldItem));
        connect(box, &QComboBox::currentTextChanged, this, &MoreFieldsDialog::showWarnings);
        return box;
    }
    for (std::string_view label : choiceLabels(row.field, *rom_.release)) box->addItem(fromCore(std::string(label)));
    if (row.field == Field::GenderRequirement) {
        genderRequirement_ = box;
        box->setCurrentIndex(int(edit.genderRequirement.value_or(*stored.genderRequirement)));
        connect(box, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::showWarnings);
    } else {
        dialogSet_ = box;
        box->setCurrentIndex(edit.dialogSet.value_or(stored.dialogSet.value_or(0)));
    }
    connect(box, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::showTraderLines);
    return box;
}

QWidget* MoreFieldsDialog::numbersBox(const FieldRow& row, const NumberPlace& place, const TradeEdit& edit) {
    const auto given = edit.numbers.find(row.field);
    const std::vector<std::uint32_t> start = given != edit.numbers.end() ? given->second : edit.shown.numbers.at(row.field);
    auto spin = [&](QWidget* parent, std::size_t i, std::string_view name) {
        auto* box = new QSpinBox(parent);
        box->setObjectName(fromCore(std::string(name)));
        box->setRange(0, int(std::min<std::uint32_t>(place.max, std::uint32_t(INT_MAX))));
        box->setValue(int(start[i]));
        numbers_[row.field] << box;
        return box;
    };
    if (row.parts.empty()) return spin(this, 0, row.objectName);
    auto* group = new QGroupBox(fromCore(std::string(row.boxLabel)), this);
    auto* grid = new QGridLayout(group);
    for (std::size_t i = 0; i < row.parts.size(); ++i) {
        grid->addWidget(new QLabel(fromCore(std::string(row.parts[i].label)), group), int(i % 3), int(i / 3) * 2);
        grid->addWidget(spin(group, i, row.parts[i].objectName), int(i % 3), int(i / 3) * 2 + 1);
    }
    return group;
}

QGroupBox* MoreFieldsDialog::partsBox(const FieldRow& row, const TradeEdit& edit) {
    // The DVs, the one field of parts the records hold, with what the game makes of them.
    const Dvs start = edit.dvs.value_or(*edit.shown.dvs);
    const int values[] = {start.attack, start.defense, start.speed, start.special};
    auto* group = new QGroupBox(fromCore(std::string(row.boxLabel)), this);
    auto* grid = new QGridLayout(group);
    for (std::size_t i = 0; i < row.parts.size(); ++i) {
        auto* box = new QSpinBox(group);
        box->setObjectName(fromCore(std::string(row.parts[i].objectName)));
        box->setRange(0, kMaxDv);
        box->setValue(values[i]);
        grid->addWidget(new QLabel(fromCore(std::string(row.parts[i].label)), group), int(i), 0);
        grid->addWidget(box, int(i), 1);
        connect(box, &QSpinBox::valueChanged, this, &MoreFieldsDialog::updateReadOuts);
        parts_ << box;
    }
    // One label a read-out, in the core's order; the names the window's tests know them by.
    const char* const names[] = {"lblShiny", "lblHpDv", "lblGender", "lblUnown"};
    for (int i = 0; i < 4; ++i) {
        auto* label = named(new QLabel(group), names[i]);
        if (i == 2) label->setToolTip(QStringLiteral("The gender of the creature the player receives"));
        readOuts_ << label;
        grid->addWidget(label, i, 2);
    }
    auto* makeShiny = named(new QPushButton(QStringLiteral("Make Shiny"), group), "btnMakeShiny");
    makeShiny->setAutoDefault(false);
    grid->addWidget(makeShiny, int(row.parts.size()), 0, 1, 3);
    grid->setColumnMinimumWidth(2, 150);
    connect(makeShiny, &QPushButton::clicked, this, &MoreFieldsDialog::makeShinyCommand);
    return group;
}

std::optional<GenderRequirement> MoreFieldsDialog::chosenRequirement() const {
    if (!genderRequirement_) return std::nullopt;
    return GenderRequirement(genderRequirement_->currentIndex());
}

void MoreFieldsDialog::showWarnings() {
    TradeEdit edit = edit_;
    if (chosen_.requested) edit.requestedSpecies = chosen_.requested;
    if (chosen_.offered) edit.offeredSpecies = chosen_.offered;
    edit.genderRequirement = chosenRequirement();
    if (auto item = chosenItem(); item && *item) edit.heldItem = **item;
    QStringList held, gender;
    for (const TradeWarning& w : tradeWarnings(rom_, edit)) {
        if (w.field == Field::HeldItem) held << fromCore(w.text);
        if (w.field == Field::GenderRequirement) gender << fromCore(w.text);
    }
    if (signs_.contains(Field::HeldItem)) showWarning(signs_[Field::HeldItem], held);
    if (signs_.contains(Field::GenderRequirement)) showWarning(signs_[Field::GenderRequirement], gender);
}

std::optional<Result<ItemId>> MoreFieldsDialog::chosenItem() const {
    if (!item_) return std::nullopt;
    // A name chosen from the list stands for its number; typed text is the core's to resolve.
    const QString text = typedText(item_);
    const bool chosen = item_->currentIndex() >= 0 && item_->itemText(item_->currentIndex()) == text;
    return chosen ? Result<ItemId>(ItemId(item_->currentIndex())) : resolveItem(text.toStdString(), rom_.items, rom_.lastItem());
}

void MoreFieldsDialog::showTraderLines() {
    if (!dialogSet_) return;  // records without a dialog set: their game's lines are not theirs to choose
    TradeRecord shown = edit_.shown;
    shown.requestedSpecies = chosen_.requested.value_or(shown.requestedSpecies);
    shown.offeredSpecies = chosen_.offered.value_or(shown.offeredSpecies);
    shown.genderRequirement = chosenRequirement();
    shown.dialogSet = std::uint8_t(dialogSet_->currentIndex());
    const TraderWords said = traderWords(rom_, shown);
    // Each set's label tells what its trader opens with.
    for (int set = 0; set < dialogSet_->count(); ++set) {
        TradeRecord other = shown;
        other.dialogSet = std::uint8_t(set);
        dialogSet_->setItemData(set, fromCore(traderWords(rom_, other).lines[0]), Qt::ToolTipRole);
    }
    dialogSet_->setToolTip(fromCore(said.lines[0]));
    auto html = [](const std::string& line) { return fromCore(line).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")); };
    if (!said.fromRom) {
        traderLines_->setText(QStringLiteral("<i>%1</i><br>(%2)").arg(html(said.lines[0]), fromCore(kestranesWordsNote(said)).toHtmlEscaped()));
        return;
    }
    QString text;
    for (std::size_t phase = 0; phase < said.lines.size(); ++phase) {
        text += QStringLiteral("<p><b>%1:</b> %2</p>").arg(fromCore(kLinePhases[phase].label), html(oneLine(said.lines[phase])));
    }
    traderLines_->setText(text);
}

Dvs MoreFieldsDialog::shownDvs() const {
    return Dvs{parts_[0]->value(), parts_[1]->value(), parts_[2]->value(), parts_[3]->value()};
}

void MoreFieldsDialog::updateReadOuts() {
    if (parts_.isEmpty()) return;
    const Dvs dvs = shownDvs();
    const std::vector<ReadOut> outs = dvReadOuts(rom_, dvs, chosen_.offered);
    for (int i = 0; i < readOuts_.size(); ++i) {
        const bool shown = std::size_t(i) < outs.size();
        readOuts_[i]->setVisible(shown);
        if (shown) readOuts_[i]->setText(fromCore(outs[std::size_t(i)].shortLabel) + QStringLiteral(": ") + fromCore(outs[std::size_t(i)].text));
    }
    emit dvsChanged(dvs);
}

void MoreFieldsDialog::makeShinyCommand() {
    const Dvs shiny = makeShiny(shownDvs());
    const int values[] = {shiny.attack, shiny.defense, shiny.speed, shiny.special};
    for (int i = 0; i < parts_.size(); ++i) parts_[i]->setValue(values[i]);
}

void MoreFieldsDialog::accept() {
    const auto item = chosenItem();
    if (item && !*item) {
        // Over the main window, as every message of the program.
        messages_.show(parentWidget(), kAppTitle, fromCore(describe(item->error())), MessageIcon::Exclamation);
        return;
    }
    const TradeRecord& stored = edit_.shown;
    // Only a value that differs from the trade as read is an edit: the rest
    // keep whatever the file holds when the save is made.
    auto edited = [](auto value, auto stored) { return value == stored ? std::nullopt : std::optional(value); };
    const std::optional<ItemId> heldItem = item ? edited(**item, *stored.heldItem) : std::nullopt;
    const std::optional<Dvs> dvs = !parts_.isEmpty() ? edited(shownDvs(), *stored.dvs) : std::nullopt;
    const std::optional<GenderRequirement> requirement =
        genderRequirement_ ? edited(*chosenRequirement(), *stored.genderRequirement) : std::nullopt;
    const std::optional<std::uint8_t> set =
        dialogSet_ ? edited(std::uint8_t(dialogSet_->currentIndex()), stored.dialogSet.value_or(0)) : std::nullopt;
    std::map<Field, std::vector<std::uint32_t>> numbers;
    for (const auto& [field, boxes] : numbers_) {
        std::vector<std::uint32_t> values;
        for (const QSpinBox* box : boxes) values.push_back(std::uint32_t(box->value()));
        if (values != stored.numbers.at(field)) numbers[field] = values;
    }
    changed_ = heldItem != edit_.heldItem || dvs != edit_.dvs || requirement != edit_.genderRequirement ||
               set != edit_.dialogSet || numbers != edit_.numbers;
    edit_.numbers = numbers;
    edit_.heldItem = heldItem;
    edit_.dvs = dvs;
    edit_.genderRequirement = requirement;
    edit_.dialogSet = set;
    QDialog::accept();
}

}  // namespace kestrane
