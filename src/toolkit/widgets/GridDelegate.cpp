#include "toolkit/widgets/GridDelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/EditKeys.h"
#include "toolkit/widgets/GridModel.h"
#include "toolkit/widgets/LineEditLimit.h"

namespace {

constexpr int EllipsisWidth = 18;
// Marks a lookup editor in which the user chose an entry.
const char* const ChosenProperty = "vornadelChosen";

}

GridDelegate::GridDelegate(DBGrid* grid)
    : QStyledItemDelegate(grid), m_grid(grid)
{
}

QRect GridDelegate::ellipsisRect(const QRect& cell)
{
    return QRect(cell.right() - EllipsisWidth + 1, cell.top(), EllipsisWidth, cell.height());
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const bool focused = index == m_grid->currentIndex();
    if (focused && m_grid->columns().value(index.column()).ellipsis) {
        QStyleOptionButton button;
        button.initFrom(m_grid);
        button.rect = ellipsisRect(option.rect);
        button.text = QStringLiteral("...");
        m_grid->style()->drawControl(QStyle::CE_PushButton, &button, painter, m_grid);
    }
    m_grid->cellPainted(painter, option, index, focused);
}

void GridDelegate::paintCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                             const QColor& textColor) const
{
    QStyleOptionViewItem coloured(option);
    coloured.palette.setColor(QPalette::Text, textColor);
    coloured.palette.setColor(QPalette::HighlightedText, textColor);
    QStyledItemDelegate::paint(painter, coloured, index);
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    Dataset* ds = m_grid->dataset();
    const QString name = m_grid->columns().value(index.column()).field;
    QWidget* editor = nullptr;
    if (ds && ds->hasField(name) && ds->field(name).isLookup) {
        auto* combo = new QComboBox(parent);
        for (const auto& [key, shown] : ds->lookupList(name))
            combo->addItem(shown, key);
        connect(combo, &QComboBox::activated, this, [this, combo] {
            if (!m_grid->startEditing()) {
                setEditorData(combo, m_editorIndex);
                return;
            }
            combo->setProperty(ChosenProperty, true);
            emit const_cast<GridDelegate*>(this)->commitData(combo);
        });
        editor = combo;
    } else {
        auto* line = new QLineEdit(parent);
        line->setFrame(false);
        (new LineEditLimit(line))->setWidth(ds && ds->hasField(name) ? ds->field(name).width : 0);
        // Changes that bypass the keys (input methods, the context menu, drops) start editing here.
        connect(line, &QLineEdit::textEdited, this, [this, line] {
            if (!m_grid->startEditing())
                setEditorData(line, m_editorIndex);
        });
        editor = line;
    }
    m_editor = editor;
    m_editorIndex = index;
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    Dataset* ds = m_grid->dataset();
    const QString name = m_grid->columns().value(index.column()).field;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const QVariant key = ds ? ds->value(ds->field(name).keyField) : QVariant();
        combo->setCurrentIndex(key.isNull() ? -1 : combo->findData(key));
        combo->setProperty(ChosenProperty, false);
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(index.data(Qt::EditRole).toString());
        line->setModified(false);
    }
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QRect rect = option.rect;
    // The painted "..." button stays visible and clickable beside the editor.
    if (m_grid->columns().value(index.column()).ellipsis)
        rect.setRight(ellipsisRect(rect).left() - 1);
    editor->setGeometry(rect);
}

bool GridDelegate::isModified(QWidget* editor) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        return combo->property(ChosenProperty).toBool();
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line->isModified();
    return false;
}

void GridDelegate::write(QWidget* editor)
{
    Dataset* ds = m_grid->dataset();
    if (!ds || !isModified(editor) || !m_editorIndex.isValid())
        return;
    const QString name = m_grid->columns().value(m_editorIndex.column()).field;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        ds->setValue(ds->field(name).keyField, combo->currentData());
        combo->setProperty(ChosenProperty, false);
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        ds->setText(name, line->text());
        line->setModified(false);
    }
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The key that opened the editor was offered by the grid already.
        if (!m_grid->m_forwarding && m_grid->offerKey(key))
            return true;
        if (qobject_cast<QLineEdit*>(object) && EditKeys::changesText(key)) {
            const QChar typed = EditKeys::typedCharacter(key);
            Dataset* ds = m_grid->dataset();
            const QString name = m_grid->columns().value(m_editorIndex.column()).field;
            const bool fits = typed.isNull() || !ds || !ds->hasField(name) || EditKeys::accepts(ds->field(name).type, typed);
            if (!fits || !m_grid->startEditing()) {
                QApplication::beep();
                return true;
            }
        }
    }
    // Tab from the last cell, Backtab from the first and Ctrl with either leave the grid.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && m_grid->tabLeaves(key)) {
            m_grid->leave(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    // Enter writes and closes at once (Qt would queue it), so what follows sees the cell written.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            auto* editor = static_cast<QWidget*>(object);
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
            return true;
        }
    }
    // A popup or another window (an error box) taking the focus does not end the cell's edit.
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
