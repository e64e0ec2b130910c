// "More Fields — Trade Number N": the held item, the DVs with what the game
// makes of them, the gender requirement and the dialog set of the trade
// being edited. Modal; OK keeps the values for the next save, Cancel drops
// them. Every rule and read-out comes from the core.
#pragma once

#include <QDialog>
#include <optional>

#include "trades/dvs.h"
#include "trades/rom.h"
#include "trades/slot.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace kestrane {

class MessageSink;

// The four fields as the dialog edits them.
struct MoreFields {
    std::uint8_t heldItem = 0;
    Dvs dvs;
    std::uint8_t genderRequirement = 0;
    std::uint8_t dialogSet = 0;
    friend bool operator==(const MoreFields&, const MoreFields&) = default;
};

class MoreFieldsDialog final : public QDialog {
    Q_OBJECT

public:
    // offeredSpecies: the species chosen in the main window, for the gender
    // read-out (none when its box names no species).
    MoreFieldsDialog(QWidget* parent, MessageSink& messages, const Rom& rom, Slot slot, const MoreFields& values,
                     std::optional<std::uint8_t> offeredSpecies);

    // What OK kept.
    const MoreFields& values() const { return values_; }

public slots:
    void accept() override;

signals:
    // The DVs as the spin boxes hold them, whenever they change.
    void dvsChanged(const kestrane::Dvs& dvs);

private:
    void updateReadOuts();
    void makeShinyCommand();
    Dvs shownDvs() const;

    MessageSink& messages_;
    const Rom& rom_;
    std::optional<std::uint8_t> genderRatio_;
    bool unown_ = false;
    MoreFields values_;

    QComboBox* item_ = nullptr;
    QSpinBox* attack_ = nullptr;
    QSpinBox* defense_ = nullptr;
    QSpinBox* speed_ = nullptr;
    QSpinBox* special_ = nullptr;
    QLabel* shiny_ = nullptr;
    QLabel* hp_ = nullptr;
    QLabel* gender_ = nullptr;
    QLabel* unownLetter_ = nullptr;
    QComboBox* genderRequirement_ = nullptr;
    QComboBox* dialogSet_ = nullptr;
};

}  // namespace kestrane
