#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

// Keeps what the user types, pastes or drops into a one-line edit within a width in characters:
// a change that would pass it is cut at once, in view, at whole characters (TextLimit), with a
// beep. QLineEdit's own maximum length counts UTF-16 units and could split an emoji, so it is
// not used for fields. Child of its edit; make it before connecting to the edit's textEdited, so
// that those handlers see the fitted text. GUI thread only.
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

    QLineEdit* m_edit;
    QString m_before;
    qsizetype m_width = 0;
};
