#include <QSignalSpy>
#include <QtTest>

#include "data/DataModule.h"
#include "data/Schema.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"
#include "support/AppDatabase.h"
#include "support/RecordingMessageService.h"
#include "support/StoreRefusal.h"
#include "support/TestStore.h"

namespace {

// A dataset's fields in order: name, kind, width, whether only the display is cut, and label.
QString fieldList(const Dataset& d)
{
    QStringList fields;
    for (int i = 0; i < d.fieldCount(); ++i) {
        const FieldDef& f = d.field(i);
        static const char* const kinds[] = {"auto", "int", "bool", "date", "real", "text", "memo"};
        QString text = f.name + u' ' + (f.isLookup ? QStringLiteral("lookup") : QLatin1String(kinds[int(f.type)]));
        if (f.width > 0)
            text += u' ' + QString::number(f.width);
        if (f.readOnly && f.type != FieldType::AutoInc)
            text += QStringLiteral(" read-only");
        if (!f.cutOnWrite)
            text += QStringLiteral(" shown");
        if (!f.label.isEmpty())
            text += QStringLiteral(" \"%1\"").arg(f.label);
        fields.append(text);
    }
    return fields.join(QStringLiteral(", "));
}

} // namespace

class TestDataModule : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsOnEmptyTables();
    void datasetsDeclareTheirFields_data();
    void datasetsDeclareTheirFields();
    void newSubprojectGetsDefaultTypeAndSize();
    void plainSubprojectTableAppliesNoDefaults();
    void historyFollowsCurrentSubproject();
    void statusRowSavesUnsavedSubprojectFirst();
    void movingSubprojectKeepsChangedStatusRowDropsUntouched();
    void statusRowWithoutSubprojectIsRefused();
    void refusedStatusRowKeepsTheSubproject();
    void personNeedsName();
    void savedPersonIsInLookupsAtOnce();
    void lookupsFollowTheRules();
    void longSubprojectNameIsNeverCut();
    void deletingCompanyTakesItsRowsInOneGo();
    void personAndSubprojectTakeTheirLogInOneGo();
    void version0FileOpensWithAnEmptyLog();
    void deleteEndsPendingChangesThatHangOnTheRow();
    void pendingChangesAreReported();

private:
    qint64 scalar(const QString& sql);
    QString scalarText(const QString& sql);
    void exec(const QString& sql);
    // Makes the store refuse to write (INSERT, DELETE) rows of table with message, as a guarded one would.
    void refuse(const QString& write, const QString& table, const QString& message);
    void allow(const QString& table);
    void openModule();

    std::unique_ptr<AppDatabase> m_file;
    std::unique_ptr<TMainDataModule> m_dm;
    std::unique_ptr<RecordingMessageService> m_messages;
};

void TestDataModule::init()
{
    const char* row = QTest::currentDataTag();
    m_file = std::make_unique<AppDatabase>(QStringLiteral("Vornadel %1 %2.mdb").arg(QTest::currentTestFunction(), row ? row : ""));
    m_messages = std::make_unique<RecordingMessageService>();
}

void TestDataModule::cleanup()
{
    m_dm.reset();
    m_file.reset();
    m_messages.reset();
}

qint64 TestDataModule::scalar(const QString& sql)
{
    Statement st(m_file->db(), sql);
    return st.step() ? st.int64(0) : -1;
}

QString TestDataModule::scalarText(const QString& sql)
{
    Statement st(m_file->db(), sql);
    return st.step() ? st.text(0) : QString();
}

void TestDataModule::exec(const QString& sql)
{
    m_file->exec(sql);
}

void TestDataModule::refuse(const QString& write, const QString& table, const QString& message)
{
    refuseInStore(m_file->db(), QStringLiteral("refuse"), QStringLiteral("BEFORE %1 ON %2").arg(write, table), {}, message);
}

void TestDataModule::allow(const QString& table)
{
    dropStoreRefusal(m_file->db(), QStringLiteral("refuse"), table);
}

