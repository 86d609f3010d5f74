#pragma once

#include <QChar>

#include "toolkit/db/Field.h"

class QKeyEvent;

// Keystrokes that change the text of an edit control, so a data-aware control must start
// editing its dataset (or refuse the key) before letting them through.
namespace EditKeys {

bool changesText(const QKeyEvent* event);
// A printable character the key types, or a null character.
QChar typedCharacter(const QKeyEvent* event);
// The key's first character, control characters (Enter, Escape, Tab, Backspace) included, or a
// null character; what a window's key rule looks at.
QChar keyCharacter(const QKeyEvent* event);
// Whether a field of the type takes the character: whole numbers take digits and signs only.
bool accepts(FieldType type, QChar c);

}
