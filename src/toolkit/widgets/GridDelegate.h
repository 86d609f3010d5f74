#pragma once

#include <QStyledItemDelegate>

class GridModel;

// Paints and edits the cells of a DBGrid's model through the standard delegate protocol. The
// focused cell of an ellipsis column gets a "..." button, and cellPainted reports each cell
// after its standard painting. Editors: a drop-down of the lookup list for lookup fields
// (choosing writes at once), else a line edit limited to the field's width in characters that
// refuses characters the field's type cannot take; a key that changes the text starts the row's
// edit first. setModelData hands the value to GridModel::setData and keeps the editor's change
// when the model refused it; setEditorData leaves an editor that holds the user's change alone. A check cell toggles on Space and on a click anywhere in it, as a
// check box without a caption does. Owned by its grid. GUI thread only.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    GridDelegate(GridModel* model, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The standard painting of a cell with another text colour.
    void paintCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                   const QColor& textColor) const;
    // Where the "..." button of a cell lies.
    static QRect ellipsisRect(const QRect& cell);

    // Whether the editor holds a change the row has not taken yet; false for no editor.
    bool isModified(QWidget* editor) const;

signals:
    // focused: the cell is the view's current one.
    void cellPainted(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index, bool focused) const;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    bool isEllipsis(const QModelIndex& index) const;

    GridModel* m_model;
};
