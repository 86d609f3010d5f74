#include "toolkit/db/TableDef.h"

namespace {

constexpr int UndeclaredTextWidth = 255;

// A column named like an SQL type (Date) is quoted, so that no engine reads the name as a type.
QString sqlName(const QString& name)
{
    static const QStringList typeWords = {"DATE", "TIME", "TIMESTAMP", "DATETIME", "INTEGER",
                                          "BOOLEAN", "VARCHAR", "TEXT", "REAL", "MEMO"};
    return typeWords.contains(name.toUpper()) ? u'"' + name + u'"' : name;
}

QString sqlType(const ColumnDef& column)
{
    switch (column.type) {
    case FieldType::AutoInc: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Integer: return column.key ? QStringLiteral("INTEGER PRIMARY KEY") : QStringLiteral("INTEGER");
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::DateTime: return QStringLiteral("DATETIME");
    case FieldType::Real: return QStringLiteral("REAL");
    case FieldType::Text: return QStringLiteral("VARCHAR(%1)").arg(column.width > 0 ? column.width : UndeclaredTextWidth);
    case FieldType::Memo: return QStringLiteral("MEMO");
    }
    return {};
}

} // namespace

const ColumnDef* TableDef::column(const QString& columnName) const
{
    for (const ColumnDef& c : columns)
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QStringList createTableSql(const TableDef& table)
{
    QStringList lines;
    if (!table.rowKey.isEmpty())
        lines.append(QStringLiteral("  %1 INTEGER PRIMARY KEY AUTOINCREMENT").arg(sqlName(table.rowKey)));
    for (const ColumnDef& c : table.columns)
        lines.append(QStringLiteral("  %1 %2").arg(sqlName(c.name), sqlType(c)));
    QStringList statements = {QStringLiteral("CREATE TABLE %1 (\n%2\n)").arg(table.name, lines.join(QStringLiteral(",\n")))};
    for (const ColumnDef& c : table.columns)
        if (c.indexed)
            statements.append(QStringLiteral("CREATE INDEX %1%2 ON %1 (%3)").arg(table.name, c.name, sqlName(c.name)));
    for (const QStringList& index : table.indexes) {
        QStringList names;
        for (const QString& column : index)
            names.append(sqlName(column));
        statements.append(QStringLiteral("CREATE INDEX %1%2 ON %1 (%3)").arg(table.name, index.join(QString()), names.join(u", ")));
    }
    return statements;
}

QString insertSql(const TableDef& table)
{
    QStringList names;
    for (const ColumnDef& c : table.columns)
        if (c.type != FieldType::AutoInc)
            names.append(sqlName(c.name));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table.name, names.join(QStringLiteral(", ")), QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

TableRequirement requirement(const TableDef& table)
{
    TableRequirement r{table.name, {}};
    for (const ColumnDef& c : table.columns)
        if (c.required)
            r.columns.append({c.name, c.type});
    return r;
}

FieldDef fieldOf(const ColumnDef& column)
{
    FieldDef f = column.type == FieldType::AutoInc ? FieldDef::autoInc(column.name)
                                                   : FieldDef::text(column.name, column.type == FieldType::Text ? column.width : 0);
    f.type = column.type;
    return f;
}