void TestDataModule::openModule()
{
    m_dm = std::make_unique<TMainDataModule>();
    m_dm->Connect(m_file->connectionString());
    m_dm->SetDataSetsActive(true);
}

void TestDataModule::startsOnEmptyTables()
{
    openModule();
    for (Dataset* d : m_dm->sharedDatasets())
        QVERIFY2(d->isActive(), qPrintable(d->name()));
    QVERIFY(m_dm->CompaniesTable->isEmpty());
    QVERIFY(m_dm->ProjectsDetail->isEmpty());
    QVERIFY(m_dm->SubProjectHistoryQ->isEmpty());
    QCOMPARE(m_dm->SubProjectHistoryQ->param(QStringLiteral("SPID")).toString(), QStringLiteral("0"));
}

void TestDataModule::datasetsDeclareTheirFields_data()
{
    QTest::addColumn<QString>("fields");
    const QString people = "PersonID auto, CompanyID int, Name text 255, Title text 255, Email text 64, Mobile text 30, Info text 255";
    const QString projects = "ProjectID auto, CompanyID int, Name text 255, Code text 255, Comments text 512";
    const QString business = "PersonID int, SubProjectID int, SPDecisionMaker bool, SPUser bool, SPInfluencer bool,"
                             " SPPurchaser bool, SPGateKeeper bool, SPWeight int";
    for (const char* all : {"CompaniesTable", "CompaniesTableEX", "PeopleCompanyDet", "SubProjectSizeTable"})
        QTest::newRow(all) << QString();
    QTest::newRow("PeopleTable") << people + ", CompanyName lookup 20";
    QTest::newRow("PeopleTableEX") << people + ", Company Name lookup 20";
    QTest::newRow("ProjectsTable") << projects + ", CompanyName lookup 20";
    QTest::newRow("ProjectsDetail") << projects;
    QTest::newRow("SubProjectsTable") << "SubProjectID auto, SubProjectTypeID int, ProjectID int, Name text 10 shown,"
                                         " Code text 255, Comments text 512, ProjectName lookup 20, Type lookup 20,"
                                         " SizeID int, Size lookup 20";
    QTest::newRow("SubProjectsDetail") << "SubProjectID auto, SubProjectTypeID int, ProjectID int, SizeID int,"
                                          " Name text 255, Code text 255, Comments text 512, Size lookup 20,"
                                          " Type lookup 20, TypeComment lookup 255";
    QTest::newRow("SubProjectStatusTable") << "SPStatusID int, SPStatusName text 64 \"Status\"";
    QTest::newRow("SubProjectTypeTable") << "SPTypeID int, SPTypeName text 64 \"Type\", Comments text 255";
    QTest::newRow("BusinessTable") << business + ", PersonName lookup 20, SubProjectName lookup 20";
    QTest::newRow("PeopleDetail")
        << "PersonID int, SubProjectID int, SPDecisionMaker bool \"Decision Maker\", SPUser bool \"User\","
           " SPInfluencer bool \"Influencer\", SPPurchaser bool \"Purchaser\", SPGateKeeper bool \"Gate Keeper\","
           " SPWeight int \"Weight\", PersonName lookup 20 \"Person Name\", CompanyName lookup 20 \"Company Name\"";
    QTest::newRow("PeopleProjectDetail") << business + ", Subproject lookup 20";
    QTest::newRow("SubProjectHistoryDT") << "ID auto, SubProjectID int, SubProjectStatusID int, Date date, Status lookup 50";
    QTest::newRow("SubProjectHistoryQ") << "Date date, ID auto, SubProjectID int, SubProjectStatusID int, Status lookup 50";
}

void TestDataModule::datasetsDeclareTheirFields()
{
    QFETCH(QString, fields);
    TMainDataModule dm;
    const auto& shared = dm.sharedDatasets();
    const auto it = std::find_if(shared.begin(), shared.end(),
                                 [](Dataset* d) { return d->name() == QLatin1String(QTest::currentDataTag()); });
    QVERIFY(it != shared.end());
    QCOMPARE(fieldList(**it), fields);
}

