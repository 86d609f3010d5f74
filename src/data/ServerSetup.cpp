#include "data/ServerSetup.h"

#include <algorithm>

#include <QCryptographicHash>

#include "data/Catalogue.h"
#include "data/Schema.h"
#include "data/SchemaUpgrade.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/Transaction.h"

namespace {

// The columns of table the file holds, in the catalogue's order, with its hidden row key.
QStringList storedColumns(Connection& connection, const TableDef& table)
{
    Statement probe(connection, QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table.name));
    probe.step();
    QStringList held;
    for (int i = 0; i < probe.columnCount(); ++i)
        held.append(probe.columnName(i).toLower());
    QStringList columns;
    if (!table.rowKey.isEmpty() && held.contains(table.rowKey.toLower()))
        columns.append(table.rowKey);
    for (const ColumnDef& c : table.columns)
        if (held.contains(c.name.toLower()))
            columns.append(c.name);
    return columns;
}

// The key the store numbers, or empty for a list without one.
QString numberedKey(const TableDef& table)
{
    if (!table.rowKey.isEmpty())
        return table.rowKey;
    for (const ColumnDef& c : table.columns)
        if (c.type == FieldType::AutoInc)
            return c.name;
    return {};
}

TableSum sumOf(Connection& connection, const TableDef& table, const QStringList& columns)
{
    Statement rows(connection, QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QStringLiteral(", ")), table.name));
    QList<QByteArray> digests;
    while (rows.step()) {
        QCryptographicHash row(QCryptographicHash::Sha256);
        for (int i = 0; i < rows.columnCount(); ++i) {
            // A null differs from every text, the empty one too.
            row.addData(rows.isNull(i) ? QByteArray("\x01N", 2) : QByteArray("\x02", 1) + rows.text(i).toUtf8());
            row.addData(QByteArray("\x00", 1));
        }
        digests.append(row.result());
    }
    std::sort(digests.begin(), digests.end());
    QCryptographicHash all(QCryptographicHash::Sha256);
    for (const QByteArray& digest : digests)
        all.addData(digest);
    return {table.name, qint64(digests.size()), QString::fromLatin1(all.result().toHex())};
}

void copyTable(Connection& file, Connection& server, const TableDef& table)
{
    const QStringList columns = storedColumns(file, table);
    QStringList parameters;
    for (int i = 1; i <= columns.size(); ++i)
        parameters.append(QStringLiteral(":p%1").arg(i));
    Statement read(file, QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QStringLiteral(", ")), table.name));
    Statement write(server, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(table.name, columns.join(QStringLiteral(", ")), parameters.join(QStringLiteral(", "))));
    while (read.step()) {
        for (int i = 0; i < columns.size(); ++i)
            write.bind(i + 1, read.value(i));
        try {
            write.run();
        } catch (const StoreError& e) {
            // The server's text does not say which row it refused; the one to mend in the file is named.
            throw StoreError(e.kind(), QStringLiteral("%1 (%2, the row whose %3 is %4)")
                                           .arg(e.text().trimmed(), table.name, columns.constFirst(), read.text(0)),
                             e.code(), e.extendedCode(), e.sql());
        }
        write.reset();
    }
    const QString key = numberedKey(table);
    if (key.isEmpty())
        return;
    // The next new row is numbered past every copied key, whatever the trigger did.
    Statement numbering(server, QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), "
                                               "coalesce((SELECT max(%2) FROM %1), 0) + 1, false)")
                                    .arg(table.name.toLower(), key.toLower()));
    numbering.step();
}

} // namespace

QStringList programTablesOn(Connection& server)
{
    QStringList names{QStringLiteral("'vornadel_schema'")};
    for (const TableDef& table : Catalogue::tables())
        names.append(u'\'' + table.name.toLower() + u'\'');
    Statement found(server, QStringLiteral("SELECT table_name FROM information_schema.tables "
                                           "WHERE table_schema = current_schema() AND table_name IN (%1) "
                                           "ORDER BY table_name")
                                .arg(names.join(QStringLiteral(", "))));
    QStringList held;
    while (found.step())
        held.append(found.text(0));
    return held;
}

namespace {

// Both tools want an empty database: one that holds any of the program's tables is left alone.
void refuseHeldTables(Connection& server)
{
    const QStringList held = programTablesOn(server);
    if (!held.isEmpty())
        throw StoreError(QStringLiteral("The database already holds the program's tables (%1); it is left as it is.")
                             .arg(held.join(QStringLiteral(", "))));
}

} // namespace

void createServerDatabase(Connection& server, const std::function<void(Connection&)>& fill)
{
    Transaction transaction(server);
    refuseHeldTables(server);
    createSchema(server);
    fillLists(server);
    if (fill)
        fill(server);
    transaction.commit();
}

QList<TableSum> tableSums(Connection& connection)
{
    QList<TableSum> sums;
    for (const TableDef& table : Catalogue::tables())
        sums.append(sumOf(connection, table, storedColumns(connection, table)));
    return sums;
}

QList<TableSum> migrateToServer(Connection& file, Connection& server, const std::function<void(const QString&)>& progress)
{
    const int version = file.schemaVersion();
    if (version != programSchemaVersion())
        throw StoreError(QStringLiteral("The file is of version %1 and this program's of version %2; open the file "
                                        "with this version of the program once, then copy it.")
                             .arg(version)
                             .arg(programSchemaVersion()));
    Transaction transaction(server);
    refuseHeldTables(server);
    createSchema(server);
    // The file's lists are copied as they are, with the rest.
    for (const TableDef& table : Catalogue::tables()) {
        if (progress)
            progress(table.name);
        copyTable(file, server, table);
    }
    QList<TableSum> sums;
    for (const TableDef& table : Catalogue::tables()) {
        const QStringList columns = storedColumns(file, table);
        const TableSum source = sumOf(file, table, columns);
        const TableSum copy = sumOf(server, table, columns);
        if (source.rows != copy.rows || source.checksum != copy.checksum)
            throw StoreError(QStringLiteral("The copy of %1 differs from the file (%2 rows against %3); nothing was "
                                            "copied.")
                                 .arg(table.name)
                                 .arg(copy.rows)
                                 .arg(source.rows));
        sums.append(copy);
    }
    transaction.commit();
    return sums;
}
