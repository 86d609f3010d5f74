#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include "support/StoreRefusal.h"
#include "support/MainWindowFixture.h"
#include "data/FollowUps.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/DBMemo.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/main/DueForm.h"
#include "ui/main/DueModel.h"
#include "ui/main/EDSubProject.h"
#include "ui/main/LogPanel.h"
#include "support/ShownWindow.h"

namespace {

const QDate Today(2026, 3, 10);

void press(DBNavigator* navigator, DBNavigator::Button button)
{
    QTest::mouseClick(navigator->button(button), Qt::LeftButton);
}

// A main window whose modal show records where it stands instead of blocking.
class ProbeMainWindow : public TDataEntryForm
{
public:
    ProbeMainWindow(Forms& forms, QStringList& shown) : TDataEntryForm(forms), m_forms(forms), m_shown(shown) {}

protected:
    void showModalWindow() override
    {
        TMainDataModule& dm = *m_forms.MainDataModule;
        m_shown.append(QStringLiteral("page %1 company %2 person %3 subproject %4")
                           .arg(MainDataEntry->currentIndex())
                           .arg(dm.CompaniesTable->text(QStringLiteral("CompanyID")),
                                dm.PeopleCompanyDet->text(QStringLiteral("PersonID")),
                                dm.SubProjectsDetail->text(QStringLiteral("SubProjectID"))));
    }

private:
    Forms& m_forms;
    QStringList& m_shown;
};

// A due list counted to Today whose Enter opens probe main windows.
class ProbeDue : public TDueForm
{
public:
    explicit ProbeDue(Forms& forms) : TDueForm(forms, nullptr, Today), m_forms(forms) {}
    QStringList shown;

protected:
    std::unique_ptr<TDataEntryForm> newDataEntryForm() override
    {
        return std::make_unique<ProbeMainWindow>(m_forms, shown);
    }

private:
    Forms& m_forms;
};

} // namespace

// Follow-ups and the activity log beside a person and a subproject, and the due list.
class TestFollowUps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void clientsPageKeepsTheCurrentPersonsFollowUps();
    void activityLogIsNewestFirstKeepsLongTextsAndFinds();
    void detailsWindowShowsTheSubprojectsLogOnRequest();
    void dueListShowsWhatIsDueOldestFirstAPageAtATime();
    void enterInTheDueListGoesToTheRecord();
    void keysMarkDoneAndMoveOn();
    void startupChoiceIsKeptPerUser();

private:
    TMainDataModule& dm() { return *m_f->dm; }
    void exec(const QString& sql) { m_f->scalar(sql); }
    QString text(const QString& sql) { return m_f->scalar(sql).toString(); }
    // Due by Today: Ann 5 days late, Ann about Pilot 2 days, Review (Borealis) today; and
    // neither a done one nor one due tomorrow.
    void addDueRows();

    std::unique_ptr<MainWindowFixture> m_f;
};

void TestFollowUps::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("VornadelTests"));
    QCoreApplication::setApplicationName(QStringLiteral("tst_followups"));
}

void TestFollowUps::init()
{
    m_f = std::make_unique<MainWindowFixture>();
}

void TestFollowUps::cleanup()
{
    m_f.reset();
}

void TestFollowUps::addDueRows()
{
    exec(QStringLiteral(
        "INSERT INTO FollowUps (FollowUpID, PersonID, SubProjectID, Due, Text, Done) VALUES"
        " (1, 40, NULL, '2026-03-05 00:00:00', 'Send the offer', 0),"
        " (2, 40, 27, '2026-03-08 00:00:00', 'Pilot review', 0),"
        " (3, NULL, 28, '2026-03-10 00:00:00', 'Audit call', 0),"
        " (4, 41, NULL, '2026-03-01 00:00:00', 'Already done', 1),"
        " (5, 41, NULL, '2026-03-11 00:00:00', 'Tomorrow', 0)"));
}

