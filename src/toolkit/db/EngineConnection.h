#pragma once

#include <memory>

#include <QString>

#include "toolkit/db/EngineCopy.h"
#include "toolkit/db/EngineStatement.h"
#include "toolkit/db/TableAccess.h"

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

    // Begins copying this database over target's, which must be of the same engine; throws
    // when target cannot take it.
    virtual std::unique_ptr<EngineCopy> copyTo(EngineConnection& target) = 0;
};
