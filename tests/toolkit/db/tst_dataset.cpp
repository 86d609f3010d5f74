#include <memory>

#include <QtTest>

#include "support/DatasetTables.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StaleRows.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/Transaction.h"

namespace {

const QString Sixteen = "Sixteen chars ok";

// Writes every event of ds into log as "name:event", so tests compare whole sequences.
void recordEvents(Dataset& ds, QStringList& log)
{
    auto note = [&log](const char* what) {
        return [&log, what](Dataset& d) { log << d.name() + u':' + QLatin1String(what); };
    };
    ds.afterScroll = note("scroll");
    ds.afterInsert = note("insert");
    ds.afterEdit = note("edit");
    ds.beforePost = note("beforePost");
    ds.afterPost = note("post");
    ds.afterCancel = note("cancel");
    ds.beforeDelete = note("beforeDelete");
    ds.whileDeleting = note("deleting");
    ds.afterDelete = note("delete");
}

} // namespace

class TestDataset : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void emptyTableOpensAndEditStartsANewRow();
    void declaredFieldsHideAndKeepTheOtherColumns();
    void textWidthCutsReadsAndWrites_data();
    void textWidthCutsReadsAndWrites();
    void integerFieldRefusesAndKeepsTheEdit_data();
    void integerFieldRefusesAndKeepsTheEdit();
    void savedNewRowHoldsWhatTheFileHolds();
    void keylessRowsAreChangedOneAtATime();
    void idsKeepTheirValueAndLinksAreChecked();
    void anyNonZeroBooleanCanBeChanged();
    void longTextColumnsNeedNoDeclaration();
    void manyRowsKeepEveryValueAndOrder();

    void lookupsGiveTheResultOrEmpty();
    void writingALookupWritesItsKey();
    void lookupIntoADetailSeesOnlyItsRows();

    void statementWithParameterReadsAndWritesItsTable_data();
    void statementWithParameterReadsAndWritesItsTable();

    void otherDatasetSeesAChangeOnlyAfterRereading_data();
    void otherDatasetSeesAChangeOnlyAfterRereading();
    void refreshKeepsTheRowAndDropsRemovedRows();
    void staleOnlyAfterAnotherWriteToItsTables();
    void rereadTakesInNewRowsAndKeepsTheRow();
    void changeOfARowChangedElsewhereFails_data();
    void changeOfARowChangedElsewhereFails();

    void locateFindsByOptions_data();
    void locateFindsByOptions();
    void bookmarksSurviveRefresh();

    void eventsFollowEachChange();
    void refusedPostKeepsTheNewRow();
    void failureWhileDeletingKeepsTheRow();
    void defaultsOfANewRowAreNoChange();

private:
    std::unique_ptr<Dataset> table(const QString& name, const QString& table);
    void fill(const QString& sql) { m_t->db().exec(sql); }

    std::unique_ptr<DatasetTables> m_t;
};

void TestDataset::init()
{
    m_t = std::make_unique<DatasetTables>();
}

void TestDataset::cleanup()
{
    m_t.reset();
}

std::unique_ptr<Dataset> TestDataset::table(const QString& name, const QString& tableName)
{
    auto ds = std::make_unique<Dataset>(&m_t->db(), name);
    ds->setTableName(tableName);
    return ds;
}

// ---------------------------------------------------------------- fields and rows

void TestDataset::emptyTableOpensAndEditStartsANewRow()
{
    // Names of tables and columns ignore case.
    auto companies = table("CompaniesTable", "companies");
    QStringList log;
    recordEvents(*companies, log);
    companies->open();
    QVERIFY(companies->isEmpty());
    QVERIFY(companies->bof() && companies->eof());
    QCOMPARE(companies->recNo(), -1);
    QVERIFY(companies->value("Name").isNull());
    companies->next();
    companies->last();
    companies->prior();
    QVERIFY(companies->bof() && companies->eof());
    QVERIFY(log.isEmpty());

    companies->edit();
    QCOMPARE(companies->state(), Dataset::State::Insert);
    companies->setText("NAME", "Acme");
    companies->post();
    QCOMPARE(companies->recordCount(), 1);
    QCOMPARE(companies->value("companyid"), m_t->scalar("SELECT CompanyID FROM Companies WHERE Name = 'Acme'"));
    QVERIFY(!companies->value("CompanyID").isNull());
}