void TestDataModule::newSubprojectGetsDefaultTypeAndSize()
{
    exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme'); INSERT INTO Projects (CompanyID, Name) VALUES (1, 'Roll-out')"));
    openModule();
    Dataset* sp = m_dm->SubProjectsDetail;
    sp->insert();
    QCOMPARE(sp->asInteger(QStringLiteral("SubProjectTypeID")), 3);
    QCOMPARE(sp->asInteger(QStringLiteral("SizeID")), 2);
    QVERIFY2(!sp->modified(), "defaults are not the user's changes");
    sp->setText(QStringLiteral("Name"), QStringLiteral("Pilot"));
    sp->post();
    QCOMPARE(scalar(QStringLiteral("SELECT SubProjectTypeID * 10 + SizeID FROM SubProjects WHERE Name = 'Pilot'")), 32);

    sp->insert();
    sp->setText(QStringLiteral("Name"), QStringLiteral("Cleared"));
    sp->setValue(QStringLiteral("SubProjectTypeID"), QVariant());
    sp->setValue(QStringLiteral("SizeID"), QVariant());
    sp->post();
    QCOMPARE(scalar(QStringLiteral("SELECT SubProjectTypeID * 10 + SizeID FROM SubProjects WHERE Name = 'Cleared'")), 11);
    QCOMPARE(scalar(QStringLiteral("SELECT ProjectID FROM SubProjects WHERE Name = 'Cleared'")), 1);
}

void TestDataModule::plainSubprojectTableAppliesNoDefaults()
{
    openModule();
    Dataset* t = m_dm->SubProjectsTable;
    t->insert();
    t->setText(QStringLiteral("Name"), QStringLiteral("Loose"));
    t->post();
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM SubProjects WHERE Name = 'Loose' AND SubProjectTypeID IS NULL AND SizeID IS NULL")), 1);
}

void TestDataModule::historyFollowsCurrentSubproject()
{
    exec(QStringLiteral(
        "INSERT INTO Companies (Name) VALUES ('Acme');"
        "INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P');"
        "INSERT INTO SubProjects (ProjectID, Name) VALUES (1, 'A'), (1, 'B');"
        "INSERT INTO SubProjectHistory (SubProjectID, SubProjectStatusID, Date) VALUES"
        " (1, 2, '2026-03-01 00:00:00'), (1, 1, '2026-01-01 00:00:00'), (2, 1, '2026-02-01 00:00:00');"));
    openModule();
    Dataset* q = m_dm->SubProjectHistoryQ;
    QCOMPARE(q->recordCount(), 2);
    QCOMPARE(q->text(QStringLiteral("Date")), QStringLiteral("2026-01-01"));
    QCOMPARE(q->text(QStringLiteral("Status")).isEmpty(), false);

    m_dm->SubProjectsDetail->next();
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(q->asInteger(QStringLiteral("SubProjectID")), 2);

    m_dm->SubProjectsDetail->insert();
    QVERIFY(q->isEmpty());
    m_dm->SubProjectsDetail->setText(QStringLiteral("Name"), QStringLiteral("C"));
    m_dm->SubProjectsDetail->post();
    QVERIFY2(q->isEmpty(), "saving the subproject does not re-read the history");
}

void TestDataModule::statusRowSavesUnsavedSubprojectFirst()
{
    exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme'); INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P')"));
    openModule();
    m_dm->SubProjectsDetail->insert();
    m_dm->SubProjectsDetail->setText(QStringLiteral("Name"), QStringLiteral("Fresh"));
    Dataset* q = m_dm->SubProjectHistoryQ;
    q->insert();
    const qint64 id = scalar(QStringLiteral("SELECT SubProjectID FROM SubProjects WHERE Name = 'Fresh'"));
    QVERIFY(id > 0);
    QCOMPARE(m_dm->SubProjectsDetail->state(), Dataset::State::Browse);
    QCOMPARE(q->value(QStringLiteral("SubProjectID")).toLongLong(), id);
    QCOMPARE(q->asInteger(QStringLiteral("SubProjectStatusID")), 1);
    QVERIFY(q->isNull(QStringLiteral("Date")));

    q->setValue(QStringLiteral("Date"), QDate(2026, 5, 4));
    q->post();
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(q->state(), Dataset::State::Browse);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM SubProjectHistory WHERE SubProjectID = %1").arg(id)), 1);
}

