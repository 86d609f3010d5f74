#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

#include "support/StoreRefusal.h"
#include "support/MainWindowFixture.h"
#include "profile/RetailForm.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBMemo.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "support/ShownWindow.h"

namespace {

// The profile window, whose modal show records for whom it was asked instead of blocking.
class RetailProbe : public TRetail
{
public:
    RetailProbe(TMainDataModule& dataModule, Dataset* people) : TRetail(dataModule), m_people(people) {}
    QStringList shownFor;

protected:
    int execModal() override
    {
        shownFor.append(m_people->text(QStringLiteral("Name")));
        return QDialog::Accepted;
    }

private:
    Dataset* m_people;
};

using Kind = RecordingMessageService::Kind;

const QString DeleteAllWarning = QStringLiteral("This will delete ALL records in your database. Proceed?");
const QString NameRequired = QStringLiteral("Required field is empty.");

void press(DBNavigator* navigator, DBNavigator::Button button)
{
    QTest::mouseClick(navigator->button(button), Qt::LeftButton);
}

void clickTab(PageControl* pages, int index)
{
    QTabBar* bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

} // namespace

class TestClientsPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyControlIsInsideThePage();
    void fieldsStoreTheirColumnsAndMemosTakeTwoHundredCharacters();
    void goToSearchesTheCurrentCompanyOnly_data();
    void goToSearchesTheCurrentCompanyOnly();
    void goToWithoutAnyCompanyFindsNothing();
    void goToNeverDropsANewClientAndSaysWhenItStays();
    void deleteAllRecords_data();
    void deleteAllRecords();
    void deleteAllEndsPendingChangesAndCountsWhatGoes();
    void deleteAllChecksEveryClientAgainstWhatWasShown();
    void profileOpensForTheCurrentStoredPerson();
    void blankNameBringsTheNameBoxForward();
    void blankNameInASecondWindowFocusesThatWindow();
    void showingThePageReadsStoredPeopleAndKeepsAPendingOne();

private:
    void makeWindow(bool withRows);
    void showWindow();
    TMainDataModule& dm() { return *m_f->dm; }
    QStringList fileRows(const QString& sql);
    QStringList held(Dataset* d, const QStringList& columns);
    QString current() { return dm().PeopleCompanyDet->text(QStringLiteral("Name")); }
    int count(const QString& sql) { return m_f->scalar(sql).toInt(); }

    std::unique_ptr<MainWindowFixture> m_f;
    TDataEntryForm* m_w = nullptr;
};

// The rows of a one-column select, sorted.
QStringList TestClientsPage::fileRows(const QString& sql)
{
    QStringList rows = m_f->scalar(QStringLiteral("SELECT group_concat(r, char(10)) FROM (%1)").arg(sql))
                           .toString().split(u'\n', Qt::SkipEmptyParts);
    rows.sort();
    return rows;
}

// The rows a dataset holds, their columns joined with '/', sorted.
QStringList TestClientsPage::held(Dataset* d, const QStringList& columns)
{
    QStringList rows;
    for (int row = 0; row < d->recordCount(); ++row) {
        QStringList values;
        for (const QString& column : columns)
            values.append(d->textAt(row, column));
        rows.append(values.join(u'/'));
    }
    rows.sort();
    return rows;
}

void TestClientsPage::makeWindow(bool withRows)
{
    m_f.reset();  // its recording services go before the next ones install themselves
    m_f = std::make_unique<MainWindowFixture>(withRows);
    m_w = &m_f->makeMainWindow();
}

void TestClientsPage::showWindow()
{
    QVERIFY(showActive(*m_w));
}

void TestClientsPage::init()
{
    makeWindow(true);
}

void TestClientsPage::cleanup()
{
    m_f.reset();
}

