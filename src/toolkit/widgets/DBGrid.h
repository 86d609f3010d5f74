#pragma once

#include <QPointer>
#include <QTableView>

// DataSource.h needs Dataset complete for its inline QPointer access.
#include "toolkit/db/Dataset.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/widgets/GridColumn.h"

class GridDelegate;
class GridModel;

// A grid over the rows of a data source's dataset, one column per GridColumn (or per field when
// none are declared). Rows are read lazily, so large datasets cost only what is on screen.
//
// Habits of a classic data-aware grid: moving the selection moves the dataset's current row
// (leaving a changed row saves it, and a refused save keeps the selection where it was);
// typing in a cell, or a click on the current cell, starts editing through the data source;
// Enter or leaving the cell writes it; Escape first puts back the cell's text, then cancels the
// row; Insert inserts a row, Ctrl+Delete deletes one after the delete question, Down on the last
// row appends one. Tab and Shift+Tab move between cells and leave the grid from its last (first)
// cell; Ctrl+Tab and Ctrl+Shift+Tab always leave it. A grid that cannot change its rows (read-only,
// or selecting whole rows) leaves on Tab at once, and Enter there raises doubleClick(). Boolean
// fields show "True"/"False"; lookup columns edit with a drop-down of the lookup list. Every
// change runs under the action guard, so errors reach the error box and the pending change stays.
//
// Values reach the dataset through the model (GridModel::setData) from the delegate's
// editors; windows add their own key rules with installKeyFilter.
//
// Events, all plain Qt signals delivered synchronously:
//   colEnter()              the selected column changed (selectedColumn(), selectedField())
//   drawColumnCell(painter, cellRect, row, column, focused)
//                           a data cell was drawn; painter and cellRect are in grid coordinates,
//                           focused marks the current cell; defaultDrawColumnCell() redraws it
//   editButtonClick()       the "..." button of the focused cell of an ellipsis column (or
//                           Ctrl+Enter there); a cell editor is written and closed first
//   cellClick(column), doubleClick()
//
// Owns its model and delegate; the data source is not owned. GUI thread only.
class DBGrid : public QTableView
{
    Q_OBJECT
    Q_PROPERTY(DataSource* dataSource READ dataSource)
public:
    explicit DBGrid(QWidget* parent = nullptr);
    explicit DBGrid(DataSource* source, QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    // The open dataset, else nullptr.
    Dataset* dataset() const;

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const;

    int selectedColumn() const { return m_column; }
    void setSelectedColumn(int column);
    QString selectedField() const;

    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);

    // A cell's rectangle in the grid's own coordinates; a widget with the grid's parent covers
    // the cell exactly at cellRect(...).translated(grid->pos()).
    QRect cellRect(int row, int column) const;
    // The grid's standard drawing of a cell in another text colour, for drawColumnCell handlers.
    void defaultDrawColumnCell(QPainter* painter, const QRect& cellRect, int row, int column, const QColor& textColor);

    // The current row's cell of column shows its Boolean field as a check box that Space and a
    // click toggle; -1: none does.
    void setCheckColumn(int column);
    int checkColumn() const;

    // A window's rules for keys: filter's eventFilter sees each key press in the grid and in its
    // cell editors before they do, and swallows the key by returning true. Not owned.
    void installKeyFilter(QObject* filter);
    // For such a filter: the first character (control characters included) of a key pressed in
    // the grid or its cell editor; a null character for any other event.
    QChar keyCharacter(const QObject* watched, const QEvent* event) const;

    // The open cell editor, or nullptr.
    QWidget* cellEditor() const;

    using QTableView::edit;

signals:
    void colEnter();
    void drawColumnCell(QPainter* painter, const QRect& cellRect, int row, int column, bool focused);
    void editButtonClick();
    void cellClick(int column);
    void doubleClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyboardSearch(const QString&) override {}
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void datasetChanged();
    void fieldChanged(const QString& field);
    void updateRecord();
    void syncCurrent();
    void applyWidths();
    // Makes target's row current in the dataset; returns the cell the grid should go to.
    QModelIndex arrive(const QModelIndex& target);
    void moveDatasetTo(int row);
    bool downAppends();
    bool canModify() const;
    // Rows are only looked at and picked: Tab leaves at once, Enter acts as a double-click.
    bool browsesOnly() const;
    // Hands the editor's value to the model; false when the row refused it, the editor keeping it.
    bool writeEditor(QWidget* editor);
    // Writes and closes the open cell editor; false, keeping it open, when the write failed.
    bool commitOpenEditor();
    void releaseEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);
    // Whether Tab or Backtab (with its modifiers) moves the focus out of the grid rather than
    // to another cell.
    bool tabLeaves(const QKeyEvent* event) const;
    // Writes an open cell editor and moves the focus to the next or previous control.
    void leave(bool forward);
    void cellPainted(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index, bool focused);

    GridModel* m_model;
    GridDelegate* m_delegate;
    QPointer<DataSource> m_source;
    QMetaObject::Connection m_links[4];
    int m_column = 0;
    bool m_readOnly = false;
    bool m_syncing = false;
    bool m_arriving = false;
    bool m_writing = false;
    bool m_keepEditor = false;
    const QStyleOptionViewItem* m_drawing = nullptr;
    QModelIndex m_drawingIndex;
    // The cell a left button press found current in the focused grid; its release opens the cell's editor.
    QPersistentModelIndex m_clickedCurrent;
    // The cell a press found current; only there a click reaches a check box.
    QPersistentModelIndex m_pressedCurrent;
    QPersistentModelIndex m_editorIndex;
    QList<QPointer<QObject>> m_keyFilters;
};
