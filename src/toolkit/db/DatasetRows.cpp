// The rows a dataset holds, their order, the master's range of them and the current row.
// Nothing here reads or writes the file or tells anyone: the protocol does that.
#include "toolkit/db/Dataset.h"

#include <algorithm>

#include "toolkit/db/FieldValues.h"
#include "toolkit/db/Snapshot.h"
#include "toolkit/db/StoreError.h"

int Dataset::recordCount() const
{
    return m_hi - m_lo;
}

int Dataset::recNo() const
{
    return m_cur < 0 ? -1 : m_cur - m_lo;
}

Dataset::Bookmark Dataset::bookmark() const
{
    return m_cur < 0 ? 0 : rowidOf(m_rows[size_t(m_cur)]);
}

QVariant Dataset::storedAt(RowRef ref, int column) const
{
    return ref >= 0 ? m_snapshot->value(ref, column) : m_local[size_t(-ref - 1)].values[column];
}

qint64 Dataset::rowidOf(RowRef ref) const
{
    if (!m_keyColumn.isEmpty()) {
        const int c = columnOf(m_keyColumn);
        return c >= 0 ? storedAt(ref, c).toLongLong() : 0;
    }
    return ref >= 0 ? m_snapshot->rowid(ref) : m_local[size_t(-ref - 1)].rowid;
}

qint64 Dataset::snapshotRowid(int row) const
{
    if (!m_keyColumn.isEmpty()) {
        const int c = columnOf(m_keyColumn);
        return c >= 0 ? m_snapshot->value(row, c).toLongLong() : 0;
    }
    return m_snapshot->rowid(row);
}

QVector<QVariant> Dataset::storedRow(RowRef ref) const
{
    QVector<QVariant> values(m_columns.size());
    for (int c = 0; c < m_columns.size(); ++c)
        values[c] = storedAt(ref, c);
    return values;
}

void Dataset::restrict(const QVariant& value)
{
    m_restriction = value;
    m_restricted = true;
    const int col = columnOf(m_detailField);
    if (col < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, m_detailField));
    const auto lower = std::partition_point(m_rows.begin(), m_rows.end(),
                                            [&](RowRef r) { return compareValues(storedAt(r, col), value) < 0; });
    const auto upper = std::partition_point(lower, m_rows.end(),
                                            [&](RowRef r) { return compareValues(storedAt(r, col), value) == 0; });
    m_lo = int(lower - m_rows.begin());
    m_hi = int(upper - m_rows.begin());
}

// After the rows held changed: the master's rows again, and the row kept current, or the one
// at its place.
void Dataset::placeCurrent(Bookmark keep, int keepRow)
{
    if (m_restricted)
        restrict(m_restriction);
    else {
        m_lo = 0;
        m_hi = int(m_rows.size());
    }
    m_cur = -1;
    for (int abs = m_lo; abs < m_hi && keep != 0; ++abs)
        if (rowidOf(m_rows[size_t(abs)]) == keep)
            m_cur = abs;
    if (m_cur < 0 && m_lo < m_hi)
        m_cur = std::clamp(m_lo + keepRow, m_lo, m_hi - 1);
    m_bof = m_cur <= m_lo;
    m_eof = m_lo == m_hi;
}

void Dataset::setCurrent(int absolute)
{
    m_cur = absolute;
    m_bof = false;
    m_eof = false;
}

void Dataset::insertLocalRow(int pos, QVector<QVariant> values)
{
    LocalRow row;
    row.rowid = m_nextTempId--;
    row.values = std::move(values);
    m_local.push_back(std::move(row));
    m_rows.insert(m_rows.begin() + pos, RowRef(-qint32(m_local.size())));
    ++m_hi;
    setCurrent(pos);
    // Lookup indexes hold row positions, which moved.
    ++m_version;
}

// The saved buffer becomes the current row as the file now holds it.
void Dataset::keepEditedRow()
{
    RowRef& ref = m_rows[size_t(m_cur)];
    if (ref >= 0) {
        LocalRow row;
        row.rowid = m_snapshot->rowid(ref);
        m_local.push_back(std::move(row));
        ref = RowRef(-qint32(m_local.size()));
    }
    m_local[size_t(-ref - 1)].values = m_buffer;
    m_buffer.clear();
}

// A detail row whose link changed moves to its new group, so the rows stay sorted on the link.
void Dataset::resortCurrent(int linkColumn)
{
    const RowRef ref = m_rows[size_t(m_cur)];
    m_rows.erase(m_rows.begin() + m_cur);
    const QVariant v = storedAt(ref, linkColumn);
    const auto at = std::partition_point(m_rows.begin(), m_rows.end(),
                                         [&](RowRef r) { return compareValues(storedAt(r, linkColumn), v) <= 0; });
    m_rows.insert(at, ref);
    restrict(m_restriction);
    // clamp needs a non-empty range: the moved row may have been the master's only one.
    m_cur = m_lo == m_hi ? -1 : std::clamp(m_cur, m_lo, m_hi - 1);
}

