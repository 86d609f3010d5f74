#pragma once

#include <memory>

#include <QString>
#include <QVariant>

#include "toolkit/db/Connection.h"
#include "toolkit/db/EngineStatement.h"

// A prepared statement of the connection's engine, finalized on destruction. The
// constructor throws StoreError when the text does not prepare. Parameters bind by name
// (":SPID") or 1-based index; text is copied. Move-only; GUI thread only.
class Statement
{
public:
    Statement(Connection& connection, const QString& sql);
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;

    void bind(int index, const QVariant& value) { m_engine->bind(index, value); }
    void bind(const QString& name, const QVariant& value);
    int parameterCount() const { return m_engine->parameterCount(); }
    QString parameterName(int index) const { return m_engine->parameterName(index); }

    // true: a row is ready; false: done. Throws StoreError.
    bool step();
    void reset() { m_engine->reset(); }
    // Steps to the end; for statements without rows.
    void run();

    // Rows are read a value at a time: each reader goes straight to the engine.
    int columnCount() const { return m_engine->columnCount(); }
    QString columnName(int column) const { return m_engine->columnName(column); }
    bool isNull(int column) const { return m_engine->isNull(column); }
    qint64 int64(int column) const { return m_engine->int64(column); }
    double real(int column) const { return m_engine->real(column); }
    QString text(int column) const { return m_engine->text(column); }
    // The column as stored: null, integer, real or text (blobs as text).
    QVariant value(int column) const { return m_engine->value(column); }
    // The type the column was declared with in its table; empty for expressions.
    QString declaredType(int column) const { return m_engine->declaredType(column); }

    const TableAccess& tables() const { return m_engine->tables(); }
    const QString& sql() const { return m_sql; }

private:
    Connection* m_connection;
    std::unique_ptr<EngineStatement> m_engine;
    QString m_sql;
};
