#include "toolkit/db/LookupIndex.h"

void LookupIndex::rebuild(quint64 version, bool integral, int lo, int hi, const std::function<QVariant(int)>& valueAt)
{
    m_built = true;
    m_version = version;
    m_integral = integral;
    m_numbers.clear();
    m_texts.clear();
    // Backwards, so that of equal values the first row is the one kept.
    for (int row = hi - 1; row >= lo; --row) {
        const QVariant v = valueAt(row);
        if (v.isNull())
            continue;
        if (integral)
            m_numbers.insert(v.toLongLong(), row);
        else
            m_texts.insert(v.toString(), row);
    }
}

int LookupIndex::find(const QVariant& key) const
{
    if (m_integral) {
        bool ok = false;
        const qint64 n = key.toLongLong(&ok);
        return ok ? m_numbers.value(n, -1) : -1;
    }
    return m_texts.value(key.toString(), -1);
}
