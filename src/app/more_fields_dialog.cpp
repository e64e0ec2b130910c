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

#include "app/appearance.h"
#include "app/message_sink.h"
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
    const TradeRecord& stored = edit.shown;
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

    if (stored.heldItem) {
        item_ = named(new QComboBox(this), "cboItem");
        item_->setEditable(true);
        item_->setInsertPolicy(QComboBox::NoInsert);
        const int items = rom.items ? int(rom.items->size()) : kItemCount;
        for (int item = 0; item < items; ++item) item_->addItem(fromCore(itemLabel(rom.items, ItemId(item))));
        item_->setCurrentIndex(edit.heldItem.value_or(*stored.heldItem));
        item_->setToolTip(QStringLiteral("Choose an item, or type its name or number (0 to 255)."));
        itemWarning_ = warningSign(this, "warnItem");
        connect(item_, &QComboBox::currentTextChanged, this, &MoreFieldsDialog::showWarnings);
        form->addRow(QStringLiteral("Held item:"), withSign(item_, itemWarning_));
    }

    if (stored.dvs) {
        const Dvs startDvs = edit.dvs.value_or(*stored.dvs);
        auto* dvBox = new QGroupBox(QStringLiteral("DVs"), this);
        auto* dvGrid = new QGridLayout(dvBox);
        const struct {
            const char* name;
            const char* label;
            QSpinBox** box;
            int value;
        } dvs[] = {{"spnAttack", "Attack:", &attack_, startDvs.attack},
                   {"spnDefense", "Defense:", &defense_, startDvs.defense},
                   {"spnSpeed", "Speed:", &speed_, startDvs.speed},
                   {"spnSpecial", "Special:", &special_, startDvs.special}};
        int row = 0;
        for (const auto& dv : dvs) {
            *dv.box = named(new QSpinBox(dvBox), dv.name);
            (*dv.box)->setRange(0, kMaxDv);
            (*dv.box)->setValue(dv.value);
            dvGrid->addWidget(new QLabel(QLatin1String(dv.label), dvBox), row, 0);
            dvGrid->addWidget(*dv.box, row++, 1);
            connect(*dv.box, &QSpinBox::valueChanged, this, &MoreFieldsDialog::updateReadOuts);
        }
        // One label a read-out, in the core's order; the names the window's tests know them by.
        const char* const names[] = {"lblShiny", "lblHpDv", "lblGender", "lblUnown"};
        for (int i = 0; i < 4; ++i) {
            auto* label = named(new QLabel(dvBox), names[i]);
            if (i == 2) label->setToolTip(QStringLiteral("The gender of the creature the player receives"));
            readOuts_ << label;
            dvGrid->addWidget(label, i, 2);
        }
        auto* makeShiny = named(new QPushButton(QStringLiteral("Make Shiny"), dvBox), "btnMakeShiny");
        makeShiny->setAutoDefault(false);
        dvGrid->addWidget(makeShiny, 4, 0, 1, 3);
        dvGrid->setColumnMinimumWidth(2, 150);
        connect(makeShiny, &QPushButton::clicked, this, &MoreFieldsDialog::makeShinyCommand);
        form->addRow(dvBox);
    }

    if (stored.genderRequirement) {
        genderRequirement_ = named(new QComboBox(this), "cboGenderRequirement");
        for (const FieldName& requirement : kGenderRequirements) genderRequirement_->addItem(fromCore(requirement.label));
        genderRequirement_->setCurrentIndex(int(edit.genderRequirement.value_or(*stored.genderRequirement)));
        genderRequirement_->setToolTip(QStringLiteral("The gender the creature you give must have."));
        genderWarning_ = warningSign(this, "warnGenderRequirement");
        connect(genderRequirement_, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::showTraderLines);
        connect(genderRequirement_, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::showWarnings);
        form->addRow(QStringLiteral("Gender requirement:"), withSign(genderRequirement_, genderWarning_));
    }

    dialogSet_ = named(new QComboBox(this), "cboDialogSet");
    for (const DialogSet& set : rom.release->dialogSets) dialogSet_->addItem(fromCore(set.label));
    dialogSet_->setCurrentIndex(edit.dialogSet.value_or(stored.dialogSet));
    // What the trader says, as the game will print it, following the boxes.
    traderLines_ = named(new QLabel(this), "lblTraderLines");
    traderLines_->setWordWrap(true);
    traderLines_->setTextFormat(Qt::RichText);
    traderLines_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    traderLines_->setMinimumWidth(380);
    connect(dialogSet_, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::showTraderLines);
    form->addRow(QStringLiteral("Dialog set:"), dialogSet_);
    form->addRow(traderLines_);
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
    if (itemWarning_) showWarning(itemWarning_, held);
    if (genderWarning_) showWarning(genderWarning_, gender);
}

std::optional<Result<ItemId>> MoreFieldsDialog::chosenItem() const {
    if (!item_) return std::nullopt;
    // A name chosen from the list stands for its number; typed text is the core's to resolve.
    const QString text = typedText(item_);
    const bool chosen = item_->currentIndex() >= 0 && item_->itemText(item_->currentIndex()) == text;
    return chosen ? Result<ItemId>(ItemId(item_->currentIndex())) : resolveItem(text.toStdString(), rom_.items, rom_.lastItem());
}

void MoreFieldsDialog::showTraderLines() {
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
    return Dvs{attack_->value(), defense_->value(), speed_->value(), special_->value()};
}

void MoreFieldsDialog::updateReadOuts() {
    if (!attack_) return;
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
    attack_->setValue(shiny.attack);
    defense_->setValue(shiny.defense);
    speed_->setValue(shiny.speed);
    special_->setValue(shiny.special);
}

void MoreFieldsDialog::accept() {
    const auto item = chosenItem();
    if (item && !*item) {
        // Over the main window, as every message of the program.
        messages_.show(parentWidget(), kAppTitle, fromCore(describe(item->error())), MessageIcon::Exclamation);
        return;
    }
    const TradeRecord& stored = edit_.shown;
    const auto dialogSet = std::uint8_t(dialogSet_->currentIndex());
    // Only a value that differs from the trade as read is an edit: the rest
    // keep whatever the file holds when the save is made.
    auto edited = [](auto value, auto stored) { return value == stored ? std::nullopt : std::optional(value); };
    const std::optional<ItemId> heldItem = item ? edited(**item, *stored.heldItem) : std::nullopt;
    const std::optional<Dvs> dvs = attack_ ? edited(shownDvs(), *stored.dvs) : std::nullopt;
    const std::optional<GenderRequirement> requirement =
        genderRequirement_ ? edited(*chosenRequirement(), *stored.genderRequirement) : std::nullopt;
    const std::optional<std::uint8_t> set = edited(dialogSet, stored.dialogSet);
    changed_ = heldItem != edit_.heldItem || dvs != edit_.dvs || requirement != edit_.genderRequirement || set != edit_.dialogSet;
    edit_.heldItem = heldItem;
    edit_.dvs = dvs;
    edit_.genderRequirement = requirement;
    edit_.dialogSet = set;
    QDialog::accept();
}

}  // namespace kestrane
