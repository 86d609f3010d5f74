#pragma once

#include <map>
#include <memory>

#include <QHash>
#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

// The tables a statement reads and writes, in lower case, as the store names them while preparing it.
struct TableAccess
{
    QStringList read;
    QStringList written;
};

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

// One open, keyed SQLCipher database. The constructor either opens and proves the key or
// throws StoreError with text that says what is wrong (missing or empty file, wrong password,
// not a database). Errors name the fault where the store's text alone does not: a damaged
// file, a file or folder that cannot be written. Move-only; GUI thread only.
class Connection
{
public:
    explicit Connection(const QString& connectionString);
    // Creates a new keyed database file; throws if the file exists.
    static Connection create(const QString& path, const QString& password);

    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;
    ~Connection();

    sqlite3* handle() const { return m_db.get(); }
    const QString& path() const { return m_path; }

    // Runs statements without results; throws StoreError.
    void exec(const QString& sql);
    qint64 lastInsertRowid() const;
    int changes() const;

    // Prepares sql as sqlite3_prepare_v2 does, noting in access the tables it reads and writes.
    int prepare(const QString& sql, sqlite3_stmt** statement, TableAccess& access);

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

    // Transaction nesting depth, kept by Transaction.
    int& transactionDepth() { return m_transactionDepth; }
    // False also when the store has ended a transaction by itself after an error.
    bool inTransaction() const;

    // How long a statement waits for another program's lock before it fails with "database
    // is locked".
    void setBusyTimeout(int milliseconds);

    // Throws StoreError with the store's text when rc is an error code.
    void check(int rc, const QString& sql = {}) const;

private:
    Connection(const ConnectionParams& params, bool create);
    QString describe(int rc, const QString& storeText) const;
    Connection(const QString& path, const QString& password, bool create);
    struct Closer { void operator()(sqlite3* db) const; };
    std::unique_ptr<sqlite3, Closer> m_db;
    QString m_path;
    qint64 dataVersion() const;
    struct SharedRead
    {
        quint64 writeCount;
        qint64 dataVersion;
        std::weak_ptr<const void> result;
    };
    std::map<QString, SharedRead> m_sharedReads;
    quint64 m_writeCount = 0;
    QHash<QString, quint64> m_tableWrites;
    quint64 m_lastRollback = 0;
    // Where the store's authorizer notes the tables of the statement being prepared; on the
    // heap, so the address given to the store survives a move.
    std::unique_ptr<TableAccess*> m_preparing;
    int m_transactionDepth = 0;
};