void TestDataset::declaredFieldsHideAndKeepTheOtherColumns()
{
    fill("INSERT INTO People (CompanyID, Name, Tel) VALUES (1, 'Ann', '555')");
    auto all = table("PeopleCompanyDet", "People");
    auto declared = table("PeopleTable", "People");
    declared->addField(FieldDef::autoInc("PersonID"));
    declared->addField(FieldDef::text("Name", 255));
    all->open();
    declared->open();
    QCOMPARE(all->fieldCount(), 4);
    QCOMPARE(all->value("Tel").toString(), "555");
    QCOMPARE(declared->fieldCount(), 2);
    QVERIFY(!declared->hasField("Tel"));
    QVERIFY_THROWS_EXCEPTION(StoreError, declared->value("Tel"));

    declared->edit();
    declared->setText("Name", "Anne");
    declared->post();
    declared->append();
    declared->setText("Name", "Bob");
    declared->post();
    QCOMPARE(m_t->scalar("SELECT Tel FROM People WHERE Name = 'Anne'").toString(), "555");
    QVERIFY(m_t->scalar("SELECT Tel FROM People WHERE Name = 'Bob'").isNull());
}

void TestDataset::textWidthCutsReadsAndWrites_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("displayOnly");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    const QString ten = Sixteen.left(10);
    QTest::newRow("read through 10") << 10 << false << QString() << ten << Sixteen;
    QTest::newRow("read through 255") << 255 << false << QString() << Sixteen << Sixteen;
    QTest::newRow("written through 10") << 10 << false << Sixteen << ten << ten;
    QTest::newRow("written through 10 for display") << 10 << true << Sixteen << ten << Sixteen;
    QTest::newRow("written through 255") << 255 << false << Sixteen << Sixteen << Sixteen;
}

void TestDataset::textWidthCutsReadsAndWrites()
{
    QFETCH(int, width);
    QFETCH(bool, displayOnly);
    QFETCH(QString, written);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    fill("INSERT INTO SubProjects (Name, Code) VALUES ('" + Sixteen + "', 'c')");
    auto ds = table("SubProjectsTable", "SubProjects");
    ds->addField(FieldDef::autoInc("SubProjectID"));
    FieldDef name = FieldDef::text("Name", width);
    ds->addField(displayOnly ? name.displayWidthOnly() : name);
    ds->addField(FieldDef::text("Code", 255));
    ds->open();
    ds->edit();
    // Without a new name only another column changes: the long name must survive the update.
    if (written.isEmpty())
        ds->setText("Code", "d");
    else
        ds->setText("Name", written);
    ds->post();
    QCOMPARE(ds->text("Name"), shown);
    QCOMPARE(m_t->scalar("SELECT Name FROM SubProjects").toString(), stored);
}

void TestDataset::integerFieldRefusesAndKeepsTheEdit_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("letters") << "abc";
    QTest::newRow("just above 32 bits") << "2147483648";
    QTest::newRow("just below 32 bits") << "-2147483649";
    QTest::newRow("fraction") << "1.5";
}

void TestDataset::integerFieldRefusesAndKeepsTheEdit()
{
    QFETCH(QString, input);
    fill("INSERT INTO SubProjects (SizeID, Name) VALUES (7, 'a')");
    auto ds = table("SubProjectsDetail", "SubProjects");
    ds->open();
    ds->edit();
    ds->setText("Name", "pending");
    QVERIFY_THROWS_EXCEPTION(FieldError, ds->setText("SizeID", input));
    QCOMPARE(ds->state(), Dataset::State::Edit);
    QCOMPARE(ds->text("Name"), "pending");
    QCOMPARE(ds->asInteger("SizeID"), 7);
    ds->setText("SizeID", "2147483647");
    ds->post();
    QCOMPARE(m_t->scalar("SELECT SizeID FROM SubProjects").toLongLong(), 2147483647);
    QCOMPARE(m_t->scalar("SELECT Name FROM SubProjects").toString(), "pending");
}

