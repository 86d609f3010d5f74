// Makes a new database for the program, a file or on a server: the schema, the lists and
// optional sample data.
#include <cstdio>
#include <optional>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include "data/DatabaseFile.h"
#include "data/SampleData.h"
#include "data/ServerSetup.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/StoreError.h"

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "vornadel-mkdb: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Creates a new encrypted Vornadel database; never overwrites a file. With --server, makes the tables in an "
        "empty database on a PostgreSQL server instead, and refuses one that holds them already."));
    parser.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("Add a small sample of companies, people and deals."));
    const QCommandLineOption scale(QStringLiteral("scale"), QStringLiteral("Add generated data: typical or large."),
                                   QStringLiteral("size"));
    const QCommandLineOption ifMissing(QStringLiteral("if-missing"),
                                       QStringLiteral("Succeed without doing anything when the file exists."));
    const QCommandLineOption server(QStringLiteral("server"),
                                    QStringLiteral("Make the tables in the empty database of a PostgreSQL server at URI "
                                                   "(a libpq URI; the password as libpq finds it, e.g. in ~/.pgpass)."),
                                    QStringLiteral("URI"));
    parser.addOptions({demo, scale, ifMissing, server});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The database file to create."));
    parser.process(app);

    const bool onServer = parser.isSet(server);
    if (parser.positionalArguments().size() != (onServer ? 0 : 1))
        return fail(onServer ? QStringLiteral("--server URI takes no file; see --help.")
                             : QStringLiteral("name exactly one database file; see --help."));
    std::optional<SampleSize> generated;
    if (parser.isSet(scale)) {
        const QString value = parser.value(scale);
        if (value == u"typical")
            generated = SampleSize::typical();
        else if (value == u"large")
            generated = SampleSize::large();
        else
            return fail(QStringLiteral("--scale takes typical or large, not '%1'.").arg(value));
    }

    const auto fill = [&](Connection& connection) {
        if (parser.isSet(demo))
            addDemoData(connection);
        if (generated)
            addGeneratedData(connection, *generated);
    };
    QElapsedTimer timer;
    timer.start();
    if (onServer) {
        const QString uri = parser.value(server);
        try {
            Connection connection(QStringLiteral("Provider=PostgreSQL;Data Source=\"%1\";")
                                      .arg(QString(uri).replace(u'"', QStringLiteral("\"\""))));
            createServerDatabase(connection, fill);
            std::printf("Created the tables on %s in %.1f s\n", qPrintable(connection.serverName()),
                        double(timer.elapsed()) / 1000);
        } catch (const StoreError& e) {
            return fail(e.text());
        }
        return 0;
    }

    const QFileInfo target(parser.positionalArguments().constFirst());
    if (target.exists() && parser.isSet(ifMissing))
        return 0;

    try {
        createDatabaseFile(target.filePath(), fill);
    } catch (const StoreError& e) {
        return fail(e.text());
    }
    std::printf("Created %s in %.1f s\n", qPrintable(target.filePath()), double(timer.elapsed()) / 1000);
    return 0;
}
