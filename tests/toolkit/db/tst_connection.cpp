#include <memory>

#include <QtTest>

#include "support/DatasetTables.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/Transaction.h"

class TestConnection : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void openingFailsWithTextThatSaysWhy_data();
    void openingFailsWithTextThatSaysWhy();
    void connectionStringIsParsed_data();
    void connectionStringIsParsed();
    void opensAFileInAFolderWithBlanks();

    void transactionsCommitOrRollBack_data();
    void transactionsCommitOrRollBack();
    void nestedTransactionsUseSavepoints();
    void pulseRunsBetweenRowsWhileSet();

    void schemaCheckNamesWhatIsWrong_data();
    void schemaCheckNamesWhatIsWrong();

private:
    // Counts through a second connection, which sees only what was committed.
    int committed()
    {
        Connection other(m_t->connectionString());
        Statement st(other, "SELECT count(*) FROM Companies");
        st.step();
        return int(st.int64(0));
    }
    void add(const QString& name) { m_t->db().exec("INSERT INTO Companies (Name) VALUES ('" + name + "')"); }

    std::unique_ptr<DatasetTables> m_t;
};

void TestConnection::init()
{
    m_t = std::make_unique<DatasetTables>();
}

void TestConnection::cleanup()
{
    m_t.reset();
}

void TestConnection::openingFailsWithTextThatSaysWhy_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("says");
    QTest::newRow("wrong password") << "wrong" << "Test.mdb" << "password";
    QTest::newRow("no password") << "" << "Test.mdb" << "password";
    QTest::newRow("missing file") << "pw" << "Missing.mdb" << "Could not find file";
}

void TestConnection::openingFailsWithTextThatSaysWhy()
{
    QFETCH(QString, password);
    QFETCH(QString, fileName);
    QFETCH(QString, says);
    const QString path = QFileInfo(m_t->path()).dir().filePath(fileName);
    try {
        Connection(QStringLiteral("Data Source=%1;Database Password=\"%2\";").arg(path, password));
        QFAIL("the connection opened");
    } catch (const StoreError& e) {
        QVERIFY2(e.text().contains(says, Qt::CaseInsensitive), qPrintable(e.text()));
    }
}

void TestConnection::connectionStringIsParsed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("dataSource");
    QTest::addColumn<QString>("password");
    QTest::newRow("as the program writes it")
        << "Provider=SQLCipher;User ID=Admin;Data Source=/tmp/My Files/Vornadel.mdb;Mode=Share Deny None;Database Password=\"pw\";"
        << "/tmp/My Files/Vornadel.mdb" << "pw";
    QTest::newRow("quoted password with separators")
        << "Data Source=C:\\Program Files\\V\\Vornadel.mdb;Jet OLEDB:Database Password=\"a;b=\"\"c\"\"\";Mode=Read"
        << "C:\\Program Files\\V\\Vornadel.mdb" << "a;b=\"c\"";
    QTest::newRow("keys in any case and spacing")
        << "  data source = x.mdb ; DATABASE PASSWORD=secret" << "x.mdb" << "secret";
    QTest::newRow("no password") << "Data Source=x.mdb" << "x.mdb" << "";
}

void TestConnection::connectionStringIsParsed()
{
    QFETCH(QString, text);
    QFETCH(QString, dataSource);
    QFETCH(QString, password);
    const ConnectionParams params = ConnectionParams::parse(text);
    QCOMPARE(params.dataSource, dataSource);
    QCOMPARE(params.password, password);
}

void TestConnection::opensAFileInAFolderWithBlanks()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("My Files"));
    const QString path = dir.filePath("My Files/Vornadel.mdb");
    Connection::create(path, "p;w\"").exec("CREATE TABLE T (A INTEGER)");
    Connection db(QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                                 "Database Password=\"p;w\"\"\";").arg(path));
    checkSchema(db, {{"t", {{"a", FieldType::Integer}}}});
}

void TestConnection::transactionsCommitOrRollBack_data()
{
    QTest::addColumn<int>("ending");
    QTest::addColumn<int>("rows");
    QTest::newRow("commit") << 0 << 1;
    QTest::newRow("rollback") << 1 << 0;
    QTest::newRow("left open") << 2 << 0;
    QTest::newRow("commit, then rollback") << 3 << 1;
}

