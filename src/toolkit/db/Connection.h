#pragma once

#include <functional>
#include <map>
#include <memory>

#include <QHash>
#include <QString>
#include <QStringList>

#include "toolkit/db/TableAccess.h"

class EngineConnection;
struct TableColumn;
struct TableDef;

// What a connection string says: "Provider=...;User ID=...;Data Source=...;Mode=...;
// Database Password="...";". Keys are matched without regard to case; a value may be quoted.
struct ConnectionParams
{
    QString provider;
    QString userId;
    QString dataSource;
    QString mode;
    QString password;

    static ConnectionParams parse(const QString& connectionString);
};

// One open database, whichever engine holds it: an SQLCipher file, or with
// "Provider=PostgreSQL;Data Source=<libpq URI or conninfo>;" a PostgreSQL server. The
// constructor either opens and proves the key or throws StoreError with text that says what
// is wrong (missing or empty file, wrong password, not a database; a server that asks for a
// password not given, refuses the one given or cannot be reached). It keeps, for every engine alike, the
// count of writes that lets datasets share reads, and the depth of nested transactions.
// Move-only; GUI thread only.
class Connection
{
public:
    explicit Connection(const QString& connectionString);
    // Creates a new keyed database file; throws if the file exists.
    static Connection create(const QString& path, const QString& password);

    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;
    ~Connection();

    const QString& path() const { return m_path; }
    bool isServer() const;
    // The server's host and database for a title, never its password; empty for a file.
    QString serverName() const;
    // Makes a new file at path keyed as this connection's file; throws if the file exists.
    Connection createKeyedAlike(const QString& path) const;
    // Opens the file at path with this connection's key; throws as the constructor does.
    Connection openKeyedAlike(const QString& path) const;

    // Runs statements without results; throws StoreError.
    void exec(const QString& sql);
    qint64 lastInsertRowid() const;
    int changes() const;

    // Counts every write made through this connection; snapshots read at the same count
    // may be shared.
    quint64 writeCount() const { return m_writeCount; }
    // Notes a write to tables (lower case).
    void noteWrite(const QStringList& tables);
    // A rolled-back transaction may have undone a write to any table.
    void noteRollback();
    // The write count at the last write to any of tables, or at the last rollback; 0 when
    // there was neither since the connection opened. A read at a later count shows every write.
    quint64 lastWriteTo(const QStringList& tables) const;

    // Results of a read that nothing can have changed since: another read of the same text
    // finds them while no write was made through this or any other connection.
    std::shared_ptr<const void> sharedRead(const QString& key);
    void keepSharedRead(const QString& key, std::shared_ptr<const void> result);
    // How many reads are listed for sharing, held or not yet found gone.
    size_t sharedReadCount() const;

    // Transaction nesting depth, kept by Transaction.
    int& transactionDepth() { return m_transactionDepth; }
    // False also when the store has ended a transaction by itself after an error.
    bool inTransaction() const;

    // How long a statement waits for another program's lock before it fails as Busy.
    void setBusyTimeout(int milliseconds);

    // While set, pulse runs every few thousand rows that statements step through, between two
    // steps, so that a long read can keep its window painting; an empty one unsets it. A pulse
    // that steps statements itself does not pulse again meanwhile.
    void setPulse(std::function<void()> pulse) { m_pulse = std::move(pulse); }

    // The version of the program's schema the file holds; 0 for a file never given one.
    int schemaVersion();
    void setSchemaVersion(int version);
    // The columns of table as declared; empty when there is no such table. Throws StoreError.
    QList<TableColumn> tableColumns(const QString& table);
    // Makes table and its indexes in the engine's own words; throws StoreError.
    void createTable(const TableDef& table);
    // Pages kept in memory (a file's cache_size); a server ignores it.
    qint64 cacheSize();
    void setCacheSize(qint64 size);

    // The socket on which other sessions' change notices arrive, for a socket notifier; -1 for a file.
    int changeNoticeSocket() const;
    // The tables (lower case) other sessions changed since last asked; never waits; empty for a file.
    QStringList takeChangeNotices();

private:
    friend class Statement;
    friend class Transaction;
    friend class DatabaseCopy;
    explicit Connection(const ConnectionParams& params);
    void stepped();
    // Runs statements that note in access the tables they write, and notes those writes, also
    // when one fails after others have written.
    void noteWritesOf(const std::function<void(TableAccess&)>& run);
    Connection(std::unique_ptr<EngineConnection> engine, const QString& path, const QString& password);

    std::unique_ptr<EngineConnection> m_engine;
    QString m_path;
    QString m_password;
    struct SharedRead
    {
        quint64 writeCount;
        qint64 dataVersion;
        std::weak_ptr<const void> result;
    };
    std::map<QString, SharedRead> m_sharedReads;
    static constexpr size_t SharedReadsKept = 64;
    size_t m_sharedReadsPruneAt = SharedReadsKept;
    quint64 m_writeCount = 0;
    QHash<QString, quint64> m_tableWrites;
    quint64 m_lastRollback = 0;
    int m_transactionDepth = 0;
    std::function<void()> m_pulse;
    quint32 m_steps = 0;
    bool m_pulsing = false;
};
