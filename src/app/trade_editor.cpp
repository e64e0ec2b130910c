#include "app/trade_editor.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QStringListModel>

#include "app/appearance.h"
#include "app/message_sink.h"
#include "app/more_fields_dialog.h"
#include "app/name_box.h"
#include "trades/creature_list.h"
#include "trades/field_table.h"
#include "trades/trade_text.h"
#include "trades/trade_warnings.h"
#include "trades/trainer_id.h"

namespace kestrane {

TradeEditor::TradeEditor(QMainWindow& window, const MainForm& form, const std::optional<Rom>& rom, MessageSink& messages,
                         FileSystem& files)
    : QObject(&window), window_(window), form_(form), rom_(rom), messages_(messages), files_(files) {
    // Only what the user does marks the trade modified, never what the window fills in.
    for (auto [box, field] : {std::pair{form_.nickname, Field::Nickname}, std::pair{form_.trainerName, Field::TrainerName},
                              std::pair{form_.trainerId, Field::TrainerId}}) {
        connect(box, &QLineEdit::textEdited, this, [this, field = field] { markEdited(field); });
        connect(box, &QLineEdit::textEdited, this, &TradeEditor::showWarnings);
    }
    // The IDs make the third generation's creature shiny or not.
    connect(form_.trainerId, &QLineEdit::textEdited, this, [this] { showPictures(); });
    // Names are limited by the bytes they take, not by characters ("[PK]" is
    // one byte): the room left shows in the box, and a save says what is too long.
    for (auto [box, role] : {std::pair{form_.nickname, NameRole::Nickname}, std::pair{form_.trainerName, NameRole::TrainerName}}) {
        connect(box, &QLineEdit::textChanged, this, [this, box = box, role = role] { updateRoomLeft(box, role); });
    }
    // Both lists show one model: 252 strings, not 504 items.
    speciesModel_ = new QStringListModel(this);
    showSpeciesNames(builtInSpeciesList());
    for (auto [box, field] : {std::pair{form_.offeredSpecies, Field::OfferedSpecies},
                              std::pair{form_.requestedSpecies, Field::RequestedSpecies}}) {
        box->setModel(speciesModel_);
        box->setCurrentIndex(-1);
        box->setEditText(QString());
        connect(box, &QComboBox::activated, this, [this, field = field] { markEdited(field); });
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, field = field] { markEdited(field); });
        // The pictures follow what the lists say, chosen or typed.
        connect(box, &QComboBox::currentTextChanged, this, [this] {
            showPictures();
            showWarnings();
        });
    }
}

void TradeEditor::showSpeciesNames(const SpeciesList& names) {
    QStringList entries;
    for (const std::string& entry : names.entries()) entries << fromCore(entry);
    if (entries != speciesModel_->stringList()) speciesModel_->setStringList(entries);
}

void TradeEditor::setCurrentTrade(CurrentTrade trade, bool refill) {
    current_ = std::move(trade);
    if (refill) fillEditor();
    window_.setWindowModified(current_.record && !current_.edited.empty());
    emit tradeChanged();
}

std::vector<std::pair<Field, QWidget*>> TradeEditor::fieldBoxes() const {
    return {{Field::RequestedSpecies, form_.requestedSpecies},
            {Field::OfferedSpecies, form_.offeredSpecies},
            {Field::Nickname, form_.nickname},
            {Field::TrainerName, form_.trainerName},
            {Field::TrainerId, form_.trainerId}};
}

void TradeEditor::clearChangedMarks() {
    for (const auto& [field, box] : fieldBoxes()) markChangedOnDisk(box, QString());
}

