#include "toolkit/widgets/DBGrid.h"

#include <algorithm>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QPainter>
#include <QScopedValueRollback>

#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/EditKeys.h"
#include "toolkit/widgets/GridDelegate.h"
#include "toolkit/widgets/GridModel.h"
#include "toolkit/widgets/RecordDelete.h"

namespace {

// A click on the current cell opens its editor too (mouseReleaseEvent), but at once: Qt's
// SelectedClicked waits for a possible double-click and drops the keys typed meanwhile.
constexpr QAbstractItemView::EditTriggers Triggers = QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed;

}

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent), m_model(new GridModel(this)), m_delegate(new GridDelegate(m_model, this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(Triggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Fixed row heights let the view skip measuring rows it does not show.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 2);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setFixedWidth(18);
    verticalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::applyWidths);
    connect(m_delegate, &GridDelegate::cellPainted, this, &DBGrid::cellPainted);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) { emit cellClick(index.column()); });
    connect(this, &QAbstractItemView::doubleClicked, this, &DBGrid::doubleClick);
}

DBGrid::DBGrid(DataSource* source, QWidget* parent)
    : DBGrid(parent)
{
    setDataSource(source);
}

void DBGrid::setDataSource(DataSource* source)
{
    for (auto& link : m_links)
        disconnect(link);
    m_source = source;
    if (source) {
        m_links[0] = connect(source, &DataSource::dataChanged, this, &DBGrid::datasetChanged);
        m_links[1] = connect(source, &DataSource::recordChanged, this, &DBGrid::fieldChanged);
        m_links[2] = connect(source, &DataSource::stateChanged, m_model, &GridModel::stateChanged);
        m_links[3] = connect(source, &DataSource::updateRecordRequested, this, &DBGrid::updateRecord);
    }
    m_model->setDataSource(source);
    syncCurrent();
}

Dataset* DBGrid::dataset() const
{
    return m_model->dataset();
}

void DBGrid::setColumns(const QList<GridColumn>& columns)
{
    m_model->setColumns(columns);
    syncCurrent();
}

const QList<GridColumn>& DBGrid::columns() const
{
    return m_model->columns();
}

void DBGrid::setSelectedColumn(int column)
{
    if (column < 0 || column >= m_model->columnCount())
        return;
    if (m_model->rowCount() > 0)
        setCurrentIndex(m_model->index(std::max(currentIndex().row(), 0), column));
    else if (column != m_column) {
        m_column = column;
        emit colEnter();
    }
}

QString DBGrid::selectedField() const
{
    return m_model->fieldOf(m_column);
}

void DBGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_model->setReadOnly(readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers : Triggers);
}

void DBGrid::setCheckColumn(int column)
{
    m_model->setCheckColumn(column);
}

int DBGrid::checkColumn() const
{
    return m_model->checkColumn();
}

void DBGrid::installKeyFilter(QObject* filter)
{
    m_keyFilters.append(filter);
    installEventFilter(filter);
}

QChar DBGrid::keyCharacter(const QObject* watched, const QEvent* event) const
{
    if (event->type() != QEvent::KeyPress || (watched != this && watched != cellEditor()))
        return {};
    return EditKeys::keyCharacter(static_cast<const QKeyEvent*>(event));
}

QRect DBGrid::cellRect(int row, int column) const
{
    return visualRect(m_model->index(row, column)).translated(viewport()->pos());
}

void DBGrid::defaultDrawColumnCell(QPainter* painter, const QRect& rect, int row, int column, const QColor& textColor)
{
    const QModelIndex index = m_model->index(row, column);
    QStyleOptionViewItem option;
    if (m_drawing && m_drawingIndex == index)
        option = *m_drawing;
    else {
        initViewItemOption(&option);
        if (selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
    }
    option.rect = rect;
    m_delegate->paintCell(painter, option, index, textColor);
}

void DBGrid::cellPainted(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index, bool focused)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&DBGrid::drawColumnCell)))
        return;
    const QPoint offset = viewport()->pos();
    painter->save();
    painter->translate(-offset);
    QScopedValueRollback drawing(m_drawing, &option);
    QScopedValueRollback drawingIndex(m_drawingIndex, index);
    emit drawColumnCell(painter, option.rect.translated(offset), index.row(), index.column(), focused);
    painter->restore();
}

