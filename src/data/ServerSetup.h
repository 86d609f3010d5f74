#pragma once

#include <functional>

#include <QList>
#include <QString>
#include <QStringList>

class Connection;

// A team's database on a PostgreSQL server, made by its owner: empty at first, then the
// program's schema and lists with sample data, or every row of a database file. Each runs in
// one transaction, so a failure leaves the server's database as empty as it was. Functions
// throw StoreError; GUI thread only.

// The program's tables (lower case) the server's database already holds.
QStringList programTablesOn(Connection& server);

// Makes the schema, the lists and what fill adds. Throws, changing nothing, when the database
// already holds any of the program's tables.
void createServerDatabase(Connection& server, const std::function<void(Connection&)>& fill = {});

// What a table holds, for comparing a copy with its source.
struct TableSum
{
    QString table;
    qint64 rows = 0;
    // SHA-256 over the sorted digests of the rows' values, so the order the engines return
    // rows in does not matter.
    QString checksum;
};

QList<TableSum> tableSums(Connection& connection);

// Copies every row of file (a database file of the program's version) into the empty server
// database, keys included, with the schema, and moves each key's numbering past its largest
// key; then compares the counts and checksums of both, in the same transaction. progress is
// told each table as it is copied. Returns the sums; throws, leaving the server's database
// empty, when anything fails or differs.
QList<TableSum> migrateToServer(Connection& file, Connection& server,
                                const std::function<void(const QString&)>& progress = {});
