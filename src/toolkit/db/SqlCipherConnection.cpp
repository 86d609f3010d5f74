#include "toolkit/db/SqlCipherConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "toolkit/db/NameOrder.h"
#include "toolkit/db/SqlCipherCopy.h"
#include "toolkit/db/SqlCipherStatement.h"
#include "toolkit/db/TableDef.h"

namespace {

constexpr int DefaultBusyTimeoutMs = 10000;

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

StoreError::Kind kindOf(int primary)
{
    switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreError::Kind::Busy;
    case SQLITE_FULL:
        return StoreError::Kind::DiskFull;
    case SQLITE_READONLY:
        return StoreError::Kind::ReadOnly;
    case SQLITE_CONSTRAINT:
        return StoreError::Kind::Constraint;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return StoreError::Kind::NotADatabase;
    default:
        return StoreError::Kind::Other;
    }
}

// A keyed file shows no plain header and is whole pages long; a file that the key does not
// open and looks like that may be ours under another key.
bool mayBeKeyed(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() % 512 != 0)
        return false;
    return !file.read(16).startsWith("SQLite format 3");
}

QString savepoint(int level)
{
    return QStringLiteral("sp%1").arg(level);
}

} // namespace

void SqlCipherConnection::Closer::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

SqlCipherConnection::SqlCipherConnection(const QString& path, const QString& password, bool create)
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
        throw StoreError(StoreError::Kind::NotADatabase,
                         QStringLiteral("The file '%1' is empty: it is not a database of this program.")
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
        throw keyRefused(probe);
    check(probe);
    check(sqlite3_set_authorizer(db, noteAccess, &m_preparing));
    TableAccess none;
    exec(QStringLiteral("PRAGMA foreign_keys = OFF"), none);
}

SqlCipherConnection::~SqlCipherConnection() = default;

StoreError SqlCipherConnection::keyRefused(int rc) const
{
    const StoreError::Kind kind = mayBeKeyed(m_path) ? StoreError::Kind::WrongKey : StoreError::Kind::NotADatabase;
    return StoreError(kind,
                      QStringLiteral("Not a valid password, or '%1' is not a database of this program: %2")
                          .arg(m_path, QString::fromUtf8(sqlite3_errmsg(m_db.get()))),
                      rc, sqlite3_extended_errcode(m_db.get()));
}

StoreError SqlCipherConnection::error(int rc, const QString& storeText, const QString& sql) const
{
    const int primary = rc & 0xff;
    const int extended = m_db ? sqlite3_extended_errcode(m_db.get()) : rc;
    StoreError::Kind kind = kindOf(primary);
    const QString file = QDir::toNativeSeparators(m_path);
    const QString folder = QDir::toNativeSeparators(QFileInfo(m_path).absolutePath());
    // The file itself is open: what cannot be opened is the journal beside it.
    if (primary == SQLITE_CANTOPEN && !QFileInfo(folder).isWritable())
        kind = StoreError::Kind::ReadOnly;

    QString text = storeText;
    switch (kind) {
    case StoreError::Kind::NotADatabase:
        text = primary == SQLITE_CORRUPT
            ? QStringLiteral("The database file '%1' is damaged: %2").arg(file, storeText)
            : QStringLiteral("The file '%1' is damaged or not a database of this program: %2").arg(file, storeText);
        break;
    case StoreError::Kind::ReadOnly:
        text = primary == SQLITE_READONLY
            ? QStringLiteral("The database file '%1' cannot be written: %2").arg(file, storeText)
            : QStringLiteral("The folder of the database, '%1', cannot be written; the store needs it for the "
                             "journal that keeps a save whole: %2").arg(folder, storeText);
        break;
    default:
        break;
    }
    return StoreError(kind, text, rc, extended, sql);
}

void SqlCipherConnection::raise(int rc, const QString& sql) const
{
    sqlite3* db = m_db.get();
    // A code from a backup is not always the handle's own last error.
    const bool handleKnows = db && sqlite3_errcode(db) != SQLITE_OK;
    throw error(rc, handleKnows ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)), sql);
}

