#include "toolkit/widgets/GridModel.h"

#include <QPainter>
#include <QPixmap>

#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"

namespace {

// The row indicator: an arrow while browsing, an I-beam while editing, a star for a new row.
QPixmap indicator(Dataset::State state)
{
    QPixmap pixmap(10, 10);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::black);
    switch (state) {
    case Dataset::State::Edit:
        p.drawLine(QPointF(5, 1), QPointF(5, 9));
        p.drawLine(QPointF(3, 1), QPointF(7, 1));
        p.drawLine(QPointF(3, 9), QPointF(7, 9));
        break;
    case Dataset::State::Insert:
        p.drawLine(QPointF(5, 1), QPointF(5, 9));
        p.drawLine(QPointF(1.5, 3), QPointF(8.5, 7));
        p.drawLine(QPointF(1.5, 7), QPointF(8.5, 3));
        break;
    default:
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF{QPointF(2, 1), QPointF(8, 5), QPointF(2, 9)});
        break;
    }
    return pixmap;
}

bool isNumeric(FieldType type)
{
    return type == FieldType::AutoInc || type == FieldType::Integer || type == FieldType::Real;
}

}

GridModel::GridModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void GridModel::setDataSource(DataSource* source)
{
    m_source = source;
    reset();
}

Dataset* GridModel::dataset() const
{
    Dataset* ds = m_source ? m_source->dataset() : nullptr;
    return ds && ds->isActive() ? ds : nullptr;
}

void GridModel::setColumns(const QList<GridColumn>& columns)
{
    m_declared = columns;
    reset();
}

void GridModel::reset()
{
    beginResetModel();
    m_columns = wantedColumns();
    m_rows = wantedRows();
    m_indicatorRow = -1;
    endResetModel();
    markIndicator(dataset() ? dataset()->recNo() : -1);
}

QList<GridColumn> GridModel::wantedColumns() const
{
    if (!m_declared.isEmpty())
        return m_declared;
    QList<GridColumn> all;
    if (Dataset* ds = dataset())
        for (int i = 0; i < ds->fieldCount(); ++i)
            all.append(GridColumn(ds->field(i).name));
    return all;
}

int GridModel::wantedRows() const
{
    Dataset* ds = dataset();
    if (!ds)
        return 0;
    return std::max(ds->recordCount(), 1);
}

QString GridModel::fieldOf(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns[column].field : QString();
}

bool GridModel::isEditable(int column) const
{
    Dataset* ds = dataset();
    if (!ds || m_readOnly || ds->isReadOnly() || column < 0 || column >= m_columns.size() || m_columns[column].readOnly)
        return false;
    const QString& name = m_columns[column].field;
    return ds->hasField(name) && !ds->field(name).readOnly;
}

void GridModel::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
}

void GridModel::setCheckColumn(int column)
{
    if (column == m_checkColumn)
        return;
    const int before = m_checkColumn;
    m_checkColumn = column;
    Dataset* ds = dataset();
    if (!ds)
        return;
    const int row = std::max(ds->recNo(), 0);
    for (int changed : {before, column})
        if (changed >= 0 && changed < columnCount() && row < m_rows)
            emit dataChanged(index(row, changed), index(row, changed));
}

bool GridModel::isCheckCell(const QModelIndex& index) const
{
    Dataset* ds = dataset();
    return ds && index.column() == m_checkColumn && index.row() == std::max(ds->recNo(), 0)
        && ds->hasField(fieldOf(index.column()));
}

bool GridModel::startEditing()
{
    if (m_readOnly || !m_source)
        return false;
    bool editing = false;
    guarded([&] { editing = m_source->edit(); });
    return editing;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Dataset* ds = dataset();
    if (!ds || !index.isValid() || !isEditable(index.column()))
        return false;
    if (role != Qt::EditRole && !(role == Qt::CheckStateRole && isCheckCell(index)))
        return false;
    // Only the current row takes values; the blank row of an empty dataset becomes its first.
    if (index.row() != std::max(ds->recNo(), 0) || !startEditing())
        return false;
    return guarded([&] { write(index, value, role); });
}

void GridModel::write(const QModelIndex& index, const QVariant& value, int role)
{
    Dataset& ds = *dataset();
    const QString& name = m_columns[index.column()].field;
    if (role == Qt::CheckStateRole)
        ds.setValue(name, value.toInt() == Qt::Checked);
    else if (ds.field(name).isLookup)
        ds.setValue(ds.field(name).keyField, value);
    else
        ds.setText(name, value.toString());
}

bool GridModel::sync()
{
    const QList<GridColumn> columns = wantedColumns();
    const int rows = wantedRows();
    if (rows != m_rows || columns != m_columns) {
        reset();
        return true;
    }
    if (m_rows > 0 && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(m_rows - 1, int(m_columns.size()) - 1));
    markIndicator(dataset() ? dataset()->recNo() : -1);
    return false;
}

void GridModel::currentRowChanged()
{
    Dataset* ds = dataset();
    if (!ds || ds->recNo() < 0 || m_columns.isEmpty())
        return;
    emit dataChanged(index(ds->recNo(), 0), index(ds->recNo(), int(m_columns.size()) - 1));
}

void GridModel::stateChanged()
{
    const int row = m_indicatorRow;
    m_indicatorRow = -1;
    markIndicator(row);
}

void GridModel::markIndicator(int row)
{
    if (row == m_indicatorRow)
        return;
    const int before = m_indicatorRow;
    m_indicatorRow = row;
    if (before >= 0 && before < m_rows)
        emit headerDataChanged(Qt::Vertical, before, before);
    if (row >= 0 && row < m_rows)
        emit headerDataChanged(Qt::Vertical, row, row);
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    Dataset* ds = dataset();
    if (!ds || !index.isValid() || index.column() >= m_columns.size())
        return {};
    const GridColumn& column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        // The check box stands for the text.
        if (isCheckCell(index))
            return QString();
        [[fallthrough]];
    case Qt::EditRole:
        return ds->hasField(column.field) ? ds->textAt(index.row(), column.field) : QString();
    case Qt::CheckStateRole: {
        if (!isCheckCell(index))
            return {};
        const QVariant value = ds->recNo() >= 0 ? ds->value(column.field) : QVariant();
        return value.isNull() ? Qt::PartiallyChecked : value.toBool() ? Qt::Checked : Qt::Unchecked;
    }
    case Qt::BackgroundRole:
        return column.color.isValid() ? QVariant(column.color) : QVariant();
    case Qt::TextAlignmentRole:
        if (ds->hasField(column.field) && isNumeric(ds->field(column.field).type))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    Dataset* ds = dataset();
    if (orientation == Qt::Vertical) {
        if (role == Qt::DecorationRole && ds && section == m_indicatorRow)
            return indicator(ds->state());
        return {};
    }
    if (role != Qt::DisplayRole || section < 0 || section >= m_columns.size())
        return {};
    const GridColumn& column = m_columns[section];
    if (!column.title.isEmpty())
        return column.title;
    return ds && ds->hasField(column.field) ? ds->field(column.field).displayLabel() : column.field;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!isEditable(index.column()))
        return f;
    // A check cell toggles rather than opening an editor.
    return f | (isCheckCell(index) ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}
