#include <memory>

#include <QtTest>

#include "support/DatasetTables.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/ControlsDisabled.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/Transaction.h"

// A chain of three: companies, their projects, the subprojects of the current project.
// Rows with no company or project show where the chain restricts to an empty link.
class TestMasterDetail : public QObject
{
    Q_OBJECT
public:
    enum Move { NextCompany, PriorProject, CompanyWithoutProjects, NewCompany, NewCompanySaved, SameCompany, CompanyRefreshed };
    enum Pending { ChangedRow, ChangedNewRow, UntouchedNewRow, NewRowWithDefaults, ChangedGrandchild };

private slots:
    void init();
    void cleanup();

    void detailsFollowTheMaster_data();
    void detailsFollowTheMaster();
    void newDetailRowGetsTheLinkAtOnce();
    void emptyMasterShowsUnlinkedRows();
    void walkKeepsNoReadOfRowsPassed();
    void pendingDetailRowWhenTheMasterMoves_data();
    void pendingDetailRowWhenTheMasterMoves();
    void savedLinkChangeMovesTheRow_data();
    void savedLinkChangeMovesTheRow();
    void refreshAfterALinkChangedElsewhere();
    void forgottenRowsLeaveOnlyThisDataset();
    void beforeMoveEndsDependentChanges();
    void failedEndStopsTheMove_data();
    void failedEndStopsTheMove();
    void deleteEndsWhatHangsOnTheRowFirst();
    void everyOperationEndsDependentChangesOnce_data();
    void everyOperationEndsDependentChangesOnce();
    void failedDependentSaveStopsTheDelete();
    void disabledControlsReachDetailsAndLookupUsers();

private:
    QStringList names(Dataset& ds) const;
    QString fileNames(const QString& sql) { return m_t->scalar(sql).toString(); }
    void openChain();

    std::unique_ptr<DatasetTables> m_t;
    std::unique_ptr<Dataset> m_companies, m_projects, m_subprojects;
    std::unique_ptr<DataSource> m_companiesSource, m_projectsSource;
    QStringList m_log;
};

void TestMasterDetail::init()
{
    m_t = std::make_unique<DatasetTables>();
    m_t->db().exec("INSERT INTO Companies (CompanyID, Name) VALUES (1, 'A'), (2, 'B'), (3, 'C');"
                   "INSERT INTO Projects (ProjectID, CompanyID, Name) VALUES (30, NULL, 'Orphan'), (10, 1, 'P10'),"
                   " (20, 2, 'P20'), (11, 1, 'P11');"
                   "INSERT INTO SubProjects (SubProjectID, ProjectID, Name) VALUES (100, 10, 'S100'), (110, 11, 'S110'),"
                   " (300, NULL, 'SNull'), (101, 10, 'S101'), (200, 20, 'S200')");
    m_companies = std::make_unique<Dataset>(&m_t->db(), "C");
    m_companies->setTableName("Companies");
    m_companiesSource = std::make_unique<DataSource>(m_companies.get());
    m_projects = std::make_unique<Dataset>(&m_t->db(), "P");
    m_projects->setTableName("Projects");
    m_projects->setMasterSource(m_companiesSource.get(), "CompanyID");
    m_projectsSource = std::make_unique<DataSource>(m_projects.get());
    m_subprojects = std::make_unique<Dataset>(&m_t->db(), "S");
    m_subprojects->setTableName("SubProjects");
    m_subprojects->setMasterSource(m_projectsSource.get(), "ProjectID");
    m_log.clear();
    for (Dataset* ds : {m_companies.get(), m_projects.get(), m_subprojects.get()}) {
        ds->afterScroll = [this](Dataset& d) { m_log << d.name() + ":scroll"; };
        ds->afterInsert = [this](Dataset& d) { m_log << d.name() + ":insert"; };
        ds->afterPost = [this](Dataset& d) { m_log << d.name() + ":post"; };
    }
}

void TestMasterDetail::cleanup()
{
    m_subprojects.reset();
    m_projects.reset();
    m_companies.reset();
    m_projectsSource.reset();
    m_companiesSource.reset();
    m_t.reset();
}

