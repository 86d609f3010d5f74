#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "data/SampleData.h"
#include "data/Schema.h"
#include "data/SchemaUpgrade.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"

namespace {

QString connectionString(const QString& path, const QString& password)
{
    return QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                          "Database Password=\"%2\";").arg(path, password);
}

qint64 scalar(Connection& db, const QString& sql)
{
    Statement st(db, sql);
    return st.step() ? st.int64(0) : -1;
}

// The text checkSchema throws, or empty when the file meets the requirements.
QString schemaError(Connection& db, const QList<TableRequirement>& requirements)
{
    try {
        checkSchema(db, requirements);
    } catch (const StoreError& e) {
        return e.text();
    }
    return {};
}

// The schema as files made before the catalogue have it, written out by hand.
const char* const EarlierSchema = R"sql(
CREATE TABLE Companies (
  CompanyID INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(255),
  Address VARCHAR(255),
  Tel1 VARCHAR(30),
  Tel2 VARCHAR(30),
  Fax VARCHAR(30),
  MainActivities VARCHAR(512),
  Comments VARCHAR(512)
);
CREATE TABLE People (
  PersonID INTEGER PRIMARY KEY AUTOINCREMENT,
  CompanyID INTEGER,
  Name VARCHAR(255),
  Title VARCHAR(255),
  Email VARCHAR(64),
  Mobile VARCHAR(30),
  Info VARCHAR(255),
  Company VARCHAR(255),
  Address VARCHAR(255),
  Tel VARCHAR(255),
  Fax VARCHAR(255)
);
CREATE INDEX PeopleCompanyID ON People (CompanyID);
CREATE TABLE Projects (
  ProjectID INTEGER PRIMARY KEY AUTOINCREMENT,
  CompanyID INTEGER,
  Name VARCHAR(255),
  Code VARCHAR(255),
  Comments VARCHAR(512)
);
CREATE INDEX ProjectsCompanyID ON Projects (CompanyID);
CREATE TABLE SubProjects (
  SubProjectID INTEGER PRIMARY KEY AUTOINCREMENT,
  SubProjectTypeID INTEGER,
  ProjectID INTEGER,
  SizeID INTEGER,
  Name VARCHAR(255),
  Code VARCHAR(255),
  Comments VARCHAR(512)
);
CREATE INDEX SubProjectsProjectID ON SubProjects (ProjectID);
CREATE TABLE SubProjectType (
  SPTypeID INTEGER PRIMARY KEY,
  SPTypeName VARCHAR(64),
  Comments VARCHAR(255)
);
CREATE TABLE SubProjectSize (
  ID INTEGER PRIMARY KEY,
  Name VARCHAR(255)
);
CREATE TABLE SubProjectStatus (
  SPStatusID INTEGER PRIMARY KEY,
  SPStatusName VARCHAR(64)
);
CREATE TABLE SubProjectHistory (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  SubProjectID INTEGER,
  SubProjectStatusID INTEGER,
  "Date" DATETIME
);
CREATE INDEX SubProjectHistorySubProjectID ON SubProjectHistory (SubProjectID);
CREATE TABLE Business (
  RowKey INTEGER PRIMARY KEY AUTOINCREMENT,
  PersonID INTEGER,
  SubProjectID INTEGER,
  SPDecisionMaker BOOLEAN,
  SPUser BOOLEAN,
  SPInfluencer BOOLEAN,
  SPPurchaser BOOLEAN,
  SPGateKeeper BOOLEAN,
  SPWeight INTEGER
);
CREATE INDEX BusinessSubProjectID ON Business (SubProjectID);
CREATE INDEX BusinessPersonID ON Business (PersonID);
CREATE TABLE QuestionsMain (
  RowKey INTEGER PRIMARY KEY AUTOINCREMENT,
  PersonID INTEGER,
  QuestionID INTEGER,
  Answer INTEGER
);
CREATE INDEX QuestionsMainPersonID ON QuestionsMain (PersonID);
)sql";

