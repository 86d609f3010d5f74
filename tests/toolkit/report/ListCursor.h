#pragma once

#include <QList>
#include <QStringList>
#include <QVariantMap>

#include "toolkit/report/ReportCursor.h"

// Rows in memory, each a map of field texts. Like a dataset it stays on its last row after
// passing the end.
class ListCursor : public ReportCursor
{
public:
    explicit ListCursor(QList<QVariantMap> rows = {}) : m_rows(std::move(rows)) {}

    void first() override
    {
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
    int rowCount() const override { return m_rows.size(); }
    QString textAt(int row, const QString& field) const override { return m_rows[row].value(field).toString(); }
    QVariant valueAt(int row, const QString& field) const override { return m_rows[row].value(field); }
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

// Detail rows, each a "Name" and the "Master" row's name it belongs to.
inline QList<QVariantMap> linkedRows(const QList<std::pair<const char*, const char*>>& rows)
{
    QList<QVariantMap> out;
    for (const auto& [name, master] : rows)
        out.append(QVariantMap{{QStringLiteral("Name"), QLatin1String(name)}, {QStringLiteral("Master"), QLatin1String(master)}});
    return out;
}
