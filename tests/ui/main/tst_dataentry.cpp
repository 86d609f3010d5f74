#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QToolButton>
#include <QTabBar>
#include <QtTest>

#include "support/StoreRefusal.h"
#include "support/MainWindowFixture.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/DBLookupComboBox.h"
#include "toolkit/widgets/DBMemo.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/GridDelegate.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "support/ShownWindow.h"

namespace {

// A main window whose modal show records what its caller set up instead of blocking.
class ProbeForm : public TDataEntryForm
{
public:
    using TDataEntryForm::TDataEntryForm;
    int shows = 0;
    int pageAtShow = -1;
    // Typed into whatever has the focus once the window is up, when set.
    QString typedAtShow;

protected:
    void showModalWindow() override
    {
        ++shows;
        pageAtShow = MainDataEntry->currentIndex();
        if (typedAtShow.isEmpty())
            return;
        show();
        if (QTest::qWaitForWindowActive(this) && QApplication::focusWidget())
            QTest::keyClicks(QApplication::focusWidget(), typedAtShow);
    }
};

using Kind = RecordingMessageService::Kind;

void clickTab(PageControl* pages, int index)
{
    QTabBar* bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

void press(DBNavigator* navigator, DBNavigator::Button button)
{
    QTest::mouseClick(navigator->button(button), Qt::LeftButton);
}

} // namespace

class TestDataEntryForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyControlIsInsideTheWindow();
    void pagePrerequisitesRunOnUserTabChangeOnly();
    void showRecordMovesAndSelectsPage_data();
    void showRecordMovesAndSelectsPage();
    void showPersonRecordShowsThePersonOnTheClientsPage();
    void showNewRecordStartsRecordOnShownPage_data();
    void showNewRecordStartsRecordOnShownPage();
    void newRecordTakesWhatIsTypedFirst_data();
    void newRecordTakesWhatIsTypedFirst();
    void pendingNewCompanyEndsBeforeTheProjectsPageLooks();
    void deleteQuestionNamesTheRecordAndWhatGoesWithIt();
    void strategiesStartsProgramWithTheThreeIds();
    void typeCommentFollowsChosenType();
    void movingCompanyMovesThePagesBelow();
    void historyDateComesFromPicker();
    void scriptedSession();
    void closingAsksAboutPendingChanges_data();
    void closingAsksAboutPendingChanges();
    void aPasteOverEmojiSavesTheStartOfThePaste();

private:
    void makeWindow(bool withRows);
    TMainDataModule& dm() { return *m_f->dm; }

    std::unique_ptr<MainWindowFixture> m_f;
    ProbeForm* m_w = nullptr;
};

void TestDataEntryForm::makeWindow(bool withRows)
{
    m_f.reset();  // its recording services go before the next ones install themselves
    m_f = std::make_unique<MainWindowFixture>(withRows);
    m_w = &m_f->makeMainWindow<ProbeForm>();
}

void TestDataEntryForm::init()
{
    makeWindow(true);
}

void TestDataEntryForm::cleanup()
{
    m_f.reset();
}

void TestDataEntryForm::everyControlIsInsideTheWindow()
{
    QCOMPARE(m_w->windowTitle(), QStringLiteral("Vornadel"));
    QCOMPARE(m_w->MainDataEntry->currentIndex(), int(TDataEntryForm::ClientsPage));
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
    for (QWidget* page : {m_w->CompaniesTabSheet, m_w->ProjetcsTabSheet, m_w->SubProjectsTabSheet}) {
        m_w->MainDataEntry->setCurrentWidget(page);
        QCoreApplication::processEvents();
        const QRect inside = page->rect();
        for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!control->isVisible())
                continue;
            const QRect area(control->mapTo(page, QPoint(0, 0)), control->size());
            QVERIFY2(inside.contains(area), qPrintable(control->objectName()));
            QVERIFY2(control->width() >= control->minimumSizeHint().width(), qPrintable(control->objectName()));
        }
    }
}