void TestMasterDetail::openChain()
{
    m_companies->open();
    m_projects->open();
    m_subprojects->open();
}

QStringList TestMasterDetail::names(Dataset& ds) const
{
    QStringList list;
    for (int row = 0; row < ds.recordCount(); ++row)
        list << ds.textAt(row, "Name");
    return list;
}

void TestMasterDetail::detailsFollowTheMaster_data()
{
    QTest::addColumn<int>("move");
    QTest::addColumn<QString>("project");
    QTest::addColumn<QStringList>("subprojects");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("next company") << int(NextCompany) << "P20" << QStringList{"S200"}
                                  << QStringList{"S:scroll", "P:scroll", "C:scroll"};
    QTest::newRow("prior project") << int(PriorProject) << "P10" << QStringList{"S100", "S101"}
                                   << QStringList{"S:scroll", "P:scroll"};
    QTest::newRow("company without projects") << int(CompanyWithoutProjects) << "" << QStringList{"SNull"}
                                              << QStringList{"S:scroll", "P:scroll", "C:scroll"};
    QTest::newRow("new company") << int(NewCompany) << "Orphan" << QStringList{}
                                 << QStringList{"S:scroll", "P:scroll", "C:insert", "C:scroll"};
    QTest::newRow("new company saved") << int(NewCompanySaved) << "" << QStringList{"SNull"}
                                       << QStringList{"S:scroll", "P:scroll", "C:insert", "C:scroll",
                                                      "S:scroll", "P:scroll", "C:post"};
    QTest::newRow("same company again") << int(SameCompany) << "P11" << QStringList{"S110"} << QStringList{"C:scroll"};
    QTest::newRow("company refreshed") << int(CompanyRefreshed) << "P11" << QStringList{"S110"} << QStringList{};
}

void TestMasterDetail::detailsFollowTheMaster()
{
    QFETCH(int, move);
    QFETCH(QString, project);
    QFETCH(QStringList, subprojects);
    QFETCH(QStringList, events);
    openChain();
    QCOMPARE(m_log, (QStringList{"C:scroll", "P:scroll", "S:scroll"}));
    m_projects->next();
    m_log.clear();
    switch (Move(move)) {
    case NextCompany: m_companies->next(); break;
    case PriorProject: m_projects->prior(); break;
    case CompanyWithoutProjects: m_companies->last(); break;
    case NewCompany: m_companies->insert(); break;
    case NewCompanySaved:
        m_companies->insert();
        m_companies->setText("Name", "D");
        m_companies->post();
        break;
    case SameCompany: m_companies->first(); break;
    case CompanyRefreshed: m_companies->refresh(); break;
    }
    QCOMPARE(m_projects->text("Name"), project);
    QCOMPARE(names(*m_subprojects), subprojects);
    QCOMPARE(m_log, events);
}

void TestMasterDetail::newDetailRowGetsTheLinkAtOnce()
{
    openChain();
    m_projects->append();
    QCOMPARE(m_projects->value("CompanyID"), QVariant(qint64(1)));
    QVERIFY(!m_projects->modified());
    // The new project has no key yet: its subprojects are those without a project.
    QCOMPARE(names(*m_subprojects), QStringList{"SNull"});
    m_subprojects->append();
    QVERIFY(m_subprojects->value("ProjectID").isNull());
    m_projects->setText("Name", "P12");
    m_projects->post();
    QCOMPARE(m_t->scalar("SELECT CompanyID FROM Projects WHERE Name = 'P12'").toInt(), 1);
    QVERIFY(m_subprojects->isEmpty());
    QCOMPARE(m_t->scalar("SELECT count(*) FROM SubProjects").toInt(), 5);
    m_subprojects->append();
    QCOMPARE(m_subprojects->value("ProjectID"), m_projects->value("ProjectID"));
}

void TestMasterDetail::emptyMasterShowsUnlinkedRows()
{
    m_t->db().exec("DELETE FROM Companies");
    openChain();
    QCOMPARE(names(*m_projects), QStringList{"Orphan"});
    m_projects->append();
    m_projects->setText("Name", "Loose");
    m_projects->post();
    QVERIFY(m_t->scalar("SELECT CompanyID FROM Projects WHERE Name = 'Loose'").isNull());
    QCOMPARE(names(*m_projects), (QStringList{"Orphan", "Loose"}));
}

