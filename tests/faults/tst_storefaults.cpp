#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <optional>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "FaultFiles.h"
#include "FaultVfs.h"
#include "WriteProtection.h"
#include "app/Startup.h"
#include "data/DataModule.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/Transaction.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "support/RecordingMessageService.h"

using namespace FaultFiles;

namespace {

// A small tmpfs over a folder while it lives.
class Tmpfs
{
public:
    Tmpfs(const QString& folder, qint64 bytes)
        : m_folder(QFile::encodeName(folder))
    {
        const QByteArray size = "size=" + QByteArray::number(bytes);
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, size.constData()) == 0;
    }
    ~Tmpfs()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

} // namespace

// The faults a desktop database meets in use, against the real data module on a real file:
// another program's lock, a row changed from outside, a file or folder that cannot be
// written, a full disk, and files that are not a database of this program at all.
class TestStoreFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void saveWaitsOutAnotherProgramsLock();
    void rowChangedOutsideIsNotOverwritten();
    void unwritableFileOrFolderIsNamedOnFirstSave_data();
    void unwritableFileOrFolderIsNamedOnFirstSave();
    void transactionEndedByTheStoreIsNotEndedAgain();
    void fullDiskDuringDeleteAllKeepsEveryPerson_data();
    void fullDiskDuringDeleteAllKeepsEveryPerson();
    void startupRefusesFilesThatAreNotItsDatabase_data();
    void startupRefusesFilesThatAreNotItsDatabase();

private:
    void openModule(const QString& path);
    // Moves the module to the company with the most people and returns how many it has.
    int toBiggestCompany();
    QString lastMessage() const { return m_messages->texts().value(m_messages->texts().size() - 1); }

    QTemporaryDir m_dir;
    QString m_template;
    bool m_ownMounts = false;
    std::unique_ptr<QTemporaryDir> m_case;
    QString m_path;
    std::unique_ptr<RecordingMessageService> m_messages;
    std::unique_ptr<TMainDataModule> m_dm;
};

void TestStoreFaults::initTestCase()
{
    FaultVfs::install();
    m_template = m_dir.filePath(QStringLiteral("Template.mdb"));
    makeDemoDatabase(m_template);
    // Mounts made in a namespace of our own go with the process, whatever happens to it.
    m_ownMounts = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

void TestStoreFaults::init()
{
    m_case = std::make_unique<QTemporaryDir>();
    m_path = m_case->filePath(QStringLiteral("Vornadel.mdb"));
    QVERIFY(copyFresh(m_template, m_path));
    m_messages = std::make_unique<RecordingMessageService>();
}

void TestStoreFaults::cleanup()
{
    FaultVfs::limitWrites({}, -1);
    m_dm.reset();
    m_messages.reset();
    m_case.reset();
}

void TestStoreFaults::openModule(const QString& path)
{
    m_dm = std::make_unique<TMainDataModule>();
    m_dm->Connect(connectionString(path));
    m_dm->SetDataSetsActive(true);
}

int TestStoreFaults::toBiggestCompany()
{
    qint64 company = 0;
    {
        Connection c(connectionString(m_dm->MainADOConnection()->path()));
        company = scalar(c, QStringLiteral("SELECT CompanyID FROM People GROUP BY CompanyID ORDER BY count(*) DESC LIMIT 1"));
    }
    if (!m_dm->CompaniesTable->locate({QStringLiteral("CompanyID")}, {company}))
        return -1;
    return m_dm->PeopleCompanyDet->recordCount();
}

void TestStoreFaults::saveWaitsOutAnotherProgramsLock()
{
    openModule(m_path);
    Dataset* companies = m_dm->CompaniesTable;
    const QString stored = companies->value(QStringLiteral("Name")).toString();
    QProcess holder;
    holder.start(driverPath(), {QStringLiteral("lock"), m_path});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));

    m_dm->MainADOConnection()->setBusyTimeout(200);
    companies->edit();
    companies->setValue(QStringLiteral("Name"), QStringLiteral("Renamed while locked"));
    QVERIFY(!guarded([&] { companies->post(); }));
    QVERIFY2(lastMessage().contains(QLatin1String("database is locked")), qPrintable(lastMessage()));
    QVERIFY(companies->isEditing());
    QCOMPARE(companies->value(QStringLiteral("Name")).toString(), QStringLiteral("Renamed while locked"));

    holder.write("\n");
    QVERIFY(holder.waitForFinished(30000));
    QCOMPARE(holder.exitCode(), 0);
    Connection side(connectionString(m_path));
    const qint64 id = companies->value(QStringLiteral("CompanyID")).toLongLong();
    const QString nameSql = QStringLiteral("SELECT Name FROM Companies WHERE CompanyID = %1").arg(id);
    QCOMPARE(text(side, nameSql), stored);
    QVERIFY(guarded([&] { companies->post(); }));
    QCOMPARE(text(side, nameSql), QStringLiteral("Renamed while locked"));
}

