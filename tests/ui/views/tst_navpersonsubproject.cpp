#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "ViewProbes.h"
#include "ViewTestSupport.h"
#include "ui/views/NavPersonSubProject.h"

using namespace ViewTest;
using View = ProbeView<TNavPersonSubProjectForm>;

class TestNavPersonSubProject : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensOnActivationWithLayoutAndTabOrder();
    void chartOfThePersonsWeights();
    void backOnFirstRowAfterDetailsWindow();
    void emptyGridsOpenNothing();
    void chosenPersonStaysAfterClose();

private:
    View& open(bool withRows = true);

    ViewUnderTest<TNavPersonSubProjectForm> m_t;
};

void TestNavPersonSubProject::init()
{
    m_t.reset();
}

void TestNavPersonSubProject::cleanup()
{
    m_t.reset();
}

View& TestNavPersonSubProject::open(bool withRows)
{
    View& v = m_t.open(withRows);
    QApplication::setActiveWindow(&v);
    if (!QTest::qWaitForWindowActive(&v))
        qWarning("The view did not become active.");
    return v;
}

void TestNavPersonSubProject::opensOnActivationWithLayoutAndTabOrder()
{
    m_t.fixture = std::make_unique<MainWindowFixture>();
    m_t.view = std::make_unique<View>(m_t.fixture->forms, m_t.log);
    QVERIFY(!m_t.view->DetBusinessTable->isActive());
    View& v = open();
    QVERIFY(v.DetBusinessTable->isActive());
    QCOMPARE(v.windowTitle(), QStringLiteral("NavPersonSubProjectForm"));
    QCOMPARE(QStringList({v.Label1->text(), v.Label2->text()}), QStringList({"Person", "Subprojects"}));
    QCOMPARE(titles(v.DBGrid1), QStringList({"PersonID", "Name", "CompanyName", "Title", "Email", "Mobile", "Info"}));
    QCOMPARE(titles(v.DBGrid2), QStringList({"SubProjectName", "SPDecisionMaker", "SPUser", "SPInfluencer", "SPPurchaser",
                                             "SPGateKeeper", "SPWeight"}));
    QCOMPARE(v.DBGrid1->model()->index(0, 2).data().toString(), QStringLiteral("Acme"));
    QCOMPARE(v.DBGrid2->model()->index(0, 6).data().toString(), QStringLiteral("50"));
    QVERIFY(v.DBChart1->threeD());
    QCOMPARE(tabWalk(v.DBGrid1, 2), QStringList({"DBGrid2", "DBChart1"}));
    QCOMPARE(tabWalk(v.DBGrid2, 1, true), QStringList({"DBGrid1"}));

    v.reject();
    QVERIFY(!v.DetBusinessTable->isActive());
}

void TestNavPersonSubProject::chartOfThePersonsWeights()
{
    m_t.prepare(QStringLiteral("UPDATE SubProjects SET Name = 'Implementation A' WHERE SubProjectID = 27;"
                               "UPDATE Business SET SPWeight = 2 WHERE PersonID = 40;"
                               "INSERT INTO Business (PersonID, SubProjectID, SPWeight) VALUES (40, 28, 1)"),
                &TMainDataModule::SubProjectsTable);
    View& v = open();

    QCOMPARE(m_t.fixture->dm->PeopleTable->asInteger(QStringLiteral("PersonID")), 40);
    QCOMPARE(v.DBGrid2->model()->index(0, 0).data().toString(), QStringLiteral("Implementa"));
    QCOMPARE(marks(v.DBChart1), QStringList({"Implementa 66.67 %", "Review 33.33 %"}));
    QTest::keyClick(v.DBGrid2, Qt::Key_Down);
    QCOMPARE(v.DetBusinessTable->recNo(), 1);
    QCOMPARE(marks(v.DBChart1).size(), 2);

    QTest::keyClick(v.DBGrid1, Qt::Key_Down);
    QCOMPARE(m_t.fixture->dm->PeopleTable->asInteger(QStringLiteral("PersonID")), 41);
    QVERIFY(v.DetBusinessTable->isEmpty());
    QVERIFY(v.DBChart1->slices().isEmpty());
}

void TestNavPersonSubProject::backOnFirstRowAfterDetailsWindow()
{
    m_t.fixture = std::make_unique<MainWindowFixture>();
    m_t.fixture->scalar(QStringLiteral("INSERT INTO Business (PersonID, SubProjectID, SPWeight) VALUES (40, 28, 1)"));
    View& v = open();
    bool closedWhileShown = false;
    m_t.log.whileShown = [&] { closedWhileShown = !v.DetBusinessTable->isActive(); };

    QTest::keyClick(v.DBGrid2, Qt::Key_Down);
    QTest::keyClick(v.DBGrid2, Qt::Key_Return);
    QCOMPARE(m_t.log.shows, QStringList({"details of 28"}));
    QVERIFY(closedWhileShown);
    QCOMPARE(m_t.log.freed, 1);
    QVERIFY(v.DetBusinessTable->isActive());
    QCOMPARE(v.DetBusinessTable->recNo(), 0);
    QCOMPARE(v.DBChart1->slices().size(), 2);

    // Also after an error in the details window.
    m_t.log.failShow = true;
    QTest::keyClick(v.DBGrid2, Qt::Key_Down);
    doubleClickRow(v.DBGrid2, 1);
    QCOMPARE(m_t.fixture->messages.texts(), QStringList({"The window failed."}));
    QCOMPARE(m_t.log.freed, 2);
    QVERIFY(v.DetBusinessTable->isActive());
    QCOMPARE(v.DetBusinessTable->recNo(), 0);
}

void TestNavPersonSubProject::emptyGridsOpenNothing()
{
    View& v = open(false);
    doubleClickRow(v.DBGrid1, 0);
    doubleClickRow(v.DBGrid2, 0);
    QTest::keyClick(v.DBGrid2, Qt::Key_Return);
    QCOMPARE(m_t.log.made, 0);
    QVERIFY(m_t.fixture->messages.entries().isEmpty());
}

void TestNavPersonSubProject::chosenPersonStaysAfterClose()
{
    View& v = open();
    QTest::keyClick(v.DBGrid1, Qt::Key_Down);
    QTest::keyClick(v.DBGrid1, Qt::Key_Return);
    QCOMPARE(m_t.log.shows, QStringList({"main at page 3"}));
    v.reject();
    m_t.view.reset();
    QCOMPARE(m_t.fixture->dm->PeopleTable->asInteger(QStringLiteral("PersonID")), 41);
}

QTEST_MAIN(TestNavPersonSubProject)
#include "tst_navpersonsubproject.moc"
