// What a name's box shows beside the text: a marker where the field holds
// bytes the text cannot show, and the bytes left in the field.
#pragma once

#include <QString>
#include <optional>

#include "trades/trade_edit.h"

class QLineEdit;
class QWidget;

namespace kestrane {

// A small marker at the box's end, and the note as the tooltip of both;
// an empty note takes the marker away.
void showHiddenBytes(QLineEdit* box, const QString& note);

// A box whose value another program changed in the file: tinted, the note
// (the file's value) as its tooltip; an empty note takes the mark away.
void markChangedOnDisk(QWidget* box, const QString& note);

// The bytes left, in a corner of the box (red when the name is too long,
// "?" when it holds a character the game cannot write); none: no count.
// `what`: "nickname".
void showRoomLeft(QLineEdit* box, const std::optional<NameRoom>& room, const QString& what, bool shown);

}  // namespace kestrane
