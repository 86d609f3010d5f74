#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "support/MainWindowProbe.h"
#include "app/MainForm.h"
#include "support/RecordingShellService.h"
#include "support/RecordingPreviewService.h"
#include "toolkit/widgets/PageControl.h"
#include "toolkit/widgets/DBEdit.h"
#include "ui/main/JumpSearch.h"
#include "support/ShownWindow.h"

namespace {

// The menu window with its main windows replaced by probes and its modal shows recorded.
class ProbeMenuForm : public TMainForm
{
public:
    ProbeMenuForm(Forms& forms, QList<ProbeRecord>& shows) : TMainForm(forms), m_data(forms), m_shows(shows) {}
    QStringList shown;

protected:
    std::unique_ptr<TDataEntryForm> newDataEntryForm() override
    {
        return std::make_unique<MainWindowProbe>(m_data, m_shows);
    }
    void showModal(QDialog& window) override { shown.append(window.objectName()); }

private:
    Forms& m_data;
    QList<ProbeRecord>& m_shows;
};

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openPeopleLeavesTheLongLivedWindowWhereItWas();
    void newItemsStartTheirRecord();
    void blankNewRecordIsDroppedWhenTheWindowCloses();
    void typedNewRecordIsKept();
    void windowItemsOpenTheirWindowForOneUse();
    void mainWindowReachesEveryItemByAltKeys();
    void navigationOpensThePipelineAndTheJumpSearchByKeys();
    void reportItemsPreviewTheirReports();
    void helpItemsShowAboutHelpAndSite();

private:
    TMainDataModule& dm() { return *m_f->dm; }

    std::unique_ptr<MainWindowFixture> m_f;
    TDataEntryForm* m_longLived = nullptr;
    QList<ProbeRecord> m_shows;
    std::unique_ptr<ProbeMenuForm> m_menu;
};

void TestMainForm::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    m_longLived = &m_f->makeMainWindow(TDataEntryForm::CompaniesPage);
    m_menu = std::make_unique<ProbeMenuForm>(m_f->forms, m_shows);
}

void TestMainForm::cleanup()
{
    m_menu.reset();
    m_f.reset();
    m_shows.clear();
    MainWindowProbe::duringShow = nullptr;
    QCOMPARE(MainWindowProbe::alive, 0);
}

void TestMainForm::openPeopleLeavesTheLongLivedWindowWhereItWas()
{
    QCOMPARE(m_menu->windowTitle(), QStringLiteral("Ostrelle"));
    dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {5});
    m_menu->People1->trigger();
    QCOMPARE(m_shows.size(), 1);
    QCOMPARE(m_shows[0].page, int(TDataEntryForm::ClientsPage));
    QCOMPARE(m_shows[0].company, QStringLiteral("5"));
    QCOMPARE(m_longLived->MainDataEntry->currentIndex(), int(TDataEntryForm::CompaniesPage));
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("CompanyID")), QStringLiteral("5"));

    m_menu->Projects1->trigger();
    QCOMPARE(m_shows[1].page, int(TDataEntryForm::ProjectsPage));
}

void TestMainForm::newItemsStartTheirRecord()
{
    const std::pair<QAction*, std::pair<const char*, int>> items[] = {
        {m_menu->Company1, {"CompaniesTable", TDataEntryForm::CompaniesPage}},
        {m_menu->Person1, {"PeopleCompanyDet", TDataEntryForm::ClientsPage}},
        {m_menu->Project1, {"ProjectsDetail", TDataEntryForm::ProjectsPage}},
        {m_menu->SebProject1, {"SubProjectsDetail", TDataEntryForm::SubProjectsPage}}};
    for (const auto& [item, expected] : items) {
        m_shows.clear();
        item->trigger();
        QCOMPARE(m_shows.size(), 1);
        QCOMPARE(m_shows[0].inserting, QStringList{QLatin1String(expected.first)});
        QCOMPARE(m_shows[0].page, expected.second);
    }
}

