#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "support/ShownWindow.h"
#include "reports/ReportMenu.h"
#include "toolkit/db/DataSource.h"
#include "support/RecordingPreviewService.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/DBLookupComboBox.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/views/Business.h"
#include "ui/views/NavPersonSubProject.h"
#include "ui/views/NavProjectSubProject.h"

// What one window saves shows in the others when they come forward, and F5 reads the dataset of
// the control with the focus anew, rows added elsewhere included.
class TestStaleWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void roleSavedInTheTransactionsWindowShowsEverywhere();
    void f5OnTheContributionGridReadsRowsAddedElsewhere();
    void projectsAddedElsewhereShowInTheViewAndF5ReadsThem();
    void aPendingEditIsNeitherSavedNorLostWhenTheWindowComesForward();

private:
    TMainDataModule& dm() { return *m_f->dm; }
    void activate(QWidget* window);
    QStringList column(DBGrid* grid, int column);
    // Bob takes part in Pilot with weight 30, saved through the shared BusinessTable.
    void saveBobInPilotElsewhere();

    std::unique_ptr<MainWindowFixture> m_f;
    TDataEntryForm* m_w = nullptr;
};

void TestStaleWindows::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    m_w = &m_f->makeMainWindow(TDataEntryForm::ContributionPage);
    QVERIFY(showActive(*m_w));
}

void TestStaleWindows::cleanup()
{
    m_f.reset();
}

// As the window manager brings a window forward when the one above it closes.
void TestStaleWindows::activate(QWidget* window)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

QStringList TestStaleWindows::column(DBGrid* grid, int column)
{
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts.append(grid->model()->index(row, column).data().toString());
    return texts;
}

void TestStaleWindows::saveBobInPilotElsewhere()
{
    Dataset* business = dm().BusinessTable;
    business->append();
    business->setValue(QStringLiteral("PersonID"), 41);
    business->setValue(QStringLiteral("SubProjectID"), 27);
    business->setValue(QStringLiteral("SPWeight"), 30);
    business->post();
}