void TestConnection::transactionsCommitOrRollBack()
{
    QFETCH(int, ending);
    QFETCH(int, rows);
    {
        Transaction transaction(m_t->db());
        add("A");
        if (ending == 0 || ending == 3)
            transaction.commit();
        if (ending == 1 || ending == 3)
            transaction.rollback();
    }
    QCOMPARE(committed(), rows);
    // The connection is out of any transaction: a new one begins and commits on its own.
    Transaction next(m_t->db());
    add("B");
    next.commit();
    QCOMPARE(committed(), rows + 1);
}

void TestConnection::nestedTransactionsUseSavepoints()
{
    Transaction outer(m_t->db());
    add("A");
    {
        Transaction inner(m_t->db());
        add("B");
        inner.rollback();
    }
    {
        Transaction inner(m_t->db());
        add("C");
        {
            Transaction innermost(m_t->db());
            add("D");
        }
        inner.commit();
    }
    QCOMPARE(m_t->scalar("SELECT group_concat(Name) FROM Companies").toString(), QStringLiteral("A,C"));
    QCOMPARE(committed(), 0);
    outer.rollback();
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Companies").toInt(), 0);
}

void TestConnection::pulseRunsBetweenRowsWhileSet()
{
    m_t->db().exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
                   " INSERT INTO Companies (Name) SELECT 'C' || i FROM n");
    const auto readAll = [&] {
        Statement st(m_t->db(), "SELECT Name FROM Companies");
        int rows = 0;
        while (st.step())
            ++rows;
        return rows;
    };
    int pulses = 0, nestedRows = 0;
    m_t->db().setPulse([&] {
        ++pulses;
        // A pulse that reads does not pulse within itself.
        if (pulses == 1)
            nestedRows = readAll();
    });
    QCOMPARE(readAll(), 10000);
    QCOMPARE(nestedRows, 10000);
    // Every 4096 rows stepped while set, the nested read's rows not counted.
    QCOMPARE(pulses, 2);
    m_t->db().setPulse({});
    readAll();
    QCOMPARE(pulses, 2);
}

void TestConnection::schemaCheckNamesWhatIsWrong_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("says");
    QTest::newRow("all there, names in any case") << "people" << "personid" << int(FieldType::AutoInc) << "";
    QTest::newRow("integer for an auto-number") << "People" << "CompanyID" << int(FieldType::AutoInc) << "";
    QTest::newRow("missing table") << "Persons" << "Name" << int(FieldType::Text) << "'Persons'";
    QTest::newRow("missing column") << "People" << "Email" << int(FieldType::Text) << "'Email'";
    QTest::newRow("text for an integer") << "People" << "Name" << int(FieldType::Integer) << "'Name'";
    QTest::newRow("long text for a text") << "Notes" << "Body" << int(FieldType::Text) << "'Body'";
    QTest::newRow("sized text") << "Notes" << "Title" << int(FieldType::Text) << "";
    QTest::newRow("integer for a boolean") << "Business" << "SPWeight" << int(FieldType::Boolean) << "'SPWeight'";
    QTest::newRow("boolean for an integer") << "Business" << "SPUser" << int(FieldType::Integer) << "'SPUser'";
    QTest::newRow("date-time") << "SubProjectHistory" << "Date" << int(FieldType::DateTime) << "";
}

void TestConnection::schemaCheckNamesWhatIsWrong()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(int, type);
    QFETCH(QString, says);
    m_t->db().exec("CREATE TABLE Notes (ID INTEGER PRIMARY KEY, Body MEMO, Title VARCHAR(64))");
    const QList<TableRequirement> need{{"Companies", {{"Name", FieldType::Text}}}, {table, {{column, FieldType(type)}}}};
    if (says.isEmpty()) {
        checkSchema(m_t->db(), need);
        return;
    }
    try {
        checkSchema(m_t->db(), need);
        QFAIL("the check passed");
    } catch (const StoreError& e) {
        QVERIFY2(e.text().contains(says), qPrintable(e.text()));
    }
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
