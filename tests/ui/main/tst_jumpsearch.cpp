#include <QLabel>
#include <QRegularExpression>
#include <QListWidget>
#include <QPushButton>
#include <QLineEdit>
#include <QTimer>

#include "support/MainWindowFixture.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/main/JumpSearch.h"

class TestJumpSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typedQueryListsMatchesByKind_data();
    void typedQueryListsMatchesByKind();
    void ctrlKOpensTheBoxAndEscChangesNothing();
    void enterMovesTheSharedDatasetsAndShowsThePage_data();
    void enterMovesTheSharedDatasetsAndShowsThePage();
    void upAndDownStepOverHeadings();
    void pendingChangeIsSavedBeforeTheJump();
    void refusedSaveStopsTheJumpWithItsMessage();
    void rowsWrittenSinceShowInTheNextSearch();

private:
    void type(const QString& text);
    QStringList listed() const;

    std::unique_ptr<MainWindowFixture> m_f;
    TDataEntryForm* m_window = nullptr;
};

void TestJumpSearch::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    m_f->dm->MainADOConnection()->exec(QStringLiteral(
        "INSERT INTO Companies (CompanyID, Name, Tel1) VALUES (9, 'García Hermanos', '+34 91 555 0101');"
        "UPDATE Projects SET Code = 'RLX-7' WHERE ProjectID = 14;"
        "UPDATE SubProjects SET Code = 'PIL-1' WHERE SubProjectID = 27;"
        "UPDATE People SET Email = 'ann@acme.example', Mobile = '07700 123', Title = 'Buyer' WHERE PersonID = 40;"
        "INSERT INTO People (PersonID, CompanyID, Name, Tel) VALUES (43, 9, 'Zoë Ångström', '0044 20 7946');"));
    m_f->reread();
    m_window = &m_f->makeMainWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestJumpSearch::cleanup()
{
    m_f.reset();
}

void TestJumpSearch::type(const QString& text)
{
    TJumpSearch* box = m_window->JumpSearch;
    if (!box->isVisible())
        m_window->JumpSearchActionTrigger();
    // The first use reads the texts a slice at a time, as the timer would.
    while (box->IndexTimer->isActive())
        box->IndexTimerTimer();
    QTest::keyClicks(box->SearchEdit, text);
}

QStringList TestJumpSearch::listed() const
{
    QStringList out;
    for (int r = 0; r < m_window->JumpSearch->ResultList->count(); ++r)
        out << m_window->JumpSearch->ResultList->item(r)->text().trimmed();
    return out;
}

void TestJumpSearch::typedQueryListsMatchesByKind_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("accents and case") << "GARCIA" << QStringList{"Companies (1)", "García Hermanos  —  +34 91 555 0101"};
    QTest::newRow("accents in the query") << "ångst" << QStringList{"People (1)", "Zoë Ångström  —  0044 20 7946"};
    QTest::newRow("project code") << "rlx" << QStringList{"Projects (1)", "Rollout  —  RLX-7"};
    QTest::newRow("subproject code") << "pil-1" << QStringList{"Subprojects (1)", "Pilot  —  PIL-1"};
    QTest::newRow("phone") << "555 01" << QStringList{"Companies (1)", "García Hermanos  —  +34 91 555 0101"};
    QTest::newRow("mobile") << "07700" << QStringList{"People (1)", "Ann  —  ann@acme.example, 07700 123, Buyer"};
    QTest::newRow("e-mail") << "@acme.ex" << QStringList{"People (1)", "Ann  —  ann@acme.example, 07700 123, Buyer"};
    // Names that start with the query come first in each kind, then the others by name.
    QTest::newRow("groups in kind order") << "r"
        << QStringList{"Companies (2)", "Borealis", "García Hermanos  —  +34 91 555 0101",
                       "Projects (2)", "Rollout  —  RLX-7", "Upgrade",
                       "Subprojects (1)", "Review",
                       "People (2)", "Zoë Ångström  —  0044 20 7946", "Ann  —  ann@acme.example, 07700 123, Buyer"};
    QTest::newRow("nothing") << "xyzzy" << QStringList{};
}

