#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "TestServer.h"
#include "data/DatabaseFile.h"
#include "data/SampleData.h"
#include "data/Schema.h"
#include "data/ServerSetup.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"

// vornadel-mkdb --server and vornadel-migrate, run as a team's administrator runs them, on a
// database of the test server.
class TestServerTools : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void mkdbMakesWhatAFileHoldsAndRefusesTwice();
    void migrateCopiesEveryRowWithItsKey();
    void refusedRowLeavesTheServerEmpty();

private:
    struct Run
    {
        int code;
        QString out;
        QString err;
    };
    static Run run(const QString& program, const QStringList& arguments);
    QString serverConnectionString() const;
    QString demoFile(const QString& extraSql = {});

    std::unique_ptr<ServerTestDatabase> m_db;
    QTemporaryDir m_dir;
};

TestServerTools::Run TestServerTools::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return {-1, {}, QStringLiteral("did not finish")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QString TestServerTools::serverConnectionString() const
{
    return QStringLiteral("Provider=PostgreSQL;Data Source=\"%1\";").arg(m_db->uri());
}

QString TestServerTools::demoFile(const QString& extraSql)
{
    const QString path = m_dir.filePath(QStringLiteral("Demo.mdb"));
    QFile::remove(path);
    createDatabaseFile(path, [&](Connection& c) {
        addDemoData(c);
        if (!extraSql.isEmpty())
            c.exec(extraSql);
    });
    return path;
}

void TestServerTools::init()
{
    if (!ServerTestDatabase::serverNamed())
        QSKIP("No test server: configure with -DVORNADEL_SERVER_TESTS=ON or set VORNADEL_TEST_SERVER.");
    m_db = std::make_unique<ServerTestDatabase>();
}

void TestServerTools::cleanup()
{
    m_db.reset();
}

void TestServerTools::mkdbMakesWhatAFileHoldsAndRefusesTwice()
{
    const Run made = run(QStringLiteral(VORNADEL_MKDB), {QStringLiteral("--server"), m_db->uri(), QStringLiteral("--demo")});
    QVERIFY2(made.code == 0, qPrintable(made.err));
    QVERIFY(made.out.contains(m_db->name()));
    Connection server(serverConnectionString());
    Connection file(QStringLiteral("Provider=SQLCipher;Data Source=\"%1\";Database Password=\"%2\";")
                        .arg(demoFile(), databasePassword()));
    const QList<TableSum> onServer = tableSums(server);
    QCOMPARE(onServer.size(), tableSums(file).size());
    for (int i = 0; i < onServer.size(); ++i) {
        QCOMPARE(onServer[i].rows, tableSums(file)[i].rows);
        QCOMPARE(onServer[i].checksum, tableSums(file)[i].checksum);
    }
    QVERIFY(onServer.constFirst().rows > 0);

    const Run again = run(QStringLiteral(VORNADEL_MKDB), {QStringLiteral("--server"), m_db->uri(), QStringLiteral("--demo")});
    QCOMPARE(again.code, 1);
    QVERIFY2(again.err.contains(QStringLiteral("already holds the program's tables")), qPrintable(again.err));
    QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM companies")), QString::number(onServer.constFirst().rows));
}

void TestServerTools::migrateCopiesEveryRowWithItsKey()
{
    // A gap in the keys: the copy must keep the later keys as they are, not renumber them.
    const QString file = demoFile(QStringLiteral("DELETE FROM Business WHERE PersonID IN (SELECT PersonID FROM People "
                                                 "WHERE CompanyID = 2); DELETE FROM QuestionsMain WHERE PersonID IN "
                                                 "(SELECT PersonID FROM People WHERE CompanyID = 2); DELETE FROM People "
                                                 "WHERE CompanyID = 2; DELETE FROM Companies WHERE CompanyID = 2"));
    const Run migrated = run(QStringLiteral(VORNADEL_MIGRATE), {file, m_db->uri()});
    QVERIFY2(migrated.code == 0, qPrintable(migrated.err));
    QVERIFY2(migrated.out.contains(QStringLiteral("match the file's")), qPrintable(migrated.out));
    QVERIFY(migrated.out.contains(QStringLiteral("Companies")));

    Connection server(serverConnectionString());
    Connection source(QStringLiteral("Provider=SQLCipher;Data Source=\"%1\";Database Password=\"%2\";")
                          .arg(file, databasePassword()));
    const QList<TableSum> copied = tableSums(server);
    const QList<TableSum> original = tableSums(source);
    for (int i = 0; i < copied.size(); ++i) {
        QCOMPARE(copied[i].table, original[i].table);
        QCOMPARE(copied[i].rows, original[i].rows);
        QCOMPARE(copied[i].checksum, original[i].checksum);
    }
    QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM companies WHERE companyid = 2")), QStringLiteral("0"));
    // The next company is numbered past the largest copied key.
    const QString largest = m_db->value(QStringLiteral("SELECT max(companyid) FROM companies"));
    QCOMPARE(m_db->value(QStringLiteral("INSERT INTO companies (name) VALUES ('Next') RETURNING companyid")),
             QString::number(largest.toLongLong() + 1));
    QCOMPARE(server.schemaVersion(), source.schemaVersion());
}

void TestServerTools::refusedRowLeavesTheServerEmpty()
{
    // A file does not hold a name to its width; the server refuses the longer one, midway
    // through the copy, after the lists and other companies went in.
    const QString file = demoFile(QStringLiteral("UPDATE Companies SET Name = '%1' WHERE CompanyID = "
                                                 "(SELECT max(CompanyID) FROM Companies)")
                                      .arg(QString(300, u'x')));
    const Run migrated = run(QStringLiteral(VORNADEL_MIGRATE), {file, m_db->uri()});
    QCOMPARE(migrated.code, 1);
    QVERIFY2(migrated.err.contains(QStringLiteral("too long")), qPrintable(migrated.err));
    QVERIFY2(migrated.err.contains(QStringLiteral("Companies, the row whose CompanyID is 8")), qPrintable(migrated.err));
    QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM pg_class WHERE relnamespace = 'public'::regnamespace")),
             QStringLiteral("0"));
    QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM pg_type WHERE typnamespace = 'public'::regnamespace")),
             QStringLiteral("0"));
    // And the same file, its name mended, copies whole into the database left behind.
    Connection source(QStringLiteral("Provider=SQLCipher;Data Source=\"%1\";Database Password=\"%2\";")
                          .arg(file, databasePassword()));
    source.exec(QStringLiteral("UPDATE Companies SET Name = 'Mended' WHERE length(Name) > 255"));
    const Run again = run(QStringLiteral(VORNADEL_MIGRATE), {file, m_db->uri()});
    QVERIFY2(again.code == 0, qPrintable(again.err));
}

QTEST_GUILESS_MAIN(TestServerTools)
#include "tst_servertools.moc"