void TestDataset::savedNewRowHoldsWhatTheFileHolds()
{
    // SPUser takes the table's default when the new row leaves it empty.
    auto ds = table("BusinessTable", "Business");
    ds->open();
    ds->append();
    ds->setValue("PersonID", 1);
    ds->post();
    QCOMPARE(ds->value("SPUser"), QVariant(false));
    ds->edit();
    ds->setValue("SPWeight", 5);
    ds->post();
    QCOMPARE(m_t->scalar("SELECT SPWeight FROM Business").toInt(), 5);
    ds->deleteRecord();
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Business").toInt(), 0);
}

void TestDataset::keylessRowsAreChangedOneAtATime()
{
    fill("INSERT INTO Business (PersonID, SubProjectID, SPWeight) VALUES (1, 1, 3), (1, 1, 3)");
    auto ds = table("PeopleDetail", "Business");
    for (const char* name : {"PersonID", "SubProjectID", "SPWeight"})
        ds->addField(FieldDef::integer(QLatin1String(name)));
    ds->addField(FieldDef::boolean("SPUser"));
    ds->open();
    ds->edit();
    ds->setValue("SPUser", true);
    ds->post();
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Business WHERE SPUser <> 0").toInt(), 1);
    ds->next();
    ds->deleteRecord();
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Business").toInt(), 1);
    QCOMPARE(ds->recordCount(), 1);
    QCOMPARE(ds->asBoolean("SPUser"), true);
}

// ---------------------------------------------------------------- lookups

void TestDataset::idsKeepTheirValueAndLinksAreChecked()
{
    fill("INSERT INTO Companies (CompanyID, Name) VALUES (3000000000, 'Big')");
    auto companies = table("CompaniesTable", "Companies");
    DataSource source(companies.get());
    auto projects = table("ProjectsDetail", "Projects");
    projects->setMasterSource(&source, "CompanyID");
    companies->open();
    projects->open();
    QCOMPARE(companies->asInteger("CompanyID"), Q_INT64_C(3000000000));
    try {
        projects->insert();
        QFAIL("a link that does not fit the field is refused");
    } catch (const FieldError& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains("3000000000"), e.what());
    }
    QCOMPARE(projects->state(), Dataset::State::Browse);
    QVERIFY(projects->isEmpty());
}

void TestDataset::anyNonZeroBooleanCanBeChanged()
{
    fill("INSERT INTO Business (PersonID, SPUser, SPWeight) VALUES (1, -1, 10), (2, 7, 20)");
    auto roles = table("BusinessTable", "Business");
    roles->open();
    QVERIFY(roles->asBoolean("SPUser"));
    roles->edit();
    roles->setValue("SPWeight", 11);
    roles->post();
    QCOMPARE(m_t->scalar("SELECT SPWeight FROM Business WHERE PersonID = 1").toInt(), 11);
    roles->next();
    roles->deleteRecord();
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Business").toInt(), 1);
}

void TestDataset::longTextColumnsNeedNoDeclaration()
{
    fill("ALTER TABLE Companies ADD COLUMN Notes MEMO; INSERT INTO Companies (Name) VALUES ('Acme')");
    auto companies = table("CompaniesTable", "Companies");
    companies->open();
    companies->edit();
    companies->setText("Notes", QString(1000, u'n'));
    companies->post();
    QCOMPARE(m_t->scalar("SELECT length(Notes) FROM Companies").toInt(), 1000);
}

void TestDataset::manyRowsKeepEveryValueAndOrder()
{
    // Rows past several blocks of a column, with every third Tel null and Names in reverse order.
    fill("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
         " INSERT INTO People (CompanyID, Name, Tel) SELECT i % 7, 'P' || substr(CAST(110001 - i AS TEXT), 2),"
         " CASE WHEN i % 3 = 0 THEN NULL ELSE 'T' || i END FROM n");
    auto people = table("PeopleCompanyDet", "People");
    people->open();
    QCOMPARE(people->recordCount(), 10000);
    for (int i : {1, 2, 3, 4095, 4096, 4097, 8192, 8193, 9999, 10000}) {
        QVERIFY(people->locate({"PersonID"}, {i}));
        QCOMPARE(people->text("Name"), QStringLiteral("P%1").arg(10001 - i, 5, 10, QLatin1Char('0')));
        QCOMPARE(people->value("Tel"), i % 3 == 0 ? QVariant() : QVariant(QStringLiteral("T%1").arg(i)));
        QCOMPARE(people->value("CompanyID").toInt(), i % 7);
    }
    auto byName = table("PeopleTable", "People");
    byName->setOrderBy({"Name"});
    byName->open();
    byName->first();
    QCOMPARE(byName->value("PersonID").toInt(), 10000);
    byName->last();
    QCOMPARE(byName->value("PersonID").toInt(), 1);
}