void TestJumpSearch::typedQueryListsMatchesByKind()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    type(query);
    QCOMPARE(listed(), expected);
    const int matches = int(expected.size()) - int(expected.filter(QRegularExpression(QStringLiteral("^\\w+ \\(\\d+\\)$"))).size());
    QCOMPARE(m_window->JumpSearch->StateLabel->text(),
             matches == 0   ? QStringLiteral("No matches.")
             : matches == 1 ? QStringLiteral("1 match.")
                            : QStringLiteral("%1 matches.").arg(matches));
}

void TestJumpSearch::ctrlKOpensTheBoxAndEscChangesNothing()
{
    m_window->activateWindow();
    QTest::keyClick(m_window, Qt::Key_K, Qt::ControlModifier);
    QVERIFY(m_window->JumpSearch->isVisible());
    const int page = m_window->MainDataEntry->currentIndex();
    const QVariant company = m_f->dm->CompaniesTable->value(QStringLiteral("CompanyID"));
    type(QStringLiteral("review"));
    QTest::keyClick(m_window->JumpSearch->SearchEdit, Qt::Key_Escape);
    QVERIFY(!m_window->JumpSearch->isVisible());
    QCOMPARE(m_window->MainDataEntry->currentIndex(), page);
    QCOMPARE(m_f->dm->CompaniesTable->value(QStringLiteral("CompanyID")), company);
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestJumpSearch::enterMovesTheSharedDatasetsAndShowsThePage_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("project");
    QTest::addColumn<QString>("subProject");
    QTest::addColumn<QString>("person");
    QTest::newRow("company") << "borea" << int(TDataEntryForm::CompaniesPage) << "5" << "15" << "28" << "42";
    QTest::newRow("project") << "upgra" << int(TDataEntryForm::ProjectsPage) << "3" << "16" << "" << "40";
    QTest::newRow("subproject of another company") << "review" << int(TDataEntryForm::SubProjectsPage) << "5" << "15" << "28" << "42";
    QTest::newRow("subproject of a second project") << "phase two" << int(TDataEntryForm::SubProjectsPage) << "3" << "14" << "29" << "40";
    QTest::newRow("person") << "bob" << int(TDataEntryForm::ClientsPage) << "3" << "14" << "27" << "41";
}

