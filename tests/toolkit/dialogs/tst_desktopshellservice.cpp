#include <QtTest>

#include "toolkit/dialogs/DesktopShellService.h"
#include "support/RecordingShellService.h"

class TestDesktopShellService : public QObject
{
    Q_OBJECT
private slots:
    void bareProgramNameIsFoundOnThePath();
    void programStartsWithoutWaiting();
    void missingProgramReportsFailure_data();
    void missingProgramReportsFailure();
    void fakeRecordsCallsAndReturnsTheScriptedResult();
};

void TestDesktopShellService::bareProgramNameIsFoundOnThePath()
{
    const QString found = DesktopShellService::findProgram(QStringLiteral("sh"));
    QVERIFY(!found.isEmpty());
    QVERIFY(QFileInfo(found).isAbsolute());
}

void TestDesktopShellService::programStartsWithoutWaiting()
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("started"));
    QVERIFY(DesktopShellService().open(QStringLiteral("sh"),
                                       QStringLiteral("-c \"sleep 3; touch '%1'\"").arg(marker)));
    QVERIFY(!QFile::exists(marker));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
}

void TestDesktopShellService::missingProgramReportsFailure_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("bare name") << QStringLiteral("QZ-does-not-exist.exe");
    QTest::newRow("path") << QStringLiteral("/nonexistent/folder/QZ.exe");
    QTest::newRow("empty") << QString();
}

void TestDesktopShellService::missingProgramReportsFailure()
{
    QFETCH(QString, target);
    QVERIFY(!DesktopShellService().open(target, QStringLiteral("1 2 3")));
}

void TestDesktopShellService::fakeRecordsCallsAndReturnsTheScriptedResult()
{
    RecordingShellService shell;
    QVERIFY(ShellService::current().open(QStringLiteral("QZ.exe"), QStringLiteral("3 14 27")));
    shell.setResult(false);
    QVERIFY(!ShellService::current().open(QStringLiteral("mailto:someone@example.com")));
    const QList<RecordingShellService::Call> expected{{QStringLiteral("QZ.exe"), QStringLiteral("3 14 27")},
                                                      {QStringLiteral("mailto:someone@example.com"), QString()}};
    QCOMPARE(shell.calls(), expected);
}

QTEST_MAIN(TestDesktopShellService)
#include "tst_desktopshellservice.moc"