void TestDataEntryForm::pagePrerequisitesRunOnUserTabChangeOnly()
{
    makeWindow(false);
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
    const QString selectCompany = QStringLiteral("Please, Select company first.");

    for (int page : {1, 3, 2, 4, 5, 0})
        clickTab(m_w->MainDataEntry, page);
    QCOMPARE(m_f->messages.texts(), QStringList({selectCompany, selectCompany,
                                                 QStringLiteral("Please, Select company and then project."),
                                                 QStringLiteral("Please, Select subproject first.")}));
    clickTab(m_w->MainDataEntry, 1);
    QCOMPARE(m_w->MainDataEntry->currentIndex(), 1);  // the message informs; the page stays

    m_f->messages.clear();
    m_w->MainDataEntry->setCurrentIndex(TDataEntryForm::SubProjectsPage);
    QTest::mouseClick(m_w->ContributionButton, Qt::LeftButton);
    QCOMPARE(m_w->MainDataEntry->currentIndex(), int(TDataEntryForm::ContributionPage));
    QVERIFY(m_f->messages.texts().isEmpty());

    // A company without projects: only the Subprojects check speaks.
    dm().CompaniesTable->insert();
    dm().CompaniesTable->setValue(QStringLiteral("Name"), QStringLiteral("Solo"));
    dm().CompaniesTable->post();
    for (int page : {1, 3, 2})
        clickTab(m_w->MainDataEntry, page);
    QCOMPARE(m_f->messages.texts(), QStringList({QStringLiteral("Please, Select company and then project.")}));
}

void TestDataEntryForm::showRecordMovesAndSelectsPage_data()
{
    QTest::addColumn<bool>("project");
    QTest::addColumn<QVariant>("id");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("companyAfter");
    QTest::addColumn<QString>("projectAfter");

    const int clients = TDataEntryForm::ClientsPage;
    QTest::newRow("company null") << false << QVariant() << clients << "3" << "14";
    QTest::newRow("company 0") << false << QVariant(0) << int(TDataEntryForm::CompaniesPage) << "3" << "14";
    QTest::newRow("company found") << false << QVariant(5) << int(TDataEntryForm::CompaniesPage) << "5" << "15";
    QTest::newRow("company not found") << false << QVariant(99) << clients << "3" << "14";
    QTest::newRow("project null") << true << QVariant() << clients << "3" << "14";
    QTest::newRow("project 0") << true << QVariant(0) << int(TDataEntryForm::ProjectsPage) << "3" << "14";
    QTest::newRow("project found") << true << QVariant(16) << int(TDataEntryForm::ProjectsPage) << "3" << "16";
    QTest::newRow("project of another company") << true << QVariant(15) << clients << "3" << "14";
}

void TestDataEntryForm::showRecordMovesAndSelectsPage()
{
    QFETCH(bool, project);
    QFETCH(QVariant, id);
    QFETCH(int, page);
    QFETCH(QString, companyAfter);
    QFETCH(QString, projectAfter);

    if (project)
        m_w->ShowProjectRecord(id);
    else
        m_w->ShowCompanyRecord(id);
    QCOMPARE(m_w->shows, 1);
    QCOMPARE(m_w->pageAtShow, page);
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("CompanyID")), companyAfter);
    QCOMPARE(dm().ProjectsDetail->text(QStringLiteral("ProjectID")), projectAfter);
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestDataEntryForm::showPersonRecordShowsThePersonOnTheClientsPage()
{
    m_w->MainDataEntry->setCurrentIndex(TDataEntryForm::CompaniesPage);
    m_w->ShowPersonRecord(99);
    QCOMPARE(m_w->pageAtShow, int(TDataEntryForm::CompaniesPage));
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("CompanyID")), QStringLiteral("3"));

    m_w->ShowPersonRecord(42);
    QCOMPARE(m_w->pageAtShow, int(TDataEntryForm::ClientsPage));
    QCOMPARE(dm().PeopleTable->text(QStringLiteral("PersonID")), QStringLiteral("42"));
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("Name")), QStringLiteral("Borealis"));
    QCOMPARE(dm().PeopleCompanyDet->text(QStringLiteral("Name")), QStringLiteral("Cecil"));
    QCOMPARE(m_w->shows, 2);
}

void TestDataEntryForm::showNewRecordStartsRecordOnShownPage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("dataset");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");

    QTest::newRow("company") << 1 << "CompaniesTable" << int(TDataEntryForm::CompaniesPage) << "Name" << "";
    QTest::newRow("person of the current company")
        << 2 << "PeopleCompanyDet" << int(TDataEntryForm::ClientsPage) << "CompanyID" << "3";
    QTest::newRow("project of the current company")
        << 3 << "ProjectsDetail" << int(TDataEntryForm::ProjectsPage) << "CompanyID" << "3";
    QTest::newRow("subproject with default type")
        << 4 << "SubProjectsDetail" << int(TDataEntryForm::SubProjectsPage) << "SubProjectTypeID" << "3";
    QTest::newRow("unknown kind") << 5 << "" << int(TDataEntryForm::ClientsPage) << "" << "";
}