void TestStoreFaults::rowChangedOutsideIsNotOverwritten()
{
    openModule(m_path);
    Dataset* companies = m_dm->CompaniesTable;
    const qint64 id = companies->value(QStringLiteral("CompanyID")).toLongLong();
    Connection side(connectionString(m_path));
    side.exec(QStringLiteral("UPDATE Companies SET Name = 'Changed outside' WHERE CompanyID = %1").arg(id));
    const QByteArray before = contentDigest(side);

    companies->edit();
    companies->setValue(QStringLiteral("Address"), QStringLiteral("Typed here"));
    QVERIFY(!guarded([&] { companies->post(); }));
    QVERIFY2(lastMessage().contains(QLatin1String("Row cannot be located for updating")), qPrintable(lastMessage()));
    QVERIFY(companies->isEditing());
    QCOMPARE(companies->value(QStringLiteral("Address")).toString(), QStringLiteral("Typed here"));
    QCOMPARE(contentDigest(side), before);
}

void TestStoreFaults::unwritableFileOrFolderIsNamedOnFirstSave_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("read-only file") << false;
    QTest::newRow("read-only folder") << true;
}

void TestStoreFaults::unwritableFileOrFolderIsNamedOnFirstSave()
{
    QFETCH(bool, folder);
    const QString folderPath = QFileInfo(m_path).absolutePath();
    WriteProtection protection(folder ? folderPath : m_path);
    if (!protection.done())
        QSKIP("This file system cannot take the right to write away from the test's user.");
    openModule(m_path);
    Dataset* companies = m_dm->CompaniesTable;
    companies->edit();
    companies->setValue(QStringLiteral("Name"), QStringLiteral("Not stored"));
    QVERIFY(!guarded([&] { companies->post(); }));
    const QString expected = folder
        ? QStringLiteral("The folder of the database, '%1', cannot be written").arg(QDir::toNativeSeparators(folderPath))
        : QStringLiteral("The database file '%1' cannot be written").arg(QDir::toNativeSeparators(m_path));
    QVERIFY2(lastMessage().startsWith(expected), qPrintable(lastMessage()));
    QVERIFY(companies->isEditing());
    QCOMPARE(companies->value(QStringLiteral("Name")).toString(), QStringLiteral("Not stored"));
}

void TestStoreFaults::transactionEndedByTheStoreIsNotEndedAgain()
{
    Connection c(connectionString(m_path));
    const qint64 history = scalar(c, QStringLiteral("SELECT count(*) FROM SubProjectHistory"));
    {
        Transaction outer(c);
        c.exec(QStringLiteral("DELETE FROM SubProjectHistory"));
        {
            Transaction inner(c);
            c.exec(QStringLiteral("DELETE FROM Business"));
            // What the store does by itself on a full disk or an I/O error.
            c.exec(QStringLiteral("ROLLBACK"));
            inner.rollback();
        }
        try {
            outer.commit();
            QFAIL("a commit of nothing was reported as done");
        } catch (const StoreError& e) {
            QVERIFY2(e.text().contains(QLatin1String("not saved")), qPrintable(e.text()));
        }
        outer.rollback();
    }
    QCOMPARE(c.transactionDepth(), 0);
    QCOMPARE(scalar(c, QStringLiteral("SELECT count(*) FROM SubProjectHistory")), history);
    Transaction next(c);
    c.exec(QStringLiteral("DELETE FROM Business"));
    next.commit();
    QCOMPARE(scalar(c, QStringLiteral("SELECT count(*) FROM Business")), 0);
}