// ---------------------------------------------------------------- following the dataset

void DBGrid::datasetChanged()
{
    Dataset* ds = dataset();
    // An editor belongs to the row being edited; once that ends or moves, it goes.
    if (QWidget* editor = cellEditor())
        if (!ds || !ds->isEditing() || m_editorIndex.row() != std::max(ds->recNo(), 0))
            releaseEditor(editor, QAbstractItemDelegate::NoHint);
    m_model->sync();
    if (!m_arriving)
        syncCurrent();
}

void DBGrid::fieldChanged(const QString& field)
{
    m_model->currentRowChanged();
    QWidget* editor = cellEditor();
    if (editor && m_model->fieldOf(m_editorIndex.column()) == field)
        m_delegate->setEditorData(editor, m_editorIndex);
}

void DBGrid::updateRecord()
{
    // A value the row refused stops the save; the model has shown why.
    QWidget* editor = cellEditor();
    if (editor && !writeEditor(editor))
        throw AbortAction();
}

void DBGrid::syncCurrent()
{
    Dataset* ds = dataset();
    if (!ds || m_model->rowCount() == 0 || m_model->columnCount() == 0)
        return;
    const QModelIndex target =
        m_model->index(std::max(ds->recNo(), 0), std::clamp(m_column, 0, m_model->columnCount() - 1));
    if (currentIndex() != target) {
        QScopedValueRollback syncing(m_syncing, true);
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    }
    scrollTo(target);
}

void DBGrid::applyWidths()
{
    Dataset* ds = dataset();
    const QFontMetrics metrics = fontMetrics();
    const QList<GridColumn>& all = m_model->columns();
    for (int i = 0; i < all.size(); ++i) {
        int width = all[i].width;
        if (width <= 0) {
            const int chars = ds && ds->hasField(all[i].field) ? ds->field(all[i].field).width : 0;
            const QString title = m_model->headerData(i, Qt::Horizontal).toString();
            width = std::max(chars > 0 ? metrics.averageCharWidth() * std::clamp(chars, 4, 30) : 64,
                             metrics.horizontalAdvance(title)) + 8;
        }
        setColumnWidth(i, width);
    }
}

// ---------------------------------------------------------------- moving

QModelIndex DBGrid::arrive(const QModelIndex& target)
{
    const QModelIndex here = currentIndex();
    Dataset* ds = dataset();
    if (!ds || !target.isValid() || target == here)
        return target;
    if (!commitOpenEditor())
        return here;
    if (ds->recordCount() == 0 || target.row() == ds->recNo())
        return target;
    const int column = target.column();
    QScopedValueRollback arriving(m_arriving, true);
    guarded([&] { moveDatasetTo(target.row()); });
    return m_model->index(std::max(ds->recNo(), 0), column);
}

void DBGrid::moveDatasetTo(int row)
{
    Dataset* ds = dataset();
    const int count = ds->recordCount();
    const int from = ds->recNo();
    // End the pending change first: a dropped new row shifts the rows below it up by one.
    ds->endPendingChanges();
    if (ds->recordCount() < count && row > from)
        --row;
    ds->moveTo(std::clamp(row, 0, std::max(ds->recordCount() - 1, 0)));
}

QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    return arrive(QTableView::moveCursor(action, modifiers));
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!current.isValid())
        return;
    Dataset* ds = dataset();
    // A change of cell not made by the grid's own moves: follow it, or bring the grid back.
    if (!m_syncing && !m_arriving && ds && ds->recordCount() > 0 && current.row() != ds->recNo()) {
        {
            QScopedValueRollback arriving(m_arriving, true);
            guarded([&] { moveDatasetTo(current.row()); });
        }
        if (ds->recNo() != current.row())
            syncCurrent();
    }
    const int column = currentIndex().column();
    if (column >= 0 && column != m_column) {
        m_column = column;
        emit colEnter();
    }
}

