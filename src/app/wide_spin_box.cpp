#include "app/wide_spin_box.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include "support/words.h"

namespace kestrane {
namespace {

QString hexText(std::uint32_t value) { return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(8, QLatin1Char('0')); }

std::optional<std::uint32_t> typedNumber(const QString& text) {
    const auto number = parseWideNumber(text.toStdString());
    if (!number || *number > UINT32_MAX) return std::nullopt;
    return std::uint32_t(*number);
}

}  // namespace

WideSpinBox::WideSpinBox(QWidget* parent) : QAbstractSpinBox(parent) {
    lineEdit()->setText(hexText(0));
    // What is typed counts as soon as it is a number, as a QSpinBox's does.
    connect(lineEdit(), &QLineEdit::textEdited, this, &WideSpinBox::takeTyped);
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] { lineEdit()->setText(hexText(value_)); });
}

void WideSpinBox::setValue(std::uint32_t value) {
    lineEdit()->setText(hexText(value));
    if (value == value_) return;
    value_ = value;
    emit valueChanged(value);
}

void WideSpinBox::takeTyped() {
    if (const auto number = typedNumber(lineEdit()->text()); number && *number != value_) {
        value_ = *number;
        emit valueChanged(value_);
    }
}

void WideSpinBox::stepBy(int steps) {
    const std::int64_t next = std::clamp<std::int64_t>(std::int64_t(value_) + steps, 0, UINT32_MAX);
    setValue(std::uint32_t(next));
    selectAll();
}

QAbstractSpinBox::StepEnabled WideSpinBox::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value_ > 0) enabled |= StepDownEnabled;
    if (value_ < UINT32_MAX) enabled |= StepUpEnabled;
    return enabled;
}

QValidator::State WideSpinBox::validate(QString& input, int&) const {
    if (typedNumber(input)) return QValidator::Acceptable;
    // On the way to a number: empty, "0x", or digits that may yet fit.
    const QString text = input.trimmed();
    if (text.isEmpty() || text.compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) return QValidator::Intermediate;
    return QValidator::Invalid;
}

void WideSpinBox::fixup(QString& input) const { input = hexText(value_); }

QSize WideSpinBox::sizeHint() const {
    // As wide as the widest number it shows, as a QSpinBox is.
    ensurePolished();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize text(fontMetrics().horizontalAdvance(hexText(0xDDDDDDDD)) + 8, lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}

}  // namespace kestrane
