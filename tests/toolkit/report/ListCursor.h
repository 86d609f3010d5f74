#pragma once

#include <QList>
#include <QStringList>
#include <QVariantMap>

#include "toolkit/report/ReportCursor.h"

// Rows in memory, each a map of field texts. Like a dataset it stays on its last row after
// passing the end. rowsFor lets a detail list follow a master: it gives the rows for the
// master's current row each time first() is called.
class ListCursor : public ReportCursor
{
public:
    explicit ListCursor(QList<QVariantMap> rows = {}) : m_rows(std::move(rows)) {}

    std::function<QList<QVariantMap>()> rowsFor;

    void first() override
    {
        if (rowsFor)
            m_rows = rowsFor();
        m_index = 0;
        m_eof = m_rows.isEmpty();
    }
    void next() override
    {
        if (m_index + 1 < m_rows.size())
            ++m_index;
        else
            m_eof = true;
    }
    bool eof() const override { return m_eof; }
    bool onLastRow() const override { return !m_eof && m_index + 1 == m_rows.size(); }
    QString text(const QString& field) const override
    {
        return m_index < m_rows.size() ? m_rows[m_index].value(field).toString() : QString();
    }
    int index() const { return m_index; }

private:
    QList<QVariantMap> m_rows;
    int m_index = 0;
    bool m_eof = true;
};

// Rows with one field "Name" holding each of names.
inline QList<QVariantMap> namedRows(const QStringList& names)
{
    QList<QVariantMap> rows;
    for (const QString& n : names)
        rows.append(QVariantMap{{QStringLiteral("Name"), n}});
    return rows;
}
