#include "toolkit/db/SchemaCheck.h"

#include <QHash>
#include <QRegularExpression>

#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"

namespace {

QString typeName(FieldType type)
{
    switch (type) {
    case FieldType::AutoInc: return QStringLiteral("an auto-number");
    case FieldType::Integer: return QStringLiteral("an integer");
    case FieldType::Boolean: return QStringLiteral("a boolean");
    case FieldType::DateTime: return QStringLiteral("a date-time");
    case FieldType::Real: return QStringLiteral("a number");
    case FieldType::Text: return QStringLiteral("a text");
    case FieldType::Memo: return QStringLiteral("a long text");
    }
    return {};
}

} // namespace

QList<TableColumn> tableColumns(Connection& connection, const QString& table)
{
    return connection.tableColumns(table);
}

FieldType fieldTypeOfDeclared(const QString& declaredType, bool primaryKey, int* width)
{
    const QString t = declaredType.trimmed().toUpper();
    if (width)
        *width = 0;
    if (t.startsWith(u"INT"))
        return primaryKey ? FieldType::AutoInc : FieldType::Integer;
    if (t.startsWith(u"BOOL") || t == u"BIT")
        return FieldType::Boolean;
    if (t.startsWith(u"DATE") || t.startsWith(u"TIME"))
        return FieldType::DateTime;
    if (t.startsWith(u"REAL") || t.startsWith(u"FLOA") || t.startsWith(u"DOUB") || t.startsWith(u"NUMERIC"))
        return FieldType::Real;
    if (t.startsWith(u"MEMO") || t.startsWith(u"LONG") || t.startsWith(u"CLOB"))
        return FieldType::Memo;
    static const QRegularExpression sized(QStringLiteral("\\((\\d+)\\)"));
    const auto m = sized.match(t);
    if (m.hasMatch() && width)
        *width = m.captured(1).toInt();
    return FieldType::Text;
}

bool typeMatches(FieldType wanted, FieldType actual)
{
    if (wanted == FieldType::AutoInc || wanted == FieldType::Integer)
        return actual == FieldType::AutoInc || actual == FieldType::Integer;
    return wanted == actual;
}

void checkSchema(Connection& connection, const QList<TableRequirement>& tables)
{
    for (const TableRequirement& table : tables) {
        QHash<QString, FieldType> columns;
        for (const TableColumn& c : tableColumns(connection, table.table))
            columns.insert(c.name.toLower(), fieldTypeOfDeclared(c.declaredType, c.primaryKey));
        if (columns.isEmpty())
            throw StoreError(QStringLiteral("The table '%1' is missing from the database.").arg(table.table));
        for (const ColumnRequirement& column : table.columns) {
            const auto it = columns.constFind(column.name.toLower());
            if (it == columns.cend())
                throw StoreError(QStringLiteral("The column '%1' is missing from the table '%2'.")
                                     .arg(column.name, table.table));
            if (!typeMatches(column.type, *it))
                throw StoreError(QStringLiteral("The column '%1' of the table '%2' is %3 column, not %4 one.")
                                     .arg(column.name, table.table, typeName(*it), typeName(column.type)));
        }
    }
}
