#include <functional>

#include <QTemporaryDir>
#include <QtTest>

#include "FaultFiles.h"
#include "FaultVfs.h"
#include "WriteProtection.h"
#include "data/DataModule.h"
#include "toolkit/db/StoreError.h"

using namespace FaultFiles;
using Kind = StoreError::Kind;

Q_DECLARE_METATYPE(StoreError::Kind)

// Each kind of store error, raised by the real store in the situation that makes it, so that
// code above the engine can decide by kind alone.
class TestErrorKinds : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void situationsGiveTheirKind_data();
    void situationsGiveTheirKind();

private:
    // Runs what and returns the kind of the store error it threw.
    std::optional<Kind> kindOf(const std::function<void()>& what);
    void replaceFile(const QByteArray& bytes);

    QTemporaryDir m_dir;
    QString m_template;
    std::unique_ptr<QTemporaryDir> m_case;
    QString m_path;
};

void TestErrorKinds::initTestCase()
{
    FaultVfs::install();
    m_template = m_dir.filePath(QStringLiteral("Template.mdb"));
    makeDemoDatabase(m_template);
}

void TestErrorKinds::init()
{
    m_case = std::make_unique<QTemporaryDir>();
    m_path = m_case->filePath(QStringLiteral("Vornadel.mdb"));
    QVERIFY(copyFresh(m_template, m_path));
}

void TestErrorKinds::cleanup()
{
    FaultVfs::limitWrites({}, -1);
    m_case.reset();
}

std::optional<Kind> TestErrorKinds::kindOf(const std::function<void()>& what)
{
    try {
        what();
    } catch (const StoreError& e) {
        return e.kind();
    }
    return std::nullopt;
}

void TestErrorKinds::replaceFile(const QByteArray& bytes)
{
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void TestErrorKinds::situationsGiveTheirKind_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<Kind>("kind");
    QTest::newRow("another connection holds the write lock") << "locked" << Kind::Busy;
    QTest::newRow("a row changed since it was read") << "changed" << Kind::RowChanged;
    QTest::newRow("the disk is full") << "full" << Kind::DiskFull;
    QTest::newRow("the file cannot be written") << "read-only file" << Kind::ReadOnly;
    QTest::newRow("its folder cannot be written") << "read-only folder" << Kind::ReadOnly;
    QTest::newRow("a key taken twice") << "duplicate key" << Kind::Constraint;
    QTest::newRow("a text file") << "text" << Kind::NotADatabase;
    QTest::newRow("an empty file") << "empty" << Kind::NotADatabase;
    QTest::newRow("a database without a key") << "plain" << Kind::NotADatabase;
    QTest::newRow("another key") << "other key" << Kind::WrongKey;
    QTest::newRow("no key for a keyed file") << "no key" << Kind::WrongKey;
    QTest::newRow("a table that is not there") << "no table" << Kind::Other;
}

void TestErrorKinds::situationsGiveTheirKind()
{
    QFETCH(QString, situation);
    QFETCH(Kind, kind);
    const QString cs = connectionString(m_path);
    const QString rename = QStringLiteral("UPDATE Companies SET Name = Name || '!'");
    std::optional<Kind> raised;
    if (situation == u"locked") {
        Connection holder(cs);
        holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
        Connection c(cs);
        c.setBusyTimeout(50);
        raised = kindOf([&] { c.exec(rename); });
    } else if (situation == u"changed") {
        TMainDataModule dm;
        dm.Connect(cs);
        dm.SetDataSetsActive(true);
        Connection(cs).exec(rename);
        dm.CompaniesTable->edit();
        dm.CompaniesTable->setValue(QStringLiteral("Address"), QStringLiteral("Typed here"));
        raised = kindOf([&] { dm.CompaniesTable->post(); });
    } else if (situation == u"full") {
        Connection c(cs);
        FaultVfs::limitWrites(m_path, 0);
        raised = kindOf([&] { c.exec(rename); });
    } else if (situation.startsWith(u"read-only")) {
        WriteProtection protection(situation.endsWith(u"file") ? m_path : m_case->path());
        if (!protection.done())
            QSKIP("This file system cannot take the right to write away from the test's user.");
        Connection c(cs);
        raised = kindOf([&] { c.exec(rename); });
    } else if (situation == u"duplicate key") {
        Connection c(cs);
        raised = kindOf([&] {
            c.exec(QStringLiteral("INSERT INTO Companies (CompanyID, Name) SELECT CompanyID, 'Twin' FROM Companies"));
        });
    } else if (situation == u"text" || situation == u"empty") {
        replaceFile(situation == u"text" ? QByteArray("CompanyID;Name\n1;Jantar Mantar Systems\n") : QByteArray());
        raised = kindOf([&] { Connection c(cs); });
    } else if (situation == u"plain" || situation == u"other key") {
        QVERIFY(QFile::remove(m_path));
        Connection made = Connection::create(m_path, situation == u"plain" ? QString() : QStringLiteral("another key"));
        createSchema(made);
        raised = kindOf([&] { Connection c(cs); });
    } else if (situation == u"no key") {
        raised = kindOf([&] { Connection c(QStringLiteral("Data Source=%1").arg(m_path)); });
    } else if (situation == u"no table") {
        Connection c(cs);
        raised = kindOf([&] { Statement st(c, QStringLiteral("SELECT * FROM Reminders")); });
    }
    QVERIFY(raised.has_value());
    QCOMPARE(*raised, kind);
}

QTEST_GUILESS_MAIN(TestErrorKinds)
#include "tst_errorkinds.moc"
