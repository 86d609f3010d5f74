#include <QApplication>
#include <QLabel>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/Splash.h"
#include "app/Startup.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void connectionStringNamesTheFileBesideTheProgram();
    void startsOnEmptyDatabaseInFolderWithBlanks();
    void failuresSayWhatIsWrong_data();
    void failuresSayWhatIsWrong();
    void splashShowsSingleComputerPicture();

private:
    QString makeDatabase(const QString& folder, const QString& password, const QString& extraSql = {});
};

QString TestStartup::makeDatabase(const QString& folder, const QString& password, const QString& extraSql)
{
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/Vornadel.mdb");
    Connection c = Connection::create(path, password);
    createSchema(c);
    fillLists(c);
    if (!extraSql.isEmpty())
        c.exec(extraSql);
    return path;
}

void TestStartup::connectionStringNamesTheFileBesideTheProgram()
{
    const QString cs = ConnectionString(QStringLiteral("/opt/my programs/vornadel"));
    QCOMPARE(cs, QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=/opt/my programs/vornadel/Vornadel.mdb;"
                                "Mode=Share Deny None;Database Password=\"ZeKRW\";"));
    const ConnectionParams p = ConnectionParams::parse(cs);
    QCOMPARE(p.dataSource, QStringLiteral("/opt/my programs/vornadel/Vornadel.mdb"));
    QCOMPARE(p.password, QStringLiteral("ZeKRW"));
    QCOMPARE(p.userId, QStringLiteral("Admin"));
}

void TestStartup::startsOnEmptyDatabaseInFolderWithBlanks()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sales tools/Vornadel Lite"));
    makeDatabase(folder, QStringLiteral("ZeKRW"));
    const QString elsewhere = QDir::currentPath();
    Program program(folder);
    QCOMPARE(QDir::currentPath(), elsewhere);
    QCOMPARE(program.forms.DataEntryForm->windowTitle(), QStringLiteral("Vornadel Lite"));
    QCOMPARE(program.forms.DataEntryForm->MainDataEntry->currentIndex(), 0);
    QVERIFY(program.forms.Retail);
    QVERIFY(program.forms.PickDateForm);
    const TMainDataModule& dm = *program.forms.MainDataModule;
    for (Dataset* d : dm.sharedDatasets())
        QVERIFY2(d->isActive(), qPrintable(d->name()));
    for (Dataset* d : {dm.CompaniesTable, dm.ProjectsDetail, dm.SubProjectsDetail, dm.PeopleCompanyDet, dm.SubProjectHistoryQ})
        QVERIFY2(d->isEmpty(), qPrintable(d->name()));
}

void TestStartup::failuresSayWhatIsWrong_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no file") << QString() << QString() << QStringLiteral("Could not find file");
    QTest::newRow("wrong password") << QStringLiteral("secret") << QString() << QStringLiteral("Not a valid password");
    QTest::newRow("missing column") << QStringLiteral("ZeKRW")
                                    << QStringLiteral("DROP TABLE SubProjects; CREATE TABLE SubProjects (SubProjectID INTEGER "
                                                      "PRIMARY KEY AUTOINCREMENT, SubProjectTypeID INTEGER, ProjectID INTEGER, "
                                                      "SizeID INTEGER, Name VARCHAR(255), Comments VARCHAR(512))")
                                    << QStringLiteral("'Code' is missing from the table 'SubProjects'");
    QTest::newRow("missing table") << QStringLiteral("ZeKRW") << QStringLiteral("DROP TABLE QuestionsMain")
                                   << QStringLiteral("'QuestionsMain'");
}

void TestStartup::failuresSayWhatIsWrong()
{
    QFETCH(QString, password);
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    if (!password.isEmpty())
        makeDatabase(dir.path(), password, damage);
    try {
        Program program(dir.path());
        QFAIL("start-up should fail");
    } catch (const StoreError& e) {
        QVERIFY2(e.text().contains(expected), qPrintable(e.text()));
    }
}

void TestStartup::splashShowsSingleComputerPicture()
{
    TSplashForm splash;
    QCOMPARE(splash.size(), QSize(400, 300));
    QCOMPARE(splash.PCVNbmp->pixmap().size(), QSize(400, 300));
    QVERIFY(splash.PCVNbmp->pixmap().toImage() != splash.NETVNbmp->pixmap().toImage());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