void TestDataset::lookupsGiveTheResultOrEmpty()
{
    fill("INSERT INTO Companies (CompanyID, Name) VALUES (1, 'International Widgets Group');"
         "INSERT INTO People (PersonID, CompanyID, Name) VALUES (1, 1, 'Ann'), (2, 99, 'Bob');"
         "INSERT INTO Business (PersonID) VALUES (1), (2), (42), (NULL)");
    auto companies = table("CompaniesTableEX", "Companies");
    auto people = table("PeopleTableEX", "People");
    people->addField(FieldDef::autoInc("PersonID"));
    people->addField(FieldDef::integer("CompanyID"));
    people->addField(FieldDef::text("Name", 255));
    people->addField(FieldDef::lookup("Company Name", "CompanyID", companies.get(), "CompanyID", "Name"));
    auto business = table("PeopleDetail", "Business");
    business->addField(FieldDef::integer("PersonID"));
    business->addField(FieldDef::lookup("PersonName", "PersonID", people.get(), "PersonID", "Name"));
    business->addField(FieldDef::lookup("CompanyName", "PersonID", people.get(), "PersonID", "Company Name"));
    companies->open();
    people->open();
    business->open();

    QStringList seen;
    for (int row = 0; row < business->recordCount(); ++row)
        seen << business->textAt(row, "PersonName") + u'/' + business->textAt(row, "CompanyName");
    QCOMPARE(seen, (QStringList{"Ann/International Widget", "Bob/", "/", "/"}));
}

void TestDataset::writingALookupWritesItsKey()
{
    fill("INSERT INTO SubProjectStatus VALUES (1, 'Open'), (2, 'Won');"
         "INSERT INTO SubProjectHistory (SubProjectID, SubProjectStatusID) VALUES (1, 1)");
    auto status = table("SubProjectStatusTable", "SubProjectStatus");
    auto history = table("SubProjectHistoryDT", "SubProjectHistory");
    history->addField(FieldDef::autoInc("ID"));
    history->addField(FieldDef::integer("SubProjectStatusID"));
    history->addField(FieldDef::lookup("Status", "SubProjectStatusID", status.get(), "SPStatusID", "SPStatusName", 50));
    status->open();
    history->open();
    history->edit();
    history->setValue("Status", "Won");
    QCOMPARE(history->asInteger("SubProjectStatusID"), 2);
    history->post();
    QCOMPARE(m_t->scalar("SELECT SubProjectStatusID FROM SubProjectHistory").toInt(), 2);
    QCOMPARE(history->text("Status"), "Won");
}

void TestDataset::lookupIntoADetailSeesOnlyItsRows()
{
    fill("INSERT INTO Projects (ProjectID, Name) VALUES (1, 'P1'), (2, 'P2');"
         "INSERT INTO SubProjects (SubProjectID, ProjectID, Name) VALUES (10, 1, 'S10'), (20, 2, 'S20');"
         "INSERT INTO Business (PersonID, SubProjectID) VALUES (1, 10), (1, 20)");
    auto projects = table("ProjectsDetail", "Projects");
    DataSource projectsSource(projects.get());
    auto subprojects = table("SubProjectsDetail", "SubProjects");
    subprojects->setMasterSource(&projectsSource, "ProjectID");
    auto roles = table("PeopleProjectDetail", "Business");
    roles->addField(FieldDef::integer("SubProjectID"));
    roles->addField(FieldDef::lookup("Subproject", "SubProjectID", subprojects.get(), "SubProjectID", "Name"));
    projects->open();
    subprojects->open();
    roles->open();
    auto names = [&] { return roles->textAt(0, "Subproject") + u'/' + roles->textAt(1, "Subproject"); };
    QCOMPARE(names(), "S10/");
    projects->next();
    QCOMPARE(names(), "/S20");
}

// ---------------------------------------------------------------- statements

void TestDataset::statementWithParameterReadsAndWritesItsTable_data()
{
    QTest::addColumn<bool>("declared");
    QTest::newRow("declared fields") << true;
    QTest::newRow("all columns") << false;
}

