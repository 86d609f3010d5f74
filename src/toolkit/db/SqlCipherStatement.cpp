#include "toolkit/db/SqlCipherStatement.h"

#include <sqlite3.h>

#include "toolkit/db/SqlCipherConnection.h"

void SqlCipherStatement::Finalizer::operator()(sqlite3_stmt* stmt) const
{
    sqlite3_finalize(stmt);
}

SqlCipherStatement::SqlCipherStatement(SqlCipherConnection& connection, const QString& sql)
    : m_connection(connection), m_sql(sql)
{
    sqlite3_stmt* stmt = nullptr;
    const int rc = connection.prepare(sql, &stmt, m_tables);
    m_stmt.reset(stmt);
    connection.check(rc, sql);
}

void SqlCipherStatement::bind(int index, const QVariant& value)
{
    sqlite3_stmt* s = m_stmt.get();
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(s, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(s, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(s, index, value.toDouble());
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(s, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        }
    }
    m_connection.check(rc, m_sql);
}

int SqlCipherStatement::parameterIndex(const QString& name) const
{
    return sqlite3_bind_parameter_index(m_stmt.get(), name.toUtf8().constData());
}

int SqlCipherStatement::parameterCount() const
{
    return sqlite3_bind_parameter_count(m_stmt.get());
}

QString SqlCipherStatement::parameterName(int index) const
{
    return QString::fromUtf8(sqlite3_bind_parameter_name(m_stmt.get(), index));
}

bool SqlCipherStatement::step()
{
    const int rc = sqlite3_step(m_stmt.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_connection.raise(rc, m_sql);
    return false;
}

void SqlCipherStatement::reset()
{
    sqlite3_reset(m_stmt.get());
    sqlite3_clear_bindings(m_stmt.get());
}

bool SqlCipherStatement::writes() const
{
    return !sqlite3_stmt_readonly(m_stmt.get());
}

int SqlCipherStatement::columnCount() const
{
    return sqlite3_column_count(m_stmt.get());
}

QString SqlCipherStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt.get(), column));
}

bool SqlCipherStatement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt.get(), column) == SQLITE_NULL;
}

qint64 SqlCipherStatement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt.get(), column);
}

double SqlCipherStatement::real(int column) const
{
    return sqlite3_column_double(m_stmt.get(), column);
}

QString SqlCipherStatement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), column));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_stmt.get(), column)) : QString();
}

QVariant SqlCipherStatement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt.get(), column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qint64(int64(column)));
    case SQLITE_FLOAT:
        return QVariant(real(column));
    default:
        return QVariant(text(column));
    }
}

QString SqlCipherStatement::declaredType(int column) const
{
    return QString::fromUtf8(sqlite3_column_decltype(m_stmt.get(), column));
}