// Every table and index as the file stores it, and every column as the store reads it.
QStringList schemaOf(Connection& db)
{
    QStringList rows;
    Statement master(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name"));
    while (master.step()) {
        rows.append(QStringList{master.text(0), master.text(1), master.text(2), master.text(3)}.join(u'|'));
        if (master.text(0) != u"table")
            continue;
        Statement info(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(master.text(1)));
        while (info.step())
            rows.append(QStringLiteral("  %1 %2 %3 %4 %5").arg(info.text(0), info.text(1), info.text(2), info.text(3), info.text(5)));
    }
    return rows;
}

struct ToolRun
{
    int exitCode;
    QString errors;
};

ToolRun runMkdb(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(VORNADEL_MKDB), arguments);
    if (!tool.waitForFinished(60000))
        return {-1, QStringLiteral("did not finish")};
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, QString::fromUtf8(tool.readAllStandardError())};
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void schemaIsTheOneFilesAlreadyHave();
    void freshFileMeetsStartupAndPageNeeds();
    void columnsOnlyPagesShowAreNotNeededToStart();
    void listsHoldTheDefaultIds();
    void brokenSchemaIsNamed_data();
    void brokenSchemaIsNamed();
    void openingFailureSaysWhy();

    void demoDataHangsTogether();
    void generatedDataHasTheRequestedShape();
    void generatedDataIsRepeatable();

    void toolMakesDemoFileThatOpensFromFolderWithBlanks();
    void toolNeverOverwrites();

private:
    // Rows that point at nothing or break a rule of the data, one count per kind of fault.
    void verifyConsistent(Connection& db);
    std::unique_ptr<Connection> freshDatabase(const QString& name);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Connection> m_db;
};

void TestSchema::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = freshDatabase(QStringLiteral("Vornadel.mdb"));
}

void TestSchema::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

std::unique_ptr<Connection> TestSchema::freshDatabase(const QString& name)
{
    auto db = std::make_unique<Connection>(Connection::create(m_dir->filePath(name), databasePassword()));
    createSchema(*db);
    fillLists(*db);
    return db;
}

void TestSchema::verifyConsistent(Connection& db)
{
    const QStringList faults = {
        "SELECT count(*) FROM People WHERE CompanyID NOT IN (SELECT CompanyID FROM Companies)",
        "SELECT count(*) FROM Projects WHERE CompanyID NOT IN (SELECT CompanyID FROM Companies)",
        "SELECT count(*) FROM SubProjects WHERE ProjectID NOT IN (SELECT ProjectID FROM Projects)"
        " OR SubProjectTypeID NOT IN (SELECT SPTypeID FROM SubProjectType) OR SizeID NOT IN (SELECT ID FROM SubProjectSize)",
        "SELECT count(*) FROM SubProjectHistory WHERE SubProjectID NOT IN (SELECT SubProjectID FROM SubProjects)"
        " OR SubProjectStatusID NOT IN (SELECT SPStatusID FROM SubProjectStatus)"
        " OR \"Date\" IS NOT strftime('%Y-%m-%d %H:%M:%S', \"Date\")",
        // A buying role belongs to someone of the company the subproject is sold to, once per subproject.
        "SELECT count(*) FROM Business b LEFT JOIN People pe ON pe.PersonID = b.PersonID"
        " LEFT JOIN SubProjects s ON s.SubProjectID = b.SubProjectID LEFT JOIN Projects pr ON pr.ProjectID = s.ProjectID"
        " WHERE pe.CompanyID IS NOT pr.CompanyID OR pr.CompanyID IS NULL OR b.SPWeight NOT BETWEEN 0 AND 100",
        "SELECT count(*) - count(DISTINCT PersonID || '/' || SubProjectID) FROM Business",
        "SELECT count(*) FROM (SELECT PersonID FROM QuestionsMain GROUP BY PersonID"
        " HAVING count(*) <> 24 OR count(DISTINCT QuestionID) <> 24 OR min(QuestionID) <> 1 OR max(QuestionID) <> 24)",
        "SELECT count(*) FROM QuestionsMain WHERE Answer NOT IN (-1, 0, 1)"
        " OR PersonID NOT IN (SELECT PersonID FROM People)",
    };
    for (const QString& sql : faults)
        QVERIFY2(scalar(db, sql) == 0, qPrintable(sql));
}