bool DBGrid::downAppends()
{
    Dataset* ds = dataset();
    if (!ds || !canModify() || currentIndex().row() != m_model->rowCount() - 1)
        return false;
    // A blank new row is not followed by another one.
    if (ds->state() == Dataset::State::Insert && !ds->modified() && !m_delegate->isModified(cellEditor()))
        return true;
    if (commitOpenEditor())
        guarded([ds] { ds->append(); });
    return true;
}

// ---------------------------------------------------------------- keys and mouse

bool DBGrid::tabLeaves(const QKeyEvent* event) const
{
    const bool forward = event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier);
    if ((event->modifiers() & Qt::ControlModifier) || browsesOnly())
        return true;
    const int rows = m_model->rowCount(), columns = m_model->columnCount();
    if (rows == 0 || columns == 0)
        return forward ? m_column >= columns - 1 : m_column <= 0;
    const QModelIndex here = currentIndex();
    if (!here.isValid())
        return true;
    return forward ? here.row() == rows - 1 && here.column() == columns - 1 : here.row() == 0 && here.column() == 0;
}

void DBGrid::leave(bool forward)
{
    // A value the field refuses keeps its editor, and the focus with it.
    if (!commitOpenEditor())
        return;
    setFocus(Qt::OtherFocusReason);
    // Past QAbstractItemView's own handling, which would turn Tab back into a move between cells.
    QWidget::focusNextPrevChild(forward);
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) && tabLeaves(event)) {
        leave(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    Dataset* ds = dataset();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (ds) {
        switch (event->key()) {
        case Qt::Key_Insert:
            if (modifiers == Qt::NoModifier) {
                if (canModify())
                    guarded([ds] { ds->insert(); });
                return;
            }
            break;
        case Qt::Key_Delete:
            if (modifiers == Qt::ControlModifier) {
                if (canModify() && !ds->isEmpty())
                    guarded([ds] { deleteWithQuestion(*ds); });
                return;
            }
            break;
        case Qt::Key_Escape:
            if (ds->isEditing()) {
                guarded([ds] { ds->cancel(); });
                return;
            }
            break;
        case Qt::Key_Down:
            if (modifiers == Qt::NoModifier && downAppends())
                return;
            break;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // An empty grid has no cells to move between, yet its columns can still be entered.
            if (m_model->rowCount() == 0) {
                const bool back = event->key() == Qt::Key_Left || event->key() == Qt::Key_Backtab;
                setSelectedColumn(m_column + (back ? -1 : 1));
                return;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (modifiers == Qt::ControlModifier && columns().value(m_column).ellipsis) {
                emit editButtonClick();
                return;
            }
            // In a grid that only shows rows, Enter does what a double-click does.
            if (modifiers == Qt::NoModifier && browsesOnly() && currentIndex().isValid()) {
                emit doubleClick();
                return;
            }
            break;
        default:
            break;
        }
    }
    const QChar typed = EditKeys::typedCharacter(event);
    if (!typed.isNull() && !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        // Typing opens the cell's editor with the key (or ticks a check cell); it never searches rows.
        if (!edit(currentIndex(), QAbstractItemView::AnyKeyPressed, event))
            QApplication::beep();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    m_clickedCurrent = QPersistentModelIndex();
    m_pressedCurrent = index == currentIndex() ? QPersistentModelIndex(index) : QPersistentModelIndex();
    if (event->button() == Qt::LeftButton && index.isValid()) {
        if (index == currentIndex() && columns().value(index.column()).ellipsis
            && GridDelegate::ellipsisRect(visualRect(index)).contains(pos)) {
            if (commitOpenEditor())
                emit editButtonClick();
            return;
        }
        if (index == currentIndex() && hasFocus())
            m_clickedCurrent = index;
        if (index != currentIndex()) {
            const int row = index.row(), column = index.column();
            const QModelIndex landed = arrive(index);
            if (landed.row() != row || landed.column() != column) {
                if (landed.isValid() && landed != currentIndex())
                    setCurrentIndex(landed);
                return;
            }
        }
    }
    QTableView::mousePressEvent(event);
}

void DBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    const QPersistentModelIndex clicked = m_clickedCurrent;
    m_clickedCurrent = QPersistentModelIndex();
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && clicked.isValid() && clicked == currentIndex()
        && indexAt(event->position().toPoint()) == clicked && !cellEditor())
        edit(clicked, QAbstractItemView::EditKeyPressed, nullptr);
}

void DBGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    // Dragging moves the current cell like clicks do; there is no range to select.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index != currentIndex()) {
        const QModelIndex landed = arrive(index);
        if (landed.isValid() && landed != currentIndex())
            setCurrentIndex(landed);
    }
}

