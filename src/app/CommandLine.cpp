#include "app/CommandLine.h"

#include <stdexcept>

#include <QCommandLineParser>
#include <QFileInfo>

#include "reports/ReportFile.h"
#include "ui/main/Product.h"

namespace {

struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and quit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and quit.")};
    QCommandLineOption database{QStringLiteral("database"),
                                QStringLiteral("Open the database FILE instead of the usual Vornadel.mdb."),
                                QStringLiteral("FILE")};
    QCommandLineOption connect{QStringLiteral("connect"),
                               QStringLiteral("Open the database on a PostgreSQL server at URI, e.g. "
                                              "postgresql://anna@crm.example.com/vornadel?sslmode=verify-full, "
                                              "instead of a file."),
                               QStringLiteral("URI")};
    QCommandLineOption report{QStringLiteral("report"),
                              QStringLiteral("Write the report NAME (%1) to the file given by --pdf, "
                                             "without a window, and quit.")
                                  .arg(reportNames().join(QStringLiteral(", "))),
                              QStringLiteral("NAME")};
    QCommandLineOption pdf{QStringLiteral("pdf"), QStringLiteral("The PDF file --report writes."), QStringLiteral("FILE")};
    QCommandLineParser parser;

    Options()
    {
        parser.setApplicationDescription(Product::Name + QStringLiteral(
            ": a salesperson's companies, projects, clients and their buying roles."));
        parser.addOptions({help, version, database, connect, report, pdf});
    }
};

} // namespace

QString informationAsked(const QStringList& arguments)
{
    Options options;
    // What the parser does not know is the toolkit's or a mistake; neither changes this answer.
    options.parser.parse(arguments);
    if (options.parser.isSet(options.help)) {
        // Qt names the program after the application object, which does not exist yet.
        const QString text = options.parser.helpText();
        return QStringLiteral("Usage: %1 [options]").arg(QFileInfo(arguments.value(0)).fileName())
            + text.mid(text.indexOf(u'\n'));
    }
    if (options.parser.isSet(options.version))
        return Product::Name + QLatin1Char(' ') + Product::Version + QLatin1Char('\n');
    return {};
}

QString chosenDatabase(const QStringList& arguments)
{
    Options options;
    if (!options.parser.parse(arguments))
        throw std::invalid_argument(options.parser.errorText().toStdString());
    if (!options.parser.positionalArguments().isEmpty())
        throw std::invalid_argument(
            QStringLiteral("Unexpected argument '%1'; a database is named with --database FILE.")
                .arg(options.parser.positionalArguments().constFirst())
                .toStdString());
    const QString file = options.parser.value(options.database);
    if (options.parser.isSet(options.database) && file.isEmpty())
        throw std::invalid_argument("--database needs the name of a file.");
    return file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
}

QString chosenServer(const QStringList& arguments)
{
    Options options;
    if (!options.parser.parse(arguments))
        throw std::invalid_argument(options.parser.errorText().toStdString());
    if (!options.parser.isSet(options.connect))
        return {};
    const QString uri = options.parser.value(options.connect).trimmed();
    if (!uri.startsWith(QStringLiteral("postgresql://")) && !uri.startsWith(QStringLiteral("postgres://")))
        throw std::invalid_argument(
            "--connect needs a connection URI, e.g. postgresql://anna@crm.example.com/vornadel.");
    if (options.parser.isSet(options.database))
        throw std::invalid_argument("--connect and --database each name a database; give one of them.");
    return uri;
}

ReportRequest reportAsked(const QStringList& arguments)
{
    Options options;
    options.parser.parse(arguments);
    const QString report = options.parser.value(options.report);
    const QString pdf = options.parser.value(options.pdf);
    if (!options.parser.isSet(options.report)) {
        if (options.parser.isSet(options.pdf))
            throw std::invalid_argument("--pdf FILE goes with --report NAME.");
        return {};
    }
    if (!reportNames().contains(report))
        throw std::invalid_argument(QStringLiteral("There is no report '%1'; the reports are %2.")
                                        .arg(report, reportNames().join(QStringLiteral(", ")))
                                        .toStdString());
    if (pdf.isEmpty())
        throw std::invalid_argument("--report needs --pdf FILE, the file to write.");
    return {report, QFileInfo(pdf).absoluteFilePath()};
}