void TestStaleWindows::roleSavedInTheTransactionsWindowShowsEverywhere()
{
    // A subproject added on the Subprojects page, by keys.
    QTest::keyClick(m_w, Qt::Key_U, Qt::AltModifier);
    QCOMPARE(m_w->MainDataEntry->currentIndex(), int(TDataEntryForm::SubProjectsPage));
    m_w->DBEdit1->setFocus();
    QTest::keyClick(m_w->DBEdit1, Qt::Key_Insert, Qt::AltModifier);
    m_w->DBEdit1->setFocus();
    QTest::keyClicks(m_w->DBEdit1, QStringLiteral("Kickoff"));
    QTest::keyClick(m_w->DBEdit1, Qt::Key_Return, Qt::AltModifier);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM SubProjects WHERE Name = 'Kickoff'")).toInt(), 1);

    // In the transactions window: a new row, Bob (people by company: Ann, Bob, Cecil), the new
    // subproject (the last in the list), weight 30, saved.
    {
        TBusinessForm business(m_f->forms);
        business.show();
        activate(&business);
        business.WeightEdit->setFocus();
        QTest::keyClick(business.WeightEdit, Qt::Key_Insert, Qt::AltModifier);
        QCOMPARE(dm().BusinessTable->state(), Dataset::State::Insert);
        business.DBLookupComboBox1->setFocus();
        QTest::keyClick(business.DBLookupComboBox1, Qt::Key_Down);
        QTest::keyClick(business.DBLookupComboBox1, Qt::Key_Down);
        business.DBLookupComboBox2->setFocus();
        QTest::keyClick(business.DBLookupComboBox2, Qt::Key_End);
        QCOMPARE(business.DBLookupComboBox2->currentText(), QStringLiteral("Kickoff"));
        business.WeightEdit->setFocus();
        QTest::keyClicks(business.WeightEdit, QStringLiteral("30"));
        QTest::keyClick(business.WeightEdit, Qt::Key_Return, Qt::AltModifier);
        QCOMPARE(dm().BusinessTable->state(), Dataset::State::Browse);
        business.close();
    }
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM Business JOIN SubProjects USING (SubProjectID)"
                                        " WHERE PersonID = 41 AND Name = 'Kickoff' AND SPWeight = 30")).toInt(), 1);

    // The main window comes forward; its Contribution page shows the row.
    activate(m_w);
    QTest::keyClick(m_w, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(m_w->MainDataEntry->currentIndex(), int(TDataEntryForm::ContributionPage));
    QCOMPARE(m_w->DBEdit2->text(), QStringLiteral("Kickoff"));
    QCOMPARE(column(m_w->DBGrid3, 0), QStringList{"Bob"});
    QCOMPARE(column(m_w->DBGrid3, 7), QStringList{"30"});

    // The person-subproject view, on Bob (the second person), shows it with its subproject.
    {
        TNavPersonSubProjectForm view(m_f->forms);
        view.show();
        activate(&view);
        view.DBGrid1->setFocus();
        QTest::keyClick(view.DBGrid1, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(view.DBGrid1, Qt::Key_Down);
        QCOMPARE(dm().PeopleTable->text(QStringLiteral("Name")), QStringLiteral("Bob"));
        QCOMPARE(column(view.DBGrid2, 0), QStringList{"Kickoff"});
        QCOMPARE(column(view.DBGrid2, 6), QStringList{"30"});
        view.close();
    }

    // The "All" report has it in the hierarchy.
    activate(m_w);
    RecordingPreviewService previews;
    previewAll(dm());
    const QString text = previews.allTexts().join(u' ');
    QVERIFY2(text.contains(QLatin1String("Kickoff Contribution Bob 30")), qPrintable(text));
}

void TestStaleWindows::f5OnTheContributionGridReadsRowsAddedElsewhere()
{
    m_w->DBGrid3->setFocus();
    QCOMPARE(column(m_w->DBGrid3, 0), QStringList{"Ann"});
    saveBobInPilotElsewhere();
    QVERIFY(QApplication::activeWindow() == m_w);
    QCOMPARE(column(m_w->DBGrid3, 0), QStringList{"Ann"});
    QTest::keyClick(m_w->DBGrid3, Qt::Key_F5);
    QCOMPARE(column(m_w->DBGrid3, 0), QStringList({"Ann", "Bob"}));
    QCOMPARE(dm().PeopleDetail->text(QStringLiteral("PersonName")), QStringLiteral("Ann"));

    // Also with the focus in the page's summary, which no navigator serves: its subproject is read.
    dm().SubProjectsTable->locate({QStringLiteral("SubProjectID")}, {27});
    dm().SubProjectsTable->edit();
    dm().SubProjectsTable->setValue(QStringLiteral("Code"), QStringLiteral("P-1"));
    dm().SubProjectsTable->post();
    QVERIFY(m_w->DBEdit3->text().isEmpty());
    m_w->DBEdit3->setFocus();
    QTest::keyClick(m_w->DBEdit3, Qt::Key_F5);
    QCOMPARE(m_w->DBEdit3->text(), QStringLiteral("P-1"));
}

void TestStaleWindows::projectsAddedElsewhereShowInTheViewAndF5ReadsThem()
{
    // A project added on the Projects page, by keys, shows in the view when it opens.
    QTest::keyClick(m_w, Qt::Key_P, Qt::AltModifier);
    m_w->DBEdit22->setFocus();
    QTest::keyClick(m_w->DBEdit22, Qt::Key_Insert, Qt::AltModifier);
    m_w->DBEdit22->setFocus();
    QTest::keyClicks(m_w->DBEdit22, QStringLiteral("Migration"));
    QTest::keyClick(m_w->DBEdit22, Qt::Key_Return, Qt::AltModifier);

    TNavProjectSubProjectForm view(m_f->forms);
    view.show();
    activate(&view);
    QCOMPARE(column(view.DBGrid1, 1), QStringList({"Rollout", "Audit", "Upgrade", "Migration"}));

    // While the view is up, rows saved through other datasets show after F5 in their grid.
    Dataset* projects = dm().ProjectsDetail;
    projects->append();
    projects->setValue(QStringLiteral("Name"), QStringLiteral("Training"));
    projects->post();
    view.DBGrid1->setFocus();
    QTest::keyClick(view.DBGrid1, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(column(view.DBGrid1, 1).size(), 4);
    QTest::keyClick(view.DBGrid1, Qt::Key_F5);
    QCOMPARE(column(view.DBGrid1, 1), QStringList({"Rollout", "Audit", "Upgrade", "Migration", "Training"}));
    QCOMPARE(dm().ProjectsTable->text(QStringLiteral("Name")), QStringLiteral("Rollout"));

    QCOMPARE(column(view.DBGrid2, 1), QStringList({"Pilot", "Phase two"}));
    dm().SubProjectsDetail->locate({QStringLiteral("SubProjectID")}, {27});
    Dataset* subprojects = dm().SubProjectsTable;
    subprojects->append();
    subprojects->setValue(QStringLiteral("ProjectID"), 14);
    subprojects->setValue(QStringLiteral("Name"), QStringLiteral("Wave 3"));
    subprojects->post();
    view.DBGrid2->setFocus();
    QTest::keyClick(view.DBGrid2, Qt::Key_F5);
    QCOMPARE(column(view.DBGrid2, 1), QStringList({"Pilot", "Phase two", "Wave 3"}));
}

void TestStaleWindows::aPendingEditIsNeitherSavedNorLostWhenTheWindowComesForward()
{
    // A weight typed into the Contribution grid, not saved.
    DBGrid* grid = m_w->DBGrid3;
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 7));
    QTest::keyClicks(grid->focusWidget(), QStringLiteral("5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(dm().PeopleDetail->state(), Dataset::State::Edit);
    const QVariant typed = dm().PeopleDetail->value(QStringLiteral("SPWeight"));

    saveBobInPilotElsewhere();
    QWidget other;
    other.show();
    activate(&other);
    activate(m_w);
    QCOMPARE(dm().PeopleDetail->state(), Dataset::State::Edit);
    QCOMPARE(dm().PeopleDetail->value(QStringLiteral("SPWeight")), typed);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT SPWeight FROM Business WHERE PersonID = 40")).toInt(), 50);
    QVERIFY(dm().PeopleDetail->isStale());

    // Once saved, the next coming forward reads the row added elsewhere.
    QTest::keyClick(grid, Qt::Key_Return, Qt::AltModifier);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT SPWeight FROM Business WHERE PersonID = 40")), typed);
    activate(&other);
    activate(m_w);
    QCOMPARE(column(grid, 0), QStringList({"Ann", "Bob"}));
}

QTEST_MAIN(TestStaleWindows)
#include "tst_stalewindows.moc"
