#include <QApplication>
#include <QPushButton>
#include <QDir>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QTimer>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "app/DailyCopy.h"
#include "app/MainForm.h"
#include "data/DatabaseRestore.h"
#include "toolkit/db/BackupFile.h"
#include "support/TestFiles.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/views/Business.h"
#include "support/ShownWindow.h"

namespace {

QVariant scalarIn(const QString& path, const QString& sql)
{
    Connection c(QStringLiteral("Data Source=%1;Database Password=\"%2\";").arg(path, databasePassword()));
    Statement st(c, sql);
    return st.step() ? st.value(0) : QVariant();
}

// The whole copy in one step.
void backUp(Connection& source, const QString& path)
{
    BackupFile copy(source, path);
    while (!copy.step(-1)) {
    }
}

// Presses Cancel in the copy's progress box as soon as the copy lets events through.
void cancelTheCopySoon()
{
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(w); progress && w->objectName() == u"CopyProgress")
                progress->cancel();
    });
}

} // namespace

class TestDatabaseActions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The menu
    void fileMenuComesFirstWithLettersOfItsOwn();
    void exitClosesAsTheMainWindowDoes();

    // Back up
    void backupKeepsThePendingEditOutOfTheCopy();
    void cancelledBackupWritesNoFile();
    void theOpenFileIsNeitherBackedUpOverNorRestored();

    // Restore
    void restoreAsksNamingBothFilesWithNoTheDefault();
    void restoreRefusesAFileThatFailsTheChecks_data();
    void restoreRefusesAFileThatFailsTheChecks();
    void restorePutsTheCopyInPlaceAndTheWindowsShowIt();
    void cancelledRestoreLeavesTheDatabase();
    void restoreUpgradesAnOlderCopyAndNotTheChosenFile();

    // The daily copy
    void dailyCopyKeepsTheSevenNewestOfItsOwn();
    void dailyCopyFailureIsShownOnceAndTheProgramGoesOn();

private:
    TMainDataModule& dm() { return *m_f->dm; }
    QString databasePath() const { return dmPath; }
    // Alt+F, then the item's letter, in the main window.
    void fileItem(Qt::Key letter);
    QStringList filesBesideTheDatabase() const;

    std::unique_ptr<MainWindowFixture> m_f;
    TDataEntryForm* m_main = nullptr;
    std::unique_ptr<TMainForm> m_menu;
    std::unique_ptr<QTemporaryDir> m_out;
    QString dmPath;
};

void TestDatabaseActions::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    dmPath = dm().MainADOConnection()->path();
    m_main = &m_f->makeMainWindow();
    m_menu = std::make_unique<TMainForm>(m_f->forms);
    m_f->forms.MainForm = m_menu.get();
    auto* bar = new QMenuBar(m_main);
    m_menu->addMenusTo(bar);
    m_main->layout()->setMenuBar(bar);
    m_main->MainDataEntry->setCurrentIndex(TDataEntryForm::CompaniesPage);
    QVERIFY(showActive(*m_main));
    m_out = std::make_unique<QTemporaryDir>();
}

void TestDatabaseActions::cleanup()
{
    m_out.reset();
    m_menu.reset();
    m_f.reset();
}

void TestDatabaseActions::fileItem(Qt::Key letter)
{
    QTest::keyClick(m_main, Qt::Key_F, Qt::AltModifier);
    auto* file = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(file);
    QCOMPARE(file->objectName(), QStringLiteral("File1"));
    QTest::keyClick(file, letter);
}