// The row after the one removed becomes current, or the one before at the end.
void Dataset::dropCurrentRow()
{
    m_rows.erase(m_rows.begin() + m_cur);
    --m_hi;
    if (m_cur >= m_hi)
        m_cur = m_hi - 1;
    if (m_lo == m_hi)
        m_cur = -1;
    m_bof = m_cur <= m_lo;
    m_eof = m_lo == m_hi;
}

void Dataset::rematchRows(const std::vector<qint64>& held)
{
    m_local.clear();
    QHash<qint64, qint32> fresh;
    fresh.reserve(m_snapshot->rowCount());
    for (int i = 0; i < m_snapshot->rowCount(); ++i)
        fresh.insert(snapshotRowid(i), i);
    m_rows.clear();
    for (qint64 id : held) {
        const auto it = fresh.constFind(id);
        if (it != fresh.cend())
            m_rows.push_back(*it);
    }
    // A row whose order column was changed elsewhere moves to its place, so the binary
    // search for the master's rows stays sound.
    std::vector<int> orderColumns;
    for (const QString& name : m_order)
        orderColumns.push_back(columnOf(name));
    const auto before = [&](RowRef a, RowRef b) {
        for (int c : orderColumns) {
            const int r = compareValues(storedAt(a, c), storedAt(b, c));
            if (r != 0)
                return r < 0;
        }
        return false;
    };
    // Seldom needed, and a sort of a large table's rows costs far more than the check.
    if (!std::is_sorted(m_rows.begin(), m_rows.end(), before))
        std::stable_sort(m_rows.begin(), m_rows.end(), before);
}

void Dataset::clearRows()
{
    m_buffer.clear();
    m_modified = false;
    m_rows.clear();
    m_local.clear();
    m_snapshot.reset();
    m_cur = -1;
    m_lo = m_hi = 0;
    m_restricted = false;
    m_bof = m_eof = true;
}

int Dataset::findRow(const QStringList& fields, const QVariantList& values, LocateOptions options) const
{
    const bool folded = options.testFlag(CaseInsensitive);
    std::vector<int> idx;
    QVariantList wanted;
    for (int k = 0; k < fields.size(); ++k) {
        idx.push_back(fieldIndex(fields[k]));
        if (idx.back() < 0)
            throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, fields[k]));
        const FieldDef& f = m_fields[size_t(idx.back())];
        QVariant v = values[k];
        if (isIntegralType(f.type) && !v.isNull() && f.type != FieldType::Boolean) {
            bool ok = false;
            const qint64 n = v.toString().trimmed().toLongLong(&ok);
            if (!ok)
                return -1;
            v = n;
        }
        wanted.append(v);
    }
    auto matches = [&](int abs) {
        const RowRef ref = m_rows[size_t(abs)];
        for (size_t k = 0; k < idx.size(); ++k) {
            const FieldDef& f = m_fields[size_t(idx[k])];
            const QVariant have = fieldValueAt(ref, idx[k], false);
            const QVariant& want = wanted[int(k)];
            const bool text = !isIntegralType(f.type) && f.type != FieldType::Real;
            if (text && !want.isNull()) {
                const QString h = have.toString(), w = want.toString();
                const Qt::CaseSensitivity cs = folded ? Qt::CaseInsensitive : Qt::CaseSensitive;
                const bool ok = options.testFlag(PartialKey) && !w.isEmpty() ? h.startsWith(w, cs)
                                                                               : h.compare(w, cs) == 0;
                if (!ok)
                    return false;
            } else if (!sameValue(have, want)) {
                return false;
            }
        }
        return true;
    };
    int found = -1;
    for (int abs = m_lo; abs < m_hi; ++abs) {
        if (!matches(abs))
            continue;
        if (found < 0 || idx.size() == 1) {
            if (found < 0)
                found = abs;
            if (idx.size() == 1)
                break;
            continue;
        }
        // Of several matches on more than one key, the least by key order wins.
        for (size_t k = 0; k < idx.size(); ++k) {
            const int c = compareValues(fieldValueAt(m_rows[size_t(abs)], idx[k], false),
                                        fieldValueAt(m_rows[size_t(found)], idx[k], false), true);
            if (c != 0) {
                if (c < 0)
                    found = abs;
                break;
            }
        }
    }
    return found;
}
