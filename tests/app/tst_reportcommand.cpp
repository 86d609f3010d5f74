#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "support/AppDatabase.h"
#include "support/TestFiles.h"

// The program started as a user's script would, to file a report as a PDF without a window.
class TestReportCommand : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void writesEachReportAndExitsZero_data();
    void writesEachReportAndExitsZero();
    void aFailureSaysWhyAndLeavesNoFile_data();
    void aFailureSaysWhyAndLeavesNoFile();

private:
    struct Result
    {
        int exitCode = -1;
        QString errors;
    };
    Result run(const QStringList& arguments) const;
    static QString text(const QString& pdf);

    QTemporaryDir m_dir;
    std::unique_ptr<AppDatabase> m_database;
};

void TestReportCommand::initTestCase()
{
    m_database = std::make_unique<AppDatabase>(QStringLiteral("Filed.mdb"));
    m_database->exec(QStringLiteral("INSERT INTO Companies (CompanyID, Name) VALUES (1, 'Zeta Works'), (2, 'acme');"
                                    "INSERT INTO People (CompanyID, Name, Title) VALUES (1, 'Mia Lund', 'Buyer');"));
    m_database->close();
}

TestReportCommand::Result TestReportCommand::run(const QStringList& arguments) const
{
    QProcess program;
    // As from a terminal with no display: the program must not need one.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VORNADEL_PROGRAM), arguments);
    if (!program.waitForFinished(120000))
        return {};
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromUtf8(program.readAllStandardError())};
}

QString TestReportCommand::text(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

void TestReportCommand::writesEachReportAndExitsZero_data()
{
    QTest::addColumn<QString>("report");
    QTest::addColumn<QStringList>("printed");
    QTest::newRow("companies") << "companies" << QStringList({"Companies", "acme", "Zeta Works"});
    QTest::newRow("people") << "people" << QStringList({"People", "Mia Lund", "Buyer"});
    QTest::newRow("company-persons") << "company-persons" << QStringList({"Companies", "TITLE", "Zeta Works"});
    QTest::newRow("all") << "all" << QStringList({"Adress", "Mia Lund", "TITLE"});
}

void TestReportCommand::writesEachReportAndExitsZero()
{
    QFETCH(QString, report);
    QFETCH(QStringList, printed);
    const QString pdf = m_dir.filePath(report + QStringLiteral(".pdf"));
    const Result result = run({QStringLiteral("--report"), report, QStringLiteral("--pdf"), pdf,
                               QStringLiteral("--database"), m_database->path()});
    QCOMPARE(result.exitCode, 0);
    const QString pages = text(pdf);
    for (const QString& words : printed)
        QVERIFY2(pages.contains(words), qPrintable(pages));
    // The program, not the report toolkit, names itself as the file's maker.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished());
    const QString about = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(about.contains(QRegularExpression(QStringLiteral("Creator:\\s+Vornadel Lite\n"))), qPrintable(about));
}

void TestReportCommand::aFailureSaysWhyAndLeavesNoFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    const QString pdf = QStringLiteral("PDF");
    QTest::newRow("no such database") << QStringList({"--report", "people", "--pdf", pdf, "--database", "missing.mdb"})
                                      << "Could not find file";
    QTest::newRow("no such report") << QStringList({"--report", "everything", "--pdf", pdf}) << "company-persons";
    QTest::newRow("no file to write") << QStringList({"--report", "people"}) << "--pdf FILE";
    QTest::newRow("a file but no report") << QStringList({"--pdf", pdf}) << "--report NAME";
}

void TestReportCommand::aFailureSaysWhyAndLeavesNoFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    const QString pdf = m_dir.filePath(QStringLiteral("kept.pdf"));
    QVERIFY(writeFile(pdf, "last month"));
    arguments.replaceInStrings(QStringLiteral("PDF"), pdf);
    arguments.replaceInStrings(QStringLiteral("missing.mdb"), m_dir.filePath(QStringLiteral("missing.mdb")));
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.errors.contains(said), qPrintable(result.errors));
    QFile kept(pdf);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("last month"));
}

QTEST_GUILESS_MAIN(TestReportCommand)
#include "tst_reportcommand.moc"