void TradeEditor::fillEditor() {
    clearChangedMarks();
    const std::optional<TradeRecord>& record = current_.record;
    const bool shown = record.has_value();
    for (QWidget* w : std::initializer_list<QWidget*>{form_.nickname, form_.trainerName, form_.trainerId, form_.detailsFrame,
                                                      form_.saveButton, form_.requestedSpecies, form_.offeredSpecies,
                                                      form_.locationFrame}) {
        w->setEnabled(shown);
    }
    for (QLabel* caption : form_.detailCaptions) caption->setEnabled(shown);
    // A place longer than its label (another language's, a hack's) is cut
    // with an ellipsis and shown whole in the tooltip.
    const QString location = shown ? fromCore(record->location) : QString();
    form_.location->setText(form_.location->fontMetrics().elidedText(location, Qt::ElideRight, form_.location->width()));
    form_.location->setToolTip(location);
    form_.trainerId->setText(shown && record->trainerId ? QString::number(*record->trainerId) : QString());
    for (auto [box, stored] : {std::pair{form_.requestedSpecies, shown ? std::optional(record->requestedSpecies) : std::nullopt},
                               std::pair{form_.offeredSpecies, shown ? std::optional(record->offeredSpecies) : std::nullopt}}) {
        const auto row = stored ? rom_->species->rowOf(*stored) : std::nullopt;
        box->setCurrentIndex(row.value_or(-1));
        if (!stored) box->setEditText(QString());
        else if (!row) box->setEditText(fromCore(unlistedSpeciesText(*stored)));
    }
    form_.nickname->setText(shown ? QString::fromStdU16String(record->nickname) : QString());
    form_.trainerName->setText(shown && record->trainerName ? QString::fromStdU16String(*record->trainerName) : QString());
    showHiddenBytes(form_.nickname, shown ? fromCore(record->nicknameHidden) : QString());
    showHiddenBytes(form_.trainerName, shown ? fromCore(record->trainerNameHidden) : QString());
    updateRoomLeft(form_.nickname, NameRole::Nickname);
    updateRoomLeft(form_.trainerName, NameRole::TrainerName);
    // Fields the release's records do not hold (Red, Blue and Yellow's
    // trainer and ID) are facts of the trade: shown, never edited.
    if (shown) {
        const QString given = fromCore(givenAtTradeText(*rom_));
        if (!record->trainerName) {
            form_.trainerName->setEnabled(false);
            form_.trainerName->setText(fromCore(rom_->words->givenTrainer));
            form_.trainerName->setToolTip(given);
        }
        form_.trainerId->setMaxLength(record->trainerId ? 5 : 32767);
        if (!record->trainerId) {
            form_.trainerId->setEnabled(false);
            form_.trainerId->setText(QStringLiteral("random"));
            form_.trainerId->setToolTip(given);
        } else {
            form_.trainerId->setToolTip(QString());
        }
    }
    showPictures();
    showWarnings();
}

void TradeEditor::showWarnings() {
    if (!form_.requestedWarning) return;  // still being built
    std::vector<TradeWarning> warnings;
    if (current_.record) {
        // A box the core cannot read yet shows nothing: Save says what is wrong with it.
        if (auto edit = editFromBoxes(NamePadding::Release)) warnings = tradeWarnings(*rom_, *edit);
    }
    const std::pair<QLabel*, Field> signs[] = {{form_.requestedWarning, Field::RequestedSpecies},
                                               {form_.offeredWarning, Field::OfferedSpecies},
                                               {form_.nicknameWarning, Field::Nickname},
                                               {form_.trainerNameWarning, Field::TrainerName}};
    QStringList elsewhere;  // the fields of More Fields
    for (const TradeWarning& w : warnings) {
        const FieldRow* row = findFieldRow(w.field);
        if (row && row->place == FieldPlace::MoreFields) elsewhere << fromCore(warningLine(current_.record->slot, w));
    }
    for (auto [sign, field] : signs) {
        QStringList reasons;
        for (const TradeWarning& w : warnings) {
            if (w.field == field) reasons << fromCore(w.text);
        }
        showWarning(sign, reasons);
    }
    if (!elsewhere.isEmpty()) window_.statusBar()->showMessage(elsewhere.join(QLatin1Char(' ')));
}

void TradeEditor::updateRoomLeft(QLineEdit* box, NameRole role) {
    const std::optional<TradeRecord>& record = current_.record;
    const bool held = record && (role == NameRole::Nickname || record->trainerName);
    showRoomLeft(box, held ? nameRoom(*rom_, *record, role, box->text().toStdU16String()) : std::nullopt,
                 fromCore(nameRoleText(role)), held);
}

void TradeEditor::showPictures(std::optional<PictureLook> look) {
    if (!form_.offeredPicture) return;  // still being built
    if (!current_.record) {
        for (QLabel* frame : {form_.offeredPicture, form_.requestedPicture}) {
            frame->clear();
            frame->setToolTip(QStringLiteral("No trade is shown."));
        }
        return;
    }
    if (!look) {
        // As the trade will arrive: the More Fields values kept, the ID typed.
        TradeEdit edit = current_.more.value_or(uneditedEdit(*current_.record));
        edit.shown = *current_.record;
        if (auto id = typedTrainerId()) edit.trainerId = *id;
        look = lookOf(*rom_, recordAsEdited(edit));
    }
    showPicture(form_.offeredPicture, speciesOf(form_.offeredSpecies, SpeciesRole::Offered), *look);
    showPicture(form_.requestedPicture, speciesOf(form_.requestedSpecies, SpeciesRole::Requested), PictureLook{});
}

