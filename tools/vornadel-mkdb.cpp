// Makes a new database file for the program: the schema, the lists and optional sample data.
#include <cstdio>
#include <optional>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "data/SampleData.h"
#include "data/Schema.h"
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
    if (target.exists()) {
        if (parser.isSet(ifMissing))
            return 0;
        return fail(QStringLiteral("'%1' already exists; it is left as it is.").arg(target.filePath()));
    }

    // The file is built beside its target and moved into place only when complete, so a failed
    // or interrupted run never leaves a half-made database behind.
    const QTemporaryDir work(target.absoluteDir().filePath(QStringLiteral(".vornadel-mkdb-XXXXXX")));
    if (!work.isValid())
        return fail(QStringLiteral("cannot write in '%1': %2").arg(target.absolutePath(), work.errorString()));
    const QString building = work.filePath(target.fileName());
    QElapsedTimer timer;
    timer.start();
    try {
        Connection connection = Connection::create(building, databasePassword());
        createSchema(connection);
        fillLists(connection);
        if (parser.isSet(demo))
            addDemoData(connection);
        if (generated)
            addGeneratedData(connection, *generated);
    } catch (const StoreError& e) {
        return fail(e.text());
    }
    if (!QFile::rename(building, target.filePath()))
        return fail(QStringLiteral("could not create '%1'; was it made meanwhile?").arg(target.filePath()));
    std::printf("Created %s in %.1f s\n", qPrintable(target.filePath()), double(timer.elapsed()) / 1000);
    return 0;
}