void TestStoreFaults::fullDiskDuringDeleteAllKeepsEveryPerson_data()
{
    QTest::addColumn<bool>("tmpfs");
    QTest::newRow("small tmpfs") << true;
    QTest::newRow("injected full disk") << false;
}

void TestStoreFaults::fullDiskDuringDeleteAllKeepsEveryPerson()
{
    QFETCH(bool, tmpfs);
    if (tmpfs && !m_ownMounts)
        QSKIP("The test cannot mount a file system of its own here; the injected case covers it.");
    const qint64 pageBytes = 4096;
    const qint64 fileBytes = QFileInfo(m_template).size();
    int refused = 0;
    for (qint64 room = 0; room <= 4 * pageBytes; room += pageBytes) {
        const QByteArray where = "with " + QByteArray::number(room) + " bytes free";
        const QString disk = m_case->filePath(QStringLiteral("disk%1").arg(room));
        QVERIFY(QDir().mkpath(disk));
        const QString path = disk + QStringLiteral("/Vornadel.mdb");
        std::optional<Tmpfs> small;
        if (tmpfs) {
            small.emplace(disk, (fileBytes + pageBytes - 1) / pageBytes * pageBytes + room);
            QVERIFY(small->mounted());
        }
        QVERIFY(copyFresh(m_template, path));
        openModule(path);
        const int people = toBiggestCompany();
        QVERIFY(people > 1);
        if (!tmpfs)
            FaultVfs::limitWrites(path, room);
        m_messages->clear();
        const bool deleted = guarded([&] { m_dm->DeleteAllCompanyPeople(); });
        FaultVfs::limitWrites({}, -1);
        const qint64 company = m_dm->CompaniesTable->value(QStringLiteral("CompanyID")).toLongLong();
        const int shown = m_dm->PeopleCompanyDet->recordCount();
        m_dm.reset();
        Connection side(connectionString(path));
        const qint64 stored = scalar(side, QStringLiteral("SELECT count(*) FROM People WHERE CompanyID = %1").arg(company));
        QCOMPARE(text(side, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        if (deleted) {
            QVERIFY2(stored == 0 && shown == 0, where.constData());
        } else {
            ++refused;
            QVERIFY2(lastMessage().contains(QLatin1String("database or disk is full")), qPrintable(lastMessage()));
            QVERIFY2(stored == people && shown == people, where.constData());
        }
    }
    QVERIFY(refused > 0);
}

void TestStoreFaults::startupRefusesFilesThatAreNotItsDatabase_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("empty file") << "empty";
    QTest::newRow("cut to its first bytes") << "header";
    QTest::newRow("cut in half") << "half";
    QTest::newRow("random bytes") << "random";
    QTest::newRow("plain SQLite") << "plain";
    QTest::newRow("another key") << "key";
}

void TestStoreFaults::startupRefusesFilesThatAreNotItsDatabase()
{
    QFETCH(QString, kind);
    QFile file(m_path);
    if (kind == u"empty" || kind == u"header" || kind == u"half") {
        const qint64 keep = kind == u"empty" ? 0 : kind == u"header" ? 100 : file.size() / 2;
        QVERIFY(file.resize(keep));
    } else if (kind == u"random") {
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QByteArray noise(64 * 1024, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        file.write(noise);
        file.close();
    } else {
        QVERIFY(file.remove());
        Connection c = Connection::create(m_path, kind == u"plain" ? QString() : QStringLiteral("another key"));
        createSchema(c);
        fillLists(c);
    }
    const QByteArray before = [&] {
        QFile f(m_path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    const int code = startProgram(Places{.database = m_path}, [](Program&) { return 0; });
    QCOMPARE(code, 1);
    QCOMPARE(m_messages->entries().size(), 1);
    const QString message = m_messages->entries().first().text;
    QVERIFY2(message.contains(QLatin1String("not a database of this program")) || message.contains(QLatin1String("damaged")),
             qPrintable(message));
    if (kind == u"empty")
        QVERIFY2(message.contains(QLatin1String("is empty")), qPrintable(message));
    QFile after(m_path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

QTEST_MAIN(TestStoreFaults)
#include "tst_storefaults.moc"
