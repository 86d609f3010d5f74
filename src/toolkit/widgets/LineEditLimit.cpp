#include "toolkit/widgets/LineEditLimit.h"

#include <QApplication>
#include <QLineEdit>

LineEditLimit::LineEditLimit(QLineEdit* edit)
    : QObject(edit), m_edit(edit)
{
    remember();
    connect(edit, &QLineEdit::textEdited, this, &LineEditLimit::edited);
    connect(edit, &QLineEdit::textChanged, this, &LineEditLimit::remember);
    connect(edit, &QLineEdit::selectionChanged, this, &LineEditLimit::rememberSpan);
    connect(edit, &QLineEdit::cursorPositionChanged, this, &LineEditLimit::rememberSpan);
}

void LineEditLimit::remember()
{
    // Read from the edit, not the signals: a fitted text set inside edited() comes first.
    m_before = m_edit->text();
    rememberSpan();
}

void LineEditLimit::rememberSpan()
{
    // An input method's commit moves the cursor before textEdited: the span must stay the one
    // the change replaced, so a move only counts while the text is still the one before it.
    if (m_edit->text() != m_before)
        return;
    m_replaced = m_edit->hasSelectedText()
        ? TextLimit::Span{m_edit->selectionStart(), m_edit->selectionLength()}
        : TextLimit::Span{m_edit->cursorPosition(), 0};
}

void LineEditLimit::edited()
{
    const TextLimit::Fitted fitted = TextLimit::fit(m_before, m_replaced, m_edit->text(), m_width);
    if (!fitted.cut())
        return;
    m_edit->setText(fitted.text);
    m_edit->setCursorPosition(int(fitted.cursor));
    m_edit->setModified(true);
    QApplication::beep();
}
