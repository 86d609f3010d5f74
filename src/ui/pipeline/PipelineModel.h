#pragma once

#include <vector>

#include <QAbstractTableModel>

#include "data/Pipeline.h"

// The pipeline's rows as a table: the rows read, and the filtered, sorted few shown, which
// the view sorts through sort(). Rows standing longer than standOutDays in one status are
// drawn in bold on a tinted ground. GUI thread only.
class PipelineModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    std::vector<Pipeline::Row>& rows() { return m_rows; }
    const std::vector<int>& shown() const { return m_shown; }
    const Pipeline::Row& rowAt(int shownRow) const { return m_rows[size_t(m_shown[size_t(shownRow)])]; }
    void setFilter(const Pipeline::Filter& filter);
    const Pipeline::Filter& filter() const { return m_filter; }
    void setStandOutDays(int days);
    // Shows the rows read so far again, after more were read.
    void update();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    std::vector<Pipeline::Row> m_rows;
    std::vector<int> m_shown;
    Pipeline::Filter m_filter;
    Pipeline::Column m_sortColumn = Pipeline::Company;
    bool m_descending = false;
    int m_standOutDays = 60;
};