void TestFollowUps::clientsPageKeepsTheCurrentPersonsFollowUps()
{
    TDataEntryForm window(m_f->forms);
    m_f->forms.DataEntryForm = &window;
    window.show();
    window.MainDataEntry->setCurrentIndex(TDataEntryForm::ClientsPage);
    TLogPanel* panel = window.ClientLogPanel;
    QVERIFY(panel->isVisible());
    QVERIFY(dm().PeopleCompanyDet->locate({QStringLiteral("PersonID")}, {40}));

    press(panel->FollowUpsNavigator, DBNavigator::Insert);
    Dataset* followUps = dm().PersonFollowUpsDet;
    QCOMPARE(followUps->state(), Dataset::State::Insert);
    QCOMPARE(followUps->value(QStringLiteral("Due")).toDateTime().date(), QDate::currentDate());
    // A follow-up without a text is refused and stays as typed.
    press(panel->FollowUpsNavigator, DBNavigator::Post);
    QCOMPARE(m_f->messages.entries().constLast().text, QStringLiteral("A follow-up needs a text."));
    QCOMPARE(followUps->state(), Dataset::State::Insert);

    panel->FollowUpsGrid->setFocus();
    panel->FollowUpsGrid->setSelectedColumn(1);
    QTest::keyClick(panel->FollowUpsGrid, 'C');
    QVERIFY(panel->FollowUpsGrid->cellEditor());
    QTest::keyClicks(panel->FollowUpsGrid->cellEditor(), QStringLiteral("all back about the quote"));
    QTest::keyClick(panel->FollowUpsGrid->cellEditor(), Qt::Key_Return);
    press(panel->FollowUpsNavigator, DBNavigator::Post);
    QCOMPARE(followUps->state(), Dataset::State::Browse);
    QCOMPARE(text(QStringLiteral("SELECT PersonID || '|' || coalesce(CAST(SubProjectID AS TEXT), '-') || '|' || Text || '|' || Done FROM FollowUps")),
             QStringLiteral("40|-|Call back about the quote|0"));
    QVERIFY(!TDueForm::wantedAtStartup(*dm().MainADOConnection(), QDate::currentDate().addDays(-1)));
    QVERIFY(TDueForm::wantedAtStartup(*dm().MainADOConnection(), QDate::currentDate()));

    // Space in the Done column switches it; the row is saved as any change is.
    panel->FollowUpsGrid->setFocus();
    panel->FollowUpsGrid->setSelectedColumn(2);
    QTest::keyClick(panel->FollowUpsGrid, Qt::Key_Space);
    QCOMPARE(followUps->asBoolean(QStringLiteral("Done")), true);
    press(panel->FollowUpsNavigator, DBNavigator::Post);
    QCOMPARE(text(QStringLiteral("SELECT Done FROM FollowUps")), QStringLiteral("1"));

    // Tab leaves the grid for the next control.
    panel->FollowUpsGrid->setFocus();
    QTest::keyClick(panel->FollowUpsGrid, Qt::Key_Tab);
    QVERIFY(!panel->FollowUpsGrid->hasFocus());

    // Another person shows only that person's follow-ups.
    QVERIFY(dm().PeopleCompanyDet->locate({QStringLiteral("PersonID")}, {41}));
    QCOMPARE(followUps->recordCount(), 0);
    QVERIFY(dm().PeopleCompanyDet->locate({QStringLiteral("PersonID")}, {40}));
    QCOMPARE(followUps->recordCount(), 1);

    // A company without clients has nobody to follow up.
    QVERIFY(dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {7}));
    press(panel->FollowUpsNavigator, DBNavigator::Insert);
    QCOMPARE(m_f->messages.entries().constLast().text, QStringLiteral("Please, select or save the client first."));
    QCOMPARE(followUps->state(), Dataset::State::Browse);
    press(panel->ActivitiesNavigator, DBNavigator::Insert);
    QCOMPARE(dm().PersonActivitiesDet->state(), Dataset::State::Browse);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT count(*) FROM FollowUps")).toInt(), 1);
}

