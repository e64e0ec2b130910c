#include "app/more_fields_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <functional>

#include "app/appearance.h"
#include "app/message_sink.h"
#include "app/wide_spin_box.h"
#include "trades/field_table.h"
#include "trades/fields.h"
#include "trades/game_data.h"
#include "trades/game_family.h"
#include "trades/pictures.h"
#include "trades/releases.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"

namespace kestrane {
namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The row keeps its width whether the sign shows or not.
void keepWidthWhenHidden(QWidget* sign) {
    auto policy = sign->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    sign->setSizePolicy(policy);
}

// A field of so few numbers that each can be named: a list of them.
constexpr std::uint32_t kMostChoices = 15;

// A spin box that shows the words a field's numbers stand for ("none" for
// no mail), and takes them typed as well as the numbers; where the numbers
// are items', each shown with its name ("Ultra Ball (2)").
class WordSpinBox final : public QSpinBox {
public:
    using Names = std::function<std::optional<std::string>(std::uint32_t)>;
    WordSpinBox(QWidget* parent, std::span<const NumberWord> words, Names names = {})
        : QSpinBox(parent), words_(words), names_(std::move(names)) {}

protected:
    QString textFromValue(int value) const override {
        for (const NumberWord& word : words_) {
            if (std::int64_t(word.number) == value) return fromCore(word.word);
        }
        if (names_ && value >= 0) {
            if (auto name = names_(std::uint32_t(value))) return fromCore(*name) + QStringLiteral(" (%1)").arg(value);
        }
        return QSpinBox::textFromValue(value);
    }
    int valueFromText(const QString& text) const override {
        for (const NumberWord& word : words_) {
            if (text.trimmed().compare(fromCore(word.word), Qt::CaseInsensitive) == 0) return int(word.number);
        }
        return QSpinBox::valueFromText(numberIn(text));
    }
    QValidator::State validate(QString& text, int& pos) const override {
        const QString typed = text.trimmed();
        for (const NumberWord& word : words_) {
            const QString whole = fromCore(word.word);
            if (!typed.isEmpty() && whole.startsWith(typed, Qt::CaseInsensitive)) {
                return typed.size() == whole.size() ? QValidator::Acceptable : QValidator::Intermediate;
            }
        }
        if (names_ && typed.endsWith(u')')) {
            QString number = numberIn(typed);
            int at = 0;
            return QSpinBox::validate(number, at);
        }
        return QSpinBox::validate(text, pos);
    }

private:
    // The number of a shown name, "Ultra Ball (2)"; the text itself where it is none such.
    QString numberIn(const QString& text) const {
        const qsizetype open = text.lastIndexOf(u'(');
        if (!names_ || open < 0 || !text.trimmed().endsWith(u')')) return text;
        return text.mid(open + 1, text.trimmed().size() - open - 2);
    }

    std::span<const NumberWord> words_;
    Names names_;
};

// The number a field's box holds: a spin box's value, or the number of the entry chosen from a list.
std::uint32_t numberIn(const QWidget* box) {
    if (const auto* spin = qobject_cast<const QSpinBox*>(box)) return std::uint32_t(spin->value());
    if (const auto* wide = qobject_cast<const WideSpinBox*>(box)) return wide->value();
    return qobject_cast<const QComboBox*>(box)->currentData().toUInt();
}

void putNumber(QWidget* box, std::uint32_t number) {
    if (auto* spin = qobject_cast<QSpinBox*>(box)) spin->setValue(int(number));
    else if (auto* wide = qobject_cast<WideSpinBox*>(box)) wide->setValue(number);
    else if (auto* choice = qobject_cast<QComboBox*>(box)) choice->setCurrentIndex(choice->findData(number));
}

// "lblUnownLetter" for the read-out "unownLetter".
QString readOutName(std::string_view key) {
    QString name = fromCore(key);
    if (!name.isEmpty()) name[0] = name[0].toUpper();
    return QStringLiteral("lbl") + name;
}

}  // namespace

