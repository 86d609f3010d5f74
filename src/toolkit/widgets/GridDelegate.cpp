#include "toolkit/widgets/GridDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/EditKeys.h"
#include "toolkit/widgets/GridModel.h"
#include "toolkit/widgets/LineEditLimit.h"

namespace {

constexpr int EllipsisWidth = 18;
// Marks a lookup editor in which the user chose an entry.
const char* const ChosenProperty = "gridChosen";
// The type of the field a line editor writes, for the keys it takes.
const char* const FieldTypeProperty = "gridFieldType";

}

GridDelegate::GridDelegate(GridModel* model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model)
{
}

QRect GridDelegate::ellipsisRect(const QRect& cell)
{
    return QRect(cell.right() - EllipsisWidth + 1, cell.top(), EllipsisWidth, cell.height());
}

bool GridDelegate::isEllipsis(const QModelIndex& index) const
{
    return m_model->columns().value(index.column()).ellipsis;
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool focused = view && index == view->currentIndex();
    if (focused && isEllipsis(index)) {
        QStyleOptionButton button;
        button.initFrom(view);
        button.rect = ellipsisRect(option.rect);
        button.text = QStringLiteral("...");
        view->style()->drawControl(QStyle::CE_PushButton, &button, painter, view);
    }
    emit cellPainted(painter, option, index, focused);
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
    Dataset* ds = m_model->dataset();
    const QString name = m_model->fieldOf(index.column());
    const FieldDef* field = ds && ds->hasField(name) ? &ds->field(name) : nullptr;
    const QPersistentModelIndex cell(index);
    if (field && field->isLookup) {
        auto* combo = new QComboBox(parent);
        for (const auto& [key, shown] : ds->lookupList(name))
            combo->addItem(shown, key);
        connect(combo, &QComboBox::activated, this, [this, combo, cell] {
            if (!m_model->startEditing()) {
                setEditorData(combo, cell);
                return;
            }
            combo->setProperty(ChosenProperty, true);
            emit const_cast<GridDelegate*>(this)->commitData(combo);
        });
        return combo;
    }
    auto* line = new QLineEdit(parent);
    line->setFrame(false);
    (new LineEditLimit(line))->setWidth(field ? field->width : 0);
    if (field)
        line->setProperty(FieldTypeProperty, int(field->type));
    // Changes that bypass the keys (input methods, the context menu, drops) start editing here.
    connect(line, &QLineEdit::textEdited, this, [this, line, cell] {
        if (!m_model->startEditing()) {
            line->setModified(false);
            setEditorData(line, cell);
        }
    });
    return line;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    // Qt refreshes the open editors of a row whenever it changes; what the user typed stays.
    if (isModified(editor))
        return;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        Dataset* ds = m_model->dataset();
        const QString name = m_model->fieldOf(index.column());
        const QVariant key = ds ? ds->value(ds->field(name).keyField) : QVariant();
        combo->setCurrentIndex(key.isNull() ? -1 : combo->findData(key));
        combo->setProperty(ChosenProperty, false);
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(index.data(Qt::EditRole).toString());
        line->setModified(false);
    }
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (!isModified(editor))
        return;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (model->setData(index, combo->currentData()))
            combo->setProperty(ChosenProperty, false);
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        if (model->setData(index, line->text()))
            line->setModified(false);
    }
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QRect rect = option.rect;
    // The painted "..." button stays visible and clickable beside the editor.
    if (isEllipsis(index))
        rect.setRight(ellipsisRect(rect).left() - 1);
    editor->setGeometry(rect);
}

bool GridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                               const QModelIndex& index)
{
    if (!(model->flags(index) & Qt::ItemIsUserCheckable))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
            return false;
        // The release toggles; the press and a double-click's second press only belong to it.
        if (event->type() != QEvent::MouseButtonRelease)
            return true;
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        break;
    }
    default:
        return false;
    }
    const bool ticked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    model->setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    return true;
}

bool GridDelegate::isModified(QWidget* editor) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        return combo->property(ChosenProperty).toBool();
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line->isModified();
    return false;
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (qobject_cast<QLineEdit*>(object) && EditKeys::changesText(key)) {
            const QChar typed = EditKeys::typedCharacter(key);
            const QVariant type = object->property(FieldTypeProperty);
            const bool fits = typed.isNull() || !type.isValid() || EditKeys::accepts(FieldType(type.toInt()), typed);
            if (!fits || !m_model->startEditing()) {
                QApplication::beep();
                return true;
            }
        }
        // Enter writes and closes at once (Qt would queue it), so what follows sees the cell written.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
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
