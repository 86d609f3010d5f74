#include <algorithm>
#include <functional>
#include <thread>

#include <QScopeGuard>
#include <QUrl>
#include <QFileInfo>
#include <QtTest>

#include "support/ServerDatabase.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/NameOrder.h"
#include "toolkit/db/RowWriter.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/TableDef.h"
#include "toolkit/db/Transaction.h"

namespace {

TableDef companies()
{
    return {QStringLiteral("Companies"),
            {{QStringLiteral("CompanyID"), FieldType::AutoInc, 0, true},
             {QStringLiteral("Name"), FieldType::Text, 50},
             {QStringLiteral("Date"), FieldType::DateTime},
             {QStringLiteral("Active"), FieldType::Boolean},
             {QStringLiteral("Notes"), FieldType::Memo},
             {QStringLiteral("Weight"), FieldType::Real}},
            {},
            {}};
}

TableDef roles()
{
    return {QStringLiteral("Business"),
            {{QStringLiteral("PersonID"), FieldType::Integer}, {QStringLiteral("User"), FieldType::Boolean}},
            QStringLiteral("RowKey"),
            {}};
}

qint64 scalar(Connection& c, const QString& sql)
{
    Statement st(c, sql);
    return st.step() ? st.int64(0) : -1;
}

RowWriter companyWriter(Connection& c)
{
    return RowWriter(c, QStringLiteral("Companies"), {{QStringLiteral("CompanyID"), true, false}, {QStringLiteral("Name")}},
                     true);
}

} // namespace

// The server engine on a real PostgreSQL server: what the program's SQL means there, and two
// sessions at once.
class TestPgConnection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tablesKeepTheProgramsWords();
    void rowsKeepTheirIdentityAsOnAFile();
    void hostileTextIsStoredExactly();
    void textWithNulIsRefusedWithAMessage();
    void statementsInsideAReadLeaveItWhole();
    void namesSortAsNameOrderSortsThem();
    void rowChangedOrDeletedByTheOtherIsRefused();
    void lockedRowWaitsThenFailsAsBusy();
    void deadlockUndoesOneWholeChange();
    void killedSessionLeavesNoneOfItsChange();
    void lostConnectionKeepsThePendingChange();
    void otherSessionsWritesAreNoticedAfterCommit();
    void unreachableServerOrUnverifiedTlsSaysSo();
    void passwordIsAskedForThenChecked();

private:
    std::unique_ptr<ServerDatabase> m_database;
    std::unique_ptr<Connection> m_a;
    std::unique_ptr<Connection> m_b;
};

void TestPgConnection::init()
{
    if (ServerDatabase::serverUri().isEmpty())
        QSKIP(ServerDatabase::skipReason());
    m_database = std::make_unique<ServerDatabase>();
    m_a = std::make_unique<Connection>(m_database->connectionString());
    {
        Transaction t(*m_a);
        m_a->createTable(companies());
        m_a->createTable(roles());
        m_a->setSchemaVersion(3);
        t.commit();
    }
    m_b = std::make_unique<Connection>(m_database->connectionString());
}

void TestPgConnection::cleanup()
{
    m_a.reset();
    m_b.reset();
    m_database.reset();
}

void TestPgConnection::tablesKeepTheProgramsWords()
{
    QVERIFY(m_a->isServer());
    QVERIFY2(m_a->serverName().endsWith(u'/' + m_database->name()), qPrintable(m_a->serverName()));
    QCOMPARE(m_b->schemaVersion(), 3);
    QStringList columns;
    for (const TableColumn& c : m_b->tableColumns(QStringLiteral("Companies")))
        columns.append(QStringLiteral("%1 %2%3").arg(c.name, c.declaredType, c.primaryKey ? " key" : ""));
    // Named as the program spells them, though the server keeps them in lower case.
    QCOMPARE(columns, (QStringList{"CompanyID INTEGER key", "Name VARCHAR(50)", "Date DATETIME", "Active BOOLEAN",
                                   "Notes MEMO", "Weight REAL"}));
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM pg_attribute WHERE attrelid = 'companies'::regclass"
                                         " AND attname = 'companyid'")), 1);
    QVERIFY(m_b->tableColumns(QStringLiteral("Nothing")).isEmpty());

    // A query's columns are declared as in their table; an expression is declared as nothing.
    Statement st(*m_b, QStringLiteral("SELECT Name, \"Date\", Active, count(*) FROM Companies GROUP BY 1, 2, 3"));
    QCOMPARE(st.declaredType(0), QStringLiteral("VARCHAR(50)"));
    QCOMPARE(st.declaredType(1), QStringLiteral("DATETIME"));
    QCOMPARE(st.declaredType(2), QStringLiteral("BOOLEAN"));
    QCOMPARE(st.declaredType(3), QString());
    QCOMPARE(st.columnName(1), QStringLiteral("Date"));
}

