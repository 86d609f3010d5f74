#include "toolkit/widgets/EditKeys.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace EditKeys {

QChar typedCharacter(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return {};
    return text.at(0);
}

QChar keyCharacter(const QKeyEvent* event)
{
    const QString text = event->text();
    return text.isEmpty() ? QChar() : text.at(0);
}

bool changesText(const QKeyEvent* event)
{
    if (!typedCharacter(event).isNull())
        return true;
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return true;
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ShiftModifier)
        return true;
    for (const auto key : {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
                           QKeySequence::DeleteEndOfWord, QKeySequence::DeleteStartOfWord,
                           QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine})
        if (event->matches(key))
            return true;
    return false;
}

bool accepts(FieldType type, QChar c)
{
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return c.isDigit() || c == u'+' || c == u'-';
    case FieldType::Real:
        return c.isDigit() || QStringLiteral("+-.,eE").contains(c);
    default:
        return true;
    }
}

}