void TestDataEntryForm::showNewRecordStartsRecordOnShownPage()
{
    QFETCH(int, kind);
    QFETCH(QString, dataset);
    QFETCH(int, page);
    QFETCH(QString, field);
    QFETCH(QString, value);

    m_w->ShowNewRecord(kind);
    QCOMPARE(m_w->shows, 1);
    QCOMPARE(m_w->pageAtShow, page);
    QStringList inserting;
    for (Dataset* d : dm().sharedDatasets())
        if (d->state() == Dataset::State::Insert)
            inserting.append(d->name());
    QCOMPARE(inserting, dataset.isEmpty() ? QStringList() : QStringList{dataset});
    for (Dataset* d : dm().sharedDatasets())
        if (d->name() == dataset)
            QCOMPARE(d->text(field), value);
}

void TestDataEntryForm::newRecordTakesWhatIsTypedFirst_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("dataset");
    QTest::addColumn<QString>("lastField");
    QTest::newRow("company") << 1 << "CompaniesTable" << "DBMemo2";
    QTest::newRow("person") << 2 << "PeopleCompanyDet" << "DBMemo5";
    QTest::newRow("project") << 3 << "ProjectsDetail" << "DBMemo3";
    QTest::newRow("subproject") << 4 << "SubProjectsDetail" << "DBMemo4";
}

// From a "New" menu item, and by Alt+Insert from the last field of the page.
void TestDataEntryForm::newRecordTakesWhatIsTypedFirst()
{
    QFETCH(int, kind);
    QFETCH(QString, dataset);
    QFETCH(QString, lastField);
    Dataset* d = nullptr;
    for (Dataset* shared : dm().sharedDatasets())
        if (shared->name() == dataset)
            d = shared;
    QVERIFY(d);

    m_w->typedAtShow = QStringLiteral("Fresh");
    m_w->ShowNewRecord(kind);
    QCOMPARE(d->state(), Dataset::State::Insert);
    d->updateRecord();
    QCOMPARE(d->text(QStringLiteral("Name")), QStringLiteral("Fresh"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace, Qt::AltModifier);
    auto* last = m_w->findChild<QWidget*>(lastField);
    last->setFocus();
    QTest::keyClick(last, Qt::Key_Insert, Qt::AltModifier);
    QCOMPARE(d->state(), Dataset::State::Insert);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Second"));
    d->updateRecord();
    QCOMPARE(d->text(QStringLiteral("Name")), QStringLiteral("Second"));
}

void TestDataEntryForm::pendingNewCompanyEndsBeforeTheProjectsPageLooks()
{
    QVERIFY(showActive(*m_w));
    clickTab(m_w->MainDataEntry, TDataEntryForm::CompaniesPage);
    m_w->DBMemo2->setFocus();
    QTest::keyClick(m_w->DBMemo2, Qt::Key_Insert, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Delta"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);

    QCOMPARE(m_w->MainDataEntry->currentIndex(), int(TDataEntryForm::ProjectsPage));
    QVERIFY(m_f->messages.texts().isEmpty());
    QCOMPARE(dm().CompaniesTable->state(), Dataset::State::Browse);
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("Name")), QStringLiteral("Delta"));
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT count(*) FROM Companies WHERE Name = 'Delta'")).toInt(), 1);

    // The page is ready for the company's first project.
    m_w->DBMemo3->setFocus();
    QTest::keyClick(m_w->DBMemo3, Qt::Key_Insert, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Launch"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT c.Name FROM Projects p JOIN Companies c USING (CompanyID)"
                                        " WHERE p.Name = 'Launch'")).toString(), QStringLiteral("Delta"));

    // A company the file refuses: its error, and its page back with it as typed.
    refuseInStore(*dm().MainADOConnection(), QStringLiteral("NoBad"), QStringLiteral("BEFORE INSERT ON Companies"),
                  QStringLiteral("NEW.Name = 'Bad'"), QStringLiteral("refused here"));
    clickTab(m_w->MainDataEntry, TDataEntryForm::CompaniesPage);
    m_w->DBEdit9->setFocus();
    QTest::keyClick(m_w->DBEdit9, Qt::Key_Insert, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Bad"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(m_f->messages.texts().size(), 1);
    QVERIFY2(m_f->messages.texts().first().contains(QStringLiteral("refused here")), qPrintable(m_f->messages.texts().first()));
    QCOMPARE(m_w->MainDataEntry->currentIndex(), int(TDataEntryForm::CompaniesPage));
    QCOMPARE(dm().CompaniesTable->state(), Dataset::State::Insert);
    QCOMPARE(m_w->DBEdit8->text(), QStringLiteral("Bad"));
}

