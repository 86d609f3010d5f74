#pragma once

#include <memory>

#include "toolkit/db/EngineConnection.h"
#include "toolkit/db/StoreError.h"

struct sqlite3;
struct sqlite3_stmt;

// An open, keyed SQLCipher file. The constructor opens it, sets the key, proves the key
// with one read and sets the busy timeout, or throws StoreError saying what is wrong
// (missing or empty file, wrong password, not a database). Errors name the fault where the
// store's text alone does not: a damaged file, a file or folder that cannot be written.
// Not movable: its statements and the store's callbacks hold its address. GUI thread only.
class SqlCipherConnection final : public EngineConnection
{
public:
    // With create, makes a new file and throws if it exists.
    SqlCipherConnection(const QString& path, const QString& password, bool create);
    SqlCipherConnection(const SqlCipherConnection&) = delete;
    SqlCipherConnection& operator=(const SqlCipherConnection&) = delete;
    ~SqlCipherConnection() override;

    std::unique_ptr<EngineStatement> prepare(const QString& sql) override;
    void exec(const QString& sql, TableAccess& access) override;
    qint64 lastInsertRowid() const override;
    int changes() const override;

    void begin(int level) override;
    void commit(int level) override;
    void rollback(int level) override;
    bool inTransaction() const override;

    void setBusyTimeout(int milliseconds) override;
    qint64 dataVersion() const override;
    int schemaVersion() override;
    void setSchemaVersion(int version) override;
    QList<TableColumn> tableColumns(const QString& table) override;
    void createTable(const TableDef& table, TableAccess& access) override;
    qint64 cacheSize() override;
    void setCacheSize(qint64 size) override;
    std::unique_ptr<EngineCopy> copyTo(EngineConnection& target) override;

    // For the backup between two files of this engine.
    sqlite3* handle() const { return m_db.get(); }

    // For its statements: prepares as sqlite3_prepare_v2 does, noting the tables in access.
    int prepare(const QString& sql, sqlite3_stmt** statement, TableAccess& access);
    // Throws the StoreError of rc, an error code, with the store's text.
    [[noreturn]] void raise(int rc, const QString& sql = {}) const;
    void check(int rc, const QString& sql = {}) const;

private:
    StoreError error(int rc, const QString& storeText, const QString& sql) const;
    StoreError keyRefused(int rc) const;
    void execText(const QString& sql);

    struct Closer { void operator()(sqlite3* db) const; };
    std::unique_ptr<sqlite3, Closer> m_db;
    QString m_path;
    // Where the store's authorizer notes the tables of the statement being prepared.
    TableAccess* m_preparing = nullptr;
};