void TestDataset::statementWithParameterReadsAndWritesItsTable()
{
    QFETCH(bool, declared);
    fill("INSERT INTO SubProjects (SubProjectID, Name) VALUES (1, 'a'), (2, 'b');"
         "INSERT INTO SubProjectHistory (SubProjectID, SubProjectStatusID, Date) VALUES"
         " (1, 1, '2024-03-01 00:00:00'), (2, 1, '2024-01-01 00:00:00'), (1, 2, '2024-02-01 00:00:00')");
    Dataset q(&m_t->db(), "SubProjectHistoryQ");
    q.setSql("SELECT SubProjectHistory.Date, SubProjectHistory.ID, SubProjectHistory.SubProjectID,"
             " SubProjectHistory.SubProjectStatusID\n"
             "FROM subprojects INNER JOIN SUBPROJECTHISTORY ON SubProjects.SubProjectID = SubProjectHistory.SubProjectID\n"
             "WHERE (((SubProjectHistory.SubProjectID)=:SPID))\nORDER BY SubProjectHistory.Date;",
             "SubProjectHistory", "ID");
    if (declared) {
        q.addField(FieldDef::dateTime("Date"));
        q.addField(FieldDef::autoInc("ID"));
        q.addField(FieldDef::integer("SubProjectID"));
        q.addField(FieldDef::integer("SubProjectStatusID"));
    }
    q.setParam("SPID", "1");
    q.open();
    QCOMPARE(q.recordCount(), 2);
    QCOMPARE(q.text("Date"), "2024-02-01");

    q.edit();
    q.setValue("SubProjectStatusID", 3);
    q.post();
    q.append();
    q.setValue("SubProjectID", 1);
    q.setText("Date", "2024-04-01");
    q.post();
    QCOMPARE(q.value("ID"), m_t->scalar("SELECT max(ID) FROM SubProjectHistory"));
    q.edit();
    q.setValue("SubProjectStatusID", 4);
    q.post();
    q.first();
    q.deleteRecord();
    QCOMPARE(m_t->scalar("SELECT group_concat(SubProjectStatusID) FROM (SELECT * FROM SubProjectHistory ORDER BY ID) h")
                 .toString(), "1,1,4");

    q.close();
    q.setParam("SPID", QVariant());
    q.open();
    QVERIFY(q.isEmpty());
}

// ---------------------------------------------------------------- snapshots and conflicts

void TestDataset::otherDatasetSeesAChangeOnlyAfterRereading_data()
{
    QTest::addColumn<bool>("openedTogether");
    QTest::addColumn<bool>("reopen");
    QTest::newRow("opened together, refresh") << true << false;
    QTest::newRow("opened together, close and open") << true << true;
    QTest::newRow("opened apart, refresh") << false << false;
    QTest::newRow("opened apart, close and open") << false << true;
}

void TestDataset::otherDatasetSeesAChangeOnlyAfterRereading()
{
    QFETCH(bool, openedTogether);
    QFETCH(bool, reopen);
    fill("INSERT INTO People (Name) VALUES ('Ann'), ('Bob')");
    auto writer = table("PeopleCompanyDet", "People");
    auto reader = table("PeopleTable", "People");
    writer->open();
    if (!openedTogether)
        fill("INSERT INTO Companies (Name) VALUES ('x')");
    reader->open();
    writer->next();
    writer->edit();
    writer->setText("Name", "Bea");
    writer->post();
    reader->last();
    QCOMPARE(reader->text("Name"), "Bob");
    if (reopen) {
        reader->close();
        reader->open();
        reader->last();
    } else {
        reader->refresh();
    }
    QCOMPARE(reader->text("Name"), "Bea");
}

