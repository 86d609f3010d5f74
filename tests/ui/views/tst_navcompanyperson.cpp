#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "support/MainWindowProbe.h"
#include "toolkit/widgets/DBGrid.h"
#include "ui/views/NavCompanyProject.h"
#include "support/ShownWindow.h"

namespace {

// The view with its main windows replaced by probes.
class ProbeView : public TNavCompanyPersonForm
{
public:
    ProbeView(Forms& forms, QList<ProbeRecord>& shows) : TNavCompanyPersonForm(forms), m_data(forms), m_shows(shows) {}

protected:
    std::unique_ptr<TDataEntryForm> newDataEntryForm() override
    {
        return std::make_unique<MainWindowProbe>(m_data, m_shows);
    }

private:
    Forms& m_data;
    QList<ProbeRecord>& m_shows;
};

// What the system sends for a double-click: press, release, double-click, release.
void doubleClickAt(DBGrid* grid, const QPoint& at)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
}

void doubleClickRow(DBGrid* grid, int row)
{
    doubleClickAt(grid, grid->visualRect(grid->model()->index(row, 1)).center());
}

QStringList column(DBGrid* grid, int col)
{
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts.append(grid->model()->index(row, col).data().toString());
    return texts;
}

} // namespace

class TestNavCompanyPerson : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void gridsShowTheirColumnsAndFollowTheCompany();
    void doubleClickAndEnterOpenMainWindowAtRecord();
    void doubleClicksOnEmptyGridsDoNothing();
    void mainWindowIsFreedAfterAnError();
    void keyboardLeavesTheGrids();

private:
    void makeView(bool withRows = true);
    TMainDataModule& dm() { return *m_f->dm; }

    std::unique_ptr<MainWindowFixture> m_f;
    QList<ProbeRecord> m_shows;
    std::unique_ptr<ProbeView> m_view;
};

void TestNavCompanyPerson::makeView(bool withRows)
{
    m_f = std::make_unique<MainWindowFixture>(withRows);
    m_view = std::make_unique<ProbeView>(m_f->forms, m_shows);
    QVERIFY(showActive(*m_view));
}

void TestNavCompanyPerson::cleanup()
{
    m_view.reset();
    m_f.reset();
    m_shows.clear();
    MainWindowProbe::failShow = false;
    QCOMPARE(MainWindowProbe::alive, 0);
}

void TestNavCompanyPerson::gridsShowTheirColumnsAndFollowTheCompany()
{
    makeView();
    QCOMPARE(m_view->windowTitle(), QStringLiteral("NavCompanyPersonForm"));
    QAbstractItemModel* companies = m_view->DBGrid1->model();
    QCOMPARE(companies->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QCOMPARE(companies->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Comments"));
    QCOMPARE(m_view->DBGrid2->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QCOMPARE(m_view->DBGrid2->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Info"));
    QCOMPARE(column(m_view->DBGrid2, 1), QStringList({QStringLiteral("Ann"), QStringLiteral("Bob")}));

    QTest::mouseClick(m_view->DBGrid1->viewport(), Qt::LeftButton, {},
                      m_view->DBGrid1->visualRect(companies->index(1, 1)).center());
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("Name")), QStringLiteral("Borealis"));
    QCOMPARE(column(m_view->DBGrid2, 1), QStringList{QStringLiteral("Cecil")});
    QCOMPARE(m_view->ADOTable2->text(QStringLiteral("Name")), QStringLiteral("Cecil"));
    QVERIFY(m_view->DBGrid1->isReadOnly() && m_view->DBGrid2->isReadOnly());

    // The company chosen here stays current for every window once the view is gone.
    m_view.reset();
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("Name")), QStringLiteral("Borealis"));
    QCOMPARE(dm().PeopleCompanyDet->text(QStringLiteral("Name")), QStringLiteral("Cecil"));
}

void TestNavCompanyPerson::doubleClickAndEnterOpenMainWindowAtRecord()
{
    makeView();
    doubleClickRow(m_view->DBGrid2, 1);
    QCOMPARE(m_shows.size(), 1);
    QCOMPARE(m_shows[0].page, int(TDataEntryForm::ClientsPage));
    QCOMPARE(m_shows[0].person, QStringLiteral("41"));

    // The last company, reached with the main window's Last, opens as any other row.
    dm().CompaniesTable->last();
    doubleClickRow(m_view->DBGrid1, 2);
    QCOMPARE(m_shows.size(), 2);
    QCOMPARE(m_shows[1].page, int(TDataEntryForm::CompaniesPage));
    QCOMPARE(m_shows[1].company, QStringLiteral("7"));

    m_view->DBGrid1->setFocus();
    QTest::keyClick(m_view->DBGrid1, Qt::Key_Up);
    QTest::keyClick(m_view->DBGrid1, Qt::Key_Return);
    QCOMPARE(m_shows.size(), 3);
    QCOMPARE(m_shows[2].company, QStringLiteral("5"));
    QVERIFY(m_view->isVisible());
    QCOMPARE(MainWindowProbe::alive, 0);
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("CompanyID")), QStringLiteral("5"));
}

void TestNavCompanyPerson::doubleClicksOnEmptyGridsDoNothing()
{
    makeView(false);
    for (DBGrid* grid : {m_view->DBGrid1, m_view->DBGrid2}) {
        doubleClickAt(grid, grid->visualRect(grid->model()->index(0, 1)).center());
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
    }
    m_view->DBGrid1DblClick();
    m_view->DBGrid2DblClick();
    QVERIFY(m_shows.isEmpty());

    // A company without people.
    m_view.reset();
    makeView();
    dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {7});
    QVERIFY(m_view->ADOTable2->isEmpty());
    m_view->DBGrid2DblClick();
    QVERIFY(m_shows.isEmpty());
}

void TestNavCompanyPerson::mainWindowIsFreedAfterAnError()
{
    makeView();
    MainWindowProbe::failShow = true;
    doubleClickRow(m_view->DBGrid1, 0);
    QCOMPARE(m_f->messages.texts(), QStringList{QStringLiteral("The window could not be shown.")});
    QCOMPARE(MainWindowProbe::alive, 0);
}

void TestNavCompanyPerson::keyboardLeavesTheGrids()
{
    makeView();
    m_view->DBGrid1->setFocus();
    QTest::keyClick(m_view->DBGrid1, Qt::Key_Down);
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("CompanyID")), QStringLiteral("5"));
    QTest::keyClick(m_view->DBGrid1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_view->DBGrid2);
    QTest::keyClick(m_view->DBGrid2, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), m_view->DBGrid1);
}

QTEST_MAIN(TestNavCompanyPerson)
#include "tst_navcompanyperson.moc"
