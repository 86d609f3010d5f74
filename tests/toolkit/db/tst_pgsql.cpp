#include <QtTest>

#include "toolkit/db/PgSql.h"

// The program's SQL as a PostgreSQL server reads it.
class TestPgSql : public QObject
{
    Q_OBJECT

private slots:
    void translates_data();
    void translates();
    void parametersKeepTheirNamesAndNumbers();
    void notesTablesAndWrites();
};

void TestPgSql::translates_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("server");

    QTest::newRow("quoted names in lower case")
        << "SELECT \"Date\", Kind FROM Activities ORDER BY \"Date\" DESC"
        << "SELECT \"date\", Kind FROM Activities ORDER BY \"date\" DESC";
    QTest::newRow("IS ? and IS NOT ?")
        << "SELECT Name FROM People WHERE CompanyID IS ? AND PersonID IS NOT :id AND Email IS NULL AND Tel IS NOT NULL"
        << "SELECT Name FROM People WHERE CompanyID IS NOT DISTINCT FROM $1 AND PersonID IS DISTINCT FROM $2 AND Email IS "
           "NULL AND Tel IS NOT NULL";
    QTest::newRow("LIKE ignores case") << "SELECT 1 WHERE Name NOT LIKE :p" << "SELECT 1 WHERE Name NOT ILIKE $1";
    QTest::newRow("name order")
        << "Select * from People ORDER BY People.Name COLLATE NAMES;"
        << "Select * from People ORDER BY People.Name COLLATE \"und-x-icu\";";
    QTest::newRow("ifnull") << "SELECT ifnull(a, '') FROM t" << "SELECT coalesce(a, '') FROM t";
    QTest::newRow("group_concat") << "SELECT group_concat(Text) FROM FollowUps"
                                  << "SELECT string_agg((Text)::text, ',') FROM FollowUps";
    QTest::newRow("group_concat with its separator") << "SELECT group_concat(a || (b), '; ') FROM t"
                                                     << "SELECT string_agg((a || (b))::text, '; ') FROM t";
    QTest::newRow("literals and comments untouched")
        << "SELECT 'it''s ? :x \"Q\" LIKE' -- ? \"Z\"\n/* :y IS ? */ FROM t WHERE a = ?"
        << "SELECT 'it''s ? :x \"Q\" LIKE' -- ? \"Z\"\n/* :y IS ? */ FROM t WHERE a = $1";
    QTest::newRow("a quote inside a quoted name") << "SELECT \"A\"\"b\" FROM t" << "SELECT \"a\"\"b\" FROM t";
    QTest::newRow("a body in dollar quotes untouched")
        << "CREATE FUNCTION f() RETURNS trigger AS $$ BEGIN x := TG_ARGV[0]; y LIKE \"Q\"; END $$"
        << "CREATE FUNCTION f() RETURNS trigger AS $$ BEGIN x := TG_ARGV[0]; y LIKE \"Q\"; END $$";
    QTest::newRow("a subquery in FROM gets a name")
        << "SELECT group_concat(r, char(10)) FROM (SELECT Name AS r FROM t ORDER BY 1) WHERE r IN (SELECT 1) ORDER BY 1"
        << "SELECT string_agg((r)::text, chr(10)) FROM (SELECT Name AS r FROM t ORDER BY 1) AS subquery33 WHERE r IN "
           "(SELECT 1) ORDER BY 1";
    QTest::newRow("a named subquery keeps its name") << "SELECT x FROM (SELECT 1 AS x) s" << "SELECT x FROM (SELECT 1 AS x) s";
    QTest::newRow("a cast is no parameter") << "SELECT a::text FROM t" << "SELECT a::text FROM t";
}

void TestPgSql::translates()
{
    QFETCH(QString, sql);
    QFETCH(QString, server);
    QCOMPARE(PgSql::translate(sql).text, server);
}

void TestPgSql::parametersKeepTheirNamesAndNumbers()
{
    const PgSql::Translation named = PgSql::translate(QStringLiteral("SELECT :a, ?, :b, :a, @c"));
    QCOMPARE(named.text, QStringLiteral("SELECT $1, $2, $3, $1, $4"));
    QCOMPARE(named.parameters, (QStringList{":a", QString(), ":b", "@c"}));

    const PgSql::Translation numbered = PgSql::translate(QStringLiteral("SELECT ?2, ?1"));
    QCOMPARE(numbered.text, QStringLiteral("SELECT $2, $1"));
    QCOMPARE(numbered.parameters.size(), 2);
}

void TestPgSql::notesTablesAndWrites()
{
    const PgSql::Translation read = PgSql::translate(QStringLiteral(
        "SELECT p.Name FROM People p LEFT JOIN \"Companies\" c ON c.CompanyID = p.CompanyID"
        " WHERE p.PersonID IN (SELECT PersonID FROM Business)"));
    QCOMPARE(read.tables.read, (QStringList{"people", "companies", "business"}));
    QVERIFY(read.tables.written.isEmpty());
    QVERIFY(!read.writes);
    QVERIFY(!read.insert);

    const PgSql::Translation insert = PgSql::translate(QStringLiteral("INSERT INTO People (Name) SELECT Name FROM Old"));
    QCOMPARE(insert.tables.written, QStringList{"people"});
    QCOMPARE(insert.tables.read, QStringList{"old"});
    QVERIFY(insert.writes && insert.insert);

    const PgSql::Translation several = PgSql::translate(QStringLiteral(
        "DELETE FROM FollowUps WHERE PersonID = 1; UPDATE People SET Name = 'x'; INSERT INTO Activities (Text) VALUES ('a')"));
    QCOMPARE(several.tables.written, (QStringList{"followups", "people", "activities"}));
    QVERIFY(several.writes);
    // Several statements at once return no rowid.
    QVERIFY(!several.insert);

    const PgSql::Translation with = PgSql::translate(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5) INSERT INTO t (a) SELECT i FROM n"));
    QVERIFY(with.writes);
    QCOMPARE(with.tables.written, QStringList{"t"});
    QVERIFY(PgSql::translate(QStringLiteral("CREATE TABLE t (a integer)")).definesSchema);
    QCOMPARE(PgSql::translate(QStringLiteral("SELECT a, b FROM t1, t2 x WHERE 1")).tables.read, (QStringList{"t1", "t2"}));
}

QTEST_GUILESS_MAIN(TestPgSql)
#include "tst_pgsql.moc"