void TestDataset::refreshKeepsTheRowAndDropsRemovedRows()
{
    fill("INSERT INTO People (Name) VALUES ('Ann'), ('Bob'), ('Cy'), ('Di')");
    auto people = table("PeopleCompanyDet", "People");
    QStringList log;
    recordEvents(*people, log);
    people->open();
    people->moveTo(2);
    log.clear();
    Connection other(m_t->connectionString());
    other.exec("DELETE FROM People WHERE Name IN ('Ann', 'Di'); INSERT INTO People (Name) VALUES ('Ed');"
               "UPDATE People SET Name = 'Cyd' WHERE Name = 'Cy'");
    people->refresh();
    QCOMPARE(people->recordCount(), 2);
    QCOMPARE(people->text("Name"), "Cyd");
    QCOMPARE(people->recNo(), 1);
    QVERIFY(log.isEmpty());

    other.exec("DELETE FROM People WHERE Name = 'Cyd'");
    people->refresh();
    QCOMPARE(people->recordCount(), 1);
    QCOMPARE(people->text("Name"), "Bob");
}

void TestDataset::staleOnlyAfterAnotherWriteToItsTables()
{
    fill("INSERT INTO Companies (Name) VALUES ('Acme'); INSERT INTO People (Name) VALUES ('Ann'), ('Bob');"
         "INSERT INTO SubProjects (ProjectID, Name) VALUES (1, 'Pilot');");
    auto writer = table("Writer", "People");
    auto reader = table("Reader", "People");
    auto companies = table("Companies", "Companies");
    Dataset history(&m_t->db(), "History");
    history.setSql("SELECT SubProjectHistory.ID, SubProjectHistory.Date FROM SubProjects"
                   " JOIN SubProjectHistory ON SubProjects.SubProjectID = SubProjectHistory.SubProjectID",
                   "SubProjectHistory", "ID");
    for (Dataset* d : {writer.get(), reader.get(), companies.get(), &history})
        d->open();
    QVERIFY(!reader->isStale());

    // A dataset's own saves and deletes leave it up to date; the others over the table are not.
    writer->edit();
    writer->setValue("Name", "Annie");
    writer->post();
    writer->append();
    writer->setValue("Name", "Cy");
    writer->post();
    QVERIFY(!writer->isStale());
    QVERIFY(reader->isStale());
    QVERIFY(!companies->isStale());
    writer->deleteRecord();
    QVERIFY(!writer->isStale());

    // A statement's tables are those it reads; a rollback may have undone a write anywhere.
    Statement(m_t->db(), "UPDATE SubProjects SET Name = 'Pilot 2'").run();
    QVERIFY(history.isStale());
    QVERIFY(!companies->isStale());
    {
        Transaction transaction(m_t->db());
        transaction.rollback();
    }
    QVERIFY(companies->isStale());
    companies->reread();
    QVERIFY(!companies->isStale());

    // Pending changes are not read over: the dataset stays stale until it can be read.
    reader->edit();
    reader->setValue("Name", "Anna");
    StaleRows::reread({reader.get()});
    QCOMPARE(reader->state(), Dataset::State::Edit);
    QCOMPARE(reader->text("Name"), "Anna");
    QVERIFY(reader->isStale());
    reader->cancel();
    StaleRows::reread({reader.get()});
    QVERIFY(!reader->isStale());
    QCOMPARE(reader->text("Name"), "Annie");
}

void TestDataset::rereadTakesInNewRowsAndKeepsTheRow()
{
    fill("INSERT INTO People (Name) VALUES ('Ann'), ('Bob'), ('Cy')");
    auto people = table("People", "People");
    people->open();
    people->moveTo(1);
    Connection other(m_t->connectionString());
    other.exec("INSERT INTO People (Name) VALUES ('Di'); UPDATE People SET Name = 'Bo' WHERE Name = 'Bob'");
    people->refresh();
    QCOMPARE(people->recordCount(), 3);
    people->reread();
    QCOMPARE(people->recordCount(), 4);
    QCOMPARE(people->text("Name"), "Bo");
    QCOMPARE(people->recNo(), 1);

    // The current row gone, the one at its place becomes current.
    other.exec("DELETE FROM People WHERE Name = 'Bo'");
    people->reread();
    QCOMPARE(people->recordCount(), 3);
    QCOMPARE(people->text("Name"), "Cy");

    // Rows added through another dataset keep it stale after a refresh, which does not take them in.
    auto writer = table("Writer", "People");
    writer->open();
    writer->append();
    writer->setValue("Name", "Ed");
    writer->post();
    people->refresh();
    QVERIFY(people->isStale());
    people->reread();
    QVERIFY(!people->isStale());
    QCOMPARE(people->recordCount(), 4);
}

