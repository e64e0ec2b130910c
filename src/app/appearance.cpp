#include "app/appearance.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QIconEngine>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QResource>
#include <QStyle>

namespace kestrane {

QStringList questionLines(const std::vector<std::string>& lines, int kept) {
    constexpr int kListed = 30;
    const int listed = int(lines.size()) - kept;
    QStringList out;
    for (int i = 0; i < listed && i < kListed; ++i) out << fromCore(lines[std::size_t(i)]);
    if (listed > kListed) out << QStringLiteral("\u2026and %1 more").arg(listed - kListed);
    for (int i = std::max(listed, 0); i < int(lines.size()); ++i) out << fromCore(lines[std::size_t(i)]);
    return out;
}

QString typedText(const QComboBox* box) {
    const QLineEdit* line = box->lineEdit();
    const QString text = line->text();
    // An inline completion is the text after the cursor, selected up to the end.
    if (line->hasSelectedText() && line->selectionStart() == line->cursorPosition() && line->selectionEnd() == text.size()) {
        return text.left(line->selectionStart());
    }
    return text;
}

namespace {

// Sees the box's focus leave before the line does: the line would keep the
// completion, unselected, as if it had been taken.
class CompletionKeeper final : public QObject {
public:
    explicit CompletionKeeper(QComboBox* box) : QObject(box), box_(box) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::FocusOut) return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Tab takes it; the box's own list opening is no leaving.
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::PopupFocusReason) return false;
        QLineEdit* line = box_->lineEdit();
        if (const QString typed = typedText(box_); line && typed != line->text()) line->setText(typed);
        return false;
    }

private:
    QComboBox* box_;
};

}  // namespace

void takeCompletionOnlyByKey(QComboBox* box) {
    auto* keeper = new CompletionKeeper(box);
    box->installEventFilter(keeper);
    if (box->lineEdit()) box->lineEdit()->installEventFilter(keeper);
}

QFont classicFont(const QStringList& families) {
    QFont font;
    // Liberation Sans has Arial's metrics, so captions fit their boxes as
    // designed. Only installed faces are asked for: a face that is missing
    // sends fontconfig on a search through every font, which costs more than
    // the rest of the window's start-up.
    // (hasFamily would ask fontconfig about each missing face; the list does not.)
    static const QStringList available = QFontDatabase::families();
    QStringList installed;
    for (const QString& family : families + QStringList{QStringLiteral("Liberation Sans")}) {
        if (available.contains(family, Qt::CaseInsensitive)) installed << family;
    }
    font.setFamilies(installed);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    return font;
}

QIcon appIcon() {
    QIcon icon;
    for (const char* size : {"32", "64"}) icon.addPixmap(artwork(QStringLiteral("icon-") + QLatin1String(size)));
    return icon;
}

QPixmap artwork(const QString& name) {
    // Raw pixels (made from the PNG at build time, stored uncompressed):
    // Qt's image reader would load every image plugin it has to pick a
    // decoder, and an unpacked copy would be memory touched for nothing.
    const QResource resource(QStringLiteral(":/art/") + name + QStringLiteral(".raw"));
    const auto* bytes = resource.data();
    const qint64 size = resource.size();
    if (!bytes || resource.compressionAlgorithm() != QResource::NoCompression || size < 8) return {};
    auto u32 = [&](int at) { return quint32(bytes[at]) | quint32(bytes[at + 1]) << 8 | quint32(bytes[at + 2]) << 16 | quint32(bytes[at + 3]) << 24; };
    const int width = int(u32(0)), height = int(u32(4));
    if (size != 8 + qint64(width) * height * 4) return {};
    const uchar* pixels = bytes + 8;
    QImage image(pixels, width, height, width * 4, QImage::Format_RGB32);
    // Qt reads 32-bit pixels only where they are aligned as such.
    if (reinterpret_cast<quintptr>(pixels) % alignof(quint32) != 0) image = image.copy();
    return QPixmap::fromImage(image);  // the pixmap keeps its own pixels
}

QPixmap pixmapOf(const FrontPicture& picture, QSize room) {
    // The shades are the pixels of an indexed image, the colours its
    // table: nothing is copied a pixel at a time before Qt draws it.
    QImage image(picture.shades.data(), picture.width, picture.height, picture.width, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const Rgb& c : picture.colours) table.push_back(qRgb(c.red, c.green, c.blue));
    if (picture.clear && *picture.clear < table.size()) table[*picture.clear] = qRgba(0, 0, 0, 0);
    image.setColorTable(table);
    // Each pixel a square of whole pixels: the largest that fits (2 for the
    // Game Boy's 56, 1 for the GBA's 64 in a frame of 116).
    const int scale = std::max(1, std::min(room.width() / std::max(1, picture.width), room.height() / std::max(1, picture.height)));
    return QPixmap::fromImage(image.scaled(picture.width * scale, picture.height * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

namespace {

// A style's icon, asked of the style when it is first drawn or measured.
class DeferredIconEngine : public QIconEngine {
public:
    DeferredIconEngine(QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override { return icon().pixmap(size, mode, state); }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override { return icon().availableSizes(mode, state); }
    bool isNull() override { return icon().isNull(); }
    QIconEngine* clone() const override { return new DeferredIconEngine(style_, which_); }

private:
    const QIcon& icon() {
        if (!read_) {
            read_ = true;
            if (style_) icon_ = style_->standardIcon(which_);
        }
        return icon_;
    }
    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    bool read_ = false;
    QIcon icon_;
};

class DeferredIconStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton) {
            return QIcon(new DeferredIconEngine(baseStyle(), which));
        }
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

}  // namespace

void useStyleWithDeferredIcons() { QApplication::setStyle(new DeferredIconStyle); }

QLabel* warningSign(QWidget* parent, const char* name) {
    auto* sign = new QLabel(parent);
    sign->setObjectName(QLatin1String(name));
    sign->setFixedSize(16, 16);
    sign->hide();
    return sign;
}

void showWarning(QLabel* sign, const QStringList& reasons) {
    // The picture when first shown: the style's icon is read through Qt's
    // image plugins, which a window showing no warning never loads.
    if (!reasons.isEmpty() && sign->pixmap().isNull()) {
        sign->setPixmap(sign->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
    }
    sign->setToolTip(reasons.join(QLatin1Char('\n')));
    sign->setVisible(!reasons.isEmpty());
}

}  // namespace kestrane