void TestSchema::schemaIsTheOneFilesAlreadyHave()
{
    Connection earlier = Connection::create(m_dir->filePath(QStringLiteral("Earlier.mdb")), databasePassword());
    earlier.exec(QString::fromUtf8(EarlierSchema));
    const QStringList expected = schemaOf(earlier);
    QCOMPARE(expected.filter(QRegularExpression(QStringLiteral("^table\\|"))).size(), 11);  // with sqlite_sequence
    // A new file is what the upgrade makes of those files, to the letter.
    QCOMPARE(upgradeDatabase(earlier, schemaUpgrades()).to, programSchemaVersion());
    QCOMPARE(schemaOf(*m_db), schemaOf(earlier));
    QVERIFY(schemaOf(earlier).contains(QStringLiteral("index|FollowUpsDoneDue|FollowUps|CREATE INDEX FollowUpsDoneDue ON FollowUps (Done, Due)")));
}

void TestSchema::freshFileMeetsStartupAndPageNeeds()
{
    QCOMPARE(schemaError(*m_db, startupRequirements()), QString());
    // Columns only pages and reports bind, with the types their fields declare.
    const QList<TableRequirement> pages = {
        {"Companies",
         {{"Address", FieldType::Text}, {"Tel1", FieldType::Text}, {"Tel2", FieldType::Text}, {"Fax", FieldType::Text},
          {"MainActivities", FieldType::Text}, {"Comments", FieldType::Text}}},
        {"People",
         {{"Company", FieldType::Text}, {"Address", FieldType::Text}, {"Tel", FieldType::Text}, {"Fax", FieldType::Text}}},
    };
    QCOMPARE(schemaError(*m_db, pages), QString());

    // The store gives the auto-numbers, and row identities are never handed out twice.
    m_db->exec(QStringLiteral("INSERT INTO Business (PersonID) VALUES (1); INSERT INTO Business (PersonID) VALUES (2);"
                              "DELETE FROM Business WHERE PersonID = 2; INSERT INTO Business (PersonID) VALUES (3)"));
    QCOMPARE(scalar(*m_db, QStringLiteral("SELECT RowKey FROM Business WHERE PersonID = 3")), 3);
    m_db->exec(QStringLiteral("INSERT INTO companies (name) VALUES ('Acme')"));
    QCOMPARE(scalar(*m_db, QStringLiteral("SELECT CompanyID FROM Companies WHERE Name = 'Acme'")), 1);
}

void TestSchema::columnsOnlyPagesShowAreNotNeededToStart()
{
    m_db->exec(QStringLiteral(
        "DROP TABLE Companies; CREATE TABLE Companies (CompanyID INTEGER PRIMARY KEY, Name VARCHAR(255));"
        "DROP TABLE People; CREATE TABLE People (PersonID INTEGER PRIMARY KEY, CompanyID INTEGER, Name VARCHAR(255),"
        " Title VARCHAR(255), Email VARCHAR(64), Mobile VARCHAR(30), Info VARCHAR(255))"));
    QCOMPARE(schemaError(*m_db, startupRequirements()), QString());
}

void TestSchema::listsHoldTheDefaultIds()
{
    const QStringList needed = {
        "SELECT count(*) FROM SubProjectType WHERE SPTypeID IN (1, 3) AND SPTypeName <> ''",
        "SELECT count(*) FROM SubProjectSize WHERE ID IN (1, 2) AND Name <> ''",
        "SELECT 2 * count(*) FROM SubProjectStatus WHERE SPStatusID = 1 AND SPStatusName <> ''",
    };
    for (const QString& sql : needed)
        QVERIFY2(scalar(*m_db, sql) == 2, qPrintable(sql));
    // Longer texts would show cut in the lists that offer them.
    QCOMPARE(scalar(*m_db, QStringLiteral("SELECT count(*) FROM SubProjectType WHERE length(SPTypeName) > 20"
                                          " OR length(Comments) > 255 OR Comments IS NULL")), 0);
    QCOMPARE(scalar(*m_db, QStringLiteral("SELECT count(*) FROM SubProjectStatus WHERE length(SPStatusName) > 50")), 0);
}