void TestPgConnection::rowsKeepTheirIdentityAsOnAFile()
{
    m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('a'), ('b');\n"));
    // Run without a statement of its own, an INSERT still tells its last row, as on a file.
    QCOMPARE(m_a->lastInsertRowid(), 2);
    QCOMPARE(m_a->changes(), 2);
    Statement insert(*m_a, QStringLiteral("INSERT INTO Companies (Name, Active, Weight) VALUES (:name, :on, :w)"));
    insert.bind(QStringLiteral(":name"), QStringLiteral("c"));
    insert.bind(QStringLiteral(":on"), true);
    insert.bind(QStringLiteral(":w"), 0.1);
    insert.run();
    QCOMPARE(m_a->lastInsertRowid(), 3);
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT rowid FROM Companies WHERE CompanyID = 3")), 3);
    Statement read(*m_b, QStringLiteral("SELECT Active, Weight, Name FROM Companies WHERE rowid = ?"));
    read.bind(1, 3);
    QVERIFY(read.step());
    QCOMPARE(read.value(0), QVariant(qint64(1)));
    QCOMPARE(read.value(1), QVariant(0.1));
    QVERIFY(!read.step());

    // A table without a key of its own numbers its rows in its hidden key.
    Statement role(*m_a, QStringLiteral("INSERT INTO Business (PersonID, \"User\") VALUES (?, ?)"));
    role.bind(1, 7);
    role.bind(2, false);
    role.run();
    QCOMPARE(m_a->lastInsertRowid(), scalar(*m_b, QStringLiteral("SELECT RowKey FROM Business WHERE PersonID = 7")));
    QCOMPARE(m_a->changes(), 1);
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Business WHERE \"User\" IS ?")), 0);
}

void TestPgConnection::hostileTextIsStoredExactly()
{
    const QStringList texts = {QStringLiteral("O'Brien \"& Sons\""), QStringLiteral("'); DROP TABLE Companies; --"),
                               QStringLiteral("$1 ? :name \\ %_"), QString::fromUtf8("Caf\xC3\xA9 \xF0\x9F\x98\x80 \xE2\x80\x8F"
                                                                                   "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D")};
    for (const QString& text : texts) {
        Statement insert(*m_a, QStringLiteral("INSERT INTO Companies (Name, Notes) VALUES (?, ?)"));
        insert.bind(1, text);
        insert.bind(2, text);
        insert.run();
        Statement back(*m_b, QStringLiteral("SELECT Name, Notes FROM Companies WHERE CompanyID = ? AND Name = ?"));
        back.bind(1, m_a->lastInsertRowid());
        back.bind(2, text);
        QVERIFY2(back.step(), qPrintable(text));
        QCOMPARE(back.text(0), text);
        QCOMPARE(back.text(1), text);
    }
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies")), texts.size());
    // An empty text stays a text, apart from NULL.
    Statement empty(*m_a, QStringLiteral("INSERT INTO Companies (Name) VALUES (?)"));
    empty.bind(1, QString());
    empty.run();
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies WHERE Name = ''")), 1);
    // LIKE ignores case as on a file.
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies WHERE Name LIKE 'o''brien%'")), 1);
}