void TestDataModule::movingSubprojectKeepsChangedStatusRowDropsUntouched()
{
    exec(QStringLiteral(
        "INSERT INTO Companies (Name) VALUES ('Acme');"
        "INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P');"
        "INSERT INTO SubProjects (ProjectID, Name) VALUES (1, 'A'), (1, 'B');"));
    openModule();
    Dataset* q = m_dm->SubProjectHistoryQ;
    q->insert();
    m_dm->SubProjectsDetail->next();
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM SubProjectHistory")), 0);

    m_dm->SubProjectsDetail->first();
    q->insert();
    q->setValue(QStringLiteral("Date"), QDate(2026, 1, 2));
    m_dm->SubProjectsDetail->next();
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM SubProjectHistory WHERE SubProjectID = 1")), 1);
    QVERIFY(q->isEmpty());
}

void TestDataModule::statusRowWithoutSubprojectIsRefused()
{
    exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme'); INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P')"));
    openModule();
    QVERIFY_THROWS_EXCEPTION(AbortAction, m_dm->SubProjectHistoryQ->insert());
    QCOMPARE(m_dm->SubProjectHistoryQ->state(), Dataset::State::Browse);
    QVERIFY(m_dm->SubProjectHistoryQ->isEmpty());
    QCOMPARE(m_messages->texts().size(), 1);
    QVERIFY(m_messages->texts().first().contains(QStringLiteral("subproject")));
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM SubProjects")), 0);

    // Nor does a buying-role row start without a stored subproject.
    m_messages->clear();
    QVERIFY_THROWS_EXCEPTION(AbortAction, m_dm->PeopleDetail->insert());
    QCOMPARE(m_dm->PeopleDetail->state(), Dataset::State::Browse);
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("Please, Select subproject first.")});
}

void TestDataModule::refusedStatusRowKeepsTheSubproject()
{
    exec(QStringLiteral(
        "INSERT INTO Companies (Name) VALUES ('Acme');"
        "INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P');"
        "INSERT INTO SubProjects (ProjectID, Name) VALUES (1, 'A'), (1, 'B');"));
    refuse(QStringLiteral("INSERT"), QStringLiteral("SubProjectHistory"), QStringLiteral("no history"));
    openModule();
    Dataset* q = m_dm->SubProjectHistoryQ;
    q->insert();
    q->setValue(QStringLiteral("Date"), QDate(2026, 1, 2));
    QVERIFY_THROWS_EXCEPTION(StoreError, m_dm->SubProjectsDetail->next());
    QCOMPARE(m_dm->SubProjectsDetail->text(QStringLiteral("Name")), QStringLiteral("A"));
    QCOMPARE(q->state(), Dataset::State::Insert);
    QCOMPARE(q->value(QStringLiteral("SubProjectID")).toLongLong(), 1);
    QVERIFY_THROWS_EXCEPTION(StoreError, m_dm->ProjectsDetail->next());
    QCOMPARE(m_dm->SubProjectsDetail->text(QStringLiteral("Name")), QStringLiteral("A"));
}