// A walk reads a query again for each row it passes (as the status history follows the
// subproject); the reads it left behind are not listed for as long as the file is open.
void TestMasterDetail::walkKeepsNoReadOfRowsPassed()
{
    Transaction t(m_t->db());
    for (int id = 1000; id < 1500; ++id)
        m_t->db().exec(QStringLiteral("INSERT INTO Projects (CompanyID, Name) VALUES (%1, 'WP%1')").arg(id));
    t.commit();
    Dataset projects(&m_t->db(), "Q");
    projects.setSql("SELECT ProjectID, CompanyID, Name FROM Projects WHERE CompanyID = :ID", "Projects", "ProjectID");
    const size_t atStart = m_t->db().sharedReadCount();
    for (int id = 1000; id < 1500; ++id) {
        projects.close();
        projects.setParam("ID", id);
        projects.open();
    }
    QCOMPARE(names(projects), QStringList{"WP1499"});
    QVERIFY2(m_t->db().sharedReadCount() < atStart + 200, qPrintable(QString::number(m_t->db().sharedReadCount())));
}

void TestMasterDetail::pendingDetailRowWhenTheMasterMoves_data()
{
    QTest::addColumn<int>("pending");
    QTest::addColumn<QString>("projects");
    QTest::addColumn<QString>("subprojects");
    const QString unchanged = "S100,S101,S110";
    QTest::newRow("changed row is saved") << int(ChangedRow) << "P10x,P11" << unchanged;
    QTest::newRow("changed new row is saved") << int(ChangedNewRow) << "P10,P11,New" << unchanged;
    QTest::newRow("untouched new row is dropped") << int(UntouchedNewRow) << "P10,P11" << unchanged;
    QTest::newRow("new row with defaults only is dropped") << int(NewRowWithDefaults) << "P10,P11" << unchanged;
    QTest::newRow("changed row two levels down is saved") << int(ChangedGrandchild) << "P10,P11" << "S100x,S101,S110";
}

void TestMasterDetail::pendingDetailRowWhenTheMasterMoves()
{
    QFETCH(int, pending);
    QFETCH(QString, projects);
    QFETCH(QString, subprojects);
    m_projects->onNewRecord = [](Dataset& ds) { ds.setText("Name", "Default"); };
    openChain();
    switch (Pending(pending)) {
    case ChangedRow:
        m_projects->edit();
        m_projects->setText("Name", "P10x");
        break;
    case ChangedNewRow:
        m_projects->append();
        m_projects->setText("Name", "New");
        break;
    case UntouchedNewRow:
    case NewRowWithDefaults:
        if (pending != NewRowWithDefaults)
            m_projects->onNewRecord = nullptr;
        m_projects->append();
        break;
    case ChangedGrandchild:
        m_subprojects->edit();
        m_subprojects->setText("Name", "S100x");
        break;
    }
    m_companies->next();
    QCOMPARE(m_projects->state(), Dataset::State::Browse);
    QCOMPARE(fileNames("SELECT group_concat(Name) FROM (SELECT Name FROM Projects WHERE CompanyID = 1 ORDER BY ProjectID)"), projects);
    QCOMPARE(fileNames("SELECT group_concat(Name) FROM (SELECT Name FROM SubProjects WHERE ProjectID < 20 ORDER BY Name)"), subprojects);
    m_companies->prior();
    QCOMPARE(names(*m_projects).join(u','), projects);
}

void TestMasterDetail::savedLinkChangeMovesTheRow_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("newRow");
    QTest::addColumn<QStringList>("staying");
    QTest::addColumn<QStringList>("arriving");
    QTest::newRow("edited row") << 1 << 2 << false << QStringList{"P11"} << QStringList{"P10", "P20"};
    QTest::newRow("new row") << 1 << 2 << true << QStringList{"P10", "P11"} << QStringList{"P12", "P20"};
    QTest::newRow("only row of its master") << 2 << 1 << false << QStringList{} << QStringList{"P10", "P11", "P20"};
}