void SqlCipherConnection::check(int rc, const QString& sql) const
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        raise(rc, sql);
}

int SqlCipherConnection::prepare(const QString& sql, sqlite3_stmt** statement, TableAccess& access)
{
    const QByteArray text = sql.toUtf8();
    m_preparing = &access;
    const int rc = sqlite3_prepare_v2(m_db.get(), text.constData(), int(text.size()), statement, nullptr);
    m_preparing = nullptr;
    return rc;
}

std::unique_ptr<EngineStatement> SqlCipherConnection::prepare(const QString& sql)
{
    return std::make_unique<SqlCipherStatement>(*this, sql);
}

void SqlCipherConnection::exec(const QString& sql, TableAccess& access)
{
    char* message = nullptr;
    m_preparing = &access;
    const int rc = sqlite3_exec(m_db.get(), sql.toUtf8().constData(), nullptr, nullptr, &message);
    m_preparing = nullptr;
    if (rc == SQLITE_OK)
        return;
    const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_free(message);
    throw error(rc, text, sql);
}

void SqlCipherConnection::execText(const QString& sql)
{
    TableAccess none;
    exec(sql, none);
}

qint64 SqlCipherConnection::lastInsertRowid() const
{
    return sqlite3_last_insert_rowid(m_db.get());
}

int SqlCipherConnection::changes() const
{
    return sqlite3_changes(m_db.get());
}

void SqlCipherConnection::begin(int level)
{
    execText(level == 0 ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT ") + savepoint(level));
}

void SqlCipherConnection::commit(int level)
{
    execText(level == 0 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + savepoint(level));
}

void SqlCipherConnection::rollback(int level)
{
    if (level == 0)
        execText(QStringLiteral("ROLLBACK"));
    else
        execText(QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(savepoint(level)));
}

bool SqlCipherConnection::inTransaction() const
{
    return sqlite3_get_autocommit(m_db.get()) == 0;
}

void SqlCipherConnection::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db.get(), milliseconds);
}

qint64 SqlCipherConnection::dataVersion() const
{
    sqlite3_stmt* stmt = nullptr;
    qint64 version = -1;
    if (sqlite3_prepare_v2(m_db.get(), "PRAGMA data_version", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

int SqlCipherConnection::schemaVersion()
{
    SqlCipherStatement version(*this, QStringLiteral("PRAGMA user_version"));
    return version.step() ? int(version.int64(0)) : 0;
}

void SqlCipherConnection::setSchemaVersion(int version)
{
    // A pragma takes no parameters; the number is the program's own.
    execText(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

QList<TableColumn> SqlCipherConnection::tableColumns(const QString& table)
{
    // The PRAGMA statement, not the pragma_table_info function, which the store's SQLite lacks.
    SqlCipherStatement info(*this, QStringLiteral("PRAGMA table_info(\"%1\")").arg(QString(table).replace(u'"', QStringLiteral("\"\""))));
    QList<TableColumn> columns;
    while (info.step())
        columns.append({info.text(1), info.text(2), info.int64(5) != 0});
    return columns;
}

void SqlCipherConnection::createTable(const TableDef& table, TableAccess& access)
{
    for (const QString& statement : createTableSql(table))
        exec(statement, access);
}

qint64 SqlCipherConnection::cacheSize()
{
    SqlCipherStatement cache(*this, QStringLiteral("PRAGMA cache_size"));
    return cache.step() ? cache.int64(0) : 0;
}

void SqlCipherConnection::setCacheSize(qint64 size)
{
    execText(QStringLiteral("PRAGMA cache_size = %1").arg(size));
}

std::unique_ptr<EngineCopy> SqlCipherConnection::copyTo(EngineConnection& target)
{
    auto* to = dynamic_cast<SqlCipherConnection*>(&target);
    if (!to)
        throw StoreError(QStringLiteral("A database can be copied only into one of the same kind."));
    return std::make_unique<SqlCipherCopy>(*this, *to);
}
