// Makes a new database file for the program: the schema, the lists and optional sample data.
#include <cstdio>
#include <optional>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include "data/DatabaseFile.h"
#include "data/SampleData.h"
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
    parser.setApplicationDescription(QStringLiteral("Creates a new encrypted Vornadel database; never overwrites a file."));
    parser.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("Add a small sample of companies, people and deals."));
    const QCommandLineOption scale(QStringLiteral("scale"), QStringLiteral("Add generated data: typical or large."),
                                   QStringLiteral("size"));
    const QCommandLineOption ifMissing(QStringLiteral("if-missing"),
                                       QStringLiteral("Succeed without doing anything when the file exists."));
    parser.addOptions({demo, scale, ifMissing});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The database file to create."));
    parser.process(app);

    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("name exactly one database file; see --help."));
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

    const QFileInfo target(parser.positionalArguments().constFirst());
    if (target.exists() && parser.isSet(ifMissing))
        return 0;

    QElapsedTimer timer;
    timer.start();
    try {
        createDatabaseFile(target.filePath(), [&](Connection& connection) {
            if (parser.isSet(demo))
                addDemoData(connection);
            if (generated)
                addGeneratedData(connection, *generated);
        });
    } catch (const StoreError& e) {
        return fail(e.text());
    }
    std::printf("Created %s in %.1f s\n", qPrintable(target.filePath()), double(timer.elapsed()) / 1000);
    return 0;
}
