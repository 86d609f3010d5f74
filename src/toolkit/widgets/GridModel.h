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
// dataset's state. Owned by its grid; the data source is not owned. GUI thread only.
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
    // The column's field may be changed by the user (the grid's own read-only aside).
    bool isEditable(int column) const;

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

private:
    void reset();
    QList<GridColumn> wantedColumns() const;
    int wantedRows() const;
    void markIndicator(int row);

    QPointer<DataSource> m_source;
    QList<GridColumn> m_declared;
    QList<GridColumn> m_columns;
    int m_rows = 0;
    int m_indicatorRow = -1;
};
