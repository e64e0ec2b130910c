#include "app/appearance.h"

namespace kestrane {

QFont classicFont(const QStringList& families) {
    QFont font;
    // Liberation Sans has Arial's metrics, so captions fit their boxes as designed.
    font.setFamilies(families + QStringList{QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    return font;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {32, 64, 128, 256}) icon.addFile(QStringLiteral(":/art/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace kestrane