void TestDataModule::personNeedsName()
{
    exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme')"));
    openModule();
    QSignalSpy focus(m_dm.get(), &TMainDataModule::personNameRequired);
    Dataset* p = m_dm->PeopleCompanyDet;
    p->insert();
    p->setText(QStringLiteral("Name"), QStringLiteral(" \t "));
    p->setText(QStringLiteral("Title"), QStringLiteral("Buyer"));
    QVERIFY_THROWS_EXCEPTION(AbortAction, p->post());
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("Required field is empty.")});
    QCOMPARE(focus.count(), 1);
    QCOMPARE(p->state(), Dataset::State::Insert);
    QCOMPARE(p->text(QStringLiteral("Title")), QStringLiteral("Buyer"));
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM People")), 0);

    p->setText(QStringLiteral("Name"), QStringLiteral(" Ann"));
    p->post();
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM People WHERE Name = ' Ann' AND CompanyID = 1")), 1);
}

void TestDataModule::savedPersonIsInLookupsAtOnce()
{
    exec(QStringLiteral(
        "INSERT INTO Companies (Name) VALUES ('Acme');"
        "INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P');"
        "INSERT INTO SubProjects (ProjectID, Name) VALUES (1, 'A');"));
    openModule();
    m_dm->PeopleCompanyDet->insert();
    m_dm->PeopleCompanyDet->setText(QStringLiteral("Name"), QStringLiteral("Nadia Okafor"));
    m_dm->PeopleCompanyDet->post();
    const auto names = m_dm->PeopleDetail->lookupList(QStringLiteral("PersonName"));
    QCOMPARE(names.size(), 1);
    QCOMPARE(names.first().second, QStringLiteral("Nadia Okafor"));

    Dataset* roles = m_dm->PeopleDetail;
    roles->insert();
    roles->setValue(QStringLiteral("PersonName"), QStringLiteral("Nadia Okafor"));
    roles->setValue(QStringLiteral("SPUser"), true);
    roles->post();
    QCOMPARE(roles->text(QStringLiteral("CompanyName")), QStringLiteral("Acme"));
    QCOMPARE(scalar(QStringLiteral("SELECT SubProjectID FROM Business")), 1);
}

void TestDataModule::lookupsFollowTheRules()
{
    exec(QStringLiteral(
        "INSERT INTO Companies (Name) VALUES ('Acme');"
        "INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P1'), (1, 'P2');"
        "INSERT INTO SubProjects (ProjectID, Name, SizeID) VALUES (1, 'In P1', 99), (2, 'In P2', 1);"
        "INSERT INTO People (CompanyID, Name) VALUES (1, 'Twenty-five characters!!');"
        "INSERT INTO Business (PersonID, SubProjectID) VALUES (1, 1), (1, 2), (77, 1);"));
    openModule();
    QCOMPARE(m_dm->SubProjectsDetail->text(QStringLiteral("Size")), QString());
    // Controls showing a lookup hear of it when the list it looks in is read again.
    QSignalSpy shown(m_dm->SubProjectDetailDS, &DataSource::dataChanged);
    m_dm->SubProjectSizeTable->close();
    m_dm->SubProjectSizeTable->open();
    QVERIFY(shown.count() >= 2);
    Dataset* roles = m_dm->PeopleDetail;
    QCOMPARE(roles->recordCount(), 2);
    QCOMPARE(roles->text(QStringLiteral("PersonName")), QStringLiteral("Twenty-five characte"));
    roles->next();
    QCOMPARE(roles->text(QStringLiteral("PersonName")), QString());
    QCOMPARE(roles->text(QStringLiteral("CompanyName")), QString());

    Dataset* ofPerson = m_dm->PeopleProjectDetail;
    QCOMPARE(ofPerson->recordCount(), 2);
    QCOMPARE(ofPerson->textAt(0, QStringLiteral("Subproject")), QStringLiteral("In P1"));
    // A subproject of another project than the current one is named too.
    QCOMPARE(ofPerson->textAt(1, QStringLiteral("Subproject")), QStringLiteral("In P2"));
}

