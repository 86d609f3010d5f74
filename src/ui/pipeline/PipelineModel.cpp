#include "ui/pipeline/PipelineModel.h"

#include <QColor>
#include <QFont>

void PipelineModel::update()
{
    beginResetModel();
    m_shown = Pipeline::shownRows(m_rows, m_filter, m_sortColumn, m_descending);
    endResetModel();
}

void PipelineModel::setFilter(const Pipeline::Filter& filter)
{
    m_filter = filter;
    update();
}

void PipelineModel::setStandOutDays(int days)
{
    m_standOutDays = days;
    if (!m_shown.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, Pipeline::ColumnCount - 1));
}

void PipelineModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = Pipeline::Column(column);
    m_descending = order == Qt::DescendingOrder;
    update();
}

int PipelineModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int PipelineModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Pipeline::ColumnCount;
}

QVariant PipelineModel::data(const QModelIndex& index, int role) const
{
    const Pipeline::Row& row = rowAt(index.row());
    const bool standsOut = row.days > m_standOutDays;
    switch (role) {
    case Qt::DisplayRole:
        return Pipeline::cellText(row, Pipeline::Column(index.column()));
    case Qt::TextAlignmentRole:
        return index.column() >= Pipeline::Days ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::FontRole:
        if (standsOut) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        return standsOut ? QVariant(QColor(255, 226, 200)) : QVariant();
    case Qt::ToolTipRole:
        return standsOut ? QStringLiteral("%1 days in %2, more than %3")
                             .arg(QString::number(row.days), row.status, QString::number(m_standOutDays))
                         : QVariant();
    default:
        return {};
    }
}

QVariant PipelineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return Pipeline::columnTitle(Pipeline::Column(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}
