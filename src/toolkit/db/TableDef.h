#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "toolkit/db/Field.h"
#include "toolkit/db/SchemaCheck.h"

// A table described as data: from one description come its CREATE text, what a program checks
// of it before starting, and the fields datasets declare for it. Plain values that touch no
// store; nothing here throws.
struct ColumnDef
{
    QString name;
    FieldType type = FieldType::Text;
    // Characters of a text; 0 when no dataset declares a width, and the store keeps 255.
    int width = 0;
    bool key = false;
    // Rows of other tables hang on it, so lookups by it want an index.
    bool indexed = false;
    // Without it the program does not start; the other columns are needed only where shown.
    bool required = true;
};

struct TableDef
{
    QString name;
    QList<ColumnDef> columns;
    // A table without a key of its own gets this hidden auto-number column as its row identity;
    // empty when the table has a key.
    QString rowKey;
    // Indexes over several columns, in column order, for reads that filter on one and sort on
    // the next.
    QList<QStringList> indexes;

    const ColumnDef* column(const QString& columnName) const;
};

// The CREATE TABLE statement of table, then one CREATE INDEX per indexed column and per index
// over several columns, as SQLite reads them.
QStringList createTableSql(const TableDef& table);

// The same for a PostgreSQL server: names unquoted, so the server keeps them in lower case,
// and a column rowid that repeats the key, since the datasets find rows by rowid as on a file.
// Booleans, dates and long texts are of the domains yes_no (a number), datetime and memo (text
// as a file holds it), which serverDomainsSql() makes.
// Each column's comment is its name as the program spells it. A table with a key gets a trigger that keeps its numbering past the largest key, calling
// the function serverKeyAheadFunctionSql() makes.
QStringList createServerTableSql(const TableDef& table);
QStringList serverDomainsSql();
QString serverKeyAheadFunctionSql();
QString keyAheadTriggerSql(const QString& table, const QString& key);

// An INSERT of every column but those the store numbers, in the table's order, with one ?
// per column.
QString insertSql(const TableDef& table);

// The required columns of table with their types.
TableRequirement requirement(const TableDef& table);

// The field a dataset declares for column: its type and, for a text, its width.
FieldDef fieldOf(const ColumnDef& column);