void TestDataset::changeOfARowChangedElsewhereFails_data()
{
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<QString>("elsewhere");
    const QString changed = "UPDATE People SET Tel = '2' WHERE Name = 'Ann'";
    const QString removed = "DELETE FROM People WHERE Name = 'Ann'";
    QTest::newRow("update of a changed row") << false << changed;
    QTest::newRow("update of a removed row") << false << removed;
    QTest::newRow("delete of a changed row") << true << changed;
    QTest::newRow("delete of a removed row") << true << removed;
}

void TestDataset::changeOfARowChangedElsewhereFails()
{
    QFETCH(bool, deleting);
    QFETCH(QString, elsewhere);
    fill("INSERT INTO People (Name, Tel) VALUES ('Ann', '1'), ('Bob', '1')");
    auto people = table("PeopleCompanyDet", "People");
    people->open();
    Connection other(m_t->connectionString());
    other.exec(elsewhere);
    const QVariant before = m_t->scalar("SELECT group_concat(Name || Tel) FROM People");
    if (deleting) {
        QVERIFY_THROWS_EXCEPTION(StoreError, people->deleteRecord());
        QCOMPARE(people->recordCount(), 2);
        QCOMPARE(people->text("Name"), "Ann");
    } else {
        people->edit();
        people->setText("Name", "Anna");
        QVERIFY_THROWS_EXCEPTION(StoreError, people->post());
        QCOMPARE(people->state(), Dataset::State::Edit);
        QCOMPARE(people->text("Name"), "Anna");
    }
    QCOMPARE(m_t->scalar("SELECT group_concat(Name || Tel) FROM People"), before);
}

// ---------------------------------------------------------------- searching

void TestDataset::locateFindsByOptions_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("found");
    const int none = 0, ci = Dataset::CaseInsensitive, partial = Dataset::PartialKey, both = ci | partial;
    const QString name = "Name", key = "CompanyID;Name";
    auto row = [](const char* tag) -> QTestData& { return QTest::newRow(tag); };
    row("exact finds the first equal") << name << QVariantList{"anna"} << none << "anna";
    row("exact is case-sensitive") << name << QVariantList{"ANNA"} << none << "-";
    row("exact needs the whole text") << name << QVariantList{"Ann"} << ci << "-";
    row("case-insensitive takes the first in order") << name << QVariantList{"ANNA"} << ci << "Anna";
    row("partial keeps the case") << name << QVariantList{"an"} << partial << "anna";
    row("partial and case-insensitive") << name << QVariantList{"AN"} << both << "Anna";
    row("partial finds nothing") << name << QVariantList{"Bo"} << both << "-";
    row("two keys: least of the matches") << key << QVariantList{1, "an"} << both << "anna";
    row("two keys: no row of that id") << key << QVariantList{3, "b"} << both << "-";
    row("two keys: empty text matches only an empty name") << key << QVariantList{1, ""} << both << "";
    row("two keys: id as text") << key << QVariantList{"2", "a"} << both << "Anna";
    row("two keys: id that is no number") << key << QVariantList{"x", "a"} << both << "-";
}

void TestDataset::locateFindsByOptions()
{
    QFETCH(QString, fields);
    QFETCH(QVariantList, values);
    QFETCH(int, options);
    QFETCH(QString, found);
    fill("INSERT INTO People (CompanyID, Name) VALUES"
         " (2, 'Anna'), (1, 'Berta'), (1, 'Anton'), (1, 'anna'), (1, ''), (2, 'Bea')");
    auto people = table("PeopleCompanyDet", "People");
    people->open();
    people->last();
    const bool hit = people->locate(fields.split(u';'), values, Dataset::LocateOptions(options));
    QCOMPARE(hit, found != u"-");
    QCOMPARE(people->text("Name"), hit ? found : "Bea");
}

void TestDataset::bookmarksSurviveRefresh()
{
    fill("INSERT INTO People (Name) VALUES ('Ann'), ('Bob'), ('Cy')");
    auto people = table("PeopleCompanyDet", "People");
    people->open();
    people->next();
    const Dataset::Bookmark bob = people->bookmark();
    people->append();
    people->setText("Name", "Di");
    people->post();
    const Dataset::Bookmark di = people->bookmark();
    people->first();
    people->refresh();
    QVERIFY(people->gotoBookmark(bob));
    QCOMPARE(people->text("Name"), "Bob");
    QVERIFY(people->gotoBookmark(di));
    QCOMPARE(people->text("Name"), "Di");
    people->gotoBookmark(bob);
    people->deleteRecord();
    QVERIFY(!people->gotoBookmark(bob));
}

