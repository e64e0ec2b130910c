// A spin box for a 32-bit number (a personality), which QSpinBox's int
// cannot hold: shown in hex ("0x0000BEEF"), typed in hex or decimal as
// every number Kestrane takes.
#pragma once

#include <QAbstractSpinBox>
#include <cstdint>

namespace kestrane {

class WideSpinBox final : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit WideSpinBox(QWidget* parent = nullptr);

    std::uint32_t value() const { return value_; }
    void setValue(std::uint32_t value);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void valueChanged(std::uint32_t value);

protected:
    StepEnabled stepEnabled() const override;

private:
    void takeTyped();
    std::uint32_t value_ = 0;
};

}  // namespace kestrane