void TestDataEntryForm::deleteQuestionNamesTheRecordAndWhatGoesWithIt()
{
    QVERIFY(showActive(*m_w));
    clickTab(m_w->MainDataEntry, TDataEntryForm::SubProjectsPage);
    m_w->DBEdit1->setFocus();
    QTest::keyClick(m_w->DBEdit1, Qt::Key_Delete, Qt::AltModifier);
    QCOMPARE(m_f->messages.texts(),
             QStringList{"Delete record?\n\nThe subproject \"Pilot\", and with it: 1 status row, 1 buying-role row."});
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT count(*) FROM SubProjects WHERE SubProjectID = 27")).toInt(), 1);

    m_f->messages.clear();
    clickTab(m_w->MainDataEntry, TDataEntryForm::ProjectsPage);
    m_w->DBEdit24->setFocus();
    QTest::keyClick(m_w->DBEdit24, Qt::Key_PageDown, Qt::AltModifier);
    m_w->DBEdit24->setFocus();
    QTest::keyClick(m_w->DBEdit24, Qt::Key_Delete, Qt::AltModifier);
    QCOMPARE(m_f->messages.texts(), QStringList{"Delete record?\n\nThe project \"Upgrade\"."});
}

void TestDataEntryForm::strategiesStartsProgramWithTheThreeIds()
{
    const QString select = QStringLiteral("please, select Company -> Project -> Subproject.");
    QTest::mouseClick(m_w->Strategies, Qt::LeftButton);
    QCOMPARE(m_f->shell.calls(), (QList<RecordingShellService::Call>{{QStringLiteral("QZ.exe"), QStringLiteral("3 14 27")}}));
    QVERIFY(m_f->messages.entries().isEmpty());

    m_f->shell.setResult(false);
    QTest::mouseClick(m_w->Strategies, Qt::LeftButton);
    QCOMPARE(m_f->messages.texts(), QStringList{QStringLiteral("The strategy program \"QZ.exe\" could not be started.")});

    m_f->messages.clear();
    dm().ProjectsDetail->locate({QStringLiteral("ProjectID")}, {16});
    QTest::mouseClick(m_w->Strategies, Qt::LeftButton);
    dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {7});
    QTest::mouseClick(m_w->Strategies, Qt::LeftButton);
    QCOMPARE(m_f->messages.texts(), QStringList({select, select}));
    QCOMPARE(m_f->shell.calls().size(), 2);
}

void TestDataEntryForm::typeCommentFollowsChosenType()
{
    const QString comment1 = m_f->scalar(QStringLiteral("SELECT Comments FROM SubProjectType WHERE SPTypeID = 1")).toString();
    const QString comment2 = m_f->scalar(QStringLiteral("SELECT Comments FROM SubProjectType WHERE SPTypeID = 2")).toString();
    QVERIFY(!comment2.isEmpty() && comment1 != comment2);
    QCOMPARE(m_w->DBEdit13->text(), comment1);

    QTest::keyClick(m_w->DBLookupComboBox4, Qt::Key_Down);
    QCOMPARE(dm().SubProjectsDetail->asInteger(QStringLiteral("SubProjectTypeID")), 2);
    QCOMPARE(m_w->DBEdit13->text(), comment2);
    QVERIFY(m_w->DBEdit13->isReadOnly());
}

