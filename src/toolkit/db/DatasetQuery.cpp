// How a dataset reads its rows: the statement and its parameters, the fields matched to the
// columns read, and the key under which datasets reading the same rows share one snapshot.
#include "toolkit/db/Dataset.h"

#include "toolkit/db/Connection.h"
#include "toolkit/db/RowWriter.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/Snapshot.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"

namespace {

QString quoted(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

void Dataset::resolveFields()
{
    m_columns.clear();
    if (m_sql.isEmpty()) {
        struct Column { QString name; FieldType type; int width; };
        std::vector<Column> table;
        for (const TableColumn& c : tableColumns(*m_connection, m_table)) {
            int width = 0;
            const FieldType type = fieldTypeOfDeclared(c.declaredType, c.primaryKey, &width);
            table.push_back({c.name, type, width});
        }
        if (table.empty())
            throw StoreError(QStringLiteral("The table '%1' is missing from the database.").arg(m_table));
        if (!m_declared) {
            m_fields.clear();
            for (const Column& c : table) {
                FieldDef f;
                f.name = c.name;
                f.type = c.type;
                f.width = c.width;
                f.readOnly = c.type == FieldType::AutoInc;
                m_fields.push_back(f);
            }
        }
        // Only declared fields can disagree with the file; the others are the file's own.
        if (m_declared) {
            TableRequirement need{m_table, {}};
            for (const FieldDef& f : m_fields)
                if (f.isStored())
                    need.columns.append({f.name, f.type});
            checkSchema(*m_connection, {need});
        }
        // Columns in the table's own order, so that datasets declaring the same columns in
        // another order still run the same read and can share it.
        for (const Column& c : table)
            for (const FieldDef& f : m_fields)
                if (f.isStored() && f.name.compare(c.name, Qt::CaseInsensitive) == 0) {
                    m_columns.append(c.name);
                    break;
                }
    }
    m_fieldColumn.assign(m_fields.size(), -1);
}

void Dataset::readSnapshot()
{
    QString sql;
    int rowidColumn = -1;
    if (m_sql.isEmpty()) {
        QStringList cols;
        for (const QString& c : m_columns)
            cols.append(quoted(c));
        // In the order of the rows' identity, which a file keeps by itself and a server does not.
        sql = QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid").arg(cols.join(u", "), quoted(m_table));
        rowidColumn = 0;
    } else {
        sql = m_sql;
    }
    Statement st(*m_connection, sql);
    QString key = sql;
    for (int i = 1; i <= st.parameterCount(); ++i) {
        const QVariant v = param(st.parameterName(i));
        st.bind(i, v);
        key += QStringLiteral("\n%1=%2").arg(v.isNull() ? QStringLiteral("<null>") : v.toString());
    }

    if (!m_sql.isEmpty()) {
        m_columns.clear();
        for (int c = 0; c < st.columnCount(); ++c)
            m_columns.append(st.columnName(c));
        if (!m_declared) {
            m_fields.clear();
            for (int c = 0; c < st.columnCount(); ++c) {
                FieldDef f;
                f.name = st.columnName(c);
                f.type = fieldTypeOfDeclared(st.declaredType(c), false, &f.width);
                m_fields.push_back(f);
            }
            m_fieldColumn.assign(m_fields.size(), -1);
        }
    }
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (!m_fields[i].isStored())
            continue;
        m_fieldColumn[i] = columnOf(m_fields[i].name);
        if (m_fieldColumn[i] < 0)
            throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, m_fields[i].name));
    }
    for (const FieldDef& f : m_fields)
        if (f.isLookup && (fieldIndex(f.keyField) < 0 || !f.lookupDataset))
            throw StoreError(QStringLiteral("%1: Lookup field '%2' has no key field or dataset.").arg(m_name, f.name));

    std::vector<FieldType> kinds(m_columns.size(), FieldType::Text);
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fieldColumn[i] >= 0)
            kinds[m_fieldColumn[i]] = m_fields[i].type;
    for (size_t c = 0; c < kinds.size(); ++c)
        key += QStringLiteral("\n%1").arg(int(kinds[c]));
    m_readTables = st.tables().read;
    if (!m_table.isEmpty() && !m_readTables.contains(m_table.toLower()))
        m_readTables.append(m_table.toLower());
    m_readAt = m_connection->writeCount();

    if (auto shared = std::static_pointer_cast<const Snapshot>(m_connection->sharedRead(key))) {
        m_snapshot = std::move(shared);
        return;
    }
    auto snapshot = std::make_shared<const Snapshot>(st, rowidColumn, kinds);
    m_connection->keepSharedRead(key, snapshot);
    m_snapshot = std::move(snapshot);
}

int Dataset::columnOf(const QString& column) const
{
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns[c].compare(column, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void Dataset::applyOrder()
{
    std::vector<int> cols;
    for (const QString& name : m_order) {
        const int c = columnOf(name);
        if (c < 0)
            throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
        cols.push_back(c);
    }
    const auto order = m_snapshot->order(cols);
    m_rows.assign(order->begin(), order->end());
}

bool Dataset::isStale() const
{
    return isActive() && m_connection->lastWriteTo(m_readTables) > m_readAt;
}

void Dataset::keptUpToDate(bool wasUpToDate)
{
    if (wasUpToDate)
        m_readAt = m_connection->writeCount();
}

RowWriter Dataset::writer() const
{
    std::vector<RowWriter::Column> columns;
    for (const QString& name : m_columns)
        columns.push_back({name, false, false});
    // Backwards, so that of two fields on one column the first decides.
    for (size_t i = m_fields.size(); i-- > 0;) {
        const int c = m_fieldColumn[i];
        if (c < 0)
            continue;
        columns[size_t(c)].autoIncrement = m_fields[i].type == FieldType::AutoInc;
        columns[size_t(c)].boolean = m_fields[i].type == FieldType::Boolean;
    }
    return RowWriter(*m_connection, m_table, std::move(columns), !m_keyColumn.isEmpty());
}
