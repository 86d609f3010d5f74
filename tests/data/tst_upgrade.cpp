#include <functional>

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "data/DatabaseFile.h"
#include "data/Schema.h"
#include "data/SchemaUpgrade.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"
#include "support/TestFiles.h"

namespace {

// A step such as a next version's: a new table filled from an old one, and a new column.
void addReminders(Connection& c)
{
    c.exec(QStringLiteral(
        "CREATE TABLE Reminders (ReminderID INTEGER PRIMARY KEY AUTOINCREMENT, PersonID INTEGER, Note VARCHAR(255));"
        "INSERT INTO Reminders (PersonID, Note) SELECT PersonID, Name FROM People;"
        "ALTER TABLE People ADD COLUMN Reminder VARCHAR(64)"));
}

// The tables version 1 added.
const QStringList LogTables = {QStringLiteral("FollowUps"), QStringLiteral("Activities")};

// Takes a file back to version 0, as the program wrote files before the follow-ups and the
// activity log.
void toVersion0(const QString& path)
{
    Connection c(QStringLiteral("Data Source=%1;Database Password=\"%2\";").arg(path, databasePassword()));
    for (const QString& table : LogTables)
        c.exec(QStringLiteral("DROP TABLE %1").arg(table));
    c.setSchemaVersion(0);
}

// A version 0 file made as createDatabaseFile makes one, with what fill adds.
void makeVersion0File(const QString& path, const std::function<void(Connection&)>& fill = {})
{
    createDatabaseFile(path, fill);
    toVersion0(path);
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// Per table of the program: its columns, its row count and a digest of its rows.
struct TableContent
{
    qsizetype columns = 0;
    qint64 rows = 0;
    QByteArray digest;
    bool operator==(const TableContent&) const = default;
};
using Content = QMap<QString, TableContent>;

// Over the columns each table had in was, when given: those an upgrade may not change.
Content contentOf(Connection& c, const Content& was = {})
{
    Content content;
    for (const TableRequirement& table : startupRequirements()) {
        QStringList columns;
        for (const TableColumn& column : tableColumns(c, table.table))
            columns.append(u'"' + column.name + u'"');
        // Tables of a later version than the file's, or than was's.
        if (columns.isEmpty() || (!was.isEmpty() && !was.contains(table.table)))
            continue;
        if (was.contains(table.table))
            columns = columns.mid(0, was[table.table].columns);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        Statement rows(c, QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid").arg(columns.join(u", "), table.table));
        qint64 count = 0;
        while (rows.step()) {
            ++count;
            for (int i = 0; i < rows.columnCount(); ++i)
                hash.addData(rows.isNull(i) ? QByteArray("\x1e") : rows.value(i).toString().toUtf8().append('\x1f'));
        }
        content[table.table] = {columns.size(), count, hash.result().toHex()};
    }
    return content;
}

QString connectionString(const QString& path)
{
    return QStringLiteral("Data Source=%1;Database Password=\"%2\";").arg(path, databasePassword());
}

} // namespace

// Files made by an earlier version are copied, then brought to the program's schema step by
// step in one transaction; newer files are refused; a failing step leaves the file as it was.
class TestUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newFileIsMadeAtTheProgramsVersion();
    void olderFileIsUpgradedWithEveryRowKept();
    void stepsRunFromTheFilesVersion();
    void failingStepLeavesTheFileAsItWas();
    void newerFileIsRefusedUntouched();
    void earlierCopyIsNeverReplaced();
    void version0FileGainsTheLogTablesWithEveryRowKept();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestUpgrade::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("Vornadel.mdb"));
}

void TestUpgrade::cleanup()
{
    m_dir.reset();
}

void TestUpgrade::newFileIsMadeAtTheProgramsVersion()
{
    createDatabaseFile(m_path);
    Connection c(connectionString(m_path));
    QCOMPARE(c.schemaVersion(), programSchemaVersion());
    QCOMPARE(upgradeDatabase(c, schemaUpgrades()).upgraded(), false);
    QCOMPARE(filesIn(m_dir->path()), QStringList{QStringLiteral("Vornadel.mdb")});
}

void TestUpgrade::olderFileIsUpgradedWithEveryRowKept()
{
    QProcess tool;
    tool.start(QStringLiteral(VORNADEL_MKDB), {QStringLiteral("--scale"), QStringLiteral("typical"), m_path});
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 0);
    toVersion0(m_path);
    Content before;
    {
        Connection c(connectionString(m_path));
        QCOMPARE(c.schemaVersion(), 0);
        before = contentOf(c);
    }
    QVERIFY(before[QStringLiteral("People")].rows > 1000);

    Connection c(connectionString(m_path));
    const UpgradeOutcome outcome = upgradeDatabase(c, {addReminders});
    QCOMPARE(outcome.from, 0);
    QCOMPARE(outcome.to, 1);
    QCOMPARE(c.schemaVersion(), 1);
    QCOMPARE(contentOf(c, before), before);
    Statement reminders(c, QStringLiteral("SELECT count(*) FROM Reminders"));
    QVERIFY(reminders.step());
    QCOMPARE(reminders.int64(0), before[QStringLiteral("People")].rows);

    const QString copy = m_dir->filePath(QStringLiteral("Vornadel (version 0, before upgrade).mdb"));
    QCOMPARE(outcome.copy, copy);
    QVERIFY2(upgradeNotice(m_path, outcome).contains(QDir::toNativeSeparators(copy)), qPrintable(upgradeNotice(m_path, outcome)));
    Connection old(connectionString(copy));
    QCOMPARE(old.schemaVersion(), 0);
    QCOMPARE(contentOf(old), before);
    QVERIFY_THROWS_EXCEPTION(StoreError, Statement(old, QStringLiteral("SELECT * FROM Reminders")));
}