void TestMasterDetail::savedLinkChangeMovesTheRow()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, newRow);
    QFETCH(QStringList, staying);
    QFETCH(QStringList, arriving);
    openChain();
    m_companies->locate({"CompanyID"}, {from});
    if (newRow) {
        m_projects->append();
        m_projects->setText("Name", "P12");
    } else {
        m_projects->edit();
    }
    m_projects->setValue("CompanyID", to);
    m_projects->post();
    QCOMPARE(names(*m_projects), staying);
    m_companies->locate({"CompanyID"}, {to});
    QStringList arrived = names(*m_projects);
    arrived.sort();
    QCOMPARE(arrived, arriving);
    m_companies->locate({"CompanyID"}, {from});
    QCOMPARE(names(*m_projects), staying);
}

void TestMasterDetail::refreshAfterALinkChangedElsewhere()
{
    openChain();
    Dataset allProjects(&m_t->db(), "ProjectsTable");
    allProjects.setTableName("Projects");
    allProjects.open();
    allProjects.locate({"Name"}, {"P10"});
    allProjects.edit();
    allProjects.setValue("CompanyID", 2);
    allProjects.post();
    QCOMPARE(names(*m_projects), (QStringList{"P10", "P11"}));
    m_projects->refresh();
    QCOMPARE(names(*m_projects), QStringList{"P11"});
    m_companies->next();
    QCOMPARE(names(*m_projects), (QStringList{"P10", "P20"}));
}

void TestMasterDetail::forgottenRowsLeaveOnlyThisDataset()
{
    openChain();
    m_subprojects->next();
    Dataset allSubprojects(&m_t->db(), "SubProjectsTable");
    allSubprojects.setTableName("SubProjects");
    allSubprojects.open();
    m_t->db().exec("DELETE FROM SubProjects WHERE ProjectID = 10; DELETE FROM Projects WHERE ProjectID = 10");
    QSignalSpy projectsShown(m_projects.get(), &Dataset::dataChanged);
    m_log.clear();

    // The current project went: the one at its place becomes current and its details follow.
    m_projects->forgetRows("ProjectID", {10, 99});
    QCOMPARE(names(*m_projects), QStringList{"P11"});
    QCOMPARE(m_projects->text("Name"), "P11");
    QCOMPARE(names(*m_subprojects), QStringList{"S110"});
    QCOMPARE(m_log, (QStringList{"S:scroll", "P:scroll"}));
    QCOMPARE(projectsShown.count(), 1);

    // The rows read with the same snapshot stay in the other dataset until it forgets them too.
    m_subprojects->forgetRows("ProjectID", {10});
    QCOMPARE(allSubprojects.recordCount(), 5);
    allSubprojects.last();
    allSubprojects.forgetRows("ProjectID", {QVariant(10)});
    Dataset fresh(&m_t->db(), "Fresh");
    fresh.setTableName("SubProjects");
    fresh.open();
    QCOMPARE(names(allSubprojects), names(fresh));
    QCOMPARE(allSubprojects.text("Name"), "SNull");

    // Nothing held matches: no notice; an unknown column is refused.
    m_log.clear();
    m_projects->forgetRows("ProjectID", {99});
    QCOMPARE(projectsShown.count(), 1);
    QVERIFY(m_log.isEmpty());
    QVERIFY_THROWS_EXCEPTION(StoreError, m_projects->forgetRows("Nope", {11}));
}

// The history list of a subproject: a dataset that follows a current row without being a detail.
void TestMasterDetail::beforeMoveEndsDependentChanges()
{
    openChain();
    Dataset list(&m_t->db(), "L");
    list.setTableName("SubProjects");
    list.open();
    m_projects->addDependent(&list);
    list.afterPost = [this](Dataset&) { m_log << "L:post"; };
    for (Dataset* ds : {m_companies.get(), m_projects.get(), m_subprojects.get()})
        ds->beforeScroll = [this](Dataset& d) { m_log << d.name() + ":before"; };
    list.edit();
    list.setText("Name", "Changed");
    m_log.clear();
    m_companies->next();
    QCOMPARE(m_log, (QStringList{"L:post", "C:before", "P:before", "S:before", "S:scroll", "P:scroll", "C:scroll"}));
    QCOMPARE(fileNames("SELECT Name FROM SubProjects WHERE SubProjectID = 100"), "Changed");
}

