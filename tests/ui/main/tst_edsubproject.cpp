#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/DBText.h"
#include "ui/main/DataEntry.h"
#include "ui/main/EDSubProject.h"
#include "support/ShownWindow.h"

namespace {

// A details window whose modal show records the subproject it would show instead of blocking.
class ProbeDetails : public TEDSubProjectForm
{
public:
    explicit ProbeDetails(Forms& forms) : TEDSubProjectForm(forms), m_table(forms.MainDataModule->SubProjectsTable) {}
    QStringList shown;

    void showModalWindow() override { shown.append(m_table->text(QStringLiteral("SubProjectID"))); }

private:
    Dataset* m_table;
};

} // namespace

class TestSubProjectDetails : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showSubProjectDetailsFindsOrReturns_data();
    void showSubProjectDetailsFindsOrReturns();
    void windowFollowsItsSubprojectNavigator();
    void pickedDateGoesIntoHistory();
    void closingAsksAboutUnsavedRows();
    void detailsButtonShowsThePlainTablesSubproject();
    void pickerKeepsTheLastChosenDay();
    void enterInTheCalendarAccepts();
    void theGridsAreReachedAndLeftByKeyboard();
    void personsGridShowsTheRolesInOrder();

private:
    Dataset* subprojects() { return m_f->dm->SubProjectsTable; }

    std::unique_ptr<MainWindowFixture> m_f;
    std::unique_ptr<ProbeDetails> m_w;
};

void TestSubProjectDetails::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    m_w = std::make_unique<ProbeDetails>(m_f->forms);
}

void TestSubProjectDetails::cleanup()
{
    m_w.reset();
    m_f.reset();
}

void TestSubProjectDetails::showSubProjectDetailsFindsOrReturns_data()
{
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("0 shows the current one") << qint64(0) << QStringList{"29"};
    QTest::newRow("found") << qint64(28) << QStringList{"28"};
    QTest::newRow("deleted") << qint64(27) << QStringList();
    // Cut to 32 bits it would be 28.
    QTest::newRow("id beyond 32 bits") << (qint64(1) << 32) + 28 << QStringList();
}

void TestSubProjectDetails::showSubProjectDetailsFindsOrReturns()
{
    QFETCH(qint64, id);
    QFETCH(QStringList, shown);

    subprojects()->locate({QStringLiteral("SubProjectID")}, {27});
    subprojects()->deleteRecord();
    subprojects()->locate({QStringLiteral("SubProjectID")}, {29});

    m_w->ShowSubProjectDetails(id);
    QCOMPARE(m_w->shown, shown);
    if (shown.isEmpty())
        QCOMPARE(subprojects()->text(QStringLiteral("SubProjectID")), QStringLiteral("29"));
}

void TestSubProjectDetails::windowFollowsItsSubprojectNavigator()
{
    QCOMPARE(m_w->DBEdit1->text(), QStringLiteral("Pilot"));
    QCOMPARE(m_w->HistoryTable->recordCount(), 1);
    QCOMPARE(m_w->DBGrid2->model()->index(0, 0).data().toString(), QStringLiteral("Ann"));

    QTest::mouseClick(m_w->DBNavigator4->button(DBNavigator::Next), Qt::LeftButton);
    QCOMPARE(m_w->DBEdit1->text(), QStringLiteral("Review"));
    QVERIFY(m_w->HistoryTable->isEmpty());
    QCOMPARE(m_w->DBGrid2->model()->index(0, 0).data().toString(), QStringLiteral("Cecil"));
    // The company of the subproject's own project, while the shared project table stays on Acme's.
    QCOMPARE(m_f->dm->ProjectsTable->text(QStringLiteral("CompanyName")), QStringLiteral("Acme"));
    QCOMPARE(m_w->DBText5->text(), QStringLiteral("Borealis"));
}