void TestUpgrade::stepsRunFromTheFilesVersion()
{
    createDatabaseFile(m_path);
    QList<int> ran;
    const auto step = [&](int n) { return [&ran, n](Connection&) { ran.append(n); }; };
    const UpgradeSteps steps{step(0), step(1), step(2)};
    {
        Connection c(connectionString(m_path));
        c.setSchemaVersion(1);
        QCOMPARE(upgradeDatabase(c, steps).from, 1);
        QCOMPARE(c.schemaVersion(), 3);
    }
    QCOMPARE(ran, (QList<int>{1, 2}));
    ran.clear();
    const QStringList files = filesIn(m_dir->path());
    Connection c(connectionString(m_path));
    QCOMPARE(upgradeDatabase(c, steps).upgraded(), false);
    QCOMPARE(ran, QList<int>());
    QCOMPARE(filesIn(m_dir->path()), files);
}

void TestUpgrade::failingStepLeavesTheFileAsItWas()
{
    makeVersion0File(m_path, [](Connection& c) { c.exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Kept')")); });
    const QByteArray before = bytesOf(m_path);
    // The second step writes, then breaks a key as a faulty step would.
    const auto breaksAKey = [](Connection& c) {
        c.exec(QStringLiteral("DELETE FROM People; INSERT INTO Companies (CompanyID, Name) SELECT CompanyID, 'Twin' FROM Companies"));
    };
    Connection c(connectionString(m_path));
    try {
        upgradeDatabase(c, {addReminders, breaksAKey});
        QFAIL("the upgrade was reported as done");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::Constraint);
        QVERIFY2(e.text().contains(QStringLiteral("could not be upgraded from version 0 to 2, and is left as it was")),
                 qPrintable(e.text()));
        QVERIFY2(e.text().contains(QStringLiteral("(version 0, before upgrade).mdb")), qPrintable(e.text()));
    }
    QCOMPARE(c.transactionDepth(), 0);
    QCOMPARE(c.inTransaction(), false);
    QCOMPARE(c.schemaVersion(), 0);
    QCOMPARE(bytesOf(m_path), before);
}

void TestUpgrade::newerFileIsRefusedUntouched()
{
    createDatabaseFile(m_path);
    {
        Connection c(connectionString(m_path));
        c.setSchemaVersion(programSchemaVersion() + 1);
    }
    const QByteArray before = bytesOf(m_path);
    Connection c(connectionString(m_path));
    try {
        upgradeDatabase(c, schemaUpgrades());
        QFAIL("a newer file was taken");
    } catch (const StoreError& e) {
        QVERIFY2(e.text().contains(QStringLiteral("made by a newer version of Vornadel Lite")), qPrintable(e.text()));
    }
    QCOMPARE(bytesOf(m_path), before);
    QCOMPARE(filesIn(m_dir->path()), QStringList{QStringLiteral("Vornadel.mdb")});
}

void TestUpgrade::earlierCopyIsNeverReplaced()
{
    makeVersion0File(m_path);
    const QString earlier = m_dir->filePath(QStringLiteral("Vornadel (version 0, before upgrade).mdb"));
    QVERIFY(writeFile(earlier, "an earlier copy"));
    Connection c(connectionString(m_path));
    const UpgradeOutcome outcome = upgradeDatabase(c, {addReminders});
    QCOMPARE(outcome.copy, m_dir->filePath(QStringLiteral("Vornadel (version 0, before upgrade) 2.mdb")));
    QCOMPARE(bytesOf(earlier), QByteArray("an earlier copy"));
    QCOMPARE(Connection(connectionString(outcome.copy)).schemaVersion(), 0);
}

// The program's own upgrade: a file as version 0 wrote it, with rows in every table, opens
// with the follow-ups and the log (tables and indexes) and not one old row changed.
void TestUpgrade::version0FileGainsTheLogTablesWithEveryRowKept()
{
    QProcess tool;
    tool.start(QStringLiteral(VORNADEL_MKDB), {QStringLiteral("--demo"), m_path});
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 0);
    toVersion0(m_path);
    Content before;
    {
        Connection c(connectionString(m_path));
        before = contentOf(c);
        QCOMPARE(before.size(), 10);
        for (const TableContent& table : before)
            QVERIFY(table.rows > 0);
    }

    Connection c(connectionString(m_path));
    const UpgradeOutcome outcome = upgradeDatabase(c, schemaUpgrades());
    QCOMPARE(outcome.from, 0);
    QCOMPARE(outcome.to, programSchemaVersion());
    QCOMPARE(contentOf(c, before), before);
    checkSchema(c, startupRequirements());
    for (const QString& table : LogTables) {
        Statement rows(c, QStringLiteral("SELECT count(*) FROM %1").arg(table));
        QVERIFY(rows.step());
        QCOMPARE(rows.int64(0), 0);
    }
    Statement indexes(c, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name IN ('FollowUps', 'Activities')"));
    QVERIFY(indexes.step());
    QCOMPARE(indexes.int64(0), 5);
    // A second opening finds nothing left to do.
    QCOMPARE(upgradeDatabase(c, schemaUpgrades()).upgraded(), false);
}

QTEST_GUILESS_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