QStringList TestDatabaseActions::filesBesideTheDatabase() const
{
    return QFileInfo(dmPath).dir().entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

void TestDatabaseActions::fileMenuComesFirstWithLettersOfItsOwn()
{
    const QList<QAction*> tops = m_main->findChild<QMenuBar*>()->actions();
    QCOMPARE(tops.first()->text(), QStringLiteral("&File"));
    QStringList items;
    for (QAction* a : tops.first()->menu()->actions())
        if (!a->isSeparator())
            items.append(a->text());
    QCOMPARE(items, QStringList({QStringLiteral("&Back up..."), QStringLiteral("&Restore..."), QStringLiteral("E&xit")}));
    // No two menus of the bar share a letter.
    QSet<QChar> letters;
    for (QAction* top : tops) {
        const QString text = top->text();
        const QChar letter = text.at(text.indexOf(u'&') + 1).toLower();
        QVERIFY2(!letters.contains(letter), qPrintable(text));
        letters.insert(letter);
    }
}

void TestDatabaseActions::exitClosesAsTheMainWindowDoes()
{
    // A typed change: the window asks, and Cancel keeps it open with the change.
    dm().CompaniesTable->edit();
    dm().CompaniesTable->setValue(QStringLiteral("Name"), QStringLiteral("Typed"));
    m_f->messages.answerDialog(QMessageBox::Cancel);
    fileItem(Qt::Key_X);
    QVERIFY(m_main->isVisible());
    QVERIFY(dm().CompaniesTable->isEditing());

    m_f->messages.answerDialog(QMessageBox::No);
    fileItem(Qt::Key_X);
    QVERIFY(!m_main->isVisible());
    QCOMPARE(m_f->messages.entries().size(), 2);
}

void TestDatabaseActions::backupKeepsThePendingEditOutOfTheCopy()
{
    dm().CompaniesTable->edit();
    dm().CompaniesTable->setValue(QStringLiteral("Name"), QStringLiteral("Typed"));
    const QString copy = m_out->filePath(QStringLiteral("copy.mdb"));
    m_f->files.answerSave(copy);
    fileItem(Qt::Key_B);

    QCOMPARE(m_f->files.requests().size(), 1);
    QCOMPARE(m_f->files.requests()[0].defaultExtension, QStringLiteral("mdb"));
    QCOMPARE(m_f->messages.texts(), QStringList{QStringLiteral("The database was copied to '%1'.").arg(copy)});
    QCOMPARE(scalarIn(copy, QStringLiteral("SELECT Name FROM Companies WHERE CompanyID = 3")).toString(),
             QStringLiteral("Acme"));
    QCOMPARE(scalarIn(copy, QStringLiteral("SELECT count(*) FROM People")).toInt(), 3);
    QVERIFY(dm().CompaniesTable->isEditing());
    QCOMPARE(dm().CompaniesTable->value(QStringLiteral("Name")).toString(), QStringLiteral("Typed"));
}

void TestDatabaseActions::cancelledBackupWritesNoFile()
{
    m_f->files.answerSave(m_out->filePath(QStringLiteral("copy.mdb")));
    cancelTheCopySoon();
    fileItem(Qt::Key_B);
    QCOMPARE(m_f->messages.texts(), QStringList{QStringLiteral("The backup was cancelled; no copy was written.")});
    QVERIFY(QDir(m_out->path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

void TestDatabaseActions::theOpenFileIsNeitherBackedUpOverNorRestored()
{
    m_f->files.answerSave(dmPath);
    fileItem(Qt::Key_B);
    QCOMPARE(m_f->messages.entries().size(), 1);
    QCOMPARE(m_f->messages.entries()[0].type, MessageService::Type::Warning);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 3);
    QCOMPARE(filesBesideTheDatabase(), QStringList{QStringLiteral("Vornadel.mdb")});

    // Nor is the open file restored over itself: no question, nothing written.
    m_f->messages.clear();
    m_f->files.answerOpenFile(dmPath);
    fileItem(Qt::Key_R);
    QCOMPARE(m_f->messages.entries().size(), 1);
    QCOMPARE(m_f->messages.entries()[0].type, MessageService::Type::Warning);
    QCOMPARE(filesBesideTheDatabase(), QStringList{QStringLiteral("Vornadel.mdb")});
}

void TestDatabaseActions::restoreAsksNamingBothFilesWithNoTheDefault()
{
    const QString copy = m_out->filePath(QStringLiteral("copy.mdb"));
    backUp(*dm().MainADOConnection(), copy);
    m_f->messages.answerDialog(QMessageBox::No);
    m_f->files.answerOpenFile(copy);
    fileItem(Qt::Key_R);

    QCOMPARE(m_f->messages.entries().size(), 1);
    const auto& question = m_f->messages.entries()[0];
    QVERIFY(question.text.contains(dmPath));
    QVERIFY(question.text.contains(copy));
    QVERIFY(question.text.contains(QLocale().toString(QFileInfo(copy).lastModified(), QLocale::ShortFormat)));
    QCOMPARE(question.defaultButton, QMessageBox::No);
    QCOMPARE(filesBesideTheDatabase(), QStringList{QStringLiteral("Vornadel.mdb")});
}

void TestDatabaseActions::restoreRefusesAFileThatFailsTheChecks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("damaged") << "damaged" << "not a database";
    QTest::newRow("another program's") << "foreign" << "Companies";
    QTest::newRow("another key") << "key" << "Not a valid password";
    QTest::newRow("a newer program's") << "newer" << "newer version";
}

void TestDatabaseActions::restoreRefusesAFileThatFailsTheChecks()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString chosen = m_out->filePath(QStringLiteral("chosen.mdb"));
    if (kind == u"damaged") {
        backUp(*dm().MainADOConnection(), chosen);
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(0);
        file.write(QByteArray(4096, 'x'));
    } else if (kind == u"foreign") {
        Connection c = Connection::create(chosen, databasePassword());
        c.exec(QStringLiteral("CREATE TABLE Invoices (ID INTEGER PRIMARY KEY)"));
    } else if (kind == u"key") {
        Connection c = Connection::create(chosen, QStringLiteral("another"));
        createSchema(c);
    } else {
        backUp(*dm().MainADOConnection(), chosen);
        Connection c = dm().MainADOConnection()->openKeyedAlike(chosen);
        c.setSchemaVersion(programSchemaVersion() + 1);
    }
    const QByteArray chosenBytes = [&] {
        QFile f(chosen);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    dm().CompaniesTable->edit();
    dm().CompaniesTable->setValue(QStringLiteral("Name"), QStringLiteral("Typed"));
    m_f->messages.answerDialog(QMessageBox::Yes);
    m_f->files.answerOpenFile(chosen);
    fileItem(Qt::Key_R);

    QCOMPARE(m_f->messages.entries().size(), 2);
    const auto& refusal = m_f->messages.entries()[1];
    QCOMPARE(refusal.type, MessageService::Type::Error);
    QVERIFY2(refusal.text.contains(QStringLiteral("cannot be restored, and nothing was changed")), qPrintable(refusal.text));
    QVERIFY2(refusal.text.contains(reason, Qt::CaseInsensitive), qPrintable(refusal.text));
    QVERIFY2(refusal.text.contains(chosen), qPrintable(refusal.text));
    // Nothing changed: the open file, the change still typed, the chosen file, and no copy was written.
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT group_concat(Name) FROM Companies")).toString(),
             QStringLiteral("Acme,Borealis,Cobalt"));
    QVERIFY(dm().CompaniesTable->isEditing());
    QCOMPARE(dm().CompaniesTable->value(QStringLiteral("Name")).toString(), QStringLiteral("Typed"));
    QCOMPARE(dm().CompaniesTable->recordCount(), 3);
    QFile after(chosen);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), chosenBytes);
    QCOMPARE(filesBesideTheDatabase(), QStringList{QStringLiteral("Vornadel.mdb")});
}

