#pragma once

#include <memory>
#include <vector>

#include <QHash>
#include <QSet>

#include "toolkit/db/EngineConnection.h"
#include "toolkit/db/StoreError.h"

struct pg_conn;
struct pg_result;
class PgStatement;

// A session on a PostgreSQL server through libpq. The constructor connects (the password,
// when given, goes to libpq and nowhere else), sets the lock wait and listens for change
// notices, or throws StoreError: PasswordNeeded, WrongKey or Disconnected with libpq's text.
// A lost connection throws Disconnected; the next statement reconnects first. Every write the
// program commits tells the other sessions which tables it changed (NOTIFY vornadel_changes).
// Not movable: its statements hold its address. GUI thread only.
class PgConnection final : public EngineConnection
{
public:
    PgConnection(const QString& conninfo, const QString& password);
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    ~PgConnection() override;

    std::unique_ptr<EngineStatement> prepare(const QString& sql) override;
    void exec(const QString& sql, TableAccess& access) override;
    qint64 lastInsertRowid() const override { return m_lastInsertRowid; }
    int changes() const override { return m_changes; }

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
    qint64 cacheSize() override { return 0; }
    void setCacheSize(qint64) override {}
    QString serverName() const override;
    int changeNoticeSocket() const override;
    QStringList takeChangeNotices() override;
    std::unique_ptr<EngineCopy> copyTo(EngineConnection& target) override;

    struct ResultDeleter { void operator()(pg_result* result) const; };
    using Result = std::unique_ptr<pg_result, ResultDeleter>;

    // For its statements. Runs sql (already in the server's words) with values in text form,
    // a null QByteArray for NULL; throws StoreError. Notes the tables a committed write changed.
    Result run(const QString& sql, const std::vector<QByteArray>& values, const QStringList& written,
               const QString& programSql);
    // Sends a read whose rows then come one at a time through nextRow(), so that a large read
    // is not held twice; any other query first takes in the rest of them (PgStatement::takeRest).
    void stream(PgStatement& statement, const QString& sql, const std::vector<QByteArray>& values,
                const QString& programSql);
    // The next answer of the read being streamed; null when it has ended.
    Result nextRow();
    // The read of statement ends: what is left of it is dropped.
    void endStream(const PgStatement& statement);
    StoreError error(const pg_result* result, const QString& sql) const;
    // Describes sql without running it, for the columns of a statement not yet stepped.
    Result describe(const QString& sql, int parameters, const QString& programSql);
    // A column of a table: the type it was declared with in the program's words, its name on
    // the server and as the program spells it.
    struct TableColumnInfo
    {
        QString declaredType;
        QString serverName;
        QString programName;
    };
    const TableColumnInfo& columnInfo(unsigned tableOid, int column);
    void noteInsert(qint64 rowid) { m_lastInsertRowid = rowid; }
    void noteChanges(int count) { m_changes = count; }

private:
    Result runText(const QString& sql, const QString& programSql = {});
    // Takes in the rest of a streamed read, so that the connection can take another query.
    void settle() const;
    // Settles, then reconnects if the connection was lost.
    void ensureConnected();
    void readNotices();
    void notify(const QStringList& tables);
    void setUp();

    struct Closer { void operator()(pg_conn* conn) const; };
    std::unique_ptr<pg_conn, Closer> m_conn;
    int m_busyTimeout;
    qint64 m_lastInsertRowid = 0;
    int m_changes = 0;
    // Tables written in the open transaction, told to the others at its commit.
    QStringList m_uncommittedWrites;
    QSet<QString> m_notices;
    mutable QByteArray m_snapshot;
    mutable qint64 m_dataVersion = 0;
    QHash<quint64, TableColumnInfo> m_columnInfo;
    mutable PgStatement* m_streaming = nullptr;
};