void TestDataModule::longSubprojectNameIsNeverCut()
{
    exec(QStringLiteral(
        "INSERT INTO Companies (Name) VALUES ('Acme');"
        "INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P');"
        "INSERT INTO SubProjects (ProjectID, Name) VALUES (1, 'Sixteen chars ok');"));
    openModule();
    QCOMPARE(m_dm->SubProjectsTable->text(QStringLiteral("Name")), QStringLiteral("Sixteen ch"));
    QCOMPARE(m_dm->SubProjectsDetail->text(QStringLiteral("Name")), QStringLiteral("Sixteen chars ok"));
    m_dm->SubProjectsTable->edit();
    m_dm->SubProjectsTable->setText(QStringLiteral("Code"), QStringLiteral("X1"));
    m_dm->SubProjectsTable->post();
    QCOMPARE(scalar(QStringLiteral("SELECT length(Name) FROM SubProjects")), 16);
}

void TestDataModule::deletingCompanyTakesItsRowsInOneGo()
{
    exec(QStringLiteral(
        "INSERT INTO Companies (Name) VALUES ('Acme'), ('Other');"
        "INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P'), (2, 'Q');"
        "INSERT INTO SubProjects (ProjectID, Name) VALUES (1, 'A'), (2, 'B');"
        "INSERT INTO SubProjectHistory (SubProjectID, SubProjectStatusID) VALUES (1, 1), (1, 2), (2, 1);"
        "INSERT INTO People (CompanyID, Name) VALUES (1, 'Ann'), (2, 'Bob');"
        "INSERT INTO Business (PersonID, SubProjectID) VALUES (1, 1), (2, 2), (2, 1);"
        "INSERT INTO QuestionsMain (PersonID, QuestionID, Answer) VALUES (1, 1, 0), (2, 1, 1);"
        // About the company's person, its subproject, both, and the other company's person.
        "INSERT INTO FollowUps (PersonID, SubProjectID, Due, Text, Done) VALUES (1, NULL, '2026-01-01', 'a', 0),"
        " (NULL, 1, '2026-01-01', 'b', 0), (1, 1, '2026-01-01', 'c', 1), (2, NULL, '2026-01-01', 'd', 0);"
        "INSERT INTO Activities (PersonID, SubProjectID, \"Date\", Kind, Text) VALUES (1, NULL, '2026-01-01', 'Call', 'x'),"
        " (NULL, 2, '2026-01-01', 'Note', 'y');"));
    openModule();
    Dataset* companies = m_dm->CompaniesTable;
    const QString question = companies->deleteQuestion(*companies);
    QVERIFY2(question.startsWith(QStringLiteral("Delete record?")), qPrintable(question));
    for (const char* part : {"1 project", "1 subproject", "2 status rows", "2 buying-role rows", "1 client", "1 answer",
                             "3 follow-ups", "1 activity"})
        QVERIFY2(question.contains(QLatin1String(part)), qPrintable(question));

    companies->deleteRecord();
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Projects")), 1);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM SubProjects")), 1);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM SubProjectHistory")), 1);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM People")), 1);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Business")), 1);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM QuestionsMain")), 1);
    QCOMPARE(scalarText(QStringLiteral("SELECT group_concat(Text) FROM FollowUps")), QStringLiteral("d"));
    QCOMPARE(scalarText(QStringLiteral("SELECT group_concat(Text) FROM Activities")), QStringLiteral("y"));
    QCOMPARE(companies->text(QStringLiteral("Name")), QStringLiteral("Other"));
    QCOMPARE(m_dm->PeopleProjectDetail->recordCount(), 1);
    QCOMPARE(m_dm->BusinessTable->recordCount(), 1);

    // A store that refuses the dependent rows leaves the company and all its rows in place.
    refuse(QStringLiteral("DELETE"), QStringLiteral("People"), QStringLiteral("people are kept"));
    try {
        companies->deleteRecord();
        QFAIL("the delete should fail");
    } catch (const StoreError& e) {
        QCOMPARE(e.text(), QStringLiteral("people are kept"));
    }
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Companies")), 1);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Projects")), 1);
    QCOMPARE(companies->recordCount(), 1);
}