void TestSubProjectDetails::pickedDateGoesIntoHistory()
{
    QTest::mouseClick(m_w->DBNavigator4->button(DBNavigator::Next), Qt::LeftButton);
    QTest::keyClick(m_w->DBGrid1, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(m_w->HistoryTable->state(), Dataset::State::Browse);

    m_f->picker->answer = QDate(2025, 1, 20);
    QTest::keyClick(m_w->DBGrid1, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(m_f->picker->shows, 2);
    QCOMPARE(m_w->HistoryTable->state(), Dataset::State::Insert);
    QCOMPARE(m_w->HistoryTable->text(QStringLiteral("SubProjectID")), QStringLiteral("28"));
    QCOMPARE(m_w->HistoryTable->value(QStringLiteral("Date")).toDate(), QDate(2025, 1, 20));
    QTest::mouseClick(m_w->DBNavigator2->button(DBNavigator::Post), Qt::LeftButton);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Date FROM SubProjectHistory WHERE SubProjectID = 28")).toString(),
             QStringLiteral("2025-01-20 00:00:00"));
}

void TestSubProjectDetails::closingAsksAboutUnsavedRows()
{
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
    m_w->HistoryTable->edit();
    m_w->HistoryTable->setValue(QStringLiteral("SubProjectStatusID"), 3);

    m_f->messages.answerDialog(QMessageBox::Cancel);
    QTest::keyClick(m_w.get(), Qt::Key_Escape);
    QVERIFY(m_w->isVisible());
    QCOMPARE(m_w->HistoryTable->state(), Dataset::State::Edit);

    m_f->messages.answerDialog(QMessageBox::Yes);
    m_w->close();
    QVERIFY(!m_w->isVisible());
    QCOMPARE(m_f->messages.entries().size(), 2);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT SubProjectStatusID FROM SubProjectHistory WHERE SubProjectID = 27")).toInt(), 3);
}

void TestSubProjectDetails::detailsButtonShowsThePlainTablesSubproject()
{
    TDataEntryForm window(m_f->forms);
    subprojects()->locate({QStringLiteral("SubProjectID")}, {28});
    QString shownName;
    QTimer::singleShot(0, this, [&] {
        auto* details = qobject_cast<TEDSubProjectForm*>(QApplication::activeModalWidget());
        QVERIFY(details);
        shownName = details->DBEdit1->text();
        details->reject();
    });
    window.Button1->click();
    QCOMPARE(shownName, QStringLiteral("Review"));
    QCOMPARE(m_f->dm->SubProjectsDetail->text(QStringLiteral("Name")), QStringLiteral("Pilot"));
    QVERIFY(!window.Button1->isVisibleTo(&window));
}

void TestSubProjectDetails::pickerKeepsTheLastChosenDay()
{
    TPickDateForm picker;
    QCOMPARE(picker.date(), QDate::currentDate());
    const QDate chosen = QDate::currentDate().addDays(-3);

    QTimer::singleShot(0, this, [&] {
        picker.MonthCalendar1->setSelectedDate(chosen);
        picker.close();
    });
    QCOMPARE(picker.showModalWindow(), int(QDialog::Rejected));
    QCOMPARE(picker.date(), chosen);

    bool openAfterDoubleClick = false;
    QTimer::singleShot(0, this, [&] {
        auto* days = picker.MonthCalendar1->findChild<QTableView*>();
        QTest::mouseDClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(days->currentIndex()).center());
        openAfterDoubleClick = picker.isVisible();
        QTest::mouseClick(picker.Button1, Qt::LeftButton);
    });
    QCOMPARE(picker.showModalWindow(), int(QDialog::Accepted));
    QVERIFY(openAfterDoubleClick);
    QCOMPARE(picker.date(), chosen);
}

void TestSubProjectDetails::enterInTheCalendarAccepts()
{
    TPickDateForm picker;
    QCOMPARE(picker.windowTitle(), QStringLiteral("Pick Date"));
    QTimer::singleShot(0, this, [&] {
        auto* days = picker.MonthCalendar1->findChild<QTableView*>();
        QTest::keyClick(days, Qt::Key_Left);
        QTest::keyClick(days, Qt::Key_Return);
    });
    QCOMPARE(picker.showModalWindow(), int(QDialog::Accepted));
    QCOMPARE(picker.date(), QDate::currentDate().addDays(-1));
}

void TestSubProjectDetails::theGridsAreReachedAndLeftByKeyboard()
{
    QVERIFY(showActive(*m_w));
    m_w->DBGrid1->setFocus();
    QTest::keyClick(m_w->DBGrid1, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), m_w->DBGrid2);
    QTest::keyClick(m_w->DBGrid2, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), m_w->DBGrid1);

    // Plain Tab walks the persons' cells, then leaves from the last one.
    subprojects()->locate({QStringLiteral("SubProjectID")}, {27});
    QCOMPARE(m_w->PersonsTable->recordCount(), 1);
    m_w->DBGrid2->setFocus();
    for (int cell = 0; cell < 6; ++cell)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_w->DBGrid2);
    QTest::keyClick(m_w->DBGrid2, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != m_w->DBGrid2);
}

void TestSubProjectDetails::personsGridShowsTheRolesInOrder()
{
    subprojects()->locate({QStringLiteral("SubProjectID")}, {27});
    QAbstractItemModel* grid = m_w->DBGrid2->model();
    QStringList titles;
    for (int column = 0; column < grid->columnCount(); ++column)
        titles.append(grid->headerData(column, Qt::Horizontal).toString());
    QCOMPARE(titles, QStringList({"PersonName", "SPDecisionMaker", "SPUser", "SPInfluencer", "SPPurchaser",
                                  "SPGateKeeper", "SPWeight"}));
    QCOMPARE(grid->index(0, 6).data().toString(), QStringLiteral("50"));
}

QTEST_MAIN(TestSubProjectDetails)
#include "tst_edsubproject.moc"