void TestDataEntryForm::movingCompanyMovesThePagesBelow()
{
    press(m_w->DBNavigator1, DBNavigator::Next);
    QCOMPARE(m_w->DBEdit8->text(), QStringLiteral("Borealis"));
    QCOMPARE(m_w->DBEdit22->text(), QStringLiteral("Audit"));
    QCOMPARE(m_w->DBEdit1->text(), QStringLiteral("Review"));
    QVERIFY(dm().SubProjectHistoryQ->isEmpty());

    press(m_w->DBNavigator1, DBNavigator::Prior);
    QCOMPARE(m_w->DBEdit1->text(), QStringLiteral("Pilot"));
    const QString status = m_f->scalar(QStringLiteral("SELECT SPStatusName FROM SubProjectStatus WHERE SPStatusID = 2")).toString();
    QCOMPARE(m_w->DBGrid1->model()->index(0, 1).data().toString(), status);
}

void TestDataEntryForm::historyDateComesFromPicker()
{
    auto pick = [&](std::optional<QDate> answer) {
        m_f->picker->answer = answer;
        QTest::keyClick(m_w->DBGrid1, Qt::Key_Return, Qt::ControlModifier);
    };
    Dataset* history = dm().SubProjectHistoryQ;
    const QDateTime stored = history->value(QStringLiteral("Date")).toDateTime();

    pick(std::nullopt);  // closed by its close box
    QCOMPARE(m_f->picker->shows, 1);
    QCOMPARE(history->state(), Dataset::State::Browse);
    QCOMPARE(history->value(QStringLiteral("Date")).toDateTime(), stored);

    pick(QDate(2024, 4, 2));
    QCOMPARE(history->state(), Dataset::State::Edit);
    QCOMPARE(history->value(QStringLiteral("Date")).toDateTime(), QDateTime(QDate(2024, 4, 2), QTime(0, 0)));
    press(m_w->DBNavigator5, DBNavigator::Post);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Date FROM SubProjectHistory WHERE SubProjectID = 27")).toString(),
             QStringLiteral("2024-04-02 00:00:00"));

    // An empty history starts a new row for the current subproject.
    press(m_w->DBNavigator4, DBNavigator::Next);
    QCOMPARE(dm().SubProjectsDetail->text(QStringLiteral("SubProjectID")), QStringLiteral("29"));
    pick(QDate(2024, 6, 30));
    QCOMPARE(history->state(), Dataset::State::Insert);
    QCOMPARE(history->value(QStringLiteral("Date")).toDate(), QDate(2024, 6, 30));
    QCOMPARE(history->text(QStringLiteral("SubProjectID")), QStringLiteral("29"));
    QCOMPARE(history->text(QStringLiteral("SubProjectStatusID")), QStringLiteral("1"));
    QVERIFY(m_f->messages.entries().isEmpty());

    // Without a subproject the data module refuses the row and says why; nothing is left pending.
    history->cancel();
    dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {7});
    pick(QDate(2024, 7, 1));
    QCOMPARE(m_f->messages.entries().size(), 1);
    QCOMPARE(history->state(), Dataset::State::Browse);
    QVERIFY(history->isEmpty());
}

