#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QtTest>

#include "ViewProbes.h"
#include "ViewTestSupport.h"
#include "support/RecordingFileDialogService.h"
#include "ui/views/NavProjectSubProject.h"
#include "support/TestFiles.h"

using namespace ViewTest;
using View = ProbeView<TNavProjectSubProjectForm>;

class TestNavProjectSubProject : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutCaptionsAndTabOrder();
    void chartFollowsProjectAndSubproject();
    void twoDTwiceReturnsTo3D();
    void saveBitmap();
    void printWithoutPrinterShowsError();
    void doubleClicksOpenWindowsForOneUse();
    void emptyGridsOpenNothing();
    void chosenProjectStaysAfterClose();

private:
    ViewUnderTest<TNavProjectSubProjectForm> m_t;
    QTemporaryDir m_files;
};

void TestNavProjectSubProject::init()
{
    m_t.reset();
}

void TestNavProjectSubProject::cleanup()
{
    m_t.reset();
}

void TestNavProjectSubProject::layoutCaptionsAndTabOrder()
{
    View& v = m_t.open();
    QCOMPARE(v.windowTitle(), QStringLiteral("NavProjectSubProjectForm"));
    QCOMPARE(QStringList({v.Label1->text(), v.Label2->text(), v.Label3->text()}),
             QStringList({"Project", "SubProject", "Persons Involved"}));
    QCOMPARE(titles(v.DBGrid1), QStringList({"ProjectID", "Name", "CompanyName", "Code", "Comments"}));
    QCOMPARE(titles(v.DBGrid2), QStringList({"SubProjectID", "Name", "Code", "Type", "Comments"}));
    QCOMPARE(v.DBGrid2->model()->index(0, 3).data().toString(), QStringLiteral("General"));
    QVERIFY(v.DBGrid1->isReadOnly() && v.DBGrid2->isReadOnly());
    QCOMPARE(v.DBGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(v.CheckBox1->text(), QStringLiteral("2D"));
    QVERIFY(!v.CheckBox1->isChecked());
    QVERIFY(v.DBChart1->threeD());
    QCOMPARE(v.PrintChart->text(), QStringLiteral("Print Chart"));
    QCOMPARE(v.SaveBMP->text(), QStringLiteral("Save BMP"));
    for (QWidget* w : std::initializer_list<QWidget*>{v.DBGrid1, v.DBGrid2, v.DBChart1, v.CheckBox1, v.PrintChart, v.SaveBMP})
        QVERIFY2(v.rect().contains(w->geometry()), qPrintable(w->objectName()));

    QApplication::setActiveWindow(&v);
    QVERIFY(QTest::qWaitForWindowActive(&v));
    QCOMPARE(tabWalk(v.DBGrid1, 5), QStringList({"DBGrid2", "DBChart1", "CheckBox1", "PrintChart", "SaveBMP"}));
    QCOMPARE(tabWalk(v.DBGrid2, 1, true), QStringList({"DBGrid1"}));
}

void TestNavProjectSubProject::chartFollowsProjectAndSubproject()
{
    m_t.prepare(QStringLiteral("INSERT INTO People (PersonID, CompanyID, Name) VALUES (43, 3, 'Maximiliana Featherstonehaugh');"
                               "UPDATE Business SET SPWeight = 30 WHERE PersonID = 40;"
                               "INSERT INTO Business (PersonID, SubProjectID, SPWeight) VALUES (41, 27, 10), (43, 29, 5)"),
                &TMainDataModule::PeopleTable);
    View& v = m_t.open();

    QCOMPARE(m_t.fixture->dm->ProjectsTable->asInteger(QStringLiteral("ProjectID")), 14);
    QCOMPARE(marks(v.DBChart1), QStringList({"Ann 75 %", "Bob 25 %"}));
    QTest::keyClick(v.DBGrid2, Qt::Key_Down);
    QCOMPARE(v.ADOTable2->asInteger(QStringLiteral("SubProjectID")), 29);
    QCOMPARE(marks(v.DBChart1), QStringList({"Maximiliana Feathers 100 %"}));

    // A project without subprojects: the roles that name no subproject, here none.
    QTest::keyClick(v.DBGrid1, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(m_t.fixture->dm->ProjectsTable->asInteger(QStringLiteral("ProjectID")), 16);
    QVERIFY(v.ADOTable2->isEmpty());
    QVERIFY(v.DBChart1->slices().isEmpty());
}

void TestNavProjectSubProject::twoDTwiceReturnsTo3D()
{
    View& v = m_t.open();
    QTest::mouseClick(v.CheckBox1, Qt::LeftButton);
    QVERIFY(v.CheckBox1->isChecked());
    QVERIFY(!v.DBChart1->threeD());
    QTest::mouseClick(v.CheckBox1, Qt::LeftButton);
    QVERIFY(!v.CheckBox1->isChecked());
    QVERIFY(v.DBChart1->threeD());
}

void TestNavProjectSubProject::saveBitmap()
{
    View& v = m_t.open();
    RecordingFileDialogService files;
    QTest::mouseClick(v.SaveBMP, Qt::LeftButton);
    QCOMPARE(files.requests().size(), 1);
    QCOMPARE(files.requests()[0].filter, QStringLiteral("BitMap|*.bmp"));
    QVERIFY(files.requests()[0].defaultExtension.isEmpty());
    QVERIFY(!files.requests()[0].promptOverwrite);
    QVERIFY(QDir(m_files.path()).entryList(QDir::Files).isEmpty());

    // Written under the name exactly as typed, replacing what was there.
    const QString path = m_files.filePath(QStringLiteral("chart"));
    QVERIFY(writeFile(path, "old contents"));
    files.answerSave(path);
    QTest::mouseClick(v.SaveBMP, Qt::LeftButton);
    QCOMPARE(QDir(m_files.path()).entryList(QDir::Files), QStringList({"chart"}));
    QImage picture;
    QVERIFY(picture.load(path, "BMP"));
    QCOMPARE(picture.size(), v.DBChart1->size());
    QCOMPARE(picture.pixelColor(1, 1), QColor(Qt::white));
    QVERIFY(m_t.fixture->messages.entries().isEmpty());

    files.answerSave(m_files.filePath(QStringLiteral("missing/chart.bmp")));
    QTest::mouseClick(v.SaveBMP, Qt::LeftButton);
    QCOMPARE(m_t.fixture->messages.entries().size(), 1);
    QVERIFY(m_t.fixture->messages.entries()[0].text.startsWith(QStringLiteral("Cannot create file")));
    QCOMPARE(marks(v.DBChart1), QStringList({"Ann 100 %"}));
}

void TestNavProjectSubProject::printWithoutPrinterShowsError()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("A printer is installed here; the test would print on it.");
    View& v = m_t.open();
    QTest::mouseClick(v.PrintChart, Qt::LeftButton);
    QCOMPARE(m_t.fixture->messages.texts(), QStringList({"There is no default printer currently selected."}));
    QCOMPARE(marks(v.DBChart1), QStringList({"Ann 100 %"}));
}

void TestNavProjectSubProject::doubleClicksOpenWindowsForOneUse()
{
    View& v = m_t.open();
    doubleClickRow(v.DBGrid1, 0);
    QCOMPARE(m_t.log.shows, QStringList({"main at page 1"}));
    QTest::keyClick(v.DBGrid2, Qt::Key_Down);
    QTest::keyClick(v.DBGrid2, Qt::Key_Return);
    QCOMPARE(m_t.log.shows.last(), QStringLiteral("details of 29"));
    QCOMPARE(m_t.log.freed, 2);

    m_t.log.failShow = true;
    doubleClickRow(v.DBGrid2, 0);
    QCOMPARE(m_t.fixture->messages.texts(), QStringList({"The window failed."}));
    QCOMPARE(m_t.log.made, 3);
    QCOMPARE(m_t.log.freed, 3);
}

void TestNavProjectSubProject::emptyGridsOpenNothing()
{
    View& v = m_t.open(false);
    doubleClickRow(v.DBGrid1, 0);
    doubleClickRow(v.DBGrid2, 0);
    QTest::keyClick(v.DBGrid1, Qt::Key_Return);
    QCOMPARE(m_t.log.made, 0);
    QVERIFY(m_t.fixture->messages.entries().isEmpty());
    QVERIFY(v.DBChart1->slices().isEmpty());
}

void TestNavProjectSubProject::chosenProjectStaysAfterClose()
{
    View& v = m_t.open();
    QTest::keyClick(v.DBGrid1, Qt::Key_Down);
    QTest::keyClick(v.DBGrid2, Qt::Key_Return);
    QCOMPARE(m_t.log.shows, QStringList({"details of 28"}));
    m_t.view.reset();
    Dataset* projects = m_t.fixture->dm->ProjectsTable;
    QVERIFY(projects->isActive());
    QCOMPARE(projects->asInteger(QStringLiteral("ProjectID")), 15);
    QCOMPARE(m_t.fixture->dm->SubProjectsTable->asInteger(QStringLiteral("SubProjectID")), 28);
}

QTEST_MAIN(TestNavProjectSubProject)
#include "tst_navprojectsubproject.moc"
