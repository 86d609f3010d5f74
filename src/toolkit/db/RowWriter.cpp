#include "toolkit/db/RowWriter.h"

#include <memory>

#include "toolkit/db/Connection.h"
#include "toolkit/db/FieldValues.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"

namespace {

const QString CannotUpdate = QStringLiteral("Row cannot be located for updating. Some values may have been changed since it was last read.");
const QString CannotDelete = QStringLiteral("Row cannot be located for deleting. It may have been changed or deleted since it was last read.");

QString quoted(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

void bindAll(Statement& st, const QVariantList& binds)
{
    for (int i = 0; i < binds.size(); ++i)
        st.bind(i + 1, binds[i]);
}

} // namespace

RowWriter::RowWriter(Connection& connection, const QString& table, std::vector<Column> columns, bool keyed)
    : m_connection(connection), m_table(table), m_columns(std::move(columns)), m_keyed(keyed)
{
}

QString RowWriter::where(const Row& original, QVariantList& binds) const
{
    QStringList terms;
    if (!m_keyed) {
        terms.append(QStringLiteral("rowid = ?"));
        binds.append(original.rowid);
    }
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const QVariant& stored = original.values[int(c)];
        if (m_columns[c].boolean && !stored.isNull()) {
            // Any non-zero value reads as true, so the check compares truth, not the number.
            terms.append(QStringLiteral("(CAST(%1 AS INTEGER) <> 0) IS ?").arg(quoted(m_columns[c].name)));
            binds.append(stored.toBool() ? 1 : 0);
            continue;
        }
        terms.append(quoted(m_columns[c].name) + QStringLiteral(" IS ?"));
        binds.append(stored);
    }
    return terms.join(QStringLiteral(" AND "));
}

void RowWriter::checkLocated(const QString& message) const
{
    if (m_connection.changes() == 0)
        throw StoreError(StoreError::Kind::RowChanged, message);
}

qint64 RowWriter::insert(QVector<QVariant>& values)
{
    QStringList names, marks;
    QVariantList binds;
    for (size_t c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].autoIncrement || values[int(c)].isNull())
            continue;
        names.append(quoted(m_columns[c].name));
        marks.append(QStringLiteral("?"));
        binds.append(values[int(c)]);
    }
    const QString sql = names.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoted(m_table), names.join(u", "), marks.join(u", "));
    Statement st(m_connection, sql);
    bindAll(st, binds);
    st.run();
    const qint64 rowid = m_connection.lastInsertRowid();
    // Its key and the defaults the file filled in included.
    Statement back(m_connection, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(quoted(m_table)));
    back.bind(1, rowid);
    if (back.step())
        for (int i = 0; i < back.columnCount(); ++i)
            for (size_t c = 0; c < m_columns.size(); ++c)
                if (m_columns[c].name.compare(back.columnName(i), Qt::CaseInsensitive) == 0) {
                    values[int(c)] = back.value(i);
                    break;
                }
    return rowid;
}

void RowWriter::update(const Row& original, const QVector<QVariant>& values)
{
    QStringList sets;
    QVariantList binds;
    for (size_t c = 0; c < m_columns.size(); ++c) {
        if (sameValue(values[int(c)], original.values[int(c)]))
            continue;
        sets.append(quoted(m_columns[c].name) + QStringLiteral(" = ?"));
        binds.append(values[int(c)]);
    }
    if (sets.isEmpty())
        return;
    const QString condition = where(original, binds);
    Statement st(m_connection, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(quoted(m_table), sets.join(u", "), condition));
    bindAll(st, binds);
    st.run();
    checkLocated(CannotUpdate);
}

void RowWriter::remove(const Row& original)
{
    removeAll({original});
}

void RowWriter::removeAll(const std::vector<Row>& originals)
{
    std::unique_ptr<Statement> remove;
    for (const Row& row : originals) {
        QVariantList binds;
        const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(m_table), where(row, binds));
        // Rows of one table differ only in which values are null, so the statement is mostly reused.
        if (!remove || remove->sql() != sql)
            remove = std::make_unique<Statement>(m_connection, sql);
        else
            remove->reset();
        bindAll(*remove, binds);
        remove->run();
        checkLocated(CannotDelete);
    }
}