void TestDatabaseActions::restorePutsTheCopyInPlaceAndTheWindowsShowIt()
{
    const QString copy = m_out->filePath(QStringLiteral("copy.mdb"));
    backUp(*dm().MainADOConnection(), copy);
    // After the copy: a company more, one renamed, and a change typed but not saved.
    dm().MainADOConnection()->exec(QStringLiteral("INSERT INTO Companies (CompanyID, Name) VALUES (9, 'Delta');"
                                                  "UPDATE Companies SET Name = 'Renamed' WHERE CompanyID = 3"));
    dm().CompaniesTable->reread();
    QCOMPARE(dm().CompaniesTable->recordCount(), 4);
    TBusinessForm business(m_f->forms);
    business.show();
    QVERIFY(dm().BusinessTable->locate({QStringLiteral("PersonID")}, {40}));
    QCOMPARE(business.PersonCompanyTable->value(QStringLiteral("Name")).toString(), QStringLiteral("Renamed"));
    QVERIFY(dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {5}));
    dm().CompaniesTable->edit();
    dm().CompaniesTable->setValue(QStringLiteral("Name"), QStringLiteral("Typed"));

    m_f->messages.answerDialog(QMessageBox::Yes);
    m_f->files.answerOpenFile(copy);
    fileItem(Qt::Key_R);

    QCOMPARE(m_f->messages.entries().size(), 2);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 3);
    QCOMPARE(dm().CompaniesTable->recordCount(), 3);
    QVERIFY(!dm().CompaniesTable->isEditing());
    QCOMPARE(business.PersonCompanyTable->value(QStringLiteral("Name")).toString(), QStringLiteral("Acme"));
    // The database as it was, the typed change saved into it, lies beside it, as the message says.
    const QStringList beside = filesBesideTheDatabase();
    QCOMPARE(beside.size(), 2);
    const QString before = QFileInfo(dmPath).dir().filePath(beside.filter(QStringLiteral("before restore")).value(0));
    QVERIFY2(m_f->messages.entries()[1].text.contains(before), qPrintable(m_f->messages.entries()[1].text));
    QCOMPARE(scalarIn(before, QStringLiteral("SELECT Name FROM Companies WHERE CompanyID = 9")).toString(),
             QStringLiteral("Delta"));
    QCOMPARE(scalarIn(before, QStringLiteral("SELECT Name FROM Companies WHERE CompanyID = 5")).toString(),
             QStringLiteral("Typed"));
}

