#include "app/main_form.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>

#include "app/appearance.h"
#include "trades/field_table.h"

namespace kestrane {
namespace {

// A frame as Kestrane draws its frames: its caption on the frame's top line, in blue
// while the frame is enabled, and the box filling the frame's rectangle.
// (Qt's own group box puts the caption above the line and starts the box
// lower.) Only the caption is blue: a palette or style sheet on the frame
// would colour its children too, and a style sheet costs start-up time.
class ClassicFrame final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        // An etched line, as the designed frames have; the styles' own group
        // box frames keep room above them for a caption.
        const QRect box = rect().adjusted(0, title().isEmpty() ? 0 : metrics.height() / 2, 0, 0);
        qDrawShadeRect(&painter, box, palette(), true, 1, 0);
        if (title().isEmpty()) return;
        const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(caption, palette().brush(QPalette::Window));
        painter.setPen(isEnabled() ? QColor(0, 0, 255) : palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(caption.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, title());
    }
};

template <typename W>
W* place(W* widget, const char* name, QRect geometry, bool enabled) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    widget->setEnabled(enabled);
    return widget;
}

}  // namespace

MainForm buildMainForm(QWidget* client) {
    MainForm f;
    client->setFixedSize(641, 427);
    client->setFont(classicFont({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")}));
    f.captionFont = classicFont({QStringLiteral("@Arial Unicode MS"), QStringLiteral("Arial Unicode MS"), QStringLiteral("Arial")});

    auto frame = [&](const char* name, const QString& caption, QRect at, bool enabled) {
        return place(new ClassicFrame(caption, client), name, at, enabled);
    };
    place(new QLabel(client), "Image1", {0, 0, 493, 97}, true)->setPixmap(artwork(QStringLiteral("banner")));
    f.romFrame = frame("Frame5", QStringLiteral("ROM Information"), {8, 104, 473, 57}, false);
    f.tradeListFrame = frame("Frame2", QStringLiteral("Trade Number"), {8, 176, 177, 129}, false);
    f.locationFrame = frame("Frame6", QStringLiteral("In-Game Location"), {8, 320, 177, 41}, false);
    f.detailsFrame = frame("Frame3", QStringLiteral("Trade Details"), {200, 176, 281, 185}, false);
    QGroupBox* copyrightFrame = frame("Frame1", QString(), {8, 376, 473, 41}, true);
    QGroupBox* picturesFrame = frame("FramePictures", QStringLiteral("Pictures"), {489, 104, 144, 313}, true);
    for (QGroupBox* g : {f.romFrame, f.tradeListFrame, f.detailsFrame, picturesFrame}) g->setFont(f.captionFont);

    // The focus order follows the layout (list, then the fields as they read,
    // then Save) and is the order of creation: Qt 6.4's setTabOrder loses the
    // chain around editable combo boxes.
    f.tradeList = place(new QListWidget(f.tradeListFrame), "tradelist", {16, 24, 145, 94}, false);
    f.offeredSpecies = place(new QComboBox(f.detailsFrame), "theirpoke", {16, 48, 113, 21}, false);
    f.nickname = place(new QLineEdit(f.detailsFrame), "txtNickname", {152, 48, 113, 19}, false);
    f.trainerName = place(new QLineEdit(f.detailsFrame), "txtOT", {16, 104, 113, 19}, false);
    f.trainerId = place(new QLineEdit(f.detailsFrame), "txtID", {152, 104, 113, 19}, false);
    f.requestedSpecies = place(new QComboBox(f.detailsFrame), "yourpoke", {16, 152, 113, 21}, false);
    f.saveButton = place(new QPushButton(QStringLiteral("&Save"), f.detailsFrame), "btnSave", {152, 144, 113, 25}, false);

    // A field's caption carries an Alt-key letter that moves to the field.
    struct LabelRow {
        QLabel** member;  // where the form keeps it, if it does
        QList<QLabel*>* group;
        QWidget* buddy;
        QWidget* parent;
        const char* name;
        QString text;
        QRect at;
        bool enabled;
    };
    const LabelRow labels[] = {
        {nullptr, &f.romCaptions, nullptr, f.romFrame, "txtName", QStringLiteral("Game Name:"), {8, 24, 65, 17}, false},
        {&f.gameName, nullptr, nullptr, f.romFrame, "headr", QString(), {80, 24, 89, 17}, true},
        {nullptr, &f.romCaptions, nullptr, f.romFrame, "txtCDE", QStringLiteral("Game Code:"), {184, 24, 65, 17}, false},
        {&f.gameCode, nullptr, nullptr, f.romFrame, "txtCode", QString(), {256, 24, 65, 17}, true},
        {nullptr, &f.romCaptions, nullptr, f.romFrame, "lang", QStringLiteral("Language:"), {328, 24, 57, 17}, false},
        {&f.language, nullptr, nullptr, f.romFrame, "language", QString(), {384, 24, 65, 17}, true},
        {&f.tableInfo, nullptr, nullptr, f.romFrame, "tableInfo", QString(), {8, 40, 457, 14}, true},
        {&f.sourceInfo, nullptr, nullptr, f.romFrame, "sourceInfo", QString(), {240, 40, 225, 14}, true},
        {&f.location, nullptr, nullptr, f.locationFrame, "location", QString(), {16, 16, 113, 17}, true},
        {&f.sourceLine, nullptr, nullptr, f.locationFrame, "sourceLine", QString(), {130, 16, 43, 17}, true},
        {nullptr, &f.detailCaptions, f.offeredSpecies, f.detailsFrame, "Label2", QStringLiteral("&Offered Pok\u00e9mon:"),
         {24, 24, 89, 17}, false},
        {nullptr, &f.detailCaptions, f.nickname, f.detailsFrame, "Label3", QStringLiteral("&Nickname:"), {168, 24, 57, 17}, false},
        {nullptr, &f.detailCaptions, f.trainerName, f.detailsFrame, "Label10", QStringLiteral("O&riginal Trainer:"),
         {24, 80, 81, 17}, false},
        {nullptr, &f.detailCaptions, f.trainerId, f.detailsFrame, "Label11", QStringLiteral("&ID Number:"), {168, 80, 57, 17}, false},
        {nullptr, &f.detailCaptions, f.requestedSpecies, f.detailsFrame, "Label9", QStringLiteral("&Your Pok\u00e9mon:"),
         {24, 128, 81, 17}, false},
        {nullptr, nullptr, nullptr, copyrightFrame, "Label4", kCopyrightLine, {160, 16, 169, 17}, true},
        {nullptr, nullptr, nullptr, picturesFrame, "lblOfferedPicture", QStringLiteral("Offered Pok\u00e9mon"), {14, 20, 116, 17}, true},
        {&f.offeredPicture, nullptr, nullptr, picturesFrame, "picOffered", QString(), {14, 38, 116, 116}, true},
        {nullptr, nullptr, nullptr, picturesFrame, "lblYourPicture", QStringLiteral("Your Pok\u00e9mon"), {14, 164, 116, 17}, true},
        {&f.requestedPicture, nullptr, nullptr, picturesFrame, "picYours", QString(), {14, 182, 116, 116}, true},
    };
    for (const LabelRow& row : labels) {
        QLabel* label = place(new QLabel(row.text, row.parent), row.name, row.at, row.enabled);
        label->setFont(f.captionFont);
        if (row.member) *row.member = label;
        if (row.group) row.group->append(label);
        if (row.buddy) label->setBuddy(row.buddy);
    }
    f.sourceInfo->hide();
    f.sourceLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* picture : {f.offeredPicture, f.requestedPicture}) {
        picture->setFrameShape(QFrame::Box);
        picture->setAlignment(Qt::AlignCenter);
    }
    f.tradeList->setFont(f.captionFont);
    f.tradeList->setSelectionMode(QAbstractItemView::SingleSelection);
    f.saveButton->setFont(f.captionFont);
    // The text boxes and species lists keep the window's own font.
    for (QWidget* box : std::initializer_list<QWidget*>{f.offeredSpecies, f.requestedSpecies, f.nickname, f.trainerName, f.trainerId}) {
        box->setFont(client->font());
    }
    f.trainerId->setMaxLength(5);
    const struct {
        QLabel** sign;
        Field field;  // its sign's name is the field's
        QPoint at;  // over the field's right end, on its caption's row
    } signs[] = {{&f.offeredWarning, Field::OfferedSpecies, {113, 24}},
                 {&f.nicknameWarning, Field::Nickname, {249, 24}},
                 {&f.trainerNameWarning, Field::TrainerName, {113, 80}},
                 {&f.requestedWarning, Field::RequestedSpecies, {113, 128}}};
    for (const auto& s : signs) {
        *s.sign = warningSign(f.detailsFrame, std::string(fieldRow(s.field).warningName).c_str());
        (*s.sign)->move(s.at);
    }
    for (QComboBox* box : {f.offeredSpecies, f.requestedSpecies}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        takeCompletionOnlyByKey(box);
    }
    return f;
}

}  // namespace kestrane
