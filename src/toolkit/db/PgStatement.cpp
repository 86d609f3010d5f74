#include "toolkit/db/PgStatement.h"

#include <utility>

#include <QLocale>

#include <libpq-fe.h>

namespace {

enum : Oid { BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, OidOid = 26, Float4Oid = 700,
             Float8Oid = 701, NumericOid = 1700 };

} // namespace

PgStatement::PgStatement(PgConnection& connection, const QString& sql)
    : m_connection(connection), m_programSql(sql), m_sql(PgSql::translate(sql))
{
    if (m_sql.insert) {
        // A closing semicolon would leave RETURNING outside the statement.
        QString& text = m_sql.text;
        while (!text.isEmpty() && (text.back().isSpace() || text.back() == u';'))
            text.chop(1);
        text += QStringLiteral(" RETURNING rowid");
    }
    m_values.resize(m_sql.parameters.size());
}

void PgStatement::bind(int index, const QVariant& value)
{
    if (index < 1 || index > int(m_values.size()))
        throw StoreError(QStringLiteral("column index out of range"), 0, 0, m_programSql);
    QByteArray& to = m_values[size_t(index - 1)];
    if (value.isNull()) {
        to = QByteArray();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        to = QByteArray::number(value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        to = QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        break;
    default: {
        const QString text = value.toString();
        // libpq takes a value up to its first NUL and the server's text holds none: cut
        // silently, the value would be stored other than it was typed.
        if (text.contains(QChar(0)))
            throw StoreError(QStringLiteral("The text holds a NUL character (code 0), which the server cannot store. "
                                            "Remove it and save again."), 0, 0, m_programSql);
        to = text.toUtf8();
        // An empty text is a text, not NULL.
        if (to.isNull())
            to = QByteArray("");
    }
    }
}

int PgStatement::parameterIndex(const QString& name) const
{
    return int(m_sql.parameters.indexOf(name)) + 1;
}

QString PgStatement::parameterName(int index) const
{
    return index >= 1 && index <= int(m_sql.parameters.size()) ? m_sql.parameters[index - 1] : QString();
}

PgStatement::~PgStatement()
{
    if (m_streaming)
        m_connection.endStream(*this);
}

void PgStatement::takeRest()
{
    while (m_streaming) {
        PgConnection::Result r = m_connection.nextRow();
        if (!r) {
            m_streaming = false;
            break;
        }
        const ExecStatusType status = PQresultStatus(r.get());
        if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK)
            m_taken.push_back(std::move(r));
        else if (status == PGRES_COMMAND_OK)
            continue;
        else if (!m_failure)
            m_failure = m_connection.error(r.get(), m_programSql);
    }
}

bool PgStatement::nextStreamed()
{
    PgConnection::Result r;
    if (!m_taken.empty()) {
        r = std::move(m_taken.front());
        m_taken.pop_front();
    } else if (m_streaming) {
        r = m_connection.nextRow();
        const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_TUPLES_OK;
        if (r && status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
            m_failure = m_connection.error(r.get(), m_programSql);
        // The answer after the last row ends the read.
        if (!r || status != PGRES_SINGLE_TUPLE) {
            m_connection.endStream(*this);
            m_streaming = false;
        }
    }
    if (r && PQresultStatus(r.get()) == PGRES_SINGLE_TUPLE) {
        m_result = std::move(r);
        m_row = 0;
        m_rows = 1;
        return true;
    }
    if (r && PQresultStatus(r.get()) == PGRES_TUPLES_OK)
        m_result = std::move(r);
    m_row = m_rows = 0;
    if (m_failure)
        throw *std::exchange(m_failure, std::nullopt);
    return false;
}

bool PgStatement::step()
{
    if (!m_run && !m_sql.writes) {
        m_run = true;
        m_connection.stream(*this, m_sql.text, m_values, m_programSql);
        m_streaming = true;
    }
    if (!m_sql.writes)
        return nextStreamed();
    if (!m_run) {
        m_run = true;
        m_result = m_connection.run(m_sql.text, m_values, m_sql.tables.written, m_programSql);
        m_row = -1;
        m_rows = PQntuples(m_result.get());
        m_connection.noteChanges(QByteArray(PQcmdTuples(m_result.get())).toInt());
        if (m_sql.insert) {
            if (m_rows > 0)
                m_connection.noteInsert(QByteArray(PQgetvalue(m_result.get(), m_rows - 1, 0)).toLongLong());
            m_rows = 0;
        }
    }
    if (m_row < m_rows)
        ++m_row;
    return m_row < m_rows;
}

void PgStatement::reset()
{
    if (m_streaming)
        m_connection.endStream(*this);
    m_streaming = false;
    m_taken.clear();
    m_failure.reset();
    m_run = false;
    m_result.reset();
    m_row = -1;
    m_rows = 0;
    std::fill(m_values.begin(), m_values.end(), QByteArray());
}

pg_result* PgStatement::shape() const
{
    if (m_result)
        return m_result.get();
    if (!m_description)
        m_description = m_connection.describe(m_sql.text, int(m_values.size()), m_programSql);
    return m_description.get();
}

int PgStatement::columnCount() const
{
    return PQnfields(shape());
}

QString PgStatement::columnName(int column) const
{
    pg_result* r = shape();
    const QString name = QString::fromUtf8(PQfname(r, column));
    const Oid table = PQftable(r, column);
    if (table == InvalidOid)
        return name;
    // A column read under its own name goes by the program's spelling of it, as on a file.
    const PgConnection::TableColumnInfo& info = m_connection.columnInfo(table, PQftablecol(r, column));
    return name == info.serverName ? info.programName : name;
}

const char* PgStatement::raw(int column) const
{
    if (!m_result || m_row < 0 || m_row >= m_rows || PQgetisnull(m_result.get(), m_row, column))
        return nullptr;
    return PQgetvalue(m_result.get(), m_row, column);
}

bool PgStatement::isNull(int column) const
{
    return raw(column) == nullptr;
}

qint64 PgStatement::int64(int column) const
{
    const char* v = raw(column);
    if (!v)
        return 0;
    if (PQftype(m_result.get(), column) == BoolOid)
        return *v == 't';
    bool whole = false;
    const qint64 n = QByteArray(v).toLongLong(&whole);
    return whole ? n : qint64(QByteArray(v).toDouble());
}

double PgStatement::real(int column) const
{
    const char* v = raw(column);
    if (!v)
        return 0;
    if (PQftype(m_result.get(), column) == BoolOid)
        return *v == 't';
    return QByteArray(v).toDouble();
}

QString PgStatement::text(int column) const
{
    const char* v = raw(column);
    return v ? QString::fromUtf8(v, PQgetlength(m_result.get(), m_row, column)) : QString();
}

QVariant PgStatement::value(int column) const
{
    const char* v = raw(column);
    if (!v)
        return {};
    switch (PQftype(m_result.get(), column)) {
    case BoolOid:
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid:
        return QVariant(int64(column));
    case NumericOid: {
        // A sum of whole numbers is a whole number, as on a file.
        bool whole = false;
        const qint64 n = QByteArray(v).toLongLong(&whole);
        return whole ? QVariant(n) : QVariant(real(column));
    }
    case Float4Oid:
    case Float8Oid:
        return QVariant(real(column));
    default:
        return QVariant(text(column));
    }
}

QString PgStatement::declaredType(int column) const
{
    pg_result* r = shape();
    const Oid table = PQftable(r, column);
    return table == InvalidOid ? QString() : m_connection.columnInfo(table, PQftablecol(r, column)).declaredType;
}