void TestDataEntryForm::scriptedSession()
{
    m_w->MainDataEntry->setCurrentIndex(TDataEntryForm::CompaniesPage);
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w));

    press(m_w->DBNavigator1, DBNavigator::Insert);
    QTest::keyClicks(m_w->DBEdit8, QStringLiteral("Delta Corp"));
    press(m_w->DBNavigator1, DBNavigator::Post);
    const QVariant company = m_f->scalar(QStringLiteral("SELECT CompanyID FROM Companies WHERE Name = 'Delta Corp'"));
    QVERIFY(!company.isNull());

    clickTab(m_w->MainDataEntry, TDataEntryForm::ProjectsPage);
    press(m_w->DBNavigator3, DBNavigator::Insert);
    QTest::keyClicks(m_w->DBEdit22, QStringLiteral("Launch"));
    press(m_w->DBNavigator3, DBNavigator::Post);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT CompanyID FROM Projects WHERE Name = 'Launch'")), company);

    clickTab(m_w->MainDataEntry, TDataEntryForm::SubProjectsPage);
    press(m_w->DBNavigator4, DBNavigator::Insert);
    QTest::keyClicks(m_w->DBEdit1, QStringLiteral("Kickoff"));
    QVERIFY(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM SubProjects WHERE Name = 'Kickoff'")).toInt() == 0);

    // The ellipsis of the history's date cell, on the unsaved subproject.
    m_f->picker->answer = QDate(2024, 5, 6);
    DBGrid* grid = m_w->DBGrid1;
    const QRect cell = grid->visualRect(grid->model()->index(0, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, GridDelegate::ellipsisRect(cell).center());
    QCOMPARE(m_f->picker->shows, 1);
    const QVariant subproject = m_f->scalar(QStringLiteral("SELECT SubProjectID FROM SubProjects WHERE Name = 'Kickoff'"));
    QVERIFY(!subproject.isNull());
    press(m_w->DBNavigator5, DBNavigator::Post);

    QCOMPARE(m_f->scalar(QStringLiteral("SELECT SubProjectID || ' ' || SubProjectStatusID || ' ' || Date"
                                        " FROM SubProjectHistory WHERE SubProjectID = %1").arg(subproject.toInt())).toString(),
             QStringLiteral("%1 1 2024-05-06 00:00:00").arg(subproject.toInt()));
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT SubProjectTypeID || ' ' || SizeID FROM SubProjects WHERE SubProjectID = %1")
                             .arg(subproject.toInt())).toString(), QStringLiteral("3 2"));
    QVERIFY(grid->model()->index(0, 0).data().toString().contains(QStringLiteral("2024")));
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestDataEntryForm::closingAsksAboutPendingChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QStringList>("messages");

    const QString question = QStringLiteral("Some changes have not been saved. Save them before closing?");
    QTest::newRow("nothing pending") << "" << int(QMessageBox::NoButton) << true << "Acme" << QStringList();
    QTest::newRow("save") << "company" << int(QMessageBox::Yes) << true << "Acme Ltd" << QStringList{question};
    QTest::newRow("discard") << "company" << int(QMessageBox::No) << true << "Acme" << QStringList{question};
    QTest::newRow("stay") << "company" << int(QMessageBox::Cancel) << false << "Acme" << QStringList{question};
    QTest::newRow("refused save stays open")
        << "nameless person" << int(QMessageBox::Yes) << false << "Acme"
        << QStringList{question, QStringLiteral("Required field is empty.")};
}

void TestDataEntryForm::closingAsksAboutPendingChanges()
{
    QFETCH(QString, change);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(QString, storedName);
    QFETCH(QStringList, messages);

    m_w->MainDataEntry->setCurrentIndex(TDataEntryForm::CompaniesPage);
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
    if (change == QLatin1String("company")) {
        QTest::keyClick(m_w->DBEdit8, Qt::Key_End);
        QTest::keyClicks(m_w->DBEdit8, QStringLiteral(" Ltd"));
    }
    if (change == QLatin1String("nameless person")) {
        dm().PeopleCompanyDet->insert();
        dm().PeopleCompanyDet->setValue(QStringLiteral("Title"), QStringLiteral("Buyer"));
    }
    m_f->messages.answerDialog(QMessageBox::StandardButton(answer));

    QCOMPARE(m_w->close(), closes);
    QCOMPARE(m_f->messages.texts(), messages);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Name FROM Companies WHERE CompanyID = 3")).toString(), storedName);
    if (change == QLatin1String("company") && !closes)
        QCOMPARE(m_w->DBEdit8->text(), QStringLiteral("Acme Ltd"));
    if (change == QLatin1String("company") && closes)
        QCOMPARE(dm().CompaniesTable->state(), Dataset::State::Browse);
    if (change == QLatin1String("nameless person"))
        QCOMPARE(dm().PeopleCompanyDet->text(QStringLiteral("Title")), QStringLiteral("Buyer"));
}

QTEST_MAIN(TestDataEntryForm)
void TestDataEntryForm::aPasteOverEmojiSavesTheStartOfThePaste()
{
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    m_w->MainDataEntry->setCurrentIndex(TDataEntryForm::CompaniesPage);
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
    DBEdit* name = m_w->DBEdit8;
    name->setFocus();
    QGuiApplication::clipboard()->setText(smile.repeated(255));
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    press(m_w->DBNavigator1, DBNavigator::Post);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Name FROM Companies WHERE CompanyID = 3")).toString(), smile.repeated(255));

    QGuiApplication::clipboard()->setText(QString(200, u'a') + smile.repeated(60));
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    press(m_w->DBNavigator1, DBNavigator::Post);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Name FROM Companies WHERE CompanyID = 3")).toString(),
             QString(200, u'a') + smile.repeated(55));
    QVERIFY(m_f->messages.entries().isEmpty());
}

#include "tst_dataentry.moc"