void TestFollowUps::activityLogIsNewestFirstKeepsLongTextsAndFinds()
{
    exec(QStringLiteral("INSERT INTO Activities (PersonID, \"Date\", Kind, Text) VALUES"
                        " (40, '2024-01-05 09:00:00', 'Meeting', 'Talked budget with finance'),"
                        " (40, '2025-06-01 14:30:00', 'E-mail', 'Sent the brochure'),"
                        " (41, '2025-07-01 10:00:00', 'Call', 'Bob: budget too')"));
    dm().PersonActivitiesDet->reread();
    TDataEntryForm window(m_f->forms);
    m_f->forms.DataEntryForm = &window;
    window.show();
    window.MainDataEntry->setCurrentIndex(TDataEntryForm::ClientsPage);
    TLogPanel* panel = window.ClientLogPanel;
    QVERIFY(dm().PeopleCompanyDet->locate({QStringLiteral("PersonID")}, {40}));
    Dataset* log = dm().PersonActivitiesDet;

    press(panel->ActivitiesNavigator, DBNavigator::Insert);
    QCOMPARE(log->text(QStringLiteral("KindName")), QStringLiteral("Call"));
    QVERIFY(qAbs(log->value(QStringLiteral("Date")).toDateTime().secsTo(QDateTime::currentDateTime())) < 120);
    // A long text is kept whole; a paste beyond the room is cut where the user sees it.
    const QString longText = QStringLiteral("Agreed next steps. ").repeated(160);
    QGuiApplication::clipboard()->setText(longText);
    panel->ActivityText->setFocus();
    panel->ActivityText->paste();
    QCOMPARE(panel->ActivityText->toPlainText().size(), longText.size());
    press(panel->ActivitiesNavigator, DBNavigator::Post);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT length(Text) FROM Activities WHERE Kind = 'Call' AND PersonID = 40")).toInt(),
             longText.size());
    QVERIFY(longText.size() > 3000);

    QStringList shown;
    for (int row = 0; row < log->recordCount(); ++row)
        shown.append(log->textAt(row, QStringLiteral("KindName")));
    QCOMPARE(shown, (QStringList{QStringLiteral("Call"), QStringLiteral("E-mail"), QStringLiteral("Meeting")}));

    press(panel->ActivitiesNavigator, DBNavigator::Insert);
    QGuiApplication::clipboard()->setText(QString(FollowUps::ActivityTextLimit + 500, u'x'));
    panel->ActivityText->setFocus();
    panel->ActivityText->paste();
    QCOMPARE(panel->ActivityText->toPlainText().size(), FollowUps::ActivityTextLimit);
    press(panel->ActivitiesNavigator, DBNavigator::Cancel);

    // Find: the person's own log only, from the entry after the current one, round again.
    log->first();
    QTest::keyClicks(panel->FindEdit, QStringLiteral("BUDGET"));
    QTest::keyClick(panel->FindEdit, Qt::Key_Return);
    QCOMPARE(log->text(QStringLiteral("KindName")), QStringLiteral("Meeting"));
    QTest::keyClick(panel->FindEdit, Qt::Key_Return);
    QCOMPARE(log->text(QStringLiteral("KindName")), QStringLiteral("Meeting"));
    QVERIFY(panel->FindMessage->text().isEmpty());
    panel->FindEdit->setText(QStringLiteral("no such words"));
    QTest::keyClick(panel->FindEdit, Qt::Key_Return);
    QCOMPARE(panel->FindMessage->text(), QStringLiteral("Not found in this log."));
    QCOMPARE(log->text(QStringLiteral("KindName")), QStringLiteral("Meeting"));
}