void TestSchema::brokenSchemaIsNamed_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("named");
    QTest::newRow("missing column")
        << "DROP TABLE People; CREATE TABLE People (PersonID INTEGER PRIMARY KEY, CompanyID INTEGER, Name VARCHAR(255),"
           " Title VARCHAR(255), Email VARCHAR(64), Info VARCHAR(255))"
        << QStringList{"People", "Mobile"};
    QTest::newRow("missing table") << "DROP TABLE QuestionsMain" << QStringList{"QuestionsMain"};
    QTest::newRow("long memo for a text")
        << "DROP TABLE People; CREATE TABLE People (PersonID INTEGER PRIMARY KEY, CompanyID INTEGER, Name MEMO,"
           " Title VARCHAR(255), Email VARCHAR(64), Mobile VARCHAR(30), Info VARCHAR(255))"
        << QStringList{"People", "Name"};
    QTest::newRow("integer for a boolean")
        << "DROP TABLE Business; CREATE TABLE Business (PersonID INTEGER, SubProjectID INTEGER, SPDecisionMaker BOOLEAN,"
           " SPUser INTEGER, SPInfluencer BOOLEAN, SPPurchaser BOOLEAN, SPGateKeeper BOOLEAN, SPWeight INTEGER)"
        << QStringList{"Business", "SPUser"};
    QTest::newRow("text for a date")
        << "DROP TABLE SubProjectHistory; CREATE TABLE SubProjectHistory (ID INTEGER PRIMARY KEY, SubProjectID INTEGER,"
           " SubProjectStatusID INTEGER, \"Date\" VARCHAR(20))"
        << QStringList{"SubProjectHistory", "Date"};
    QTest::newRow("text for a link")
        << "DROP TABLE Projects; CREATE TABLE Projects (ProjectID INTEGER PRIMARY KEY, CompanyID VARCHAR(10),"
           " Name VARCHAR(255), Code VARCHAR(255), Comments VARCHAR(512))"
        << QStringList{"Projects", "CompanyID"};
}

void TestSchema::brokenSchemaIsNamed()
{
    QFETCH(QString, change);
    QFETCH(QStringList, named);
    m_db->exec(change);
    const QString error = schemaError(*m_db, startupRequirements());
    QVERIFY2(!error.isEmpty(), "the broken file passed");
    for (const QString& name : named)
        QVERIFY2(error.contains(QLatin1Char('\'') + name + QLatin1Char('\'')), qPrintable(error));
}

void TestSchema::openingFailureSaysWhy()
{
    const QString path = m_dir->filePath(QStringLiteral("Vornadel.mdb"));
    m_db.reset();
    try {
        Connection wrong(connectionString(path, QStringLiteral("zekrw")));
        QFAIL("opened with a wrong password");
    } catch (const StoreError& e) {
        QVERIFY2(e.text().contains(QStringLiteral("password")), qPrintable(e.text()));
    }
    const QString missing = m_dir->filePath(QStringLiteral("Elsewhere/Vornadel.mdb"));
    try {
        Connection none(connectionString(missing, databasePassword()));
        QFAIL("opened a missing file");
    } catch (const StoreError& e) {
        QVERIFY2(e.text().contains(QStringLiteral("find")) && e.text().contains(missing), qPrintable(e.text()));
    }
    QVERIFY(!QFile::exists(missing));
}