// ---------------------------------------------------------------- events

void TestDataset::eventsFollowEachChange()
{
    fill("INSERT INTO People (Name) VALUES ('Ann')");
    auto people = table("PeopleCompanyDet", "People");
    QStringList log;
    recordEvents(*people, log);
    people->open();
    QCOMPARE(log, QStringList{"PeopleCompanyDet:scroll"});
    log.clear();

    people->insert();
    people->setText("Name", "Bob");
    people->post();
    people->edit();
    people->setText("Name", "Bo");
    people->cancel();
    people->append();
    people->cancel();
    people->deleteRecord();
    for (QString& entry : log)
        entry.remove("PeopleCompanyDet:");
    QCOMPARE(log, (QStringList{"insert", "scroll", "beforePost", "post", "edit", "cancel", "insert", "scroll",
                               "cancel", "scroll", "beforeDelete", "deleting", "delete", "scroll"}));
    QCOMPARE(m_t->scalar("SELECT group_concat(Name) FROM People").toString(), "Bob");
}

void TestDataset::refusedPostKeepsTheNewRow()
{
    auto people = table("PeopleCompanyDet", "People");
    QStringList log;
    recordEvents(*people, log);
    people->beforePost = [](Dataset& ds) {
        if (ds.text("Name").trimmed().isEmpty())
            throw AbortAction();
    };
    people->open();
    people->append();
    people->setText("Name", "   ");
    people->setText("Tel", "555");
    QVERIFY_THROWS_EXCEPTION(AbortAction, people->post());
    QCOMPARE(people->state(), Dataset::State::Insert);
    QCOMPARE(people->text("Tel"), "555");
    QCOMPARE(m_t->scalar("SELECT count(*) FROM People").toInt(), 0);
    people->setText("Name", "Ann");
    people->post();
    QCOMPARE(m_t->scalar("SELECT Name || Tel FROM People").toString(), "Ann555");
    QCOMPARE(log, (QStringList{"PeopleCompanyDet:insert", "PeopleCompanyDet:scroll", "PeopleCompanyDet:post"}));
}

void TestDataset::failureWhileDeletingKeepsTheRow()
{
    fill("INSERT INTO People (Name) VALUES ('Ann'), ('Bob');"
         "INSERT INTO Business (PersonID) VALUES (1), (1), (2)");
    auto people = table("PeopleCompanyDet", "People");
    bool refuse = true;
    people->whileDeleting = [&](Dataset& ds) {
        m_t->db().exec("DELETE FROM Business WHERE PersonID = " + ds.text("PersonID"));
        if (refuse)
            throw StoreError("refused");
    };
    people->open();
    QVERIFY_THROWS_EXCEPTION(StoreError, people->deleteRecord());
    QCOMPARE(people->recordCount(), 2);
    QCOMPARE(people->text("Name"), "Ann");
    QCOMPARE(m_t->scalar("SELECT count(*) FROM People").toInt(), 2);
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Business").toInt(), 3);
    refuse = false;
    people->deleteRecord();
    QCOMPARE(m_t->scalar("SELECT count(*) FROM Business").toInt(), 1);
    QCOMPARE(people->text("Name"), "Bob");
}

void TestDataset::defaultsOfANewRowAreNoChange()
{
    fill("INSERT INTO SubProjects (Name) VALUES ('a')");
    auto subprojects = table("SubProjectsDetail", "SubProjects");
    subprojects->onNewRecord = [](Dataset& ds) { ds.setValue("SizeID", 2); };
    subprojects->open();
    subprojects->append();
    QCOMPARE(subprojects->asInteger("SizeID"), 2);
    QVERIFY(!subprojects->modified());
    subprojects->first();
    QCOMPARE(subprojects->recordCount(), 1);
    subprojects->append();
    subprojects->setText("Name", "b");
    subprojects->first();
    QCOMPARE(m_t->scalar("SELECT SizeID FROM SubProjects WHERE Name = 'b'").toInt(), 2);
}

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
