#include "toolkit/widgets/DBMemo.h"

#include <limits>

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>

#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/EditKeys.h"
#include "toolkit/widgets/FieldLink.h"

DBMemo::DBMemo(QWidget* parent)
    : QPlainTextEdit(parent), m_link(new FieldLink(this))
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    connect(m_link, &FieldLink::reload, this, &DBMemo::showField);
    connect(m_link, &FieldLink::updateData, this, &DBMemo::updateRecord);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::userChanged);
}

DBMemo::DBMemo(DataSource* source, const QString& field, QWidget* parent)
    : DBMemo(parent)
{
    bind(source, field);
}

void DBMemo::bind(DataSource* source, const QString& field)
{
    m_link->bind(source, field);
}

DataSource* DBMemo::dataSource() const
{
    return m_link->dataSource();
}

QString DBMemo::fieldName() const
{
    return m_link->fieldName();
}

void DBMemo::updateRecord()
{
    if (m_link->isModified())
        m_link->writeText(toPlainText());
}

void DBMemo::showField()
{
    m_showing = true;
    setPlainText(m_link->text());
    m_showing = false;
}

void DBMemo::userChanged()
{
    if (m_showing)
        return;
    QString typed = toPlainText();
    // Changes that bypass the keyboard (context menu, drops, input methods) are checked here.
    const bool tooLong = m_maxLength > 0 && typed.size() > m_maxLength;
    if (!m_link->isEditing() || tooLong) {
        if (!m_link->isEditing() && !startEditing()) {
            showField();
            return;
        }
        m_showing = true;
        setPlainText(tooLong ? typed.left(m_maxLength) : typed);
        moveCursor(QTextCursor::End);
        m_showing = false;
    }
    m_link->setModified();
}

bool DBMemo::startEditing()
{
    bool editing = false;
    guarded([&] { editing = m_link->edit(); });
    return editing;
}

int DBMemo::room() const
{
    if (m_maxLength <= 0)
        return std::numeric_limits<int>::max();
    const QTextCursor cursor = textCursor();
    return m_maxLength - (toPlainText().size() - (cursor.selectionEnd() - cursor.selectionStart()));
}

void DBMemo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_link->isModified()) {
        m_link->reset();
        return;
    }
    const bool newLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!isReadOnly() && (newLine || EditKeys::changesText(event))) {
        const bool types = newLine || !EditKeys::typedCharacter(event).isNull();
        if ((types && room() < 1) || !startEditing()) {
            QApplication::beep();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DBMemo::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText() || isReadOnly() || !startEditing())
        return;
    const int left = room();
    if (left <= 0) {
        QApplication::beep();
        return;
    }
    QMimeData cut;
    cut.setText(source->text().left(left));
    QPlainTextEdit::insertFromMimeData(&cut);
}

void DBMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason
        && m_link->isModified())
        guarded([this] { updateRecord(); });
}
