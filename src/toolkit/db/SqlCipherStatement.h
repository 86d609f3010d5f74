#pragma once

#include <memory>

#include "toolkit/db/EngineStatement.h"

struct sqlite3_stmt;
class SqlCipherConnection;

// A prepared SQLCipher statement, finalized on destruction; the constructor throws
// StoreError when the text does not prepare. Text is bound as a copy. GUI thread only.
class SqlCipherStatement final : public EngineStatement
{
public:
    SqlCipherStatement(SqlCipherConnection& connection, const QString& sql);

    void bind(int index, const QVariant& value) override;
    int parameterIndex(const QString& name) const override;
    int parameterCount() const override;
    QString parameterName(int index) const override;

    bool step() override;
    void reset() override;
    bool writes() const override;
    const TableAccess& tables() const override { return m_tables; }

    int columnCount() const override;
    QString columnName(int column) const override;
    bool isNull(int column) const override;
    qint64 int64(int column) const override;
    double real(int column) const override;
    QString text(int column) const override;
    QVariant value(int column) const override;
    QString declaredType(int column) const override;

private:
    struct Finalizer { void operator()(sqlite3_stmt* stmt) const; };
    SqlCipherConnection& m_connection;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
    QString m_sql;
    TableAccess m_tables;
};