void TestJumpSearch::enterMovesTheSharedDatasetsAndShowsThePage()
{
    QFETCH(QString, query);
    QFETCH(int, page);
    QFETCH(QString, company);
    QFETCH(QString, project);
    QFETCH(QString, subProject);
    QFETCH(QString, person);
    m_f->dm->CompaniesTable->locate({QStringLiteral("CompanyID")}, {7});
    m_window->MainDataEntry->setCurrentIndex(TDataEntryForm::HelpPage);
    type(query);
    QTest::keyClick(m_window->JumpSearch->SearchEdit, Qt::Key_Return);
    QVERIFY(!m_window->JumpSearch->isVisible());
    QCOMPARE(m_window->MainDataEntry->currentIndex(), page);
    QCOMPARE(m_f->dm->CompaniesTable->text(QStringLiteral("CompanyID")), company);
    QCOMPARE(m_f->dm->ProjectsDetail->text(QStringLiteral("ProjectID")), project);
    QCOMPARE(m_f->dm->SubProjectsDetail->text(QStringLiteral("SubProjectID")), subProject);
    QCOMPARE(m_f->dm->PeopleCompanyDet->text(QStringLiteral("PersonID")), person);
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestJumpSearch::upAndDownStepOverHeadings()
{
    type(QStringLiteral("r"));
    QTest::keyClick(m_window->JumpSearch->SearchEdit, Qt::Key_Up);
    QCOMPARE(m_window->JumpSearch->ResultList->currentItem()->text().trimmed(), QStringLiteral("Borealis"));
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(m_window->JumpSearch->SearchEdit, Qt::Key_Down);
    QCOMPARE(m_window->JumpSearch->ResultList->currentItem()->text().trimmed(), QStringLiteral("Rollout  —  RLX-7"));
    QTest::keyClick(m_window->JumpSearch->SearchEdit, Qt::Key_Up);
    QTest::keyClick(m_window->JumpSearch->SearchEdit, Qt::Key_Return);
    QCOMPARE(m_window->MainDataEntry->currentIndex(), int(TDataEntryForm::CompaniesPage));
    QCOMPARE(m_f->dm->CompaniesTable->text(QStringLiteral("CompanyID")), QStringLiteral("9"));
}

void TestJumpSearch::pendingChangeIsSavedBeforeTheJump()
{
    Dataset* companies = m_f->dm->CompaniesTable;
    companies->locate({QStringLiteral("CompanyID")}, {3});
    companies->edit();
    companies->setValue(QStringLiteral("Name"), QStringLiteral("Acme Works"));
    type(QStringLiteral("review"));
    QTest::keyClick(m_window->JumpSearch->SearchEdit, Qt::Key_Return);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Name FROM Companies WHERE CompanyID = 3")).toString(), QStringLiteral("Acme Works"));
    QCOMPARE(companies->text(QStringLiteral("CompanyID")), QStringLiteral("5"));
    QCOMPARE(m_f->dm->SubProjectsDetail->text(QStringLiteral("SubProjectID")), QStringLiteral("28"));
}

void TestJumpSearch::refusedSaveStopsTheJumpWithItsMessage()
{
    Dataset* people = m_f->dm->PeopleCompanyDet;
    m_f->dm->CompaniesTable->locate({QStringLiteral("CompanyID")}, {3});
    people->locate({QStringLiteral("PersonID")}, {41});
    people->edit();
    people->setValue(QStringLiteral("Name"), QString());
    type(QStringLiteral("review"));
    QTest::keyClick(m_window->JumpSearch->SearchEdit, Qt::Key_Return);
    QVERIFY(!m_window->JumpSearch->isVisible());
    QVERIFY(!m_f->messages.entries().isEmpty());
    QCOMPARE(people->state(), Dataset::State::Edit);
    QCOMPARE(people->text(QStringLiteral("PersonID")), QStringLiteral("41"));
    QCOMPARE(m_f->dm->CompaniesTable->text(QStringLiteral("CompanyID")), QStringLiteral("3"));
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT Name FROM People WHERE PersonID = 41")).toString(), QStringLiteral("Bob"));
}

void TestJumpSearch::rowsWrittenSinceShowInTheNextSearch()
{
    type(QStringLiteral("quokka"));
    QCOMPARE(listed(), QStringList{});
    QTest::keyClick(m_window->JumpSearch->SearchEdit, Qt::Key_Escape);
    Dataset* companies = m_f->dm->CompaniesTable;
    companies->insert();
    companies->setValue(QStringLiteral("Name"), QStringLiteral("Quokka Travel"));
    companies->post();
    Dataset* projects = m_f->dm->ProjectsTable;
    projects->locate({QStringLiteral("ProjectID")}, {16});
    projects->edit();
    projects->setValue(QStringLiteral("Name"), QStringLiteral("Quokka rollout"));
    projects->post();
    m_f->dm->SubProjectsTable->locate({QStringLiteral("SubProjectID")}, {28});
    m_f->dm->SubProjectsTable->deleteRecord();
    type(QStringLiteral("quokka"));
    QCOMPARE(listed(), (QStringList{"Companies (1)", "Quokka Travel", "Projects (1)", "Quokka rollout"}));
    m_window->JumpSearch->SearchEdit->clear();
    type(QStringLiteral("review"));
    QCOMPARE(listed(), QStringList{});
}

QTEST_MAIN(TestJumpSearch)
#include "tst_jumpsearch.moc"
