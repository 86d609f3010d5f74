#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class DBGrid;

// Paints and edits the cells of a DBGrid. After the standard painting of a cell it lets the
// grid report the cell (DBGrid::drawColumnCell); the focused cell of an ellipsis column gets a
// "..." button. Editors: a drop-down of the lookup list for lookup fields (choosing writes at
// once), else a line edit limited to the field's width in characters that refuses characters
// the field's type cannot take. Keys typed in an editor are offered to the grid's keyPress first.
// Owned by its grid. GUI thread only.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit GridDelegate(DBGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    // Writing goes through DBGrid::commitData, which catches what the dataset throws.
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The standard painting of a cell with another text colour.
    void paintCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                   const QColor& textColor) const;
    // Where the "..." button of a cell lies.
    static QRect ellipsisRect(const QRect& cell);

    // The open editor, if any, and its cell.
    QWidget* openEditor() const { return m_editor; }
    QModelIndex openIndex() const { return m_editorIndex; }
    void forgetEditor() { m_editor = nullptr; }
    // Whether the user changed the editor's value; false for no editor.
    bool isModified(QWidget* editor) const;
    // Writes the editor's value into the current row; throws FieldError or StoreError.
    void write(QWidget* editor);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    DBGrid* m_grid;
    mutable QPointer<QWidget> m_editor;
    mutable QPersistentModelIndex m_editorIndex;
};
