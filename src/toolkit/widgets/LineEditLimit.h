#pragma once

#include <QObject>
#include <QString>

#include "toolkit/widgets/TextLimit.h"

class QLineEdit;

// Keeps what the user types, pastes or drops into a one-line edit within a width in characters:
// a change that would pass it is cut at once, in view, at whole characters (TextLimit), with a
// beep. What is cut is what the change inserted: the selection or cursor as it stood before the
// change tells where that is. QLineEdit's own maximum length counts UTF-16 units and could split
// an emoji, so it is not used for fields. Child of its edit; make it before connecting to the
// edit's textEdited, so that those handlers see the fitted text. GUI thread only.
class LineEditLimit : public QObject
{
    Q_OBJECT
public:
    explicit LineEditLimit(QLineEdit* edit);

    // Characters; 0 or less: no limit.
    void setWidth(qsizetype characters) { m_width = characters; }
    qsizetype width() const { return m_width; }

private:
    void edited();
    void remember();
    void rememberSpan();

    QLineEdit* m_edit;
    // The text, and the span the next change replaces, as they stood before it.
    QString m_before;
    TextLimit::Span m_replaced;
    qsizetype m_width = 0;
};
