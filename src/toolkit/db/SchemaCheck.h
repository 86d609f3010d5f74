#pragma once

#include <QList>
#include <QString>

#include "toolkit/db/Field.h"

class Connection;

// What a program needs of a file's tables: each table by name and each column with its type.
struct ColumnRequirement
{
    QString name;
    FieldType type;
};

struct TableRequirement
{
    QString table;
    QList<ColumnRequirement> columns;
};

// A column as the file declares it.
struct TableColumn
{
    QString name;
    QString declaredType;
    bool primaryKey;
};

// The columns of table, names matched without regard to case; empty when there is no such
// table. Throws StoreError.
QList<TableColumn> tableColumns(Connection& connection, const QString& table);

// The type a declared SQL column type stands for: INTEGER PRIMARY KEY is an auto-number,
// BOOLEAN, DATETIME, REAL, VARCHAR(n)/CHAR(n)/TEXT a text of width n, MEMO a long text.
FieldType fieldTypeOfDeclared(const QString& declaredType, bool primaryKey, int* width = nullptr);

// Whether a column of the given type can stand where a field of type wanted is declared.
bool typeMatches(FieldType wanted, FieldType actual);

// Throws StoreError naming the first table or column that is missing or of the wrong type.
// Names match without regard to case.
void checkSchema(Connection& connection, const QList<TableRequirement>& tables);