void TestPgConnection::textWithNulIsRefusedWithAMessage()
{
    Statement insert(*m_a, QStringLiteral("INSERT INTO Companies (Name) VALUES (?)"));
    try {
        insert.bind(1, QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
        QFAIL("A NUL went through.");
    } catch (const StoreError& e) {
        QVERIFY2(e.text().contains(QStringLiteral("NUL character")), qPrintable(e.text()));
    }
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies")), 0);
}

void TestPgConnection::statementsInsideAReadLeaveItWhole()
{
    m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('a'), ('b'), ('c')"));
    // Rows come one at a time: reads and writes between them take in the rest first.
    Statement outer(*m_a, QStringLiteral("SELECT CompanyID, Name FROM Companies ORDER BY CompanyID"));
    QStringList seen;
    while (outer.step()) {
        Statement inner(*m_a, QStringLiteral("SELECT count(*) FROM Companies WHERE CompanyID >= ?"));
        inner.bind(1, outer.int64(0));
        QVERIFY(inner.step());
        seen.append(QStringLiteral("%1 %2").arg(outer.text(1)).arg(inner.int64(0)));
        Transaction change(*m_a);
        Statement rename(*m_a, QStringLiteral("UPDATE Companies SET Name = upper(Name) WHERE CompanyID = ?"));
        rename.bind(1, outer.int64(0));
        rename.run();
        change.commit();
    }
    QCOMPARE(seen, (QStringList{"a 3", "b 2", "c 1"}));

    // A read left part way stands in the way of no other.
    {
        Statement left(*m_a, QStringLiteral("SELECT Name FROM Companies"));
        QVERIFY(left.step());
    }
    Statement again(*m_a, QStringLiteral("SELECT Name FROM Companies ORDER BY Name"));
    QStringList names;
    while (again.step())
        names.append(again.text(0));
    QCOMPARE(names, (QStringList{"A", "B", "C"}));
}

void TestPgConnection::namesSortAsNameOrderSortsThem()
{
    // Names that differ in more than case and accents: those that differ only so follow the
    // user's locale on a file and the root order (lower case first) on a server.
    QStringList names;
    for (const char* name : {"Zeta", "acme", "\xC3\x89" "clair", "Bob", "eagle", "\xC3\xA9" "cole", "zebra",
                             "\xC3\x85" "ngstr" "\xC3\xB6" "m", "Ernst", "b-c", "b c", "bc", "Anna"})
        names.append(QString::fromUtf8(name));
    for (const QString& name : names) {
        Statement insert(*m_a, QStringLiteral("INSERT INTO Companies (Name) VALUES (?)"));
        insert.bind(1, name);
        insert.run();
    }
    QStringList server;
    Statement rows(*m_b, QStringLiteral("SELECT Name FROM Companies ORDER BY Name COLLATE NAMES"));
    while (rows.step())
        server.append(rows.text(0));
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return NameOrder::compare(a, b) < 0; });
    QCOMPARE(server, names);
}

void TestPgConnection::rowChangedOrDeletedByTheOtherIsRefused()
{
    m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme'), ('Bolt')"));
    const RowWriter::Row acme{1, {qint64(1), QStringLiteral("Acme")}};
    const RowWriter::Row bolt{2, {qint64(2), QStringLiteral("Bolt")}};
    m_b->exec(QStringLiteral("UPDATE Companies SET Name = 'Acme Ltd' WHERE CompanyID = 1; DELETE FROM Companies WHERE CompanyID = 2"));

    RowWriter writer = companyWriter(*m_a);
    try {
        writer.update(acme, {qint64(1), QStringLiteral("Acme plc")});
        QFAIL("A row changed by the other was overwritten.");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::RowChanged);
        QCOMPARE(e.text(), QStringLiteral("Row cannot be located for updating. Some values may have been changed since it was last read."));
    }
    QVERIFY_THROWS_EXCEPTION(StoreError, writer.remove(bolt));
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies WHERE Name = 'Acme Ltd'")), 1);

    // Read again, the change goes through.
    writer.update({1, {qint64(1), QStringLiteral("Acme Ltd")}}, {qint64(1), QStringLiteral("Acme plc")});
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies WHERE Name = 'Acme plc'")), 1);
}

void TestPgConnection::lockedRowWaitsThenFailsAsBusy()
{
    m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme')"));
    auto held = std::make_unique<Transaction>(*m_b);
    m_b->exec(QStringLiteral("UPDATE Companies SET Weight = 1 WHERE CompanyID = 1"));

    // The wait is shortened so that the test does not last the whole busy time.
    m_a->setBusyTimeout(300);
    RowWriter writer = companyWriter(*m_a);
    const RowWriter::Row acme{1, {qint64(1), QStringLiteral("Acme")}};
    try {
        Transaction save(*m_a);
        writer.update(acme, {qint64(1), QStringLiteral("Acme plc")});
        save.commit();
        QFAIL("A locked row was written.");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::Busy);
        QVERIFY2(e.text().startsWith(QStringLiteral("Another user is changing the same rows")), qPrintable(e.text()));
    }
    QVERIFY(!m_a->inTransaction());

    held->commit();
    held.reset();
    Transaction save(*m_a);
    writer.update(acme, {qint64(1), QStringLiteral("Acme plc")});
    save.commit();
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies WHERE Name = 'Acme plc' AND Weight = 1")), 1);
}

