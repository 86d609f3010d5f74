#include "toolkit/widgets/DBMemo.h"

#include <algorithm>
#include <limits>

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>

#include "toolkit/db/Dataset.h"
#include "toolkit/db/TextWidth.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/EditKeys.h"
#include "toolkit/widgets/FieldLink.h"
#include "toolkit/widgets/TextLimit.h"

DBMemo::DBMemo(QWidget* parent)
    : QPlainTextEdit(parent), m_link(new FieldLink(this))
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    connect(m_link, &FieldLink::reload, this, &DBMemo::showField);
    connect(m_link, &FieldLink::updateData, this, &DBMemo::updateRecord);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &DBMemo::rememberSpan);
    connect(this, &QPlainTextEdit::selectionChanged, this, &DBMemo::rememberSpan);
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
    m_shown = toPlainText();
    m_showing = false;
    rememberSpan();
}

qsizetype DBMemo::limit() const
{
    const FieldDef* field = m_link->field();
    return TextLimit::tighter(m_maxLength, field ? field->width : 0);
}

void DBMemo::userChanged()
{
    if (m_showing)
        return;
    const QString typed = toPlainText();
    // Changes that bypass the keyboard and the paste (input methods, undo) are checked here.
    const TextLimit::Fitted fitted = TextLimit::fit(m_shown, m_replaced, typed, limit());
    if (!m_link->isEditing() || fitted.cut()) {
        const int cursor = fitted.cut() ? int(fitted.cursor) : textCursor().position();
        if (!m_link->isEditing() && !startEditing()) {
            showField();
            return;
        }
        m_showing = true;
        setPlainText(fitted.text);
        QTextCursor at = textCursor();
        at.setPosition(std::min(cursor, int(fitted.text.size())));
        setTextCursor(at);
        m_showing = false;
        if (fitted.cut())
            QApplication::beep();
    }
    m_shown = toPlainText();
    rememberSpan();
    m_link->setModified();
}

void DBMemo::rememberSpan()
{
    // The cursor may move before textChanged tells of a change: the span must stay the one the
    // change replaced, so a move only counts while the text is still the one before it.
    if (m_showing || limit() <= 0 || toPlainText() != m_shown)
        return;
    const QTextCursor cursor = textCursor();
    m_replaced = {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

bool DBMemo::startEditing()
{
    bool editing = false;
    guarded([&] { editing = m_link->edit(); });
    return editing;
}

qsizetype DBMemo::room() const
{
    const qsizetype most = limit();
    if (most <= 0)
        return std::numeric_limits<qsizetype>::max();
    const QTextCursor cursor = textCursor();
    return most - (TextWidth::length(toPlainText()) - TextWidth::length(cursor.selectedText()));
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
    const qsizetype left = room();
    if (left <= 0) {
        QApplication::beep();
        return;
    }
    // What does not fit is cut here, so the user sees at once what will be stored.
    QMimeData cut;
    cut.setText(TextWidth::cut(source->text(), left));
    QPlainTextEdit::insertFromMimeData(&cut);
}

void DBMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason
        && m_link->isModified())
        guarded([this] { updateRecord(); });
}
