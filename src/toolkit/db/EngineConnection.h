#pragma once

#include <memory>

#include <QList>
#include <QString>
#include <QStringList>

#include "toolkit/db/EngineCopy.h"
#include "toolkit/db/EngineStatement.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/TableAccess.h"

struct TableDef;

// One open database of an engine, behind Connection: what differs between engines
// (statements, transactions and their savepoints, lock waits, the schema version, how
// errors are told apart) is translated here, so that nothing above asks which engine
// it runs on. Every failure throws StoreError with the engine's own text and its kind.
// Owned by one Connection; GUI thread only.
class EngineConnection
{
public:
    virtual ~EngineConnection() = default;

    // Throws when the text does not prepare; the statement notes the tables it touches.
    virtual std::unique_ptr<EngineStatement> prepare(const QString& sql) = 0;
    // Runs statements without results; notes in access the tables they wrote, also when
    // one of them fails after others have written.
    virtual void exec(const QString& sql, TableAccess& access) = 0;
    virtual qint64 lastInsertRowid() const = 0;
    virtual int changes() const = 0;

    // Level 0 is the transaction itself; deeper levels are savepoints inside it.
    virtual void begin(int level) = 0;
    virtual void commit(int level) = 0;
    virtual void rollback(int level) = 0;
    // False also when the engine has ended a transaction by itself after an error.
    virtual bool inTransaction() const = 0;

    virtual void setBusyTimeout(int milliseconds) = 0;
    // Changes whenever another connection commits a write to the database.
    virtual qint64 dataVersion() const = 0;
    // The version of the program's schema the database holds; 0 for one never given one.
    virtual int schemaVersion() = 0;
    virtual void setSchemaVersion(int version) = 0;

    // The columns of table as the engine declares them in the program's words (INTEGER,
    // VARCHAR(n), DATETIME...), names matched without regard to case; empty for no such table.
    virtual QList<TableColumn> tableColumns(const QString& table) = 0;
    // Makes table with its indexes in the engine's own words.
    virtual void createTable(const TableDef& table, TableAccess& access) = 0;
    // The pages the engine keeps in memory (SQLite's cache_size); a server keeps its own.
    virtual qint64 cacheSize() = 0;
    virtual void setCacheSize(qint64 size) = 0;

    // A server's name for a title, without its password; empty for a file.
    virtual QString serverName() const { return {}; }
    // The socket on which another session's change notices arrive; -1 for a file.
    virtual int changeNoticeSocket() const { return -1; }
    // The tables other sessions changed since last asked, lower case; reads what arrived
    // without waiting.
    virtual QStringList takeChangeNotices() { return {}; }

    // Begins copying this database over target's, which must be of the same engine; throws
    // when target cannot take it.
    virtual std::unique_ptr<EngineCopy> copyTo(EngineConnection& target) = 0;
};