void TestPgConnection::deadlockUndoesOneWholeChange()
{
    m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('one'), ('two')"));
    const auto change = [](Connection& c, int first, int second, const QString& by, std::function<void()> between) {
        try {
            Transaction t(c);
            c.exec(QStringLiteral("UPDATE Companies SET Name = '%1' WHERE CompanyID = %2").arg(by).arg(first));
            between();
            c.exec(QStringLiteral("UPDATE Companies SET Name = '%1' WHERE CompanyID = %2").arg(by).arg(second));
            t.commit();
            return StoreError::Kind::Other;
        } catch (const StoreError& e) {
            return e.kind();
        }
    };
    const qint64 pidB = scalar(*m_b, QStringLiteral("SELECT pg_backend_pid()"));
    Connection watcher(m_database->connectionString());
    StoreError::Kind a = StoreError::Kind::Other;
    StoreError::Kind b = StoreError::Kind::Other;
    std::thread other;
    a = change(*m_a, 1, 2, QStringLiteral("A"), [&] {
        // The other session takes row 2, then waits for row 1: each then waits for the other.
        other = std::thread([&] { b = change(*m_b, 2, 1, QStringLiteral("B"), [] {}); });
        while (scalar(watcher, QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = %1 AND wait_event_type = 'Lock'")
                                   .arg(pidB)) == 0)
            QThread::yieldCurrentThread();
    });
    other.join();
    // The server undoes one of the two whole; the other goes through.
    QCOMPARE(int(a == StoreError::Kind::Busy) + int(b == StoreError::Kind::Busy), 1);
    Statement names(watcher, QStringLiteral("SELECT string_agg(Name, ',' ORDER BY CompanyID) FROM Companies"));
    QVERIFY(names.step());
    QCOMPARE(names.text(0), a == StoreError::Kind::Busy ? QStringLiteral("B,B") : QStringLiteral("A,A"));
}

void TestPgConnection::killedSessionLeavesNoneOfItsChange()
{
    Transaction change(*m_a);
    for (int i = 0; i < 5; ++i)
        m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('half')"));
    const qint64 pid = scalar(*m_a, QStringLiteral("SELECT pg_backend_pid()"));
    m_b->exec(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid));

    try {
        m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('half')"));
        QFAIL("A statement ran on a lost connection.");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::Disconnected);
    }
    QVERIFY_THROWS_EXCEPTION(StoreError, change.commit());
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies")), 0);

    // The next statement connects again.
    m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('whole')"));
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies")), 1);
}

void TestPgConnection::lostConnectionKeepsThePendingChange()
{
    m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme')"));
    Dataset companies(m_a.get(), QStringLiteral("CompaniesTable"));
    companies.setTableName(QStringLiteral("Companies"));
    companies.open();
    companies.edit();
    companies.setText(QStringLiteral("Name"), QStringLiteral("Acme plc"));
    m_b->exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> pg_backend_pid()"
                             " AND datname = current_database()"));
    try {
        companies.post();
        QFAIL("A change was saved on a lost connection.");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::Disconnected);
    }
    QCOMPARE(companies.state(), Dataset::State::Edit);
    QCOMPARE(companies.text(QStringLiteral("Name")), QStringLiteral("Acme plc"));

    // Saving again connects again.
    companies.post();
    QCOMPARE(scalar(*m_b, QStringLiteral("SELECT count(*) FROM Companies WHERE Name = 'Acme plc'")), 1);
}

void TestPgConnection::otherSessionsWritesAreNoticedAfterCommit()
{
    QVERIFY(m_b->changeNoticeSocket() >= 0);
    const auto noticed = [this] {
        // Notices travel through the server: ask until they have come, as the socket would say.
        for (int i = 0; i < 200; ++i) {
            const QStringList tables = m_b->takeChangeNotices();
            if (!tables.isEmpty())
                return tables;
            QTest::qWait(10);
        }
        return QStringList();
    };
    m_b->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('own')"));
    {
        Transaction change(*m_a);
        m_a->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('x')"));
        Statement role(*m_a, QStringLiteral("INSERT INTO Business (PersonID) VALUES (?)"));
        role.bind(1, 1);
        role.run();
        scalar(*m_b, QStringLiteral("SELECT 1"));
        QCOMPARE(m_b->takeChangeNotices(), QStringList());
        change.commit();
    }
    QCOMPARE(noticed(), (QStringList{"business", "companies"}));

    // Writes outside a transaction are told too; a rolled-back one is not.
    {
        Transaction undone(*m_a);
        m_a->exec(QStringLiteral("DELETE FROM Business"));
    }
    Statement update(*m_a, QStringLiteral("UPDATE Companies SET Name = ?"));
    update.bind(1, QStringLiteral("y"));
    update.run();
    QCOMPARE(noticed(), QStringList{"companies"});
}