void TestFollowUps::detailsWindowShowsTheSubprojectsLogOnRequest()
{
    QVERIFY(dm().SubProjectsTable->locate({QStringLiteral("SubProjectID")}, {27}));
    TEDSubProjectForm window(m_f->forms);
    QVERIFY(showActive(window));
    QCOMPARE(window.size(), QSize(731, 509));
    QVERIFY(!window.LogPanel->isVisible());
    // The button clicks itself a moment after its mnemonic.
    QTest::keyClick(&window, Qt::Key_L, Qt::AltModifier);
    QTRY_VERIFY(window.LogPanel->isVisible());
    QVERIFY(window.width() > 1100);

    press(window.LogPanel->FollowUpsNavigator, DBNavigator::Insert);
    window.FollowUpsTable->setText(QStringLiteral("Text"), QStringLiteral("Check the pilot's results"));
    press(window.LogPanel->FollowUpsNavigator, DBNavigator::Post);
    press(window.LogPanel->ActivitiesNavigator, DBNavigator::Insert);
    window.ActivitiesTable->setText(QStringLiteral("Text"), QStringLiteral("Kick-off held"));
    window.ActivitiesTable->setText(QStringLiteral("KindName"), QStringLiteral("Meeting"));
    press(window.LogPanel->ActivitiesNavigator, DBNavigator::Post);
    QCOMPARE(text(QStringLiteral("SELECT coalesce(CAST(PersonID AS TEXT), '-') || '|' || SubProjectID || '|' || Text FROM FollowUps")),
             QStringLiteral("-|27|Check the pilot's results"));
    QCOMPARE(text(QStringLiteral("SELECT SubProjectID || '|' || Kind FROM Activities")), QStringLiteral("27|Meeting"));

    // Dates come from the picker too: a follow-up's day, an activity's day at its own time.
    m_f->picker->answer = QDate(2026, 4, 1);
    const QTime time = window.ActivitiesTable->value(QStringLiteral("Date")).toDateTime().time();
    for (DBGrid* grid : {window.LogPanel->FollowUpsGrid, window.LogPanel->ActivitiesGrid}) {
        grid->setFocus();
        grid->setSelectedColumn(0);
        QTest::keyClick(grid, Qt::Key_Return, Qt::ControlModifier);
    }
    press(window.LogPanel->FollowUpsNavigator, DBNavigator::Post);
    press(window.LogPanel->ActivitiesNavigator, DBNavigator::Post);
    QCOMPARE(text(QStringLiteral("SELECT Due FROM FollowUps")), QStringLiteral("2026-04-01 00:00:00"));
    QCOMPARE(text(QStringLiteral("SELECT \"Date\" FROM Activities")),
             QStringLiteral("2026-04-01 ") + time.toString(QStringLiteral("HH:mm:ss")));

    // The next subproject has a log of its own.
    window.DBNavigator4->button(DBNavigator::Next)->click();
    QCOMPARE(window.FollowUpsTable->recordCount(), 0);
    QCOMPARE(window.ActivitiesTable->recordCount(), 0);
    QTest::keyClick(&window, Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(window.size(), QSize(731, 509));
}

void TestFollowUps::dueListShowsWhatIsDueOldestFirstAPageAtATime()
{
    addDueRows();
    ProbeDue window(m_f->forms);
    QStringList rows;
    for (int r = 0; r < window.Model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < DueModel::ColumnCount; ++c)
            cells.append(window.Model->index(r, c).data().toString());
        rows.append(cells.join(u'|'));
    }
    QCOMPARE(rows, (QStringList{QStringLiteral("2026-03-05|Acme|Ann||Send the offer|5"),
                                QStringLiteral("2026-03-08|Acme|Ann|Pilot|Pilot review|2"),
                                QStringLiteral("2026-03-10|Borealis||Review|Audit call|0")}));
    QCOMPARE(window.CountLabel->text(), QStringLiteral("3 follow-ups due today or earlier, oldest first."));
    QVERIFY(window.KeysLabel->text().contains(QStringLiteral("Ctrl+D")));

    // A long list is read as the view scrolls, in the same order, none twice.
    exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 450)"
                        " INSERT INTO FollowUps (PersonID, Due, Text, Done) SELECT 41, '2026-03-0' || (1 + i % 9) || ' 00:00:00',"
                        " 'n' || i, 0 FROM n"));
    ProbeDue longer(m_f->forms);
    DueModel* model = longer.Model;
    QCOMPARE(model->total(), 453);
    QVERIFY(model->rowCount() < 453);
    while (model->canFetchMore({}))
        model->fetchMore({});
    QCOMPARE(model->rowCount(), 453);
    QSet<qint64> ids;
    for (int r = 1; r < model->rowCount(); ++r) {
        const FollowUps::DueRow& a = model->rowAt(r - 1);
        const FollowUps::DueRow& b = model->rowAt(r);
        QVERIFY(a.due < b.due || (a.due == b.due && a.id < b.id));
        ids.insert(b.id);
    }
    QCOMPARE(ids.size(), 452);
}

void TestFollowUps::enterInTheDueListGoesToTheRecord()
{
    addDueRows();
    ProbeDue window(m_f->forms);
    window.show();
    window.DueGrid->setFocus();
    window.DueGrid->setCurrentIndex(window.Model->index(0, 0));
    QTest::keyClick(window.DueGrid, Qt::Key_Return);
    // About Ann and the pilot: the person wins.
    window.DueGrid->setCurrentIndex(window.Model->index(1, 0));
    QTest::keyClick(window.DueGrid, Qt::Key_Enter);
    // About a subproject of another company only.
    window.DueGrid->setCurrentIndex(window.Model->index(2, 0));
    QTest::mouseClick(window.GoToButton, Qt::LeftButton);
    QCOMPARE(window.shown, (QStringList{QStringLiteral("page 3 company 3 person 40 subproject 27"),
                                        QStringLiteral("page 3 company 3 person 40 subproject 27"),
                                        QStringLiteral("page 2 company 5 person 42 subproject 28")}));

    // A record gone since the list was read is said to be gone.
    exec(QStringLiteral("DELETE FROM People WHERE PersonID = 40"));
    window.DueGrid->setCurrentIndex(window.Model->index(0, 0));
    QTest::keyClick(window.DueGrid, Qt::Key_Return);
    QCOMPARE(window.shown.size(), 3);
    QCOMPARE(m_f->messages.entries().constLast().text, QStringLiteral("That record is no longer in the file."));
}

