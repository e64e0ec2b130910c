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
    for (int size : {32, 64}) icon.addPixmap(artwork(QStringLiteral("icon-%1.png").arg(size)));
    return icon;
}

QPixmap artwork(const QString& name) {
    // Naming the format spares Qt from loading every image plugin to guess it.
    return QPixmap(QStringLiteral(":/art/") + name, "PNG");
}

}  // namespace kestrane
