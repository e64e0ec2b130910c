// The main window's controls at their designed places: frames, then in
// each its controls, with their object names, geometry, captions and
// enabled state at start, as one table. The window wires them up.
#pragma once

#include <QFont>
#include <QList>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace kestrane {

struct MainForm {
    QGroupBox* romFrame = nullptr;        // Frame5, "ROM Information"
    QGroupBox* tradeListFrame = nullptr;  // Frame2, "Trade Number"
    QGroupBox* locationFrame = nullptr;   // Frame6, "In-Game Location"
    QGroupBox* detailsFrame = nullptr;    // Frame3, "Trade Details"
    QLabel* gameName = nullptr;
    QLabel* gameCode = nullptr;
    QLabel* language = nullptr;
    QLabel* tableInfo = nullptr;
    QLabel* sourceInfo = nullptr;  // the build tree's trade file, after the table on its row; hidden where there is none
    QListWidget* tradeList = nullptr;
    QLabel* location = nullptr;
    QLabel* sourceLine = nullptr;  // "line 14": the trade's row in the trade file
    QComboBox* offeredSpecies = nullptr;
    QLineEdit* nickname = nullptr;
    QLineEdit* trainerName = nullptr;
    QLineEdit* trainerId = nullptr;
    QComboBox* requestedSpecies = nullptr;
    QPushButton* saveButton = nullptr;
    QLabel* offeredPicture = nullptr;
    QLabel* requestedPicture = nullptr;
    QList<QLabel*> romCaptions;     // "Game Name:", "Game Code:", "Language:"
    QList<QLabel*> detailCaptions;  // the captions of the editor's fields
    // Warning signs at the right end of a field's caption row: a trade that can never happen.
    QLabel* requestedWarning = nullptr;
    QLabel* offeredWarning = nullptr;
    QLabel* nicknameWarning = nullptr;
    QLabel* trainerNameWarning = nullptr;
    QFont captionFont;              // the designed face of captions, the list and the Save button
};

// Builds every control on `client` (the designed 493 x 427, and a column to
// the right for the pictures).
MainForm buildMainForm(QWidget* client);

}  // namespace kestrane
