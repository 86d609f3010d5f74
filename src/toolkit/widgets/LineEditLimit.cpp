#include "toolkit/widgets/LineEditLimit.h"

#include <QApplication>
#include <QLineEdit>

#include "toolkit/widgets/TextLimit.h"

LineEditLimit::LineEditLimit(QLineEdit* edit)
    : QObject(edit), m_edit(edit), m_before(edit->text())
{
    connect(edit, &QLineEdit::textEdited, this, &LineEditLimit::edited);
    // Read from the edit, not the signal: a fitted text set inside edited() comes first.
    connect(edit, &QLineEdit::textChanged, this, [this] { m_before = m_edit->text(); });
}

void LineEditLimit::edited()
{
    const TextLimit::Fitted fitted = TextLimit::fit(m_before, m_edit->text(), m_width);
    if (!fitted.cut())
        return;
    m_edit->setText(fitted.text);
    m_edit->setCursorPosition(int(fitted.cursor));
    m_edit->setModified(true);
    QApplication::beep();
}
