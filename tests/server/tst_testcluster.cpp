#include <QtTest>

#include <libpq-fe.h>

#include "TestServer.h"

// The throwaway cluster the server tests run on: reachable from this machine only, the
// superuser trusted, every other role asked for its password, one database per case.
class TestTestCluster : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void listensOnLoopbackOnly();
    void otherRolesAreAskedForTheirPassword();
    void eachCaseHasItsOwnDatabase();
};

void TestTestCluster::init()
{
    if (!ServerTestDatabase::serverNamed())
        QSKIP("No test server: configure with -DVORNADEL_SERVER_TESTS=ON or set VORNADEL_TEST_SERVER.");
}

void TestTestCluster::listensOnLoopbackOnly()
{
    ServerTestDatabase db;
    QCOMPARE(db.value(QStringLiteral("SHOW listen_addresses")), QStringLiteral("127.0.0.1"));
    QVERIFY(db.value(QStringLiteral("SHOW port")) != QStringLiteral("5432"));
    QCOMPARE(db.value(QStringLiteral("SELECT current_setting('is_superuser')")), QStringLiteral("on"));
}

void TestTestCluster::otherRolesAreAskedForTheirPassword()
{
    ServerTestDatabase db;
    const QString role = db.makeRole(QStringLiteral("anna"), QStringLiteral("it's secret"));
    PGconn* without = PQconnectdb(db.conninfo(role).toUtf8().constData());
    QCOMPARE(PQstatus(without), CONNECTION_BAD);
    QVERIFY(PQconnectionNeedsPassword(without));
    PQfinish(without);
    PGconn* with = PQconnectdb(db.conninfo(role, QStringLiteral("it's secret")).toUtf8().constData());
    QCOMPARE(PQstatus(with), CONNECTION_OK);
    PQfinish(with);
}

void TestTestCluster::eachCaseHasItsOwnDatabase()
{
    ServerTestDatabase one;
    ServerTestDatabase two;
    QVERIFY(one.name() != two.name());
    one.exec(QStringLiteral("CREATE TABLE t (x integer)"));
    QCOMPARE(two.value(QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename = 't'")), QStringLiteral("0"));
    QString goneName;
    {
        ServerTestDatabase gone;
        goneName = gone.name();
    }
    QCOMPARE(one.value(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = '%1'").arg(goneName)),
             QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TestTestCluster)
#include "tst_testcluster.moc"