void TestMasterDetail::failedEndStopsTheMove_data()
{
    QTest::addColumn<QString>("refusing");
    QTest::newRow("detail") << "S";
    QTest::newRow("dependent") << "L";
    QTest::newRow("before-move handler") << "C";
}

void TestMasterDetail::failedEndStopsTheMove()
{
    QFETCH(QString, refusing);
    openChain();
    Dataset list(&m_t->db(), "L");
    list.setTableName("SubProjects");
    list.open();
    m_projects->addDependent(&list);
    auto refuse = [](Dataset&) { throw StoreError("refused"); };
    Dataset* pending = refusing == "L" ? &list : m_subprojects.get();
    if (refusing == "C")
        m_companies->beforeScroll = refuse;
    else
        pending->beforePost = refuse;
    pending->edit();
    pending->setText("Name", "Changed");

    QVERIFY_THROWS_EXCEPTION(StoreError, m_companies->next());
    QCOMPARE(m_companies->text("Name"), "A");
    QCOMPARE(m_projects->text("Name"), "P10");
    if (refusing == "C")
        return;
    QCOMPARE(pending->state(), Dataset::State::Edit);
    QCOMPARE(pending->text("Name"), "Changed");
    QCOMPARE(fileNames("SELECT group_concat(Name) FROM SubProjects WHERE SubProjectID = 100"), "S100");
}

void TestMasterDetail::deleteEndsWhatHangsOnTheRowFirst()
{
    openChain();
    m_companies->whileDeleting = [this](Dataset& d) {
        m_t->db().exec("DELETE FROM Projects WHERE CompanyID = " + d.text("CompanyID"));
    };
    // A refused detail change deletes nothing.
    m_subprojects->append();
    m_subprojects->setText("Name", "New");
    m_subprojects->beforePost = [](Dataset&) { throw StoreError("refused"); };
    QVERIFY_THROWS_EXCEPTION(StoreError, m_companies->deleteRecord());
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Companies").toInt(), 3);
    QCOMPARE(m_subprojects->state(), Dataset::State::Insert);
    m_subprojects->cancel();

    // An edited project is stored before its company goes, not written to a removed row after.
    m_projects->edit();
    m_projects->setText("Name", "Renamed");
    m_companies->deleteRecord();
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Projects WHERE CompanyID = 1").toInt(), 0);
    QCOMPARE(m_companies->text("Name"), "B");
    QCOMPARE(m_projects->state(), Dataset::State::Browse);
    QCOMPARE(names(*m_projects), QStringList{"P20"});
}

void TestMasterDetail::disabledControlsReachDetailsAndLookupUsers()
{
    openChain();
    Dataset projectList(&m_t->db(), "PL");
    projectList.setTableName("Projects");
    projectList.addField(FieldDef::autoInc("ProjectID"));
    projectList.addField(FieldDef::integer("CompanyID"));
    projectList.addField(FieldDef::lookup("CompanyName", "CompanyID", m_companies.get(), "CompanyID", "Name"));
    projectList.open();
    QSignalSpy projects(m_projectsSource.get(), &DataSource::dataChanged);
    QSignalSpy subprojects(m_subprojects.get(), &Dataset::dataChanged);
    QSignalSpy lookups(&projectList, &Dataset::dataChanged);
    {
        ControlsDisabled guard(*m_companies);
        while (!m_companies->eof())
            m_companies->next();
        QCOMPARE(projects.count() + subprojects.count() + lookups.count(), 0);
    }
    QCOMPARE(projects.count(), 1);
    QCOMPARE(subprojects.count(), 1);
    QCOMPARE(lookups.count(), 1);
    QVERIFY(!m_subprojects->controlsDisabled());
}

