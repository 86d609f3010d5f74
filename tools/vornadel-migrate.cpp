// Copies a database file of the program into an empty database on a PostgreSQL server.
#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include "data/Schema.h"
#include "data/ServerSetup.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/StoreError.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Copies every row of a Vornadel database file into an empty database on a PostgreSQL server, in one "
        "transaction, keeping every key; then compares the row counts and a checksum of each table with the "
        "file's. On any failure the server's database is left empty."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The database file to copy."));
    parser.addPositionalArgument(QStringLiteral("URI"),
                                 QStringLiteral("The server's empty database, as a libpq URI; the password as libpq "
                                                "finds it, e.g. in ~/.pgpass."));
    parser.process(app);
    if (parser.positionalArguments().size() != 2) {
        std::fprintf(stderr, "vornadel-migrate: name a database file and a server URI; see --help.\n");
        return 1;
    }
    const QString file = QFileInfo(parser.positionalArguments().at(0)).absoluteFilePath();
    QString uri = parser.positionalArguments().at(1);
    try {
        if (!QFileInfo(file).isFile())
            throw StoreError(QStringLiteral("There is no database file '%1'.").arg(file));
        Connection source(QStringLiteral("Provider=SQLCipher;Data Source=\"%1\";Database Password=\"%2\";")
                              .arg(QString(file).replace(u'"', QStringLiteral("\"\"")), databasePassword()));
        Connection server(QStringLiteral("Provider=PostgreSQL;Data Source=\"%1\";")
                              .arg(uri.replace(u'"', QStringLiteral("\"\""))));
        const QList<TableSum> sums = migrateToServer(source, server, [](const QString& table) {
            std::fprintf(stderr, "Copying %s...\n", qPrintable(table));
        });
        std::printf("%-20s %10s  %s\n", "Table", "Rows", "Checksum (SHA-256)");
        for (const TableSum& sum : sums)
            std::printf("%-20s %10lld  %s\n", qPrintable(sum.table), static_cast<long long>(sum.rows),
                        qPrintable(sum.checksum));
        std::printf("Copied %s to %s; every table's row count and checksum match the file's.\n", qPrintable(file),
                    qPrintable(server.serverName()));
    } catch (const StoreError& e) {
        std::fprintf(stderr, "vornadel-migrate: %s\nThe server's database was left as it was.\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
