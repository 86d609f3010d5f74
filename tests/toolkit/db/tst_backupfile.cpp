#include <QDir>
#include <QFile>
#include <QtTest>

#include "support/DatasetTables.h"
#include "toolkit/db/BackupFile.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/DatabaseCopy.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/Transaction.h"
#include "support/TestFiles.h"

namespace {

QVariant scalarOf(Connection& c, const QString& sql)
{
    Statement st(c, sql);
    return st.step() ? st.value(0) : QVariant();
}

// Rows wide enough that the file spans many pages, so a copy takes many steps.
void addCompanies(Connection& c, int from, int count)
{
    Transaction t(c);
    Statement insert(c, QStringLiteral("INSERT INTO Companies (CompanyID, Name) VALUES (:id, :name)"));
    for (int id = from; id < from + count; ++id) {
        insert.bind(QStringLiteral(":id"), id);
        insert.bind(QStringLiteral(":name"), QString(400, QChar(u'a' + id % 26)));
        insert.step();
        insert.reset();
    }
    t.commit();
}

// The whole copy in one step.
void backUp(Connection& source, const QString& path)
{
    BackupFile copy(source, path);
    while (!copy.step(-1)) {
    }
}

QStringList leftovers(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestBackupFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The copy
    void copyIsKeyedAndHoldsEveryCommittedRow();
    void anotherWriterWaitsUntilTheCopyIsWhole();
    void uncommittedWriteOfTheSourceIsNotInTheCopy();

    // Nothing half-made
    void droppedCopyLeavesTheOldFileAndNoOtherFile();
    void unwritableTargetIsNamedAndLeavesNoFile();

    // Copying into an open database
    void copyIntoAnOpenDatabaseReplacesItsRowsOnlyWhenComplete();

private:
    std::unique_ptr<DatasetTables> m_db;
    std::unique_ptr<QTemporaryDir> m_out;
};

void TestBackupFile::init()
{
    m_db = std::make_unique<DatasetTables>();
    addCompanies(m_db->db(), 1, 300);
    m_out = std::make_unique<QTemporaryDir>();
}

void TestBackupFile::cleanup()
{
    m_out.reset();
    m_db.reset();
}

void TestBackupFile::copyIsKeyedAndHoldsEveryCommittedRow()
{
    const QString path = m_out->filePath(QStringLiteral("copy.mdb"));
    backUp(m_db->db(), path);

    Connection copy = m_db->db().openKeyedAlike(path);
    QCOMPARE(scalarOf(copy, QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 300);
    QCOMPARE(scalarOf(copy, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    // Encrypted: no plain header, and another key does not open it.
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(!raw.read(16).startsWith("SQLite format 3"));
    QVERIFY_THROWS_EXCEPTION(StoreError, Connection(QStringLiteral("Data Source=%1;Database Password=\"other\";").arg(path)));
}

void TestBackupFile::anotherWriterWaitsUntilTheCopyIsWhole()
{
    const QString path = m_out->filePath(QStringLiteral("copy.mdb"));
    // Another program's connection tries to write while the copy goes on.
    Connection other(m_db->connectionString());
    other.setBusyTimeout(50);
    {
        BackupFile copy(m_db->db(), path);
        QVERIFY(!copy.step(8));
        QVERIFY_THROWS_EXCEPTION(StoreError, addCompanies(other, 1000, 50));
        while (!copy.step(8)) {
        }
        QCOMPARE(copy.pagesCopied(), copy.pageCount());
    }
    // The lock ends with the copy.
    addCompanies(other, 1000, 50);
    Connection check = m_db->db().openKeyedAlike(path);
    QCOMPARE(scalarOf(check, QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 300);
    QCOMPARE(scalarOf(check, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

void TestBackupFile::uncommittedWriteOfTheSourceIsNotInTheCopy()
{
    const QString path = m_out->filePath(QStringLiteral("copy.mdb"));
    Connection other(m_db->connectionString());
    Transaction open(other);
    other.exec(QStringLiteral("DELETE FROM Companies WHERE CompanyID > 10"));
    backUp(m_db->db(), path);
    open.rollback();
    Connection check = m_db->db().openKeyedAlike(path);
    QCOMPARE(scalarOf(check, QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 300);
}

void TestBackupFile::droppedCopyLeavesTheOldFileAndNoOtherFile()
{
    const QString path = m_out->filePath(QStringLiteral("copy.mdb"));
    QVERIFY(writeFile(path, "an older copy"));
    {
        BackupFile copy(m_db->db(), path);
        QVERIFY(!copy.step(4));
    }
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("an older copy"));
    QCOMPARE(leftovers(m_out->path()), QStringList{QStringLiteral("copy.mdb")});
}

void TestBackupFile::unwritableTargetIsNamedAndLeavesNoFile()
{
    // A folder that is not there cannot be written, whoever runs the test.
    const QString path = m_out->filePath(QStringLiteral("missing/copy.mdb"));
    try {
        backUp(m_db->db(), path);
        QFAIL("the copy was written");
    } catch (const StoreError& e) {
        QVERIFY2(e.text().contains(QDir::toNativeSeparators(path)), qPrintable(e.text()));
    }
    QVERIFY(leftovers(m_out->path()).isEmpty());
}

void TestBackupFile::copyIntoAnOpenDatabaseReplacesItsRowsOnlyWhenComplete()
{
    const QString path = m_out->filePath(QStringLiteral("target.mdb"));
    Connection target = m_db->db().createKeyedAlike(path);
    target.exec(QStringLiteral("CREATE TABLE Companies (CompanyID INTEGER PRIMARY KEY, Name TEXT);"
                               "INSERT INTO Companies VALUES (1, 'kept')"));
    {
        DatabaseCopy dropped(m_db->db(), target);
        QVERIFY(!dropped.step(4));
    }
    QCOMPARE(scalarOf(target, QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 1);

    const quint64 before = target.writeCount();
    DatabaseCopy copy(m_db->db(), target);
    while (!copy.step(16)) {
    }
    QCOMPARE(copy.pagesCopied(), copy.pageCount());
    QCOMPARE(scalarOf(target, QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 300);
    // Whatever was read from the target before is stale now.
    QVERIFY(target.lastWriteTo({QStringLiteral("companies")}) > before);
}

QTEST_GUILESS_MAIN(TestBackupFile)
#include "tst_backupfile.moc"
