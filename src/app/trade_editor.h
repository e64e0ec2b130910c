// The trade editor: the boxes of the trade being edited, what they show
// (the record, or the edits typed over it), the front pictures, the warning
// signs and the room left in the names. It owns the trade being edited and
// which of its fields the user edited; the window owns the ROM, the
// commands and their menus, and asks it for the edit the boxes make.
#pragma once

#include <QObject>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "app/main_form.h"
#include "support/file.h"
#include "trades/creature_list.h"
#include "trades/pictures.h"
#include "trades/rom.h"
#include "trades/trade_edit.h"
#include "trades/trade_record.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QStringListModel;

namespace kestrane {

class MessageSink;

class TradeEditor final : public QObject {
    Q_OBJECT

public:
    // The trade being edited: its row, the record as read (none: the slot
    // has no trade), the More Fields values kept for the next save, and the
    // fields the user edited (only those are saved; the rest keep the file's bytes).
    struct CurrentTrade {
        int row = -1;
        std::optional<TradeRecord> record;
        std::optional<TradeEdit> more;
        std::set<Field> edited;
    };

    // The boxes of `form`, for the ROM `rom` holds (the window's, which outlives the editor).
    TradeEditor(QMainWindow& window, const MainForm& form, const std::optional<Rom>& rom, MessageSink& messages,
                FileSystem& files);

    const CurrentTrade& current() const { return current_; }
    // The one place that changes the trade being edited: the window's
    // unsaved mark follows (the trade's edited fields), then tradeChanged;
    // `refill` puts the record's values in the boxes (after a save the
    // boxes keep what was typed).
    void setCurrentTrade(CurrentTrade trade, bool refill = true);
    // The species lists' entries: the ROM's names, or the built-in ones.
    void showSpeciesNames(const SpeciesList& names);
    // Both front pictures, as the boxes now say: the offered creature as it
    // will arrive (look: as More Fields, open, now makes it).
    void showPictures(std::optional<PictureLook> look = std::nullopt);
    // The warning signs of a trade that can never happen, as the boxes now say.
    void showWarnings();
    // The boxes of the main form's fields.
    std::vector<std::pair<Field, QWidget*>> fieldBoxes() const;
    void clearChangedMarks();
    // The edit the boxes ask for, its typed names padded as `padding` says, or every problem of it.
    Result<TradeEdit, Problems> editFromBoxes(NamePadding padding) const;
    // The species a list box names, as the core resolves typed text.
    Result<SpeciesId> speciesOf(const QComboBox* box, SpeciesRole role) const;
    // More Fields, for the trade being edited; OK keeps its values as edits.
    void showMoreFields();

signals:
    // The trade being edited, or which of its fields are edited, changed.
    void tradeChanged();

private:
    void fillEditor();
    // The ID the main form's box says, as the core reads it; none where the records hold none or the box names none yet.
    std::optional<std::uint16_t> typedTrainerId() const;
    void showPicture(QLabel* frame, const Result<SpeciesId>& species, PictureLook look);
    void updateRoomLeft(QLineEdit* box, NameRole role);
    // The user changed a field of the editor: the trade has unsaved edits.
    void markEdited(Field field);

    QMainWindow& window_;
    const MainForm& form_;
    const std::optional<Rom>& rom_;
    MessageSink& messages_;
    FileSystem& files_;
    CurrentTrade current_;
    QStringListModel* speciesModel_ = nullptr;  // both species lists show it
};

}  // namespace kestrane
