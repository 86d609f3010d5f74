#include "toolkit/db/Connection.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "toolkit/db/NameOrder.h"
#include "toolkit/db/StoreError.h"

namespace {

constexpr int DefaultBusyTimeoutMs = 10000;

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

// Notes the tables a statement being prepared reads and writes; allows everything.
int noteAccess(void* data, int action, const char* first, const char*, const char*, const char*)
{
    TableAccess* access = *static_cast<TableAccess**>(data);
    if (!access || !first)
        return SQLITE_OK;
    QStringList* tables = nullptr;
    switch (action) {
    case SQLITE_READ:
        tables = &access->read;
        break;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        tables = &access->written;
        break;
    default:
        return SQLITE_OK;
    }
    const QString table = QString::fromUtf8(first).toLower();
    if (!table.startsWith(u"sqlite_") && !tables->contains(table))
        tables->append(table);
    return SQLITE_OK;
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

void Connection::Closer::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

Connection::Connection(const QString& connectionString)
    : Connection(ConnectionParams::parse(connectionString), false)
{
}

Connection::Connection(const ConnectionParams& params, bool create)
    : Connection(params.dataSource, params.password, create)
{
}

Connection Connection::create(const QString& path, const QString& password)
{
    return Connection(path, password, true);
}

Connection::Connection(const QString& path, const QString& password, bool create)
    : m_path(path)
{
    const QFileInfo info(path);
    if (path.isEmpty())
        throw StoreError(QStringLiteral("No database file is named in the connection string."));
    if (create && info.exists())
        throw StoreError(QStringLiteral("The file '%1' already exists.").arg(path));
    if (!create && !info.isFile())
        throw StoreError(QStringLiteral("Could not find file '%1'.").arg(path));
    // SQLite takes an empty file for a new database and would make one of it at the first save.
    if (!create && info.size() == 0)
        throw StoreError(QStringLiteral("The file '%1' is empty: it is not a database of this program.")
                             .arg(QDir::toNativeSeparators(path)));

    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    m_db.reset(db);
    check(rc);

    const QByteArray key = password.toUtf8();
    // SQLCipher refuses an empty key with no text of its own; no password means a plain file.
    if (!key.isEmpty())
        check(sqlite3_key(db, key.constData(), int(key.size())));
    setBusyTimeout(DefaultBusyTimeoutMs);
    check(NameOrder::install(db));

    // The key is only tried at the first read: prove it now, so a wrong password shows here.
    const int probe = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (probe == SQLITE_NOTADB)
        throw StoreError(QStringLiteral("Not a valid password, or '%1' is not a database of this program: %2")
                             .arg(path, QString::fromUtf8(sqlite3_errmsg(db))),
                         probe, sqlite3_extended_errcode(db));
    check(probe);
    m_preparing = std::make_unique<TableAccess*>(nullptr);
    check(sqlite3_set_authorizer(db, noteAccess, m_preparing.get()));
    exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
}

int Connection::prepare(const QString& sql, sqlite3_stmt** statement, TableAccess& access)
{
    const QByteArray text = sql.toUtf8();
    *m_preparing = &access;
    const int rc = sqlite3_prepare_v2(m_db.get(), text.constData(), int(text.size()), statement, nullptr);
    *m_preparing = nullptr;
    return rc;
}

void Connection::noteWrite(const QStringList& tables)
{
    ++m_writeCount;
    for (const QString& table : tables)
        m_tableWrites.insert(table, m_writeCount);
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
    return sqlite3_get_autocommit(m_db.get()) == 0;
}

void Connection::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db.get(), milliseconds);
}

QString Connection::describe(int rc, const QString& storeText) const
{
    const QString file = QDir::toNativeSeparators(m_path);
    const QString folder = QDir::toNativeSeparators(QFileInfo(m_path).absolutePath());
    switch (rc) {
    case SQLITE_CORRUPT:
        return QStringLiteral("The database file '%1' is damaged: %2").arg(file, storeText);
    case SQLITE_NOTADB:
        return QStringLiteral("The file '%1' is damaged or not a database of this program: %2").arg(file, storeText);
    case SQLITE_READONLY:
        return QStringLiteral("The database file '%1' cannot be written: %2").arg(file, storeText);
    case SQLITE_CANTOPEN:
        // The file itself is open: what cannot be opened is the journal beside it.
        if (QFileInfo(folder).isWritable())
            return storeText;
        break;
    default:
        return storeText;
    }
    return QStringLiteral("The folder of the database, '%1', cannot be written; the store needs it for the journal "
                          "that keeps a save whole: %2").arg(folder, storeText);
}

Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&&) noexcept = default;
Connection::~Connection() = default;

void Connection::check(int rc, const QString& sql) const
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    sqlite3* db = m_db.get();
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const int extended = db ? sqlite3_extended_errcode(db) : rc;
    throw StoreError(describe(rc & 0xff, text), rc, extended, sql);
}

void Connection::exec(const QString& sql)
{
    char* error = nullptr;
    TableAccess access;
    *m_preparing = &access;
    const int rc = sqlite3_exec(m_db.get(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    *m_preparing = nullptr;
    // Statements before a failing one may have written.
    noteWrite(access.written);
    if (rc != SQLITE_OK) {
        const QString text = error ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(error);
        const int extended = sqlite3_extended_errcode(m_db.get());
        throw StoreError(describe(rc & 0xff, text), rc, extended, sql);
    }
}

qint64 Connection::lastInsertRowid() const
{
    return sqlite3_last_insert_rowid(m_db.get());
}

int Connection::changes() const
{
    return sqlite3_changes(m_db.get());
}

qint64 Connection::dataVersion() const
{
    sqlite3_stmt* stmt = nullptr;
    qint64 version = -1;
    if (sqlite3_prepare_v2(m_db.get(), "PRAGMA data_version", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

std::shared_ptr<const void> Connection::sharedRead(const QString& key)
{
    const auto it = m_sharedReads.find(key);
    if (it == m_sharedReads.end())
        return {};
    if (it->second.writeCount != m_writeCount || it->second.dataVersion != dataVersion()) {
        m_sharedReads.erase(it);
        return {};
    }
    return it->second.result.lock();
}

void Connection::keepSharedRead(const QString& key, std::shared_ptr<const void> result)
{
    m_sharedReads[key] = SharedRead{m_writeCount, dataVersion(), result};
}