void TestDatabaseActions::cancelledRestoreLeavesTheDatabase()
{
    const QString copy = m_out->filePath(QStringLiteral("copy.mdb"));
    backUp(*dm().MainADOConnection(), copy);
    dm().MainADOConnection()->exec(QStringLiteral("INSERT INTO Companies (CompanyID, Name) VALUES (9, 'Delta')"));
    dm().CompaniesTable->reread();
    m_f->messages.answerDialog(QMessageBox::Yes);
    m_f->files.answerOpenFile(copy);
    cancelTheCopySoon();
    fileItem(Qt::Key_R);

    QCOMPARE(m_f->messages.entries().last().text, QStringLiteral("The restore was cancelled; the open database is as it was."));
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 4);
    QCOMPARE(dm().CompaniesTable->recordCount(), 4);
}

void TestDatabaseActions::restoreUpgradesAnOlderCopyAndNotTheChosenFile()
{
    const QString copy = m_out->filePath(QStringLiteral("copy.mdb"));
    backUp(*dm().MainADOConnection(), copy);
    // Kept where it may not be written.
    QVERIFY(QFile::setPermissions(copy, QFileDevice::ReadOwner));
    const int version = dm().MainADOConnection()->schemaVersion();
    UpgradeSteps steps(size_t(version), [](Connection&) {});
    steps.push_back([](Connection& c) { c.exec(QStringLiteral("CREATE TABLE Added (ID INTEGER PRIMARY KEY)")); });
    {
        DatabaseRestore restore(dm(), copy, steps);
        while (!restore.step(16)) {
        }
    }
    QCOMPARE(m_f->scalar(QStringLiteral("PRAGMA user_version")).toInt(), version + 1);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT count(*) FROM Added")).toInt(), 0);
    QCOMPARE(scalarIn(copy, QStringLiteral("PRAGMA user_version")).toInt(), version);
    QVERIFY(dm().CompaniesTable->isActive());
}

void TestDatabaseActions::dailyCopyKeepsTheSevenNewestOfItsOwn()
{
    const QDir folder(dailyCopyFolder(dmPath));
    QVERIFY(QDir().mkpath(folder.path()));
    const QDate today(2026, 3, 10);
    // Eight older copies, and files the program did not write.
    for (int days = 1; days <= 8; ++days)
        QVERIFY(writeFile(folder.filePath(QStringLiteral("Vornadel %1.mdb").arg(today.addDays(-days).toString(u"yyyy-MM-dd"))), "old"));
    const QStringList others{QStringLiteral("Vornadel 2020-13-40.mdb"), QStringLiteral("notes.mdb"),
                             QStringLiteral("Vornadel 2001-01-01.mdb.txt")};
    for (const QString& name : others)
        QVERIFY(writeFile(folder.filePath(name), "mine"));

    keepDailyCopy(*dm().MainADOConnection(), today);
    QVERIFY(m_f->messages.entries().isEmpty());
    const QString todays = folder.filePath(QStringLiteral("Vornadel 2026-03-10.mdb"));
    QCOMPARE(scalarIn(todays, QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 3);
    QStringList expected = others;
    for (int days = 0; days <= 6; ++days)
        expected.append(QStringLiteral("Vornadel %1.mdb").arg(today.addDays(-days).toString(u"yyyy-MM-dd")));
    expected.sort();
    QCOMPARE(folder.entryList(QDir::Files, QDir::Name), expected);

    // A second start the same day leaves today's copy as it is.
    dm().MainADOConnection()->exec(QStringLiteral("INSERT INTO Companies (CompanyID, Name) VALUES (9, 'Delta')"));
    keepDailyCopy(*dm().MainADOConnection(), today);
    QCOMPARE(scalarIn(todays, QStringLiteral("SELECT count(*) FROM Companies")).toInt(), 3);
}

void TestDatabaseActions::dailyCopyFailureIsShownOnceAndTheProgramGoesOn()
{
    // A file where the folder should be: nothing can be written into it.
    QVERIFY(writeFile(dailyCopyFolder(dmPath), "in the way"));
    keepDailyCopy(*dm().MainADOConnection(), QDate(2026, 3, 10));
    QCOMPARE(m_f->messages.entries().size(), 1);
    QCOMPARE(m_f->messages.entries()[0].type, MessageService::Type::Warning);
    QVERIFY(m_f->messages.entries()[0].text.contains(QDir::toNativeSeparators(dailyCopyFolder(dmPath))));
    QCOMPARE(dm().CompaniesTable->recordCount(), 3);
}

QTEST_MAIN(TestDatabaseActions)
#include "tst_databaseactions.moc"