void TestClientsPage::everyControlIsInsideThePage()
{
    showWindow();
    QWidget* page = m_w->PeopleTabSheet;
    QVERIFY(page->isVisible());
    for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect area(control->mapTo(page, QPoint(0, 0)), control->size());
        QVERIFY2(page->rect().contains(area), qPrintable(control->objectName()));
        QVERIFY2(control->width() >= control->minimumSizeHint().width(), qPrintable(control->objectName()));
    }
    // Buttons that would do nothing are left out.
    QStringList buttons;
    for (QPushButton* button : page->findChildren<QPushButton*>())
        buttons.append(button->text());
    QCOMPARE(buttons, QStringList({QStringLiteral("Import"), QStringLiteral("E&xport"), QStringLiteral("Pro&file..."),
                                   QStringLiteral("Report..."), QStringLiteral("Next")}));
    QCOMPARE(m_w->BitBtn1->toolTip(), QStringLiteral("Import data from MS Outlook"));
    QVERIFY(!m_w->BitBtn1->icon().isNull());
    QCOMPARE(m_w->SpeedButton1->toolTip(), QStringLiteral("Delete all records"));
}

void TestClientsPage::fieldsStoreTheirColumnsAndMemosTakeTwoHundredCharacters()
{
    showWindow();
    press(m_w->DBNavigator2, DBNavigator::Insert);
    const std::pair<QWidget*, QString> typed[] = {
        {m_w->DBEdit15, "Dora"}, {m_w->DBEdit14, "Dora's firm"}, {m_w->DBEdit17, "Buyer"},
        {m_w->DBMemo6, QString(250, u'a')}, {m_w->DBEdit20, "111"}, {m_w->DBEdit21, "222"},
        {m_w->DBEdit18, "333"}, {m_w->DBEdit19, "dora@example.org"}, {m_w->DBMemo5, QString(250, u'i')}};
    for (const auto& [control, text] : typed) {
        control->setFocus();
        QTest::keyClicks(control, text);
    }
    press(m_w->DBNavigator2, DBNavigator::Post);

    QCOMPARE(m_f->scalar(QStringLiteral("SELECT CompanyID || '|' || Name || '|' || Company || '|' || Title || '|' || Tel"
                                        " || '|' || Fax || '|' || Mobile || '|' || Email FROM People WHERE Name = 'Dora'"))
                 .toString(),
             QStringLiteral("3|Dora|Dora's firm|Buyer|111|222|333|dora@example.org"));
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Address FROM People WHERE Name = 'Dora'")).toString(), QString(200, u'a'));
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Info FROM People WHERE Name = 'Dora'")).toString(), QString(200, u'i'));
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestClientsPage::goToSearchesTheCurrentCompanyOnly_data()
{
    QTest::addColumn<int>("company");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("backspaces");
    // Empty: the current client stays the one before.
    QTest::addColumn<QString>("person");

    QTest::newRow("lower case finds a client of the company") << 3 << "bo" << 0 << "Bob";
    QTest::newRow("a client of another company is never found") << 3 << "ce" << 0 << "";
    QTest::newRow("a company other than the first") << 5 << "CE" << 0 << "Cecil";
    QTest::newRow("of several matches the first by name") << 3 << "an" << 0 << "Andy";
    QTest::newRow("no match moves nothing") << 3 << "bx" << 0 << "Bob";
    QTest::newRow("cleared box matches no name") << 3 << "bo" << 2 << "Bob";
    QTest::newRow("company without clients") << 7 << "a" << 0 << "";
}

void TestClientsPage::goToSearchesTheCurrentCompanyOnly()
{
    QFETCH(int, company);
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(QString, person);

    // Stored after Ann, so only an order by name puts Andy first.
    dm().MainADOConnection()->exec(QStringLiteral("INSERT INTO People (PersonID, CompanyID, Name) VALUES (43, 3, 'Andy')"));
    dm().PeopleCompanyDet->close();
    dm().PeopleCompanyDet->open();
    dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {company});
    showWindow();
    const QString before = current();

    QTest::keyClicks(m_w->Edit1, typed);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(m_w->Edit1, Qt::Key_Backspace);
    QCOMPARE(current(), person.isEmpty() ? before : person);
    QCOMPARE(m_w->DBEdit15->text(), current());
    QCOMPARE(dm().CompaniesTable->asInteger(QStringLiteral("CompanyID")), company);
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestClientsPage::goToWithoutAnyCompanyFindsNothing()
{
    makeWindow(false);
    dm().PeopleCompanyDet->insert();  // a client of no company
    dm().PeopleCompanyDet->setValue(QStringLiteral("Name"), QStringLiteral("Loner"));
    dm().PeopleCompanyDet->post();
    dm().PeopleCompanyDet->insert();
    dm().PeopleCompanyDet->setValue(QStringLiteral("Name"), QStringLiteral("Lee"));
    dm().PeopleCompanyDet->post();
    showWindow();

    QTest::keyClicks(m_w->Edit1, QStringLiteral("lo"));
    QCOMPARE(current(), QStringLiteral("Lee"));
    QVERIFY(dm().CompaniesTable->isEmpty());
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestClientsPage::goToNeverDropsANewClientAndSaysWhenItStays()
{
    showWindow();
    m_w->Edit1->setFocus();
    QTest::keyClick(m_w->Edit1, Qt::Key_Insert, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), m_w->DBEdit15);

    // Back in Go to with the new client still blank: the search keeps it and says why.
    m_w->Edit1->setFocus();
    QTest::keyClicks(m_w->Edit1, QStringLiteral("b"));
    QCOMPARE(dm().PeopleCompanyDet->state(), Dataset::State::Insert);
    QCOMPARE(m_w->GoToMessage->text(), QStringLiteral("Save or cancel the new client first."));
    QTest::keyClick(m_w->Edit1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_w->DBEdit15);
    QTest::keyClicks(m_w->DBEdit15, QStringLiteral("Dora"));
    QTest::keyClick(m_w->DBEdit15, Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Dora's firm"));

    // Once started, the client is saved as by any move, and the search goes on.
    m_w->Edit1->setFocus();
    QTest::keyClick(m_w->Edit1, Qt::Key_Backspace);
    QTest::keyClicks(m_w->Edit1, QStringLiteral("b"));
    QCOMPARE(current(), QStringLiteral("Bob"));
    QVERIFY(m_w->GoToMessage->text().isEmpty());
    QCOMPARE(fileRows(QStringLiteral("SELECT Name || '/' || ifnull(Company, '') AS r FROM People WHERE CompanyID = 3")),
             (QStringList{"Ann/", "Bob/", "Dora/Dora's firm"}));

    // A name nobody has: the client stays and the page says so, without a box.
    QTest::keyClicks(m_w->Edit1, QStringLiteral("x"));
    QCOMPARE(current(), QStringLiteral("Bob"));
    QCOMPARE(m_w->GoToMessage->text(), QStringLiteral("No client by that name."));
    QVERIFY(m_f->messages.entries().isEmpty());
    QTest::keyClick(m_w->Edit1, Qt::Key_Backspace);
    QVERIFY(m_w->GoToMessage->text().isEmpty());
}

void TestClientsPage::deleteAllRecords_data()
{
    QTest::addColumn<int>("company");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("refuseBob");
    QTest::addColumn<QString>("peopleLeft");
    QTest::addColumn<int>("rolesLeft");
    QTest::addColumn<int>("answersLeft");
    QTest::addColumn<QString>("error");

    const int yes = QMessageBox::YesToAll;
    QTest::newRow("No deletes nothing") << 3 << int(QMessageBox::No) << false << "40 41 42" << 2 << 2 << "";
    QTest::newRow("closed box deletes nothing") << 3 << int(QMessageBox::NoButton) << false << "40 41 42" << 2 << 2 << "";
    QTest::newRow("Yes to All deletes the company's clients") << 3 << yes << false << "42" << 1 << 1 << "";
    QTest::newRow("a company without clients") << 7 << yes << false << "40 41 42" << 2 << 2 << "";
    QTest::newRow("one failing delete keeps everyone") << 3 << yes << true << "40 41 42" << 2 << 2 << "Bob stays";
}

void TestClientsPage::deleteAllRecords()
{
    QFETCH(int, company);
    QFETCH(int, answer);
    QFETCH(bool, refuseBob);
    QFETCH(QString, peopleLeft);
    QFETCH(int, rolesLeft);
    QFETCH(int, answersLeft);
    QFETCH(QString, error);

    Connection& file = *dm().MainADOConnection();
    file.exec(QStringLiteral("INSERT INTO QuestionsMain (PersonID, QuestionID, Answer) VALUES (40, 1, 1), (42, 1, 0)"));
    if (refuseBob)
        refuseInStore(file, QStringLiteral("KeepBob"), QStringLiteral("BEFORE DELETE ON People"),
                      QStringLiteral("old.PersonID = 41"), QStringLiteral("Bob stays"));
    dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {company});
    dm().PeopleCompanyDet->last();
    const QString before = current();
    showWindow();

    m_f->messages.answerDialog(QMessageBox::StandardButton(answer));
    QTest::mouseClick(m_w->SpeedButton1, Qt::LeftButton);

    QCOMPARE(m_f->messages.entries().size(), error.isEmpty() ? 1 : 2);
    const auto& question = m_f->messages.entries().first();
    QCOMPARE(question.kind, Kind::Dialog);
    QVERIFY(question.text.startsWith(DeleteAllWarning));
    QCOMPARE(question.type, MessageService::Type::Warning);
    QCOMPARE(question.buttons, QMessageBox::No | QMessageBox::YesToAll);
    QCOMPARE(question.defaultButton, QMessageBox::No);
    if (!error.isEmpty()) {
        QCOMPARE(m_f->messages.entries().last().type, MessageService::Type::Error);
        QCOMPARE(m_f->messages.entries().last().text, error);
    }

    QCOMPARE(m_f->scalar(QStringLiteral("SELECT group_concat(PersonID, ' ') FROM (SELECT PersonID FROM People ORDER BY 1)"))
                 .toString(),
             peopleLeft);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Business")), rolesLeft);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM QuestionsMain")), answersLeft);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Companies")), 3);

    // Every dataset shows what the file holds, and the current client is the one before.
    const int clients = count(QStringLiteral("SELECT COUNT(*) FROM People WHERE CompanyID = %1").arg(company));
    QCOMPARE(dm().PeopleCompanyDet->recordCount(), clients);
    QCOMPARE(current(), clients ? before : QString());
    QCOMPARE(m_w->DBEdit15->text(), current());
    QCOMPARE(held(dm().PeopleTable, {QStringLiteral("PersonID")}), peopleLeft.split(u' '));
    QCOMPARE(held(dm().PeopleTableEX, {QStringLiteral("PersonID")}), peopleLeft.split(u' '));
    QCOMPARE(held(dm().BusinessTable, {QStringLiteral("PersonID"), QStringLiteral("SubProjectID")}),
             fileRows(QStringLiteral("SELECT PersonID || '/' || SubProjectID AS r FROM Business")));
    for (Dataset* d : {dm().PeopleTable, dm().PeopleTableEX, dm().PeopleCompanyDet, dm().BusinessTable, dm().PeopleDetail,
                       dm().PeopleProjectDetail}) {
        QCOMPARE(d->recNo(), d->isEmpty() ? -1 : std::clamp(d->recNo(), 0, d->recordCount() - 1));
        QCOMPARE(d->bof() && d->eof(), d->isEmpty());
    }
    QCOMPARE(dm().PeopleDetail->recordCount(),
             count(QStringLiteral("SELECT COUNT(*) FROM Business WHERE SubProjectID = %1")
                       .arg(dm().SubProjectsDetail->asInteger(QStringLiteral("SubProjectID")))));
    QCOMPARE(dm().MainADOConnection()->transactionDepth(), 0);
}