void TestMainForm::blankNewRecordIsDroppedWhenTheWindowCloses()
{
    const int companies = dm().CompaniesTable->recordCount();
    m_menu->Company1->trigger();
    m_menu->Person1->trigger();
    QCOMPARE(m_shows.size(), 2);
    for (Dataset* d : dm().sharedDatasets())
        QVERIFY2(d->state() == Dataset::State::Browse, qPrintable(d->name()));
    QCOMPARE(dm().CompaniesTable->recordCount(), companies);
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestMainForm::typedNewRecordIsKept()
{
    MainWindowProbe::duringShow = [](MainWindowProbe& window) {
        QTest::keyClicks(window.DBEdit8, QStringLiteral("Dunmore"));
    };
    m_f->messages.answerDialog(QMessageBox::Yes);
    m_menu->Company1->trigger();
    QCOMPARE(m_f->messages.entries().size(), 1);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM Companies WHERE Name = 'Dunmore'")).toInt(), 1);
    QCOMPARE(dm().CompaniesTable->state(), Dataset::State::Browse);
}

void TestMainForm::windowItemsOpenTheirWindowForOneUse()
{
    m_menu->CompanyPeople1->trigger();
    m_menu->ProjectSubProject1->trigger();
    m_menu->PersonSubProject1->trigger();
    m_menu->ransaction1->trigger();
    m_menu->OpenSubProject1->trigger();
    QCOMPARE(m_menu->shown, QStringList({QStringLiteral("NavCompanyPersonForm"), QStringLiteral("NavProjectSubProjectForm"),
                                         QStringLiteral("NavPersonSubProjectForm"), QStringLiteral("BusinessForm"),
                                         QStringLiteral("EDSubProjectForm")}));
    QVERIFY(m_menu->findChildren<QDialog*>().isEmpty());
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestMainForm::mainWindowReachesEveryItemByAltKeys()
{
    auto* bar = new QMenuBar(m_longLived);
    m_menu->addMenusTo(bar);
    m_longLived->layout()->setMenuBar(bar);
    QStringList titles;
    for (QAction* top : bar->actions())
        titles.append(top->text());
    QCOMPARE(titles, QStringList({QStringLiteral("&File"), QStringLiteral("&New"), QStringLiteral("&Open"), QStringLiteral("Na&vigation"),
                                  QStringLiteral("&Business"), QStringLiteral("&Reports"), QStringLiteral("&help")}));
    QCOMPARE(bar->actions()[3]->menu()->actions(), m_menu->N3->actions());

    QVERIFY(showActive(*m_longLived));
    // Alt+O, then P: the People item of the shared actions.
    QTest::keyClick(m_longLived, Qt::Key_O, Qt::AltModifier);
    QMenu* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(open);
    QTest::keyClick(open, Qt::Key_P);
    QCOMPARE(m_shows.size(), 1);
    QCOMPARE(m_shows[0].page, int(TDataEntryForm::ClientsPage));

    // Alt+O, then M: the menu window itself.
    QTest::keyClick(m_longLived, Qt::Key_O, Qt::AltModifier);
    open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(open);
    QTest::keyClick(open, Qt::Key_M);
    QVERIFY(m_menu->isVisible());
    QVERIFY(m_menu->isMaximized());
}

void TestMainForm::navigationOpensThePipelineAndTheJumpSearchByKeys()
{
    auto* bar = new QMenuBar(m_longLived);
    m_menu->addMenusTo(bar);
    m_longLived->layout()->setMenuBar(bar);
    QVERIFY(showActive(*m_longLived));
    QTest::keyClick(m_longLived, Qt::Key_V, Qt::AltModifier);
    QMenu* navigation = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(navigation);
    QTest::keyClick(navigation, Qt::Key_P);
    QCOMPARE(m_menu->shown, QStringList{QStringLiteral("PipelineForm")});

    QTest::keyClick(m_longLived, Qt::Key_V, Qt::AltModifier);
    navigation = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(navigation);
    QTest::keyClick(navigation, Qt::Key_J);
    QVERIFY(m_longLived->JumpSearch->isVisible());
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestMainForm::reportItemsPreviewTheirReports()
{
    RecordingPreviewService previews;
    m_menu->N11->trigger();
    QCOMPARE(previews.runs(), 1);
    QVERIFY(!previews.pages().empty());
    m_menu->N21->trigger();
    m_menu->N2->trigger();
    QCOMPARE(previews.runs(), 3);
    const size_t companyPersons = previews.pages().size();

    // "All": the three list reports in one preview.
    m_menu->Structured->trigger();
    QCOMPARE(previews.runs(), 4);
    QVERIFY(previews.pages().size() >= companyPersons);
}

void TestMainForm::helpItemsShowAboutHelpAndSite()
{
    RecordingShellService shell;
    m_menu->VisitWEBSite1->trigger();
    QCOMPARE(shell.calls().size(), 1);

    m_menu->Contents1->trigger();
    QCOMPARE(m_longLived->MainDataEntry->currentIndex(), int(TDataEntryForm::HelpPage));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
