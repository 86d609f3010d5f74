#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "FaultFiles.h"
#include "toolkit/db/BackupFile.h"

using namespace FaultFiles;

// A second program adds companies one transaction at a time while copies of the file are
// taken: every copy opens with the key, is whole, and holds exactly the writer's first k rows.
class TestBackupWrites : public QObject
{
    Q_OBJECT

private slots:
    void copiesTakenWhileAnotherProgramWritesAreWhole();
};

void TestBackupWrites::copiesTakenWhileAnotherProgramWritesAreWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vornadel.mdb"));
    makeDemoDatabase(path);
    Connection db(connectionString(path));
    constexpr int Writes = 1000;

    QProcess writer;
    writer.start(driverPath(), {QStringLiteral("writes"), path, QString::number(Writes)});
    QVERIFY(writer.waitForReadyRead(30000));
    {
        // The writer starts while a copy holds its lock: its first row waits for the copy.
        const QString first = dir.filePath(QStringLiteral("first.mdb"));
        BackupFile copy(db, first);
        QVERIFY(!copy.step(1));
        writer.write("go\n");
        QVERIFY(writer.waitForBytesWritten(5000));
        QTest::qWait(200);
        while (!copy.step(16)) {
        }
        Connection check = db.openKeyedAlike(first);
        QCOMPARE(scalar(check, QStringLiteral("SELECT count(*) FROM Companies WHERE Name LIKE 'Writer %'")), 0);
    }
    int copies = 0;
    int last = -1;
    for (bool writing = true; writing;) {
        // Polled: without an event loop the process's state is only learnt by asking.
        writing = writer.state() != QProcess::NotRunning && !writer.waitForFinished(0);
        const QString out = dir.filePath(QStringLiteral("copy%1.mdb").arg(copies++));
        {
            BackupFile copy(db, out);
            while (!copy.step(16)) {
            }
        }
        Connection check = db.openKeyedAlike(out);
        QCOMPARE(text(check, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        const qint64 rows = scalar(check, QStringLiteral("SELECT count(*) FROM Companies WHERE Name LIKE 'Writer %'"));
        const qint64 highest = scalar(check, QStringLiteral("SELECT coalesce(max(CAST(substr(Name, 8) AS INTEGER)), 0) "
                                                            "FROM Companies WHERE Name LIKE 'Writer %'"));
        QCOMPARE(rows, highest);
        QVERIFY(rows >= last);
        last = int(rows);
        QFile::remove(out);
    }
    // The writer waited for each copy's lock and never failed.
    QCOMPARE(writer.exitCode(), 0);
    QVERIFY(QString::fromUtf8(writer.readAllStandardOutput()).contains(QStringLiteral("done %1").arg(Writes)));
    QCOMPARE(last, Writes);
    QVERIFY(copies > 1);
}

QTEST_GUILESS_MAIN(TestBackupWrites)
#include "tst_backupwrites.moc"
