#include "toolkit/db/Connection.h"

#include <algorithm>

#include <QScopeGuard>

#include "toolkit/db/PgConnection.h"
#include "toolkit/db/SqlCipherConnection.h"
#include "toolkit/db/StoreError.h"

namespace {

// Splits "Key=Value;Key="quoted;value";" into pairs; a doubled quote inside quotes is a quote.
QList<QPair<QString, QString>> splitPairs(const QString& text)
{
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        const int eq = int(text.indexOf(u'=', i));
        if (eq < 0)
            break;
        const QString key = text.mid(i, eq - i).trimmed();
        i = eq + 1;
        QString value;
        if (i < n && text[i] == u'"') {
            ++i;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        value += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text[i++];
            }
            const int semi = int(text.indexOf(u';', i));
            i = semi < 0 ? n : semi + 1;
        } else {
            const int semi = int(text.indexOf(u';', i));
            // Blanks around an unquoted value are not part of it.
            value = text.mid(i, (semi < 0 ? n : semi) - i).trimmed();
            i = semi < 0 ? n : semi + 1;
        }
        pairs.append({key, value});
    }
    return pairs;
}

} // namespace

ConnectionParams ConnectionParams::parse(const QString& connectionString)
{
    ConnectionParams p;
    for (const auto& [key, value] : splitPairs(connectionString)) {
        const QString k = key.toLower();
        if (k == u"provider")
            p.provider = value;
        else if (k == u"user id")
            p.userId = value;
        else if (k == u"data source")
            p.dataSource = value;
        else if (k == u"mode")
            p.mode = value;
        else if (k.endsWith(u"database password"))
            p.password = value;
    }
    return p;
}

Connection::Connection(std::unique_ptr<EngineConnection> engine, const QString& path, const QString& password)
    : m_engine(std::move(engine)), m_path(path), m_password(password)
{
}

Connection::Connection(const QString& connectionString)
    : Connection(ConnectionParams::parse(connectionString))
{
}

namespace {

std::unique_ptr<EngineConnection> openEngine(const ConnectionParams& params)
{
    if (params.provider.compare(u"PostgreSQL", Qt::CaseInsensitive) == 0)
        return std::make_unique<PgConnection>(params.dataSource, params.password);
    return std::make_unique<SqlCipherConnection>(params.dataSource, params.password, false);
}

} // namespace

Connection::Connection(const ConnectionParams& params)
    : Connection(openEngine(params), params.dataSource, params.password)
{
}

Connection Connection::create(const QString& path, const QString& password)
{
    return Connection(std::make_unique<SqlCipherConnection>(path, password, true), path, password);
}

namespace {

void refuseFileCopyOfServer(const EngineConnection& engine)
{
    if (!engine.serverName().isEmpty())
        throw StoreError(QStringLiteral("A database on a server is not copied to a file by this program; the server's "
                                        "own tools (pg_dump) back it up."));
}

} // namespace

Connection Connection::createKeyedAlike(const QString& path) const
{
    refuseFileCopyOfServer(*m_engine);
    return create(path, m_password);
}

Connection Connection::openKeyedAlike(const QString& path) const
{
    refuseFileCopyOfServer(*m_engine);
    return Connection(std::make_unique<SqlCipherConnection>(path, m_password, false), path, m_password);
}

Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&&) noexcept = default;
Connection::~Connection() = default;

void Connection::noteWritesOf(const std::function<void(TableAccess&)>& run)
{
    TableAccess access;
    try {
        run(access);
    } catch (...) {
        // Statements before a failing one may have written.
        noteWrite(access.written);
        throw;
    }
    noteWrite(access.written);
}

void Connection::exec(const QString& sql)
{
    noteWritesOf([&](TableAccess& access) { m_engine->exec(sql, access); });
}

qint64 Connection::lastInsertRowid() const
{
    return m_engine->lastInsertRowid();
}

int Connection::changes() const
{
    return m_engine->changes();
}

void Connection::noteWrite(const QStringList& tables)
{
    ++m_writeCount;
    for (const QString& table : tables)
        m_tableWrites.insert(table, m_writeCount);
}

void Connection::stepped()
{
    if (!m_pulse || m_pulsing || ++m_steps % 4096 != 0)
        return;
    m_pulsing = true;
    const auto done = qScopeGuard([this] { m_pulsing = false; });
    m_pulse();
}

void Connection::noteRollback()
{
    m_lastRollback = ++m_writeCount;
}

quint64 Connection::lastWriteTo(const QStringList& tables) const
{
    quint64 last = m_lastRollback;
    for (const QString& table : tables)
        last = std::max(last, m_tableWrites.value(table));
    return last;
}

bool Connection::inTransaction() const
{
    return m_engine->inTransaction();
}

void Connection::setBusyTimeout(int milliseconds)
{
    m_engine->setBusyTimeout(milliseconds);
}

bool Connection::isServer() const
{
    return !m_engine->serverName().isEmpty();
}

QString Connection::serverName() const
{
    return m_engine->serverName();
}

QList<TableColumn> Connection::tableColumns(const QString& table)
{
    return m_engine->tableColumns(table);
}

void Connection::createTable(const TableDef& table)
{
    noteWritesOf([&](TableAccess& access) { m_engine->createTable(table, access); });
}

qint64 Connection::cacheSize()
{
    return m_engine->cacheSize();
}

void Connection::setCacheSize(qint64 size)
{
    m_engine->setCacheSize(size);
}

int Connection::changeNoticeSocket() const
{
    return m_engine->changeNoticeSocket();
}

QStringList Connection::takeChangeNotices()
{
    return m_engine->takeChangeNotices();
}

int Connection::schemaVersion()
{
    return m_engine->schemaVersion();
}

void Connection::setSchemaVersion(int version)
{
    m_engine->setSchemaVersion(version);
}

std::shared_ptr<const void> Connection::sharedRead(const QString& key)
{
    const auto it = m_sharedReads.find(key);
    if (it == m_sharedReads.end())
        return {};
    if (it->second.writeCount != m_writeCount || it->second.dataVersion != m_engine->dataVersion()) {
        m_sharedReads.erase(it);
        return {};
    }
    return it->second.result.lock();
}

void Connection::keepSharedRead(const QString& key, std::shared_ptr<const void> result)
{
    // A walk through the rows reads the details of each under its own key; the keys of reads
    // no dataset holds any more go, or they would pile up for as long as the file is open.
    if (m_sharedReads.size() >= m_sharedReadsPruneAt) {
        std::erase_if(m_sharedReads, [](const auto& read) { return read.second.result.expired(); });
        m_sharedReadsPruneAt = std::max<size_t>(SharedReadsKept, 2 * m_sharedReads.size());
    }
    m_sharedReads[key] = SharedRead{m_writeCount, m_engine->dataVersion(), result};
}

size_t Connection::sharedReadCount() const
{
    return m_sharedReads.size();
}
