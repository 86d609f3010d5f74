#pragma once

#include <memory>

#include <QString>
#include <QVariant>

#include "toolkit/db/Connection.h"

struct sqlite3_stmt;

// A prepared statement, finalized on destruction. The constructor throws StoreError when the
// text does not prepare. Parameters bind by name (":SPID") or 1-based index; text is copied.
// Move-only; GUI thread only.
class Statement
{
public:
    Statement(Connection& connection, const QString& sql);
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;

    void bind(int index, const QVariant& value);
    void bind(const QString& name, const QVariant& value);
    int parameterCount() const;
    QString parameterName(int index) const;

    // true: a row is ready; false: done. Throws StoreError.
    bool step();
    void reset();
    // Steps to the end; for statements without rows.
    void run();

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // The column as stored: null, integer, real or text (blobs as text).
    QVariant value(int column) const;
    int columnType(int column) const;
    // The type the column was declared with in its table; empty for expressions.
    QString declaredType(int column) const;

    sqlite3_stmt* handle() const { return m_stmt.get(); }
    const TableAccess& tables() const { return m_tables; }
    const QString& sql() const { return m_sql; }

private:
    struct Finalizer { void operator()(sqlite3_stmt* stmt) const; };
    Connection* m_connection;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
    QString m_sql;
    TableAccess m_tables;
};
