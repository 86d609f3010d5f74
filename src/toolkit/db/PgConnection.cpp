#include "toolkit/db/PgConnection.h"

#include <algorithm>
#include <utility>

#include <libpq-fe.h>

#include "toolkit/db/PgSql.h"
#include "toolkit/db/PgStatement.h"
#include "toolkit/db/TableDef.h"

namespace {

constexpr int DefaultBusyTimeoutMs = 10000;
// A statement run on its own that loses a deadlock or a serialization check changed nothing,
// so it may run again; a few times is enough for two users.
constexpr int ConflictRetries = 3;
const char* const NoticeChannel = "vornadel_changes";

StoreError::Kind kindOf(const QString& state)
{
    if (state == u"55P03" || state == u"40001" || state == u"40P01")
        return StoreError::Kind::Busy;
    if (state.startsWith(u"23"))
        return StoreError::Kind::Constraint;
    if (state == u"53100")
        return StoreError::Kind::DiskFull;
    if (state == u"25006" || state == u"42501")
        return StoreError::Kind::ReadOnly;
    if (state.startsWith(u"08") || state == u"57P01" || state == u"57P02" || state == u"57P03")
        return StoreError::Kind::Disconnected;
    return StoreError::Kind::Other;
}

// The server's type name in the words the program's schema check reads.
QString programType(const QString& serverType)
{
    static const QHash<QString, QString> words = {
        {"bigint", "INTEGER"}, {"integer", "INTEGER"}, {"smallint", "INTEGER"},
        {"double precision", "REAL"}, {"real", "REAL"}, {"numeric", "REAL"},
        {"yes_no", "BOOLEAN"}, {"boolean", "BOOLEAN"}, {"datetime", "DATETIME"}, {"memo", "MEMO"}, {"text", "TEXT"}};
    const auto it = words.constFind(serverType);
    if (it != words.cend())
        return *it;
    if (serverType.startsWith(u"character varying"))
        return QStringLiteral("VARCHAR") + serverType.mid(17);
    return serverType.toUpper();
}

QString savepoint(int level)
{
    return QStringLiteral("sp%1").arg(level);
}

QString libpqText(const pg_conn* conn)
{
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

} // namespace

void PgConnection::Closer::operator()(pg_conn* conn) const
{
    PQfinish(conn);
}

void PgConnection::ResultDeleter::operator()(pg_result* result) const
{
    PQclear(result);
}

PgConnection::PgConnection(const QString& conninfo, const QString& password)
    : m_busyTimeout(DefaultBusyTimeoutMs)
{
    if (conninfo.trimmed().isEmpty())
        throw StoreError(StoreError::Kind::Disconnected, QStringLiteral("No server is named in the connection string."));
    const QByteArray info = conninfo.toUtf8();
    const QByteArray secret = password.toUtf8();
    std::vector<const char*> keys = {"dbname", "fallback_application_name"};
    std::vector<const char*> values = {info.constData(), "vornadel"};
    if (!password.isEmpty()) {
        keys.push_back("password");
        values.push_back(secret.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    m_conn.reset(PQconnectdbParams(keys.data(), values.data(), 1));
    if (!m_conn)
        throw StoreError(StoreError::Kind::Disconnected, QStringLiteral("The server client library is out of memory."));
    if (PQstatus(m_conn.get()) != CONNECTION_OK) {
        const QString text = libpqText(m_conn.get());
        if (PQconnectionNeedsPassword(m_conn.get()))
            throw StoreError(StoreError::Kind::PasswordNeeded, text);
        if (PQconnectionUsedPassword(m_conn.get()) && text.contains(u"password"))
            throw StoreError(StoreError::Kind::WrongKey, text);
        throw StoreError(StoreError::Kind::Disconnected, text);
    }
    setUp();
}

PgConnection::~PgConnection() = default;

void PgConnection::setUp()
{
    // Names and values go both ways as UTF-8, whatever the server's own setting.
    PQsetClientEncoding(m_conn.get(), "UTF8");
    // The server's notices ("does not exist, skipping") are no errors and nobody reads them.
    PQsetNoticeProcessor(m_conn.get(), [](void*, const char*) {}, nullptr);
    runText(QStringLiteral("SET lock_timeout = %1").arg(m_busyTimeout));
    runText(QStringLiteral("LISTEN ") + QLatin1String(NoticeChannel));
    m_columnInfo.clear();
}

void PgConnection::settle() const
{
    if (m_streaming)
        std::exchange(m_streaming, nullptr)->takeRest();
}

void PgConnection::ensureConnected()
{
    settle();
    if (PQstatus(m_conn.get()) == CONNECTION_OK)
        return;
    PQreset(m_conn.get());
    if (PQstatus(m_conn.get()) != CONNECTION_OK)
        throw StoreError(StoreError::Kind::Disconnected,
                         QStringLiteral("The server cannot be reached: %1").arg(libpqText(m_conn.get())));
    m_uncommittedWrites.clear();
    setUp();
}

StoreError PgConnection::error(const pg_result* result, const QString& sql) const
{
    const QString state = QString::fromLatin1(result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : "");
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString text = primary ? QString::fromUtf8(primary) : libpqText(m_conn.get());
    if (PQstatus(m_conn.get()) != CONNECTION_OK)
        return StoreError(StoreError::Kind::Disconnected,
                          QStringLiteral("The connection to the server was lost: %1").arg(text), 0, 0, sql);
    const StoreError::Kind kind = kindOf(state);
    const int code = state.isEmpty() ? 0 : int(state.toLatin1().toUInt(nullptr, 36));
    if (state == u"55P03")
        return StoreError(kind,
                          QStringLiteral("Another user is changing the same rows; waited %1 seconds for them. Save again "
                                         "later: %2").arg(m_busyTimeout / 1000).arg(text),
                          code, 0, sql);
    if (kind == StoreError::Kind::Busy)
        return StoreError(kind,
                          QStringLiteral("The change met another user's change at the same time and was undone. Save "
                                         "again: %1").arg(text),
                          code, 0, sql);
    return StoreError(kind, text, code, 0, sql);
}

PgConnection::Result PgConnection::runText(const QString& sql, const QString& programSql)
{
    ensureConnected();
    Result result(PQexec(m_conn.get(), sql.toUtf8().constData()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw error(result.get(), programSql.isEmpty() ? sql : programSql);
    return result;
}

PgConnection::Result PgConnection::run(const QString& sql, const std::vector<QByteArray>& values,
                                       const QStringList& written, const QString& programSql)
{
    ensureConnected();
    const QByteArray text = sql.toUtf8();
    std::vector<const char*> params;
    params.reserve(values.size());
    for (const QByteArray& v : values)
        params.push_back(v.isNull() ? nullptr : v.constData());
    const bool alone = !inTransaction();
    for (int attempt = 0;; ++attempt) {
        Result result(PQexecParams(m_conn.get(), text.constData(), int(params.size()), nullptr, params.data(), nullptr,
                                   nullptr, 0));
        const ExecStatusType status = PQresultStatus(result.get());
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            if (!written.isEmpty()) {
                if (alone)
                    notify(written);
                else
                    m_uncommittedWrites.append(written);
            }
            return result;
        }
        const char* state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
        const bool conflict = state && (qstrcmp(state, "40001") == 0 || qstrcmp(state, "40P01") == 0);
        if (!(alone && conflict && attempt + 1 < ConflictRetries))
            throw error(result.get(), programSql);
    }
}

void PgConnection::stream(PgStatement& statement, const QString& sql, const std::vector<QByteArray>& values,
                          const QString& programSql)
{
    ensureConnected();
    std::vector<const char*> params;
    params.reserve(values.size());
    for (const QByteArray& v : values)
        params.push_back(v.isNull() ? nullptr : v.constData());
    if (!PQsendQueryParams(m_conn.get(), sql.toUtf8().constData(), int(params.size()), nullptr, params.data(), nullptr,
                           nullptr, 0))
        throw error(nullptr, programSql);
    PQsetSingleRowMode(m_conn.get());
    m_streaming = &statement;
}

PgConnection::Result PgConnection::nextRow()
{
    return Result(PQgetResult(m_conn.get()));
}

void PgConnection::endStream(const PgStatement& statement)
{
    if (m_streaming != &statement)
        return;
    m_streaming = nullptr;
    while (Result rest{PQgetResult(m_conn.get())}) {
    }
}

PgConnection::Result PgConnection::describe(const QString& sql, int parameters, const QString& programSql)
{
    ensureConnected();
    Result prepared(PQprepare(m_conn.get(), "", sql.toUtf8().constData(), parameters, nullptr));
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
        throw error(prepared.get(), programSql);
    Result description(PQdescribePrepared(m_conn.get(), ""));
    if (PQresultStatus(description.get()) != PGRES_COMMAND_OK)
        throw error(description.get(), programSql);
    return description;
}

void PgConnection::notify(const QStringList& tables)
{
    settle();
    QStringList names = tables;
    names.removeDuplicates();
    std::sort(names.begin(), names.end());
    const QByteArray list = names.join(u',').toUtf8();
    const char* params[] = {NoticeChannel, list.constData()};
    Result result(PQexecParams(m_conn.get(), "SELECT pg_notify($1, $2)", 2, nullptr, params, nullptr, nullptr, 0));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw error(result.get(), {});
}

std::unique_ptr<EngineStatement> PgConnection::prepare(const QString& sql)
{
    return std::make_unique<PgStatement>(*this, sql);
}

void PgConnection::exec(const QString& sql, TableAccess& access)
{
    const PgSql::Translation t = PgSql::translate(sql);
    if (!t.parameters.isEmpty())
        throw StoreError(QStringLiteral("A statement with parameters needs values bound."), 0, 0, sql);
    // Only a prepared INSERT returns its row's identity: as on a file, lastInsertRowid()
    // follows an INSERT run here too.
    if (t.insert) {
        std::unique_ptr<EngineStatement> insert = prepare(sql);
        try {
            while (insert->step()) {
            }
        } catch (...) {
            if (inTransaction())
                access.written.append(t.tables.written);
            throw;
        }
        access.written.append(t.tables.written);
        return;
    }
    QString text = t.text;
    const bool alone = !inTransaction();
    // Several statements sent at once run as one transaction, the notice with them.
    if (alone && !t.tables.written.isEmpty()) {
        QStringList names = t.tables.written;
        std::sort(names.begin(), names.end());
        text += QStringLiteral(";\nSELECT pg_notify('%1', '%2')").arg(QLatin1String(NoticeChannel), names.join(u','));
    }
    if (t.definesSchema)
        m_columnInfo.clear();
    try {
        runText(text, sql);
    } catch (...) {
        // Outside a transaction the statements sent together are undone together.
        if (!alone)
            access.written.append(t.tables.written);
        throw;
    }
    access.written.append(t.tables.written);
    if (!alone)
        m_uncommittedWrites.append(t.tables.written);
    m_changes = 0;
}

void PgConnection::begin(int level)
{
    if (level == 0) {
        m_uncommittedWrites.clear();
        runText(QStringLiteral("BEGIN"));
    } else {
        runText(QStringLiteral("SAVEPOINT ") + savepoint(level));
    }
}

void PgConnection::commit(int level)
{
    if (level > 0) {
        runText(QStringLiteral("RELEASE SAVEPOINT ") + savepoint(level));
        return;
    }
    // The server ends a failed transaction only at its COMMIT, and then says ROLLBACK.
    settle();
    if (PQtransactionStatus(m_conn.get()) == PQTRANS_INERROR) {
        runText(QStringLiteral("ROLLBACK"));
        m_uncommittedWrites.clear();
        throw StoreError(QStringLiteral("The changes were not saved: the store rolled them back after an earlier error."));
    }
    if (!m_uncommittedWrites.isEmpty())
        notify(m_uncommittedWrites);
    runText(QStringLiteral("COMMIT"));
    m_uncommittedWrites.clear();
}

void PgConnection::rollback(int level)
{
    if (level > 0) {
        runText(QStringLiteral("ROLLBACK TO SAVEPOINT %1; RELEASE SAVEPOINT %1").arg(savepoint(level)));
        return;
    }
    m_uncommittedWrites.clear();
    runText(QStringLiteral("ROLLBACK"));
}

bool PgConnection::inTransaction() const
{
    settle();
    const PGTransactionStatusType status = PQtransactionStatus(m_conn.get());
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

void PgConnection::setBusyTimeout(int milliseconds)
{
    m_busyTimeout = milliseconds;
    runText(QStringLiteral("SET lock_timeout = %1").arg(milliseconds));
}

void PgConnection::readNotices()
{
    pg_conn* conn = m_conn.get();
    // Input read now would belong to the streamed read.
    if (m_streaming)
        return;
    if (PQstatus(conn) != CONNECTION_OK)
        return;
    PQconsumeInput(conn);
    const int self = PQbackendPID(conn);
    while (PGnotify* notice = PQnotifies(conn)) {
        if (notice->be_pid != self)
            for (const QString& table : QString::fromUtf8(notice->extra).split(u',', Qt::SkipEmptyParts))
                m_notices.insert(table);
        PQfreemem(notice);
    }
}

qint64 PgConnection::dataVersion() const
{
    settle();
    // Notices come some time after the commit they tell of, too late for a read made at
    // once; the server's snapshot changes as soon as any transaction that wrote has ended.
    pg_conn* conn = m_conn.get();
    const Result snapshot(PQstatus(conn) == CONNECTION_OK && PQtransactionStatus(conn) != PQTRANS_INERROR
                              ? PQexec(conn, "SELECT pg_current_snapshot()")
                              : nullptr);
    const QByteArray now = PQresultStatus(snapshot.get()) == PGRES_TUPLES_OK ? QByteArray(PQgetvalue(snapshot.get(), 0, 0))
                                                                             : QByteArray();
    if (now.isEmpty() || now != m_snapshot) {
        m_snapshot = now;
        ++m_dataVersion;
    }
    return m_dataVersion;
}

QStringList PgConnection::takeChangeNotices()
{
    readNotices();
    QStringList tables(m_notices.cbegin(), m_notices.cend());
    std::sort(tables.begin(), tables.end());
    m_notices.clear();
    return tables;
}

int PgConnection::changeNoticeSocket() const
{
    return PQsocket(m_conn.get());
}

QString PgConnection::serverName() const
{
    const char* host = PQhost(m_conn.get());
    return QStringLiteral("%1/%2").arg(QString::fromUtf8(host ? host : ""), QString::fromUtf8(PQdb(m_conn.get())));
}

int PgConnection::schemaVersion()
{
    const Result table = runText(QStringLiteral("SELECT to_regclass('vornadel_schema') IS NOT NULL"));
    if (QByteArray(PQgetvalue(table.get(), 0, 0)) != "t")
        return 0;
    const Result version = runText(QStringLiteral("SELECT version FROM vornadel_schema"));
    return PQntuples(version.get()) > 0 ? QByteArray(PQgetvalue(version.get(), 0, 0)).toInt() : 0;
}

void PgConnection::setSchemaVersion(int version)
{
    // One row, in a table of its own: a server has no header to keep it in.
    runText(QStringLiteral("CREATE TABLE IF NOT EXISTS vornadel_schema (version integer NOT NULL);"
                           "DELETE FROM vornadel_schema; INSERT INTO vornadel_schema VALUES (%1)").arg(version));
}

QList<TableColumn> PgConnection::tableColumns(const QString& table)
{
    const QByteArray name = table.toLower().toUtf8();
    const Result result(run(QStringLiteral(
        "SELECT coalesce(col_description(c.oid, a.attnum), a.attname), format_type(a.atttypid, a.atttypmod),"
        " EXISTS (SELECT 1 FROM pg_index i WHERE i.indrelid = c.oid AND i.indisprimary AND a.attnum = ANY (i.indkey))"
        " FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid"
        " WHERE c.relname = $1 AND c.relkind = 'r' AND pg_table_is_visible(c.oid) AND a.attnum > 0"
        " AND NOT a.attisdropped AND a.attname <> 'rowid' ORDER BY a.attnum"), {name}, {}, {}));
    QList<TableColumn> columns;
    for (int r = 0; r < PQntuples(result.get()); ++r)
        columns.append({QString::fromUtf8(PQgetvalue(result.get(), r, 0)),
                        programType(QString::fromUtf8(PQgetvalue(result.get(), r, 1))),
                        QByteArray(PQgetvalue(result.get(), r, 2)) == "t"});
    return columns;
}

const PgConnection::TableColumnInfo& PgConnection::columnInfo(unsigned tableOid, int column)
{
    const quint64 key = (quint64(tableOid) << 16) | quint64(column);
    const auto it = m_columnInfo.constFind(key);
    if (it != m_columnInfo.cend())
        return *it;
    const QByteArray oid = QByteArray::number(tableOid);
    const Result result = run(QStringLiteral("SELECT attnum, format_type(atttypid, atttypmod), attname,"
                                             " coalesce(col_description(attrelid, attnum), attname)"
                                             " FROM pg_attribute WHERE attrelid = $1 AND attnum > 0"), {oid}, {}, {});
    for (int r = 0; r < PQntuples(result.get()); ++r)
        m_columnInfo.insert((quint64(tableOid) << 16) | QByteArray(PQgetvalue(result.get(), r, 0)).toULongLong(),
                            {programType(QString::fromUtf8(PQgetvalue(result.get(), r, 1))),
                             QString::fromUtf8(PQgetvalue(result.get(), r, 2)),
                             QString::fromUtf8(PQgetvalue(result.get(), r, 3))});
    return m_columnInfo[key];
}

void PgConnection::createTable(const TableDef& table, TableAccess& access)
{
    for (const QString& domain : serverDomainsSql()) {
        const QString name = domain.section(u' ', 2, 2);
        const Result found = runText(QStringLiteral("SELECT to_regtype('%1') IS NOT NULL").arg(name));
        if (QByteArray(PQgetvalue(found.get(), 0, 0)) != "t")
            runText(domain);
    }
    runText(serverKeyAheadFunctionSql());
    for (const QString& statement : createServerTableSql(table))
        runText(statement);
    access.written.append(table.name.toLower());
    m_columnInfo.clear();
}

std::unique_ptr<EngineCopy> PgConnection::copyTo(EngineConnection&)
{
    throw StoreError(QStringLiteral("A database on a server is copied with the server's own tools (pg_dump), not "
                                    "by this program."));
}
