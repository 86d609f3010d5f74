#include "toolkit/db/Snapshot.h"

#include <algorithm>
#include <numeric>

#include "toolkit/db/Statement.h"

namespace {

bool isIntegral(FieldType kind)
{
    return kind == FieldType::AutoInc || kind == FieldType::Integer || kind == FieldType::Boolean;
}

bool isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

} // namespace

int compareValues(const QVariant& a, const QVariant& b, bool caseInsensitive)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    if (isNumber(a) && isNumber(b)) {
        if (a.typeId() != QMetaType::Double && b.typeId() != QMetaType::Double) {
            const qint64 x = a.toLongLong(), y = b.toLongLong();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(a.toString(), b.toString(), caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
}

Snapshot::Snapshot(Statement& statement, int rowidColumn, const std::vector<FieldType>& kinds)
{
    m_columns.resize(kinds.size());
    for (size_t c = 0; c < kinds.size(); ++c)
        m_columns[c].kind = kinds[c];
    std::vector<int> source;
    for (int c = 0; c < statement.columnCount(); ++c)
        if (c != rowidColumn)
            source.push_back(c);

    while (statement.step()) {
        if (rowidColumn >= 0)
            m_rowids.push_back(statement.int64(rowidColumn));
        for (size_t c = 0; c < m_columns.size(); ++c) {
            Column& col = m_columns[c];
            const int sc = source[c];
            const bool null = statement.isNull(sc);
            col.nulls.push_back(null);
            if (isIntegral(col.kind))
                col.ints.push_back(null ? 0 : statement.int64(sc));
            else if (col.kind == FieldType::Real)
                col.reals.push_back(null ? 0.0 : statement.real(sc));
            else {
                col.textIndex.push_back(quint32(col.texts.size()));
                if (!null)
                    col.texts.push_back(statement.text(sc));
            }
        }
        ++m_rowCount;
    }
}

QVariant Snapshot::value(int row, int column) const
{
    const Column& col = m_columns[column];
    if (col.nulls[row])
        return {};
    if (isIntegral(col.kind))
        return col.kind == FieldType::Boolean ? QVariant(col.ints[row] != 0) : QVariant(col.ints[row]);
    if (col.kind == FieldType::Real)
        return QVariant(col.reals[row]);
    return QVariant(col.text(row));
}

int Snapshot::compare(int a, int b, int column) const
{
    const Column& col = m_columns[column];
    const bool na = col.nulls[a], nb = col.nulls[b];
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    if (isIntegral(col.kind))
        return col.ints[a] < col.ints[b] ? -1 : (col.ints[a] > col.ints[b] ? 1 : 0);
    if (col.kind == FieldType::Real)
        return col.reals[a] < col.reals[b] ? -1 : (col.reals[a] > col.reals[b] ? 1 : 0);
    return QString::compare(col.text(a), col.text(b), Qt::CaseInsensitive);
}

std::shared_ptr<const std::vector<qint32>> Snapshot::order(const std::vector<int>& columns) const
{
    auto& slot = m_orders[columns];
    if (!slot) {
        auto rows = std::make_shared<std::vector<qint32>>(m_rowCount);
        std::iota(rows->begin(), rows->end(), 0);
        const auto before = [&](qint32 a, qint32 b) {
            for (int c : columns) {
                const int r = compare(a, b, c);
                if (r != 0)
                    return r < 0;
            }
            return false;
        };
        // Rows read in key order, as a detail on its table's key finds them, need no sort.
        if (!columns.empty() && !std::is_sorted(rows->begin(), rows->end(), before))
            std::stable_sort(rows->begin(), rows->end(), before);
        slot = std::move(rows);
    }
    return slot;
}
