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
    qint64 rowid(int row) const { return m_rowids.empty() ? row + 1 : m_rowids[size_t(row)]; }
    QVariant value(int row, int column) const;
    bool isNull(int row, int column) const { return m_columns[column].nulls[row]; }
    // Row indexes stably sorted on columns (nulls first); computed once per set of columns.
    std::shared_ptr<const std::vector<qint32>> order(const std::vector<int>& columns) const;

private:
    // Grows block by block, so that a column of many rows neither keeps room for as many again
    // as it holds nor is copied as it grows.
    template<typename T>
    class Cells
    {
    public:
        void push_back(T value)
        {
            if (m_blocks.empty() || m_blocks.back().size() == BlockSize)
                m_blocks.emplace_back();
            m_blocks.back().push_back(std::move(value));
        }
        const T& operator[](size_t i) const { return m_blocks[i / BlockSize][i % BlockSize]; }
        bool empty() const { return m_blocks.empty(); }
        size_t size() const
        {
            return m_blocks.empty() ? 0 : (m_blocks.size() - 1) * BlockSize + m_blocks.back().size();
        }

    private:
        static constexpr size_t BlockSize = 4096;
        std::vector<std::vector<T>> m_blocks;
    };

    struct Column
    {
        FieldType kind;
        Cells<qint64> ints;
        Cells<double> reals;
        // A text column keeps its texts that are not null, and per row where its text is: a null
        // cell takes four bytes rather than a string's twenty-four.
        Cells<QString> texts;
        Cells<quint32> textIndex;
        std::vector<bool> nulls;

        const QString& text(int row) const { return texts[textIndex[size_t(row)]]; }
    };
    int compare(int a, int b, int column) const;

    int m_rowCount = 0;
    Cells<qint64> m_rowids;
    std::vector<Column> m_columns;
    mutable std::map<std::vector<int>, std::shared_ptr<const std::vector<qint32>>> m_orders;
};

// Orders two values of a column: null first, numbers by value, texts without regard to case.
int compareValues(const QVariant& a, const QVariant& b, bool caseInsensitive = true);
