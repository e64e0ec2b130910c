// Texts, fonts and pictures the two windows share.
#pragma once

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

#include "trades/pictures.h"

namespace kestrane {

inline const QString kAppTitle = QStringLiteral("Kestrane");

// The core's UTF-8 texts and paths, and paths back to the core.
inline QString fromCore(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
inline std::string toCore(const QString& text) { return text.toUtf8().toStdString(); }
inline const QString kCopyrightLine = QStringLiteral("\u00a9 2026 Kestrane team");

// The designed Windows faces at 8.25 pt; Qt falls back to the closest
// sans-serif where they are missing.
QFont classicFont(const QStringList& families);

// The 32 x 32 application icon (and its 64 x 64 form).
QIcon appIcon();

// A picture of packaging/art, by name ("banner", "icon-32").
QPixmap artwork(const QString& name);

// A creature's front picture as large as fits `room` by a whole number (no
// smoothing), the shade the game leaves undrawn transparent.
QPixmap pixmapOf(const FrontPicture& picture, QSize room);

// What the user typed into an editable list box: an inline completion they
// have not accepted (the rest after the cursor, selected) is not part of it.
QString typedText(const QComboBox* box);

// Makes an editable list box take its inline completion only by Enter or
// Tab (or a click on an entry of its list): left any other way (a click
// elsewhere, a button, another window) it keeps exactly what was typed.
void takeCompletionOnlyByKey(QComboBox* box);

// Lines for a question: at most thirty, then "…and N more", the last
// `kept` lines always shown.
QStringList questionLines(const std::vector<std::string>& lines, int kept = 0);

// Makes the application's style (the desktop's, or the one asked for with
// -style) read the menu bar's overflow arrows only when they are first drawn.
// Reading them at once loads every image plugin Qt has, for an arrow that is
// shown only when the window is too narrow for its menus.
void useStyleWithDeferredIcons();

// A 16 x 16 warning sign, hidden until showWarning gives it reasons.
QLabel* warningSign(QWidget* parent, const char* name);
// Shows the sign with the reasons as its tooltip, or hides it where there are none.
void showWarning(QLabel* sign, const QStringList& reasons);

}  // namespace kestrane