void TestClientsPage::deleteAllEndsPendingChangesAndCountsWhatGoes()
{
    Connection& file = *dm().MainADOConnection();
    file.exec(QStringLiteral("INSERT INTO QuestionsMain (PersonID, QuestionID, Answer) VALUES (40, 1, 1), (40, 2, 0);"
                             "INSERT INTO Business (PersonID, SubProjectID) VALUES (41, 28);"));
    refuseInStore(file, QStringLiteral("KeepBob"), QStringLiteral("BEFORE DELETE ON People"), QStringLiteral("old.PersonID = 41"),
                  QStringLiteral("Bob stays"));
    dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {3});
    showWindow();
    // A renamed project and a client being typed are stored before anything is deleted.
    dm().ProjectsDetail->edit();
    dm().ProjectsDetail->setText(QStringLiteral("Name"), QStringLiteral("Renamed"));
    dm().PeopleCompanyDet->append();
    dm().PeopleCompanyDet->setText(QStringLiteral("Name"), QStringLiteral("Dora"));

    // The client's controls are asked once for what was typed: the changes end once.
    QSignalSpy asked(dm().PeopleCompanyDet, &Dataset::updateRecordRequested);
    m_f->messages.answerDialog(QMessageBox::No);
    QTest::mouseClick(m_w->SpeedButton1, Qt::LeftButton);
    QCOMPARE(m_f->messages.texts(),
             QStringList{DeleteAllWarning + QStringLiteral("\n\nDeleted: 3 clients, 2 buying-role rows"
                                                           " (1 in subprojects of other companies), 2 answers.")});
    QCOMPARE(asked.count(), 1);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM People WHERE Name = 'Dora' AND CompanyID = 3")), 1);

    // A failing delete undoes no save made before it, and every dataset still shows the file.
    m_f->messages.clear();
    m_f->messages.answerDialog(QMessageBox::YesToAll);
    QTest::mouseClick(m_w->SpeedButton1, Qt::LeftButton);
    QCOMPARE(m_f->messages.texts().last(), QStringLiteral("Bob stays"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM People WHERE CompanyID = 3")), 3);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Name FROM Projects WHERE ProjectID = 14")).toString(), QStringLiteral("Renamed"));
    QCOMPARE(dm().ProjectsDetail->state(), Dataset::State::Browse);
    QCOMPARE(dm().PeopleCompanyDet->recordCount(), 3);
    dm().ProjectsDetail->edit();
    dm().ProjectsDetail->setText(QStringLiteral("Name"), QStringLiteral("Renamed again"));
    dm().ProjectsDetail->post();
    QCOMPARE(dm().MainADOConnection()->transactionDepth(), 0);
}