void TradeEditor::showPicture(QLabel* frame, const Result<SpeciesId>& species, PictureLook look) {
    auto picture = species ? readFrontPicture(*rom_, *species, look, files_) : Result<FrontPicture>(species.error());
    if (!picture) {
        frame->clear();
        frame->setToolTip(fromCore(picture.error().message));
        return;
    }
    frame->setPixmap(pixmapOf(*picture, frame->contentsRect().size()));
    frame->setToolTip(QString());
}

Result<TradeEdit, Problems> TradeEditor::editFromBoxes(NamePadding padding) const {
    TradeEdit edit = current_.more.value_or(uneditedEdit(*current_.record));
    Problems problems;
    auto keep = [&](auto result, auto& target) {
        if (result) target = *result;
        else problems.push_back(result.error());
    };
    const TradeRecord& shown = *current_.record;
    // The record as the file holds it now (after a reload that kept the boxes).
    edit.shown = shown;
    // The boxes of fields the release's trades hold.
    if (shown.trainerId) keep(parseTrainerId(form_.trainerId->text().toStdString()), edit.trainerId);
    keep(speciesOf(form_.requestedSpecies, SpeciesRole::Requested), edit.requestedSpecies);
    keep(speciesOf(form_.offeredSpecies, SpeciesRole::Offered), edit.offeredSpecies);
    keep(resolveName(*rom_, shown, NameRole::Nickname, form_.nickname->text().toStdU16String(), padding), edit.nickname);
    if (shown.trainerName) {
        keep(resolveName(*rom_, shown, NameRole::TrainerName, form_.trainerName->text().toStdU16String(), padding),
             edit.trainerName);
    }
    if (!problems.empty()) return problems;
    return edit;
}

std::optional<std::uint16_t> TradeEditor::typedTrainerId() const {
    if (!current_.record || !current_.record->trainerId) return std::nullopt;
    auto id = parseTrainerId(form_.trainerId->text().toStdString());
    return id ? std::optional<std::uint16_t>(*id) : std::nullopt;
}

Result<SpeciesId> TradeEditor::speciesOf(const QComboBox* box, SpeciesRole role) const {
    // An entry chosen from the list is its species; typed text is the core's to resolve.
    const QString text = typedText(box);
    if (box->currentIndex() >= 0 && box->itemText(box->currentIndex()) == text) {
        if (auto id = rom_->species->idOfRow(box->currentIndex())) return *id;
    }
    const TradeRecord& shown = *current_.record;
    return resolveSpecies(text.toStdString(), role == SpeciesRole::Requested ? shown.requestedSpecies : shown.offeredSpecies,
                          role, *rom_->species);
}

void TradeEditor::showMoreFields() {
    if (!rom_ || !current_.record) return;
    // The read-outs follow the species chosen in the main window, as the core resolves it.
    auto chosen = [this](const QComboBox* box, SpeciesRole role) {
        auto species = speciesOf(box, role);
        return species ? std::optional<SpeciesId>(*species) : std::nullopt;
    };
    MoreFieldsDialog dialog(&window_, messages_, *rom_, current_.more.value_or(uneditedEdit(*current_.record)),
                            {chosen(form_.requestedSpecies, SpeciesRole::Requested), chosen(form_.offeredSpecies, SpeciesRole::Offered),
                             typedTrainerId()});
    dialog.setFont(form_.captionFont);
    // The offered picture follows the boxes while they are changed.
    connect(&dialog, &MoreFieldsDialog::lookChanged, this, [this](PictureLook look) { showPictures(look); });
    if (dialog.exec() == QDialog::Accepted) {
        // Only the fields the dialog now changes are kept as edits.
        CurrentTrade trade = current_;
        trade.more = dialog.edit();
        for (auto [field, edited] : {std::pair{Field::HeldItem, trade.more->heldItem.has_value()},
                                     std::pair{Field::Dvs, trade.more->dvs.has_value()},
                                     std::pair{Field::GenderRequirement, trade.more->genderRequirement.has_value()},
                                     std::pair{Field::DialogSet, trade.more->dialogSet.has_value()}}) {
            if (edited) trade.edited.insert(field);
            else trade.edited.erase(field);
        }
        for (const auto& [field, numbers] : trade.record->numbers) {
            if (trade.more->numbers.contains(field)) trade.edited.insert(field);
            else trade.edited.erase(field);
        }
        setCurrentTrade(std::move(trade), false);
    }
    showPictures();
    showWarnings();
}

void TradeEditor::markEdited(Field field) {
    if (!current_.record) return;
    current_.edited.insert(field);
    window_.setWindowModified(true);
}

}  // namespace kestrane