void TestDataModule::personAndSubprojectTakeTheirLogInOneGo()
{
    exec(QStringLiteral(
        "INSERT INTO Companies (Name) VALUES ('Acme');"
        "INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P');"
        "INSERT INTO SubProjects (ProjectID, Name) VALUES (1, 'A'), (1, 'B');"
        "INSERT INTO People (CompanyID, Name) VALUES (1, 'Ann'), (1, 'Bob');"
        "INSERT INTO FollowUps (PersonID, SubProjectID, Due, Text, Done) VALUES (1, NULL, '2026-01-01', 'ann', 0),"
        " (1, 1, '2026-01-02', 'ann and A', 0), (NULL, 1, '2026-01-03', 'A', 0), (2, NULL, '2026-01-04', 'bob', 0);"
        "INSERT INTO Activities (PersonID, SubProjectID, \"Date\", Kind, Text) VALUES (1, NULL, '2026-01-01', 'Call', 'ann'),"
        " (1, NULL, '2026-01-02', 'Note', 'ann'), (NULL, 1, '2026-01-03', 'Meeting', 'A'), (NULL, 2, '2026-01-03', 'Note', 'B');"));
    openModule();
    Dataset* people = m_dm->PeopleCompanyDet;
    QVERIFY(people->locate({QStringLiteral("Name")}, {QStringLiteral("Ann")}));
    QCOMPARE(m_dm->PersonFollowUpsDet->recordCount(), 2);
    QCOMPARE(m_dm->PersonActivitiesDet->recordCount(), 2);
    const QString question = people->deleteQuestion(*people);
    QVERIFY2(question.endsWith(QStringLiteral("The client \"Ann\", and with it: 2 follow-ups, 2 activities.")), qPrintable(question));

    // A store that refuses the log leaves the person and every row of it in place.
    refuse(QStringLiteral("DELETE"), QStringLiteral("Activities"), QStringLiteral("the log is kept"));
    QVERIFY_THROWS_EXCEPTION(StoreError, people->deleteRecord());
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM People")), 2);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM FollowUps")), 4);
    allow(QStringLiteral("Activities"));

    people->deleteRecord();
    QCOMPARE(scalarText(QStringLiteral("SELECT group_concat(Text) FROM FollowUps")), QStringLiteral("A,bob"));
    QCOMPARE(scalarText(QStringLiteral("SELECT group_concat(Text) FROM Activities")), QStringLiteral("A,B"));

    Dataset* subprojects = m_dm->SubProjectsDetail;
    QVERIFY(subprojects->locate({QStringLiteral("Name")}, {QStringLiteral("A")}));
    const QString subQuestion = subprojects->deleteQuestion(*subprojects);
    QVERIFY2(subQuestion.endsWith(QStringLiteral("and with it: 1 follow-up, 1 activity.")), qPrintable(subQuestion));
    subprojects->deleteRecord();
    QCOMPARE(scalarText(QStringLiteral("SELECT group_concat(Text) FROM FollowUps")), QStringLiteral("bob"));
    QCOMPARE(scalarText(QStringLiteral("SELECT group_concat(Text) FROM Activities")), QStringLiteral("B"));

    // Deleting every client of the company counts and takes their logs too.
    QString asked;
    m_dm->DeleteAllCompanyPeople(QStringLiteral("Proceed?"), [&asked](const QString& q) {
        asked = q;
        return true;
    });
    QCOMPARE(asked, QStringLiteral("Proceed?\n\nDeleted: 1 client, 1 follow-up."));
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM FollowUps")), 0);
    QCOMPARE(m_dm->PersonFollowUpsDet->recordCount(), 0);
}

