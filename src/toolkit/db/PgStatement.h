#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "toolkit/db/EngineStatement.h"
#include "toolkit/db/PgConnection.h"
#include "toolkit/db/PgSql.h"

// A statement of the program's SQL on a PostgreSQL server: translated once, run at the first
// step with every value as a bound parameter. A read's rows come one at a time, unless
// another query on the connection needs it first (then the rest is taken in at once). An
// INSERT returns the rowid of its row for lastInsertRowid(), as on a file. Throws StoreError,
// also for a text holding a NUL character, which the server cannot store. GUI thread only.
class PgStatement final : public EngineStatement
{
public:
    PgStatement(PgConnection& connection, const QString& sql);
    PgStatement(const PgStatement&) = delete;
    PgStatement& operator=(const PgStatement&) = delete;
    ~PgStatement() override;

    void bind(int index, const QVariant& value) override;
    int parameterIndex(const QString& name) const override;
    int parameterCount() const override { return int(m_sql.parameters.size()); }
    QString parameterName(int index) const override;

    bool step() override;
    void reset() override;
    bool writes() const override { return m_sql.writes; }
    const TableAccess& tables() const override { return m_sql.tables; }

    int columnCount() const override;
    QString columnName(int column) const override;
    bool isNull(int column) const override;
    qint64 int64(int column) const override;
    double real(int column) const override;
    QString text(int column) const override;
    QVariant value(int column) const override;
    QString declaredType(int column) const override;

    // For the connection, before it sends another query: takes in the rows still to come.
    void takeRest();

private:
    // Takes the next answer of the streamed read: true for a row.
    bool nextStreamed();
    // The answer when run, else the statement's description.
    pg_result* shape() const;
    const char* raw(int column) const;

    PgConnection& m_connection;
    QString m_programSql;
    PgSql::Translation m_sql;
    std::vector<QByteArray> m_values;
    PgConnection::Result m_result;
    mutable PgConnection::Result m_description;
    int m_row = -1;
    int m_rows = 0;
    bool m_run = false;
    bool m_streaming = false;
    std::deque<PgConnection::Result> m_taken;
    std::optional<StoreError> m_failure;
};
