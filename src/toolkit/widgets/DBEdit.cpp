#include "toolkit/widgets/DBEdit.h"

#include <QApplication>
#include <QKeyEvent>

#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/EditKeys.h"
#include "toolkit/widgets/FieldLink.h"
#include "toolkit/widgets/LineEditLimit.h"

DBEdit::DBEdit(QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(this)), m_limit(new LineEditLimit(this))
{
    connect(m_link, &FieldLink::reload, this, &DBEdit::showField);
    connect(m_link, &FieldLink::updateData, this, &DBEdit::updateRecord);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::userEdited);
}

DBEdit::DBEdit(DataSource* source, const QString& field, QWidget* parent)
    : DBEdit(parent)
{
    bind(source, field);
}

void DBEdit::bind(DataSource* source, const QString& field)
{
    m_link->bind(source, field);
}

DataSource* DBEdit::dataSource() const
{
    return m_link->dataSource();
}

QString DBEdit::fieldName() const
{
    return m_link->fieldName();
}

void DBEdit::updateRecord()
{
    if (m_link->isModified())
        m_link->writeText(text());
}

void DBEdit::showField()
{
    const FieldDef* field = m_link->field();
    m_limit->setWidth(field && field->type != FieldType::Memo ? field->width : 0);
    setText(m_link->text());
    setModified(false);
    // A long value shows from its start, as a loaded value should.
    setCursorPosition(0);
}

void DBEdit::userEdited()
{
    // The text as the width limit left it.
    const QString typed = text();
    const int cursor = cursorPosition();
    // Changes that bypass the keyboard (context menu, drops) start editing here.
    if (!m_link->isEditing()) {
        if (!startEditing()) {
            showField();
            return;
        }
        setText(typed);
        setCursorPosition(cursor);
    }
    m_link->setModified();
}

bool DBEdit::startEditing()
{
    bool editing = false;
    guarded([&] { editing = m_link->edit(); });
    return editing;
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_link->isModified()) {
        m_link->reset();
        selectAll();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (m_link->isModified() && guarded([this] { updateRecord(); }))
            selectAll();
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!isReadOnly() && EditKeys::changesText(event)) {
        const QChar c = EditKeys::typedCharacter(event);
        const FieldDef* field = m_link->field();
        if ((!c.isNull() && field && !EditKeys::accepts(field->type, c)) || !startEditing()) {
            QApplication::beep();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A popup or another window taking the focus is not leaving the control.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason
        && m_link->isModified())
        guarded([this] { updateRecord(); });
}
