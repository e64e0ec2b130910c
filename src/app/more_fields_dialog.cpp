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
    const std::uint8_t heldItem = edit.heldItem.value_or(stored.heldItem);
    const Dvs startDvs = edit.dvs.value_or(stored.dvs);
    const std::uint8_t genderRequirement = edit.genderRequirement.value_or(stored.genderRequirement);
    const std::uint8_t dialogSet = edit.dialogSet.value_or(stored.dialogSet);
    setModal(true);
    if (chosen.offered) genderRatio_ = genderRatioOf(rom.genderRatios, *chosen.offered);
    unown_ = chosen.offered == kUnown;

    item_ = named(new QComboBox(this), "cboItem");
    item_->setEditable(true);
    item_->setInsertPolicy(QComboBox::NoInsert);
    for (int item = 0; item < kItemCount; ++item) item_->addItem(fromCore(itemLabel(rom.items, std::uint8_t(item))));
    item_->setCurrentIndex(heldItem);
    item_->setToolTip(QStringLiteral("Choose an item, or type its name or number (0 to 255)."));

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
    shiny_ = named(new QLabel(dvBox), "lblShiny");
    hp_ = named(new QLabel(dvBox), "lblHpDv");
    gender_ = named(new QLabel(dvBox), "lblGender");
    gender_->setToolTip(QStringLiteral("The gender of the creature the player receives"));
    unownLetter_ = named(new QLabel(dvBox), "lblUnown");
    unownLetter_->setVisible(unown_);
    int readOut = 0;
    for (QLabel* label : {shiny_, hp_, gender_, unownLetter_}) dvGrid->addWidget(label, readOut++, 2);
    auto* makeShiny = named(new QPushButton(QStringLiteral("Make Shiny"), dvBox), "btnMakeShiny");
    makeShiny->setAutoDefault(false);
    dvGrid->addWidget(makeShiny, 4, 0, 1, 3);
    dvGrid->setColumnMinimumWidth(2, 150);
    connect(makeShiny, &QPushButton::clicked, this, &MoreFieldsDialog::makeShinyCommand);

    genderRequirement_ = named(new QComboBox(this), "cboGenderRequirement");
    for (const FieldName& requirement : kGenderRequirements) genderRequirement_->addItem(fromCore(requirement.label));
    genderRequirement_->setCurrentIndex(genderRequirement);
    genderRequirement_->setToolTip(QStringLiteral("The gender the creature you give must have."));

    dialogSet_ = named(new QComboBox(this), "cboDialogSet");
    for (const DialogSet& set : rom.release->dialogSets) dialogSet_->addItem(fromCore(set.label));
    dialogSet_->setCurrentIndex(dialogSet);
    // What the trader says, as the game will print it, following the boxes.
    traderLines_ = named(new QLabel(this), "lblTraderLines");
    traderLines_->setWordWrap(true);
    traderLines_->setTextFormat(Qt::RichText);
    traderLines_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    traderLines_->setMinimumWidth(380);
    connect(dialogSet_, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::showTraderLines);
    connect(genderRequirement_, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::showTraderLines);

    itemWarning_ = warningSign(this, "warnItem");
    genderWarning_ = warningSign(this, "warnGenderRequirement");
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
    connect(item_, &QComboBox::currentTextChanged, this, &MoreFieldsDialog::showWarnings);
    connect(genderRequirement_, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::showWarnings);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Held item:"), withSign(item_, itemWarning_));
    form->addRow(dvBox);
    form->addRow(QStringLiteral("Gender requirement:"), withSign(genderRequirement_, genderWarning_));
    form->addRow(QStringLiteral("Dialog set:"), dialogSet_);
    form->addRow(traderLines_);
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

