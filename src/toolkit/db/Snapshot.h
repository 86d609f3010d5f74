#pragma once

#include <map>
#include <memory>
#include <vector>

#include <QStringList>
#include <QVariant>

#include "toolkit/db/Field.h"

class Statement;

// The rows of one read, held column by column so that integers take eight bytes a cell.
// Immutable once read, so datasets that read the same rows at the same moment share one.
// GUI thread only.
class Snapshot
{
public:
    // Reads every row of statement; rowidColumn (or -1) is the row identity, the other
    // columns are kept with the kinds given, in statement order.
    Snapshot(Statement& statement, int rowidColumn, const std::vector<FieldType>& kinds);

    int rowCount() const { return m_rowCount; }
    int columnCount() const { return int(m_columns.size()); }
    qint64 rowid(int row) const { return m_rowids.empty() ? row + 1 : m_rowids[row]; }
    QVariant value(int row, int column) const;
    bool isNull(int row, int column) const { return m_columns[column].nulls[row]; }
    // Row indexes stably sorted on columns (nulls first); computed once per set of columns.
    std::shared_ptr<const std::vector<qint32>> order(const std::vector<int>& columns) const;

private:
    struct Column
    {
        FieldType kind;
        std::vector<qint64> ints;
        std::vector<double> reals;
        std::vector<QString> texts;
        std::vector<bool> nulls;
    };
    int compare(int a, int b, int column) const;

    int m_rowCount = 0;
    std::vector<qint64> m_rowids;
    std::vector<Column> m_columns;
    mutable std::map<std::vector<int>, std::shared_ptr<const std::vector<qint32>>> m_orders;
};

// Orders two values of a column: null first, numbers by value, texts without regard to case.
int compareValues(const QVariant& a, const QVariant& b, bool caseInsensitive = true);
