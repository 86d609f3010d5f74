#include <QFile>
#include <QtTest>

#include "TestServer.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "support/RecordingMessageService.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/StoreError.h"

// The role a team's members log in under (scripts/vornadel-role.sql): every row the program
// reads and writes, and no change to the tables themselves.
class TestServerRole : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void memberOpensAndSaves();
    void memberCannotChangeTables();

private:
    QString connectionString(const QString& uri) const;

    std::unique_ptr<ServerTestDatabase> m_db;
    QString m_member;
};

QString TestServerRole::connectionString(const QString& uri) const
{
    return QStringLiteral("Provider=PostgreSQL;Data Source=\"%1\";").arg(uri);
}

void TestServerRole::init()
{
    if (!ServerTestDatabase::serverNamed())
        QSKIP("No test server: configure with -DVORNADEL_SERVER_TESTS=ON or set VORNADEL_TEST_SERVER.");
    m_db = std::make_unique<ServerTestDatabase>();
    {
        Connection owner(connectionString(m_db->uri()));
        createSchema(owner);
        fillLists(owner);
    }
    QFile script(QStringLiteral(VORNADEL_SOURCE_DIR "/scripts/vornadel-role.sql"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    const QString sql = QString::fromUtf8(script.readAll());
    // Run twice, as an administrator may: the second run changes nothing and fails nothing.
    m_db->exec(sql);
    m_db->exec(sql);
    m_member = m_db->makeRole(QStringLiteral("anna"), QStringLiteral("pw"));
    m_db->exec(QStringLiteral("GRANT vornadel_users TO %1").arg(m_member));
}

void TestServerRole::cleanup()
{
    m_db.reset();
}

void TestServerRole::memberOpensAndSaves()
{
    TMainDataModule dm;
    dm.Connect(connectionString(m_db->uri(m_member, QStringLiteral("pw"))));
    dm.SetDataSetsActive(true);
    Dataset* companies = dm.CompaniesTable;
    companies->append();
    companies->setValue(QStringLiteral("Name"), QStringLiteral("Made by a member"));
    companies->post();
    const QString id = companies->value(QStringLiteral("CompanyID")).toString();
    QVERIFY(!id.isEmpty());
    companies->edit();
    companies->setValue(QStringLiteral("Name"), QStringLiteral("Renamed by a member"));
    companies->post();
    QCOMPARE(m_db->value(QStringLiteral("SELECT name FROM companies WHERE companyid = %1").arg(id)),
             QStringLiteral("Renamed by a member"));
    RecordingMessageService messages;
    messages.answerDelete(true);
    companies->deleteRecord([] { return true; });
    QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM companies")), QStringLiteral("0"));
}

void TestServerRole::memberCannotChangeTables()
{
    Connection member(connectionString(m_db->uri(m_member, QStringLiteral("pw"))));
    for (const char* sql : {"DROP TABLE Companies", "ALTER TABLE People ADD COLUMN Extra integer",
                            "CREATE TABLE Extra (x integer)", "TRUNCATE Business"}) {
        try {
            member.exec(QLatin1String(sql));
            QFAIL(sql);
        } catch (const StoreError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("owner")) || e.text().contains(QStringLiteral("permission")),
                     qPrintable(e.text()));
        }
    }
    QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename = 'companies'")),
             QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestServerRole)
#include "tst_serverrole.moc"