void TestPgConnection::unreachableServerOrUnverifiedTlsSaysSo()
{
    try {
        Connection c(QStringLiteral("Provider=PostgreSQL;Data Source=\"postgresql://nobody@127.0.0.1:1/none?connect_timeout=5\";"));
        QFAIL("A server that is not there opened.");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::Disconnected);
        QVERIFY2(!e.text().isEmpty(), "libpq's text is missing");
    }
    // The throwaway cluster speaks TLS with a certificate of its own, kept beside its service file.
    const QString certificates = QFileInfo(qEnvironmentVariable("PGSERVICEFILE")).absolutePath();
    if (!QFileInfo::exists(certificates + QStringLiteral("/server.crt")))
        QSKIP("The test server has no certificate of the test cluster's.");
    const auto withTls = [&](const QString& authority) {
        return QStringLiteral("Provider=PostgreSQL;Data Source=\"%1%2sslmode=verify-full&sslrootcert=%3/%4\";")
            .arg(m_database->uri(), m_database->uri().contains(u'?') ? QStringLiteral("&") : QStringLiteral("?"),
                 certificates, authority);
    };
    // A certificate that the named authority did not sign is refused with libpq's reason.
    try {
        Connection c(withTls(QStringLiteral("other.crt")));
        QFAIL("A server whose certificate does not verify was taken.");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::Disconnected);
        QVERIFY2(e.text().contains(QStringLiteral("certificate verify failed")), qPrintable(e.text()));
    }
    Connection verified(withTls(QStringLiteral("server.crt")));
    QCOMPARE(scalar(verified, QStringLiteral("SELECT CASE WHEN ssl THEN 1 ELSE 0 END FROM pg_stat_ssl WHERE pid = pg_backend_pid()")), 1);
}

void TestPgConnection::passwordIsAskedForThenChecked()
{
    // The test cluster asks members of vornadel_password_users for a password
    // ("host all +vornadel_password_users 127.0.0.1/32 scram-sha-256") and trusts the rest.
    m_b->exec(QStringLiteral("DO $$BEGIN CREATE ROLE vornadel_password_users NOLOGIN; EXCEPTION WHEN duplicate_object THEN "
                             "NULL; END$$; DROP ROLE IF EXISTS vornadel_pw_test;"
                             "CREATE ROLE vornadel_pw_test LOGIN PASSWORD 'right' IN ROLE vornadel_password_users"));
    const auto dropRole = qScopeGuard([this] { m_b->exec(QStringLiteral("DROP ROLE IF EXISTS vornadel_pw_test")); });
    QUrl url(m_database->uri());
    url.setUserName(QStringLiteral("vornadel_pw_test"));
    const QString source = QStringLiteral("Provider=PostgreSQL;Data Source=\"%1\";").arg(url.toString());
    const auto kindOfOpening = [](const QString& connectionString) {
        try {
            Connection c(connectionString);
            return StoreError::Kind::Other;
        } catch (const StoreError& e) {
            return e.kind();
        }
    };
    const StoreError::Kind none = kindOfOpening(source);
    if (none == StoreError::Kind::Other)
        QSKIP("The test server asks no password of vornadel_password_users.");
    QCOMPARE(none, StoreError::Kind::PasswordNeeded);
    QCOMPARE(kindOfOpening(source + QStringLiteral("Database Password=\"wrong\";")), StoreError::Kind::WrongKey);
    Connection right(source + QStringLiteral("Database Password=\"right\";"));
    QCOMPARE(scalar(right, QStringLiteral("SELECT current_user = 'vornadel_pw_test'")), 1);
    QVERIFY(!right.serverName().contains(QStringLiteral("right")));
}

QTEST_GUILESS_MAIN(TestPgConnection)
#include "tst_pgconnection.moc"
