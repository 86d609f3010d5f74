#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

#include "toolkit/widgets/GridColumn.h"

class DataSource;
class Dataset;

// The rows of a DBGrid's dataset as a table model, read lazily cell by cell, so a grid over
// a hundred thousand rows costs only what is on screen. An open, empty dataset shows one blank
// row, where typing starts the first row. The vertical header marks the current row with the
// dataset's state.
//
// setData writes the dataset's current row, putting it into editing first: Qt::EditRole takes a
// cell's text (a lookup column takes the key of the chosen entry, as QSqlRelationalTableModel
// does), Qt::CheckStateRole ticks or clears the check cell. setData is where a user's value
// meets the dataset, so it is an action boundary: what the field or the dataset refuses shows
// its text in the error box and setData returns false, the row staying in editing with its
// other changes. dataChanged follows from the dataset's own change notice.
//
// Owned by its grid; the data source is not owned. GUI thread only.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    void setDataSource(DataSource* source);
    // The open dataset, else nullptr.
    Dataset* dataset() const;

    // Declared columns; none: one per field of the dataset.
    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    QString fieldOf(int column) const;
    // The column's field may be changed by the user.
    bool isEditable(int column) const;
    // A read-only model takes no values and offers no cell for editing.
    void setReadOnly(bool readOnly);
    // The current row's cell of column shows its Boolean field as a check box, an empty field as
    // partly checked, and takes Qt::CheckStateRole; -1: no cell does.
    void setCheckColumn(int column);
    int checkColumn() const { return m_checkColumn; }

    // Puts the dataset into editing for a change the user starts in a cell (an empty dataset
    // starts its first row). False when the model is read-only or the dataset did not go into
    // editing; an error it raised is shown.
    bool startEditing();

    // Follows the dataset after its rows or current row changed: resets when the number of
    // rows or the columns changed, else repaints. Returns true when it reset.
    bool sync();
    void currentRowChanged();
    void stateChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    void reset();
    QList<GridColumn> wantedColumns() const;
    int wantedRows() const;
    void markIndicator(int row);
    bool isCheckCell(const QModelIndex& index) const;
    void write(const QModelIndex& index, const QVariant& value, int role);

    QPointer<DataSource> m_source;
    QList<GridColumn> m_declared;
    QList<GridColumn> m_columns;
    int m_rows = 0;
    int m_indicatorRow = -1;
    int m_checkColumn = -1;
    bool m_readOnly = false;
};
