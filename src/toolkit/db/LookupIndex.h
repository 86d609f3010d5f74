#pragma once

#include <functional>

#include <QHash>
#include <QString>
#include <QVariant>

// The rows held indexed on one column, so that a lookup field finds its row without a scan.
// Built on first use and again once the rows held have changed (their version moved on); the
// first row of equal values wins. GUI thread only.
class LookupIndex
{
public:
    bool isCurrent(quint64 version) const { return m_built && m_version == version; }
    // Indexes the rows lo..hi-1 by valueAt(row); integral keys by number, others by text.
    void rebuild(quint64 version, bool integral, int lo, int hi, const std::function<QVariant(int)>& valueAt);
    // The row holding key, or -1.
    int find(const QVariant& key) const;

private:
    bool m_built = false;
    bool m_integral = false;
    quint64 m_version = 0;
    QHash<qint64, int> m_numbers;
    QHash<QString, int> m_texts;
};