// ---------------------------------------------------------------- cell editors

bool DBGrid::canModify() const
{
    Dataset* ds = dataset();
    return !m_readOnly && ds && !ds->isReadOnly();
}

bool DBGrid::browsesOnly() const
{
    return !canModify() || selectionBehavior() == QAbstractItemView::SelectRows;
}

QWidget* DBGrid::cellEditor() const
{
    return state() == QAbstractItemView::EditingState ? indexWidget(m_editorIndex) : nullptr;
}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // A click that makes its cell current does not also toggle the cell's check box.
    const bool click = event && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
                                 || event->type() == QEvent::MouseButtonDblClick);
    if (click && index != m_pressedCurrent)
        event = nullptr;
    if (!QTableView::edit(index, trigger, event))
        return false;
    if (QWidget* editor = indexWidget(index)) {
        m_editorIndex = index;
        // Installed after the delegate's filter, so they see each key before it: the windows'
        // rules first, then the grid's Tab.
        editor->installEventFilter(this);
        for (const QPointer<QObject>& filter : std::as_const(m_keyFilters))
            if (filter)
                editor->installEventFilter(filter);
    }
    return true;
}

bool DBGrid::eventFilter(QObject* object, QEvent* event)
{
    // Tab from the last cell, Backtab from the first and Ctrl with either leave the grid from a
    // cell editor too.
    if (event->type() == QEvent::KeyPress && object == cellEditor()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && tabLeaves(key)) {
            leave(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QTableView::eventFilter(object, event);
}

bool DBGrid::writeEditor(QWidget* editor)
{
    if (!m_editorIndex.isValid())
        return true;
    m_delegate->setModelData(editor, m_model, m_editorIndex);
    return !m_delegate->isModified(editor);
}

bool DBGrid::commitOpenEditor()
{
    QWidget* editor = cellEditor();
    if (!editor)
        return true;
    if (!writeEditor(editor)) {
        editor->setFocus();
        return false;
    }
    releaseEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void DBGrid::releaseEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    m_editorIndex = QPersistentModelIndex();
    QTableView::closeEditor(editor, hint);
}

void DBGrid::commitData(QWidget* editor)
{
    // A failing write shows its error box, which takes the focus; the editor must not write again.
    if (m_writing) {
        m_keepEditor = true;
        return;
    }
    QScopedValueRollback writing(m_writing, true);
    m_keepEditor = !writeEditor(editor);
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (m_keepEditor) {
        m_keepEditor = false;
        editor->setFocus();
        return;
    }
    // Escape on an unchanged cell goes on to cancel the row.
    const bool cancelRow = hint == QAbstractItemDelegate::RevertModelCache && !m_delegate->isModified(editor);
    releaseEditor(editor, hint);
    Dataset* ds = dataset();
    if (cancelRow && ds && ds->isEditing())
        guarded([ds] { ds->cancel(); });
}
