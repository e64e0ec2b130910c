// Texts, fonts and pictures the two windows share.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace kestrane {

inline const QString kAppTitle = QStringLiteral("Kestrane");
inline const QString kCopyrightLine = QStringLiteral("\u00a9 2026 Kestrane team");

// The designed Windows faces at 8.25 pt; Qt falls back to the closest
// sans-serif where they are missing.
QFont classicFont(const QStringList& families);

// The 32 x 32 application icon (and its 64 x 64 form).
QIcon appIcon();

// A picture of packaging/art, by name ("banner", "icon-32").
QPixmap artwork(const QString& name);

}  // namespace kestrane