void TestDataModule::version0FileOpensWithAnEmptyLog()
{
    if (TestStore::onServer())
        QSKIP("An upgrade first copies the file; a server database is made at the program's version and kept by the server's own backups.");
    exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme'); INSERT INTO People (CompanyID, Name) VALUES (1, 'Ann');"
                        "DROP TABLE FollowUps; DROP TABLE Activities"));
    m_file->db().setSchemaVersion(0);
    m_file->close();
    openModule();
    const UpgradeOutcome again = m_dm->Connect(m_file->connectionString());
    QCOMPARE(again.upgraded(), false);
    m_dm->SetDataSetsActive(true);
    QCOMPARE(m_dm->PeopleCompanyDet->text(QStringLiteral("Name")), QStringLiteral("Ann"));
    QCOMPARE(m_dm->PersonFollowUpsDet->recordCount(), 0);
    m_dm->PersonFollowUpsDet->insert();
    m_dm->PersonFollowUpsDet->setText(QStringLiteral("Text"), QStringLiteral("Call Ann"));
    m_dm->PersonFollowUpsDet->post();
    QCOMPARE(scalarText(QStringLiteral("SELECT PersonID || ' ' || Text FROM FollowUps")), QStringLiteral("1 Call Ann"));
}

void TestDataModule::deleteEndsPendingChangesThatHangOnTheRow()
{
    exec(QStringLiteral(
        "INSERT INTO Companies (Name) VALUES ('Acme'), ('Other');"
        "INSERT INTO Projects (CompanyID, Name) VALUES (1, 'P');"
        "INSERT INTO SubProjects (ProjectID, Name) VALUES (1, 'A'), (1, 'B');"
        "INSERT INTO People (CompanyID, Name) VALUES (2, 'Ann');"));
    openModule();
    Dataset* subprojects = m_dm->SubProjectsDetail;
    // A status row being typed is stored, counted and removed with its subproject.
    m_dm->SubProjectHistoryQ->insert();
    m_dm->SubProjectHistoryQ->setValue(QStringLiteral("Date"), QDate(2026, 1, 2));
    QString question;
    const auto asked = [&question](Dataset& d) {
        return [&question, &d] {
            question = d.deleteQuestion(d);
            return true;
        };
    };
    subprojects->deleteRecord(asked(*subprojects));
    QVERIFY(question.contains(QStringLiteral("1 status row")));
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM SubProjectHistory")), 0);

    // So is a buying-role row being typed.
    m_dm->PeopleDetail->insert();
    m_dm->PeopleDetail->setValue(QStringLiteral("PersonID"), 1);
    m_dm->PeopleDetail->setValue(QStringLiteral("SPUser"), true);
    subprojects->deleteRecord();
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Business")), 0);

    // An edited project and a client being typed go with their company; nothing is written after.
    m_dm->ProjectsDetail->edit();
    m_dm->ProjectsDetail->setText(QStringLiteral("Name"), QStringLiteral("Renamed"));
    m_dm->PeopleCompanyDet->insert();
    m_dm->PeopleCompanyDet->setText(QStringLiteral("Name"), QStringLiteral("Dora"));
    Dataset* companies = m_dm->CompaniesTable;
    companies->deleteRecord(asked(*companies));
    QVERIFY(question.contains(QStringLiteral("1 client")));
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM People")), 1);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Projects")), 0);
    QCOMPARE(m_dm->ProjectsDetail->state(), Dataset::State::Browse);
    QCOMPARE(m_dm->PeopleTable->recordCount(), 1);
    QCOMPARE(m_dm->ProjectsTable->recordCount(), 0);
    QCOMPARE(m_dm->SubProjectsTable->recordCount(), 0);
}

void TestDataModule::pendingChangesAreReported()
{
    exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme')"));
    openModule();
    QVERIFY(m_dm->pendingChanges().empty());
    m_dm->CompaniesTable->edit();
    QVERIFY2(m_dm->pendingChanges().empty(), "editing without a change is nothing to save");
    m_dm->CompaniesTable->setText(QStringLiteral("Name"), QStringLiteral("Acme Ltd"));
    QCOMPARE(m_dm->pendingChanges(), std::vector<Dataset*>{m_dm->CompaniesTable});
}

QTEST_MAIN(TestDataModule)
#include "tst_datamodule.moc"