MoreFieldsDialog::MoreFieldsDialog(QWidget* parent, MessageSink& messages, const Rom& rom, const TradeEdit& edit,
                                   ChosenInMainForm chosen)
    : QDialog(parent), messages_(messages), rom_(rom), chosen_(chosen), edit_(edit) {
    setObjectName(QStringLiteral("MoreFields"));
    setWindowTitle(QStringLiteral("More Fields \u2014 ") + fromCore(edit.shown.slot.name()));
    setModal(true);
    auto* form = new QFormLayout;
    auto withSign = [](QWidget* field, QLabel* sign) {
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(sign);
        keepWidthWhenHidden(sign);
        return row;
    };

    // A box a row of the field table, for the fields of More Fields the release's records hold.
    for (const FieldRow& row : kFieldRows) {
        if (row.place != FieldPlace::MoreFields || !rom.release->layout.has(row.field)) continue;
        const QString label = fromCore(std::string(row.boxLabel));
        if (const NumberPlace* place = rom.release->layout.numberPlace(row.field)) {
            QWidget* box = numbersBox(row, *place, edit);
            if (!row.parts.empty()) {
                form->addRow(box);
                continue;
            }
            // Beside a one-number box: what the game makes of it, then its sign.
            auto* line = new QHBoxLayout;
            line->addWidget(box);
            if (!qobject_cast<QComboBox*>(box)) {  // a list names what each of its numbers makes
                auto* outs = new QHBoxLayout;
                outs->setSpacing(12);
                outRows_[row.field] = outs;
                line->addLayout(outs);
            }
            line->addStretch(1);
            if (!row.warningName.empty()) {
                QLabel* sign = warningSign(this, std::string(row.warningName).c_str());
                keepWidthWhenHidden(sign);
                signs_[row.field] = sign;
                line->addWidget(sign);
            }
            form->addRow(label, line);
            if (row.field == Field::Personality && !rom.release->family().natures().empty()) {
                // The nature a person thinks in, chosen: the family finds the personality that gives it.
                nature_ = named(new QComboBox(this), "cboNature");
                for (std::string_view nature : rom.release->family().natures()) nature_->addItem(fromCore(nature));
                nature_->setToolTip(QStringLiteral("Choose a nature: the nearest personality upward that gives it, with the same gender and Unown letter"));
                connect(nature_, &QComboBox::activated, this, &MoreFieldsDialog::chooseNature);
                auto* natureLine = new QHBoxLayout;
                natureLine->addWidget(nature_);
                if (!rom.release->layout.has(Field::Dvs)) {
                    // Shininess is the IDs' and the personality's: Make Shiny changes the secret ID alone.
                    auto* makeShiny = named(new QPushButton(QStringLiteral("Make Shiny"), this), "btnMakeShiny");
                    makeShiny->setAutoDefault(false);
                    makeShiny->setToolTip(QStringLiteral("Change the secret ID so that the creature arrives shiny, its personality kept"));
                    connect(makeShiny, &QPushButton::clicked, this, &MoreFieldsDialog::makeShinyCommand);
                    natureLine->addWidget(makeShiny);
                }
                natureLine->addStretch(1);
                form->addRow(QStringLiteral("Nature:"), natureLine);
            }
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
    boxesChanged();
    showTraderLines();
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
        connect(box, &QComboBox::currentTextChanged, this, &MoreFieldsDialog::boxesChanged);
        return box;
    }
    for (std::string_view label : choiceLabels(row.field, *rom_.release)) box->addItem(fromCore(std::string(label)));
    if (row.field == Field::GenderRequirement) {
        genderRequirement_ = box;
        box->setCurrentIndex(int(edit.genderRequirement.value_or(*stored.genderRequirement)));
        connect(box, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::boxesChanged);
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
    if (row.parts.empty()) return oneNumberBox(row, place, start[0]);
    auto* group = new QGroupBox(fromCore(std::string(row.boxLabel)), this);
    auto* grid = new QGridLayout(group);
    for (std::size_t i = 0; i < row.parts.size(); ++i) {
        auto* box = new QSpinBox(group);
        box->setObjectName(fromCore(std::string(row.parts[i].objectName)));
        box->setRange(0, int(std::min<std::uint32_t>(place.max, std::uint32_t(INT_MAX))));
        box->setValue(int(start[i]));
        connect(box, &QSpinBox::valueChanged, this, &MoreFieldsDialog::boxesChanged);
        numbers_[row.field] << box;
        grid->addWidget(new QLabel(fromCore(std::string(row.parts[i].label)), group), int(i % 3), int(i / 3) * 2);
        grid->addWidget(box, int(i % 3), int(i / 3) * 2 + 1);
    }
    return group;
}

QWidget* MoreFieldsDialog::oneNumberBox(const FieldRow& row, const NumberPlace& place, std::uint32_t start) {
    QWidget* made = nullptr;
    if (place.max <= kMostChoices) {
        // Each number by its word, or by what the game makes of it ("0: Overgrow").
        auto* box = new QComboBox(this);
        TradeEdit asChosen = edit_;
        asChosen.offeredSpecies = chosen_.offered;
        asChosen.trainerId = chosen_.trainerId;
        for (std::uint32_t number = 0; number <= place.max; ++number) {
            QString text = QString::number(number);
            if (const NumberWord* word = wordOf(row, number)) {
                text = fromCore(word->word);
            } else {
                asChosen.numbers[row.field] = {number};
                for (const ReadOut& out : rom_.release->family().readOuts(rom_, recordAsEdited(asChosen))) {
                    if (out.field == row.field) text += QStringLiteral(": ") + fromCore(out.text);
                }
            }
            box->addItem(text, number);
        }
        box->setCurrentIndex(box->findData(start));
        connect(box, &QComboBox::currentIndexChanged, this, &MoreFieldsDialog::boxesChanged);
        made = box;
    } else if (place.max > std::uint32_t(INT_MAX)) {
        auto* box = new WideSpinBox(this);
        box->setValue(start);
        connect(box, &WideSpinBox::valueChanged, this, &MoreFieldsDialog::boxesChanged);
        made = box;
    } else {
        WordSpinBox::Names names;
        if (!row.itemZero.empty()) names = [this, field = row.field](std::uint32_t n) { return itemNumberName(rom_, field, n); };
        auto* box = new WordSpinBox(this, row.words, std::move(names));
        box->setRange(0, int(place.max));
        box->setValue(int(start));
        connect(box, &QSpinBox::valueChanged, this, &MoreFieldsDialog::boxesChanged);
        made = box;
    }
    made->setObjectName(fromCore(std::string(row.objectName)));
    if (!row.toolTip.empty()) made->setToolTip(fromCore(std::string(row.toolTip)));
    numbers_[row.field] << made;
    return made;
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
        connect(box, &QSpinBox::valueChanged, this, &MoreFieldsDialog::boxesChanged);
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

TradeEdit MoreFieldsDialog::boxesEdit() const {
    TradeEdit edit = edit_;
    if (chosen_.requested) edit.requestedSpecies = chosen_.requested;
    if (chosen_.offered) edit.offeredSpecies = chosen_.offered;
    if (chosen_.trainerId) edit.trainerId = chosen_.trainerId;
    if (auto item = chosenItem(); item && *item) edit.heldItem = **item;
    if (!parts_.isEmpty()) edit.dvs = shownDvs();
    edit.genderRequirement = chosenRequirement();
    if (dialogSet_) edit.dialogSet = std::uint8_t(dialogSet_->currentIndex());
    for (const auto& [field, boxes] : numbers_) {
        std::vector<std::uint32_t> values;
        for (const QWidget* box : boxes) values.push_back(numberIn(box));
        edit.numbers[field] = values;
    }
    return edit;
}

void MoreFieldsDialog::showNumbers(const TradeEdit& made) {
    for (const auto& [field, values] : made.numbers) {
        const auto boxes = numbers_.find(field);
        if (boxes == numbers_.end()) continue;
        for (qsizetype i = 0; i < boxes->second.size() && std::size_t(i) < values.size(); ++i) putNumber(boxes->second[i], values[std::size_t(i)]);
    }
}

void MoreFieldsDialog::boxesChanged() {
    updateDvReadOuts();
    // One reading of the boxes for all that follows them.
    const TradeEdit edit = boxesEdit();
    const TradeRecord record = recordAsEdited(edit);
    updateReadOuts(record);
    showWarnings(edit);
    emit lookChanged(lookOf(rom_, record));
}

void MoreFieldsDialog::showWarnings(const TradeEdit& edit) {
    std::map<Field, QStringList> reasons;
    for (const TradeWarning& w : tradeWarnings(rom_, edit)) reasons[w.field] << fromCore(w.text);
    for (const auto& [field, sign] : signs_) showWarning(sign, reasons[field]);
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

void MoreFieldsDialog::updateDvReadOuts() {
    if (parts_.isEmpty()) return;
    const std::vector<ReadOut> outs = dvReadOuts(rom_, shownDvs(), chosen_.offered);
    for (int i = 0; i < readOuts_.size(); ++i) {
        const bool shown = std::size_t(i) < outs.size();
        readOuts_[i]->setVisible(shown);
        if (shown) readOuts_[i]->setText(fromCore(outs[std::size_t(i)].shortLabel) + QStringLiteral(": ") + fromCore(outs[std::size_t(i)].text));
    }
}

void MoreFieldsDialog::updateReadOuts(const TradeRecord& record) {
    if (outRows_.empty()) return;
    for (auto& [key, label] : outs_) label->hide();
    const auto natures = rom_.release->family().natures();
    for (const ReadOut& out : rom_.release->family().readOuts(rom_, record)) {
        if (nature_ && out.key == "nature") {
            // The chooser shows the nature the personality gives.
            const auto at = std::find(natures.begin(), natures.end(), out.text);
            const QSignalBlocker quiet(nature_);
            nature_->setCurrentIndex(at == natures.end() ? -1 : int(at - natures.begin()));
            continue;
        }
        const auto row = outRows_.find(out.field);
        if (row == outRows_.end()) continue;
        auto label = outs_.find(out.key);
        if (label == outs_.end()) {
            auto* made = new QLabel(this);
            made->setObjectName(readOutName(out.key));
            if (out.label != out.shortLabel) made->setToolTip(fromCore(out.label));
            row->second->addWidget(made);
            label = outs_.emplace(std::string(out.key), made).first;
        }
        label->second->setText(fromCore(out.shortLabel) + QStringLiteral(": ") + fromCore(out.text));
        label->second->show();
    }
}

void MoreFieldsDialog::chooseNature(int nature) {
    TradeEdit made = boxesEdit();
    if (auto given = rom_.release->family().giveNature(rom_, made, rom_.release->family().natures()[std::size_t(nature)]); !given) {
        messages_.show(parentWidget(), kAppTitle, fromCore(describe(given.error())), MessageIcon::Exclamation);
        return;
    }
    showNumbers(made);
}

void MoreFieldsDialog::makeShinyCommand() {
    if (!parts_.isEmpty()) {
        const Dvs shiny = makeShiny(shownDvs());
        const int values[] = {shiny.attack, shiny.defense, shiny.speed, shiny.special};
        for (int i = 0; i < parts_.size(); ++i) parts_[i]->setValue(values[i]);
        return;
    }
    TradeEdit made = boxesEdit();
    if (auto shiny = rom_.release->family().makeShiny(rom_, made); !shiny) {
        messages_.show(parentWidget(), kAppTitle, fromCore(describe(shiny.error())), MessageIcon::Exclamation);
        return;
    }
    showNumbers(made);
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
        for (const QWidget* box : boxes) values.push_back(numberIn(box));
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