// Operations that leave the current row or change the rows held end the pending change of a
// dataset tied to the row without being its detail, once, and ask the controls once.
void TestMasterDetail::everyOperationEndsDependentChangesOnce_data()
{
    QTest::addColumn<QString>("operation");
    for (const char* op : {"move", "locate", "insert", "delete", "delete all", "refresh", "reread", "forget rows", "close"})
        QTest::newRow(op) << op;
}

void TestMasterDetail::everyOperationEndsDependentChangesOnce()
{
    QFETCH(QString, operation);
    openChain();
    Dataset list(&m_t->db(), "L");
    list.setTableName("SubProjects");
    list.open();
    m_companies->addDependent(&list);
    list.afterPost = [this](Dataset&) { m_log << "L:post"; };
    m_companies->afterRefresh = [this](Dataset&) { m_log << "C:refresh"; };
    m_companies->afterDelete = [this](Dataset&) { m_log << "C:delete"; };
    m_companies->afterClose = [this](Dataset&) { m_log << "C:close"; };
    list.edit();
    list.setText("Name", "Changed");
    QSignalSpy asked(&list, &Dataset::updateRecordRequested);
    m_log.clear();

    const QMap<QString, QStringList> expected{
        {"move", {"L:post", "C:scroll"}},
        {"locate", {"L:post", "C:scroll"}},
        {"insert", {"L:post", "C:insert", "C:scroll"}},
        {"delete", {"L:post", "C:delete", "C:scroll"}},
        {"delete all", {"L:post"}},
        {"refresh", {"L:post", "C:refresh"}},
        {"reread", {"L:post", "C:refresh"}},
        {"forget rows", {"L:post", "C:scroll"}},
        {"close", {"L:post", "C:close"}},
    };
    if (operation == "move")
        m_companies->next();
    else if (operation == "locate")
        QVERIFY(m_companies->locate({"Name"}, {"C"}));
    else if (operation == "insert")
        m_companies->append();
    else if (operation == "delete")
        m_companies->deleteRecord([&] {
            // The question is asked once the change hanging on the row is stored.
            m_log << "asked " + fileNames("SELECT Name FROM SubProjects WHERE SubProjectID = 100");
            return true;
        });
    else if (operation == "delete all")
        m_companies->deleteAllRows("CompanyID", {});
    else if (operation == "refresh")
        m_companies->refresh();
    else if (operation == "reread")
        m_companies->reread();
    else if (operation == "forget rows")
        m_companies->forgetRows("CompanyID", {1});
    else
        m_companies->close();

    QStringList want = expected[operation];
    if (operation == "delete")
        want.insert(1, "asked Changed");
    // Details follow their master's move: their scroll comes before the master's.
    m_log.removeIf([](const QString& entry) { return entry.startsWith("P:") || entry.startsWith("S:"); });
    QCOMPARE(m_log, want);
    QCOMPARE(asked.count(), 1);
    QCOMPARE(list.state(), Dataset::State::Browse);
    QCOMPARE(fileNames("SELECT Name FROM SubProjects WHERE SubProjectID = 100"), "Changed");
}

void TestMasterDetail::failedDependentSaveStopsTheDelete()
{
    openChain();
    Dataset list(&m_t->db(), "L");
    list.setTableName("SubProjects");
    list.open();
    m_companies->addDependent(&list);
    list.beforePost = [](Dataset&) { throw StoreError("refused"); };
    list.edit();
    list.setText("Name", "Changed");
    bool asked = false;

    QVERIFY_THROWS_EXCEPTION(StoreError, m_companies->deleteRecord([&] { return asked = true; }));
    QVERIFY(!asked);
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Companies").toInt(), 3);
    QCOMPARE(m_companies->text("Name"), "A");
    QCOMPARE(list.state(), Dataset::State::Edit);
    QCOMPARE(list.text("Name"), "Changed");

    // Answering no deletes nothing; the change hanging on the row is stored all the same.
    list.beforePost = DatasetEvent::Handler();
    m_companies->deleteRecord([] { return false; });
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Companies").toInt(), 3);
    QCOMPARE(fileNames("SELECT Name FROM SubProjects WHERE SubProjectID = 100"), "Changed");
}

QTEST_GUILESS_MAIN(TestMasterDetail)
#include "tst_masterdetail.moc"