void TestFollowUps::keysMarkDoneAndMoveOn()
{
    addDueRows();
    ProbeDue window(m_f->forms);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.DueGrid->setFocus();
    window.DueGrid->setCurrentIndex(window.Model->index(0, 0));
    QTest::keyClick(window.DueGrid, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(text(QStringLiteral("SELECT Done FROM FollowUps WHERE FollowUpID = 1")), QStringLiteral("1"));
    QCOMPARE(window.Model->rowCount(), 2);
    // The selection stays at its place, now on the next one.
    QCOMPARE(window.Model->rowAt(window.DueGrid->currentIndex().row()).id, 2);

    QTest::keyClick(window.DueGrid, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(text(QStringLiteral("SELECT Due FROM FollowUps WHERE FollowUpID = 2")), QStringLiteral("2026-03-09 00:00:00"));
    QCOMPARE(window.Model->rowCount(), 2);
    QTest::keyClick(window.DueGrid, Qt::Key_7, Qt::ControlModifier);
    QCOMPARE(text(QStringLiteral("SELECT Due FROM FollowUps WHERE FollowUpID = 2")), QStringLiteral("2026-03-16 00:00:00"));
    QCOMPARE(window.Model->rowCount(), 1);
    QCOMPARE(window.CountLabel->text(), QStringLiteral("1 follow-up due today or earlier, oldest first."));

    // A change the store refuses is told in its words, and the list stays as it was.
    Connection& store = *m_f->dm->MainADOConnection();
    refuseInStore(store, QStringLiteral("refuse"), QStringLiteral("BEFORE UPDATE ON FollowUps"), {}, QStringLiteral("kept as it is"));
    QTest::keyClick(window.DueGrid, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(m_f->messages.entries().constLast().text, QStringLiteral("kept as it is"));
    QCOMPARE(window.Model->rowCount(), 1);
    QCOMPARE(text(QStringLiteral("SELECT Done FROM FollowUps WHERE FollowUpID = 3")), QStringLiteral("0"));
    dropStoreRefusal(store, QStringLiteral("refuse"), QStringLiteral("FollowUps"));

    // One done elsewhere since the list was read is said to be gone.
    exec(QStringLiteral("DELETE FROM FollowUps WHERE FollowUpID = 3"));
    QTest::mouseClick(window.DoneButton, Qt::LeftButton);
    QCOMPARE(m_f->messages.entries().constLast().text, QStringLiteral("That follow-up is no longer in the file."));
    QCOMPARE(window.Model->rowCount(), 0);
    QCOMPARE(window.CountLabel->text(), QStringLiteral("Nothing is due."));
    QVERIFY(!window.DoneButton->isEnabled());
}

void TestFollowUps::startupChoiceIsKeptPerUser()
{
    Connection& c = *dm().MainADOConnection();
    QVERIFY(!TDueForm::wantedAtStartup(c, Today));
    addDueRows();
    QVERIFY(TDueForm::wantedAtStartup(c, Today));
    QVERIFY(!TDueForm::wantedAtStartup(c, Today.addDays(-30)));
    {
        ProbeDue window(m_f->forms);
        QVERIFY(window.StartupCheck->isChecked());
        QTest::mouseClick(window.StartupCheck, Qt::LeftButton);
    }
    QVERIFY(!TDueForm::wantedAtStartup(c, Today));
    QCOMPARE(QSettings().value(QStringLiteral("DueList/ShowAtStartup")).toBool(), false);
    ProbeDue again(m_f->forms);
    QVERIFY(!again.StartupCheck->isChecked());
}

QTEST_MAIN(TestFollowUps)
#include "tst_followups.moc"