void TestSchema::demoDataHangsTogether()
{
    addDemoData(*m_db);
    verifyConsistent(*m_db);
    QCOMPARE(scalar(*m_db, QStringLiteral("SELECT count(*) FROM Companies WHERE Address <> '' AND Tel1 <> ''"
                                          " AND MainActivities <> ''")), 8);
    const QStringList perCompany = {
        "SELECT count(*) FROM Companies c WHERE (SELECT count(*) FROM Projects p WHERE p.CompanyID = c.CompanyID)"
        " NOT BETWEEN 2 AND 3",
        "SELECT count(*) FROM Companies c WHERE (SELECT count(*) FROM People p WHERE p.CompanyID = c.CompanyID"
        " AND p.Title <> '' AND p.Email LIKE '%@%') NOT BETWEEN 2 AND 5",
        "SELECT count(*) FROM Projects p WHERE (SELECT count(*) FROM SubProjects s WHERE s.ProjectID = p.ProjectID)"
        " NOT BETWEEN 1 AND 4",
        "SELECT count(*) FROM SubProjects s WHERE NOT EXISTS (SELECT 1 FROM Business b WHERE b.SubProjectID = s.SubProjectID)"
        " OR NOT EXISTS (SELECT 1 FROM SubProjectHistory h WHERE h.SubProjectID = s.SubProjectID AND h.SubProjectStatusID = 1)",
    };
    for (const QString& sql : perCompany)
        QVERIFY2(scalar(*m_db, sql) == 0, qPrintable(sql));
    QVERIFY(scalar(*m_db, QStringLiteral("SELECT max(SPWeight) FROM Business")) > 90);
    QVERIFY(scalar(*m_db, QStringLiteral("SELECT count(DISTINCT PersonID) FROM QuestionsMain")) >= 3);
    QVERIFY(scalar(*m_db, QStringLiteral("SELECT count(*) FROM QuestionsMain WHERE Answer = -1")) > 0);
}

void TestSchema::generatedDataHasTheRequestedShape()
{
    const SampleSize size{20, 200, 50, 100, 250, 300, 10};
    addGeneratedData(*m_db, size);
    verifyConsistent(*m_db);
    const QList<QPair<QString, int>> counts = {
        {"Companies", size.companies},
        {"People", size.people},
        {"Projects", size.projects},
        {"SubProjects", size.subprojects},
        {"Business", size.business},
        {"SubProjectHistory", size.history},
        {"QuestionsMain", size.answeredPeople * 24},
    };
    for (const auto& [table, count] : counts)
        QVERIFY2(scalar(*m_db, QStringLiteral("SELECT count(*) FROM ") + table) == count, qPrintable(table));
}

void TestSchema::generatedDataIsRepeatable()
{
    const SampleSize size{5, 30, 10, 20, 40, 50, 4};
    auto other = freshDatabase(QStringLiteral("Other.mdb"));
    addGeneratedData(*m_db, size);
    addGeneratedData(*other, size);
    const QString digest = QStringLiteral(
        "SELECT (SELECT group_concat(Name || Address) FROM Companies) || (SELECT group_concat(Name || CompanyID) FROM People)"
        " || (SELECT group_concat(PersonID || SubProjectID || SPWeight || SPUser) FROM Business)"
        " || (SELECT group_concat(\"Date\") FROM SubProjectHistory) || (SELECT group_concat(Answer) FROM QuestionsMain)");
    Statement mine(*m_db, digest);
    Statement theirs(*other, digest);
    QVERIFY(mine.step() && theirs.step());
    QCOMPARE(mine.text(0), theirs.text(0));
}

void TestSchema::toolMakesDemoFileThatOpensFromFolderWithBlanks()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("My Sales Data")));
    const QString path = m_dir->filePath(QStringLiteral("My Sales Data/Vornadel.mdb"));
    const ToolRun run = runMkdb({QStringLiteral("--demo"), path});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));

    Connection db(connectionString(path, QStringLiteral("ZeKRW")));
    QCOMPARE(schemaError(db, startupRequirements()), QString());
    QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM Companies")), 8);
    QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM SubProjectType WHERE SPTypeID IN (1, 3)")), 2);
    // Only the finished file is left behind.
    QCOMPARE(QDir(m_dir->filePath(QStringLiteral("My Sales Data"))).entryList(QDir::AllEntries | QDir::Hidden
                                                                            | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Vornadel.mdb")});
}

void TestSchema::toolNeverOverwrites()
{
    const QString path = m_dir->filePath(QStringLiteral("Vornadel.mdb"));
    m_db->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Kept')"));
    m_db.reset();

    const ToolRun refused = runMkdb({QStringLiteral("--demo"), path});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.errors.contains(QStringLiteral("already exists")), qPrintable(refused.errors));

    const ToolRun skipped = runMkdb({QStringLiteral("--if-missing"), QStringLiteral("--demo"), path});
    QVERIFY2(skipped.exitCode == 0, qPrintable(skipped.errors));

    Connection db(connectionString(path, databasePassword()));
    QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM Companies WHERE Name = 'Kept'")), 1);
    QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM Companies")), 1);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