void TestClientsPage::deleteAllChecksEveryClientAgainstWhatWasShown()
{
    dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {3});
    showWindow();
    // The second client changes in the file after the page read it.
    dm().MainADOConnection()->exec(QStringLiteral("UPDATE People SET Name = 'Robert' WHERE PersonID = 41"));
    m_f->messages.answerDialog(QMessageBox::YesToAll);
    QTest::mouseClick(m_w->SpeedButton1, Qt::LeftButton);
    QVERIFY(m_f->messages.texts().last().startsWith(QStringLiteral("Row cannot be located for deleting")));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM People WHERE CompanyID = 3")), 2);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Business WHERE PersonID = 40")), 1);
    // Read again: the page shows the change, and a second try deletes both.
    QCOMPARE(dm().PeopleCompanyDet->textAt(1, QStringLiteral("Name")), QStringLiteral("Robert"));
    m_f->messages.answerDialog(QMessageBox::YesToAll);
    QTest::mouseClick(m_w->SpeedButton1, Qt::LeftButton);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM People WHERE CompanyID = 3")), 0);
    QVERIFY(dm().PeopleCompanyDet->isEmpty());
}

void TestClientsPage::profileOpensForTheCurrentStoredPerson()
{
    RetailProbe retail(dm(), dm().PeopleCompanyDet);
    m_f->forms.Retail = &retail;
    showWindow();

    dm().PeopleCompanyDet->last();
    QTest::mouseClick(m_w->RetailButton, Qt::LeftButton);
    QCOMPARE(retail.shownFor, QStringList{QStringLiteral("Bob")});

    // A client being entered is stored first, so that the answers belong to someone.
    press(m_w->DBNavigator2, DBNavigator::Insert);
    QTest::keyClicks(m_w->DBEdit15, QStringLiteral("Dora"));
    QTest::mouseClick(m_w->RetailButton, Qt::LeftButton);
    QCOMPARE(retail.shownFor.last(), QStringLiteral("Dora"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM People WHERE Name = 'Dora' AND CompanyID = 3")), 1);

    // A nameless one is refused, and the profile stays closed.
    press(m_w->DBNavigator2, DBNavigator::Insert);
    QTest::keyClicks(m_w->DBEdit17, QStringLiteral("Buyer"));
    QTest::mouseClick(m_w->RetailButton, Qt::LeftButton);
    QCOMPARE(m_f->messages.texts(), QStringList{NameRequired});
    QCOMPARE(retail.shownFor.size(), 2);

    press(m_w->DBNavigator2, DBNavigator::Cancel);
    m_f->messages.clear();
    dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {7});
    QTest::mouseClick(m_w->RetailButton, Qt::LeftButton);
    QCOMPARE(m_f->messages.entries().size(), 1);
    QCOMPARE(m_f->messages.entries().first().kind, Kind::Dialog);
    QCOMPARE(m_f->messages.entries().first().text, QStringLiteral("No record selected."));
    QCOMPARE(m_f->messages.entries().first().type, MessageService::Type::Error);
    QCOMPARE(m_f->messages.entries().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(retail.shownFor.size(), 2);
}

void TestClientsPage::blankNameBringsTheNameBoxForward()
{
    showWindow();
    press(m_w->DBNavigator2, DBNavigator::Insert);
    QTest::keyClicks(m_w->DBEdit15, QStringLiteral("   "));
    QTest::keyClicks(m_w->DBEdit17, QStringLiteral("Buyer"));

    // Moving the company saves the client, which is refused while another page is shown.
    clickTab(m_w->MainDataEntry, TDataEntryForm::CompaniesPage);
    press(m_w->DBNavigator1, DBNavigator::Next);
    QCOMPARE(m_f->messages.texts(), QStringList{NameRequired});
    QCOMPARE(m_w->MainDataEntry->currentIndex(), int(TDataEntryForm::ClientsPage));
    QCOMPARE(QApplication::focusWidget(), m_w->DBEdit15);
    QCOMPARE(dm().CompaniesTable->asInteger(QStringLiteral("CompanyID")), 3);
    QCOMPARE(dm().PeopleCompanyDet->state(), Dataset::State::Insert);
    QCOMPARE(m_w->DBEdit17->text(), QStringLiteral("Buyer"));

    QTest::keyClick(m_w->DBEdit15, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(m_w->DBEdit15, QStringLiteral("Dora"));
    press(m_w->DBNavigator2, DBNavigator::Post);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Title FROM People WHERE Name = 'Dora'")).toString(), QStringLiteral("Buyer"));
    QCOMPARE(m_f->messages.texts(), QStringList{NameRequired});
}

void TestClientsPage::blankNameInASecondWindowFocusesThatWindow()
{
    m_w->MainDataEntry->setCurrentIndex(TDataEntryForm::CompaniesPage);
    showWindow();
    TDataEntryForm second(m_f->forms);
    second.MainDataEntry->setCurrentIndex(TDataEntryForm::CompaniesPage);
    second.setWindowModality(Qt::ApplicationModal);  // as a second main window is shown
    QVERIFY(showActive(second));

    dm().PeopleCompanyDet->insert();
    dm().PeopleCompanyDet->setValue(QStringLiteral("Title"), QStringLiteral("Buyer"));
    press(second.DBNavigator1, DBNavigator::Next);
    QCOMPARE(m_f->messages.texts(), QStringList{NameRequired});
    QCOMPARE(second.MainDataEntry->currentIndex(), int(TDataEntryForm::ClientsPage));
    QCOMPARE(QApplication::focusWidget(), second.DBEdit15);
    QCOMPARE(m_w->MainDataEntry->currentIndex(), int(TDataEntryForm::CompaniesPage));
}

void TestClientsPage::showingThePageReadsStoredPeopleAndKeepsAPendingOne()
{
    m_w->MainDataEntry->setCurrentIndex(TDataEntryForm::CompaniesPage);
    showWindow();
    dm().MainADOConnection()->exec(QStringLiteral("UPDATE People SET Name = 'Annie' WHERE PersonID = 40"));
    QCOMPARE(m_w->DBEdit15->text(), QStringLiteral("Ann"));
    clickTab(m_w->MainDataEntry, TDataEntryForm::ClientsPage);
    QCOMPARE(m_w->DBEdit15->text(), QStringLiteral("Annie"));

    // A client started elsewhere is neither saved nor dropped by showing the page.
    clickTab(m_w->MainDataEntry, TDataEntryForm::CompaniesPage);
    dm().PeopleCompanyDet->insert();
    clickTab(m_w->MainDataEntry, TDataEntryForm::ClientsPage);
    QCOMPARE(dm().PeopleCompanyDet->state(), Dataset::State::Insert);
    QVERIFY(m_f->messages.entries().isEmpty());
}

QTEST_MAIN(TestClientsPage)
#include "tst_clientspage.moc"
