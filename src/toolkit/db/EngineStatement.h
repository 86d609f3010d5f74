#pragma once

#include <QString>
#include <QVariant>

#include "toolkit/db/TableAccess.h"

// One prepared statement of a database engine, behind Statement. Values are bound as
// parameters, never pasted into the text. Columns and parameters count as the engine
// counts them: columns from 0, parameters from 1. What fails throws StoreError of the
// kind the engine gives it. GUI thread only.
class EngineStatement
{
public:
    virtual ~EngineStatement() = default;

    virtual void bind(int index, const QVariant& value) = 0;
    // 0 when the statement has no parameter of that name.
    virtual int parameterIndex(const QString& name) const = 0;
    virtual int parameterCount() const = 0;
    virtual QString parameterName(int index) const = 0;

    // true: a row is ready; false: done.
    virtual bool step() = 0;
    virtual void reset() = 0;
    // False for a statement that only reads.
    virtual bool writes() const = 0;
    virtual const TableAccess& tables() const = 0;

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    virtual bool isNull(int column) const = 0;
    virtual qint64 int64(int column) const = 0;
    virtual double real(int column) const = 0;
    virtual QString text(int column) const = 0;
    // Null, integer (qint64), real (double) or text.
    virtual QVariant value(int column) const = 0;
    // The type the column was declared with in its table; empty for expressions.
    virtual QString declaredType(int column) const = 0;
};
