#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "FaultFiles.h"

using namespace FaultFiles;

// A second program makes a change of many rows and is killed part way, at a write, sync,
// truncate or delete of the database or its journal: the file must come out whole, holding
// all of the change or none of it.
class TestCrashes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedChangeIsWholeOrAbsent_data();
    void killedChangeIsWholeOrAbsent();
    void killedUpgradeLeavesTheFileAsItWas();

private:
    // Runs the driver; returns its output, empty when it was killed.
    QString drive(const QString& mode, const QString& path, qint64 id, int killAt, QProcess::ExitStatus& status);

    QTemporaryDir m_dir;
    QString m_template;
    QByteArray m_before;
};

void TestCrashes::initTestCase()
{
    m_template = m_dir.filePath(QStringLiteral("Template.mdb"));
    makeDemoDatabase(m_template);
    Connection c(connectionString(m_template));
    m_before = contentDigest(c);
}

QString TestCrashes::drive(const QString& mode, const QString& path, qint64 id, int killAt, QProcess::ExitStatus& status)
{
    QProcess driver;
    driver.start(driverPath(), {mode, path, QString::number(id), QString::number(killAt)});
    if (!driver.waitForFinished(60000))
        driver.kill();
    status = driver.exitStatus();
    const QString err = QString::fromUtf8(driver.readAllStandardError());
    if (status == QProcess::NormalExit && driver.exitCode() != 0)
        qWarning("driver: %s", qPrintable(err));
    return status == QProcess::NormalExit && driver.exitCode() == 0 ? QString::fromUtf8(driver.readAllStandardOutput()) : QString();
}

void TestCrashes::killedChangeIsWholeOrAbsent_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("pick");
    // The company with the most people, the one with the most subprojects, a person with no answers.
    QTest::newRow("delete all people of a company")
        << "deleteall" << "SELECT CompanyID FROM People GROUP BY CompanyID ORDER BY count(*) DESC, CompanyID LIMIT 1";
    QTest::newRow("delete a company with what hangs on it")
        << "cascade"
        << "SELECT p.CompanyID FROM Projects p JOIN SubProjects s ON s.ProjectID = p.ProjectID"
           " GROUP BY p.CompanyID ORDER BY count(*) DESC, p.CompanyID LIMIT 1";
    QTest::newRow("give a person the 24 answer rows")
        << "answers" << "SELECT PersonID FROM People WHERE PersonID NOT IN (SELECT PersonID FROM QuestionsMain) LIMIT 1";
}

void TestCrashes::killedChangeIsWholeOrAbsent()
{
    QFETCH(QString, mode);
    QFETCH(QString, pick);
    qint64 id = 0;
    {
        Connection c(connectionString(m_template));
        id = scalar(c, pick);
    }
    QVERIFY(id > 0);

    // A run to its end gives the whole change and the number of moments to kill it at.
    const QString whole = m_dir.filePath(QStringLiteral("Whole.mdb"));
    QVERIFY(copyFresh(m_template, whole));
    QProcess::ExitStatus status;
    const QString done = drive(mode, whole, id, 0, status);
    QVERIFY2(done.startsWith(QStringLiteral("done ")), qPrintable(done));
    const int moments = done.mid(5).trimmed().toInt();
    QVERIFY(moments > 0);
    QByteArray after;
    {
        Connection c(connectionString(whole));
        after = contentDigest(c);
    }
    QVERIFY(after != m_before);

    // Twenty kills spread over the change, each at a random moment of its stretch.
    constexpr int Runs = 20;
    const QString run = m_dir.filePath(QStringLiteral("Run.mdb"));
    for (int i = 0; i < Runs; ++i) {
        const int from = 1 + i * moments / Runs;
        const int to = std::max(from, (i + 1) * moments / Runs);
        const int killAt = int(QRandomGenerator::global()->bounded(from, to + 1));
        const QByteArray where = QByteArray("killed at call ") + QByteArray::number(killAt) + " of "
            + QByteArray::number(moments);
        QVERIFY(copyFresh(m_template, run));
        drive(mode, run, id, killAt, status);
        QVERIFY2(status == QProcess::CrashExit, where.constData());
        // Opening rolls back what the journal says was half done.
        Connection c(connectionString(run));
        QVERIFY2(text(c, QStringLiteral("PRAGMA integrity_check")) == QLatin1String("ok"), where.constData());
        const QByteArray digest = contentDigest(c);
        QVERIFY2(digest == m_before || digest == after, where.constData());
    }
}

void TestCrashes::killedUpgradeLeavesTheFileAsItWas()
{
    const QString path = m_dir.filePath(QStringLiteral("Old.mdb"));
    const QString copy = m_dir.filePath(QStringLiteral("Old (version 0, before upgrade).mdb"));
    // A file of version 0, whatever version the template was made at.
    const auto fresh = [&] {
        if (!copyFresh(m_template, path) || (QFile::exists(copy) && !QFile::remove(copy)))
            return false;
        Connection(connectionString(path)).setSchemaVersion(0);
        return true;
    };
    QVERIFY(fresh());
    QProcess::ExitStatus status;
    const QString done = drive(QStringLiteral("upgrade"), path, 0, 0, status);
    QVERIFY2(done.startsWith(QStringLiteral("done ")), qPrintable(done));
    const int moments = done.mid(5).trimmed().toInt();
    QVERIFY(moments > 0);
    QByteArray upgraded;
    {
        Connection c(connectionString(path));
        QCOMPARE(c.schemaVersion(), 1);
        upgraded = contentDigest(c);
    }

    // Every moment of the upgrade, from its first write to the journal's end.
    for (int killAt = 1; killAt <= moments; ++killAt) {
        const QByteArray where = QByteArray("killed at call ") + QByteArray::number(killAt) + " of "
            + QByteArray::number(moments);
        QVERIFY(fresh());
        drive(QStringLiteral("upgrade"), path, 0, killAt, status);
        QVERIFY2(status == QProcess::CrashExit, where.constData());
        Connection c(connectionString(path));
        QVERIFY2(text(c, QStringLiteral("PRAGMA integrity_check")) == QLatin1String("ok"), where.constData());
        const QByteArray digest = contentDigest(c);
        const bool asItWas = digest == m_before && c.schemaVersion() == 0;
        QVERIFY2(asItWas || (digest == upgraded && c.schemaVersion() == 1), where.constData());
        // The copy was written before the first write to the file.
        Connection old(connectionString(copy));
        QVERIFY2(contentDigest(old) == m_before && old.schemaVersion() == 0, where.constData());
    }
}

QTEST_GUILESS_MAIN(TestCrashes)
#include "tst_crashes.moc"