void MoreFieldsDialog::showWarnings() {
    TradeEdit edit = edit_;
    if (chosen_.requested) edit.requestedSpecies = chosen_.requested;
    if (chosen_.offered) edit.offeredSpecies = chosen_.offered;
    edit.genderRequirement = std::uint8_t(genderRequirement_->currentIndex());
    if (auto item = chosenItem()) edit.heldItem = *item;
    QStringList held, gender;
    for (const TradeWarning& w : tradeWarnings(rom_, edit)) {
        if (w.field == Field::HeldItem) held << fromCore(w.text);
        if (w.field == Field::GenderRequirement) gender << fromCore(w.text);
    }
    showWarning(itemWarning_, held);
    showWarning(genderWarning_, gender);
}

Result<std::uint8_t> MoreFieldsDialog::chosenItem() const {
    // A name chosen from the list stands for its number; typed text is the core's to resolve.
    const QString text = typedText(item_);
    const bool chosen = item_->currentIndex() >= 0 && item_->itemText(item_->currentIndex()) == text;
    return chosen ? Result<std::uint8_t>(std::uint8_t(item_->currentIndex())) : resolveItem(text.toStdString(), rom_.items);
}

void MoreFieldsDialog::showTraderLines() {
    TradeRecord shown = edit_.shown;
    shown.requestedSpecies = chosen_.requested.value_or(shown.requestedSpecies);
    shown.offeredSpecies = chosen_.offered.value_or(shown.offeredSpecies);
    shown.genderRequirement = std::uint8_t(genderRequirement_->currentIndex());
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
        traderLines_->setText(QStringLiteral("<i>%1</i><br>(Kestrane's words; the ROM's lines are not shown: %2)")
                                  .arg(html(said.lines[0]), fromCore(said.why).toHtmlEscaped()));
        return;
    }
    static const char* const kPhaseLabels[] = {"Asking", "On a no", "Wrong creature", "On the trade", "Afterwards"};
    QString text;
    for (std::size_t phase = 0; phase < said.lines.size(); ++phase) {
        text += QStringLiteral("<p><b>%1:</b> %2</p>").arg(QLatin1String(kPhaseLabels[phase]), html(oneLine(said.lines[phase])));
    }
    traderLines_->setText(text);
}

Dvs MoreFieldsDialog::shownDvs() const {
    return Dvs{attack_->value(), defense_->value(), speed_->value(), special_->value()};
}

void MoreFieldsDialog::updateReadOuts() {
    const Dvs dvs = shownDvs();
    shiny_->setText(QStringLiteral("Shiny: ") + (isShiny(dvs) ? QStringLiteral("yes") : QStringLiteral("no")));
    hp_->setText(QStringLiteral("HP DV: %1").arg(hpDv(dvs)));
    gender_->setText(QStringLiteral("Gender: ") + fromCore(receivedGenderText(receivedGender(dvs, genderRatio_))));
    unownLetter_->setText(QStringLiteral("Unown letter: %1").arg(QChar(unownLetter(dvs))));
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
    auto item = chosenItem();
    if (!item) {
        // Over the main window, as every message of the program.
        messages_.show(parentWidget(), kAppTitle, fromCore(describe(item.error())), MessageIcon::Exclamation);
        return;
    }
    const TradeRecord& stored = edit_.shown;
    const auto genderRequirement = std::uint8_t(genderRequirement_->currentIndex());
    const auto dialogSet = std::uint8_t(dialogSet_->currentIndex());
    changed_ = *item != edit_.heldItem.value_or(stored.heldItem) || shownDvs() != edit_.dvs.value_or(stored.dvs) ||
               genderRequirement != edit_.genderRequirement.value_or(stored.genderRequirement) ||
               dialogSet != edit_.dialogSet.value_or(stored.dialogSet);
    // Only a value that differs from the trade as read is an edit: the rest
    // keep whatever the file holds when the save is made.
    auto edited = [](auto value, auto stored) { return value == stored ? std::nullopt : std::optional(value); };
    edit_.heldItem = edited(*item, stored.heldItem);
    edit_.dvs = edited(shownDvs(), stored.dvs);
    edit_.genderRequirement = edited(genderRequirement, stored.genderRequirement);
    edit_.dialogSet = edited(dialogSet, stored.dialogSet);
    QDialog::accept();
}

}  // namespace kestrane
