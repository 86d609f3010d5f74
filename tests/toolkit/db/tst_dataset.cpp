#include <memory>

#include <QtTest>

#include "TestDatabase.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StoreError.h"

namespace {

const QString Sixteen = QStringLiteral("Sixteen chars ok");

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

    void lookupsGiveTheResultOrEmpty();
    void writingALookupWritesItsKey();
    void lookupIntoADetailSeesOnlyItsRows();

    void statementWithParameterReadsAndWritesItsTable();
    void tableNamesIgnoreCase();

    void otherDatasetSeesAChangeOnlyAfterRereading_data();
    void otherDatasetSeesAChangeOnlyAfterRereading();
    void refreshKeepsTheRowAndDropsRemovedRows();
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

    std::unique_ptr<TestDatabase> m_t;
};

void TestDataset::init()
{
    m_t = std::make_unique<TestDatabase>();
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
    auto companies = table(QStringLiteral("CompaniesTable"), QStringLiteral("Companies"));
    QStringList log;
    recordEvents(*companies, log);
    companies->open();
    QVERIFY(companies->isEmpty());
    QVERIFY(companies->bof() && companies->eof());
    QCOMPARE(companies->recNo(), -1);
    QVERIFY(companies->value(QStringLiteral("Name")).isNull());
    companies->next();
    companies->last();
    companies->prior();
    QVERIFY(companies->bof() && companies->eof());
    QVERIFY(log.isEmpty());

    companies->edit();
    QCOMPARE(companies->state(), Dataset::State::Insert);
    companies->setText(QStringLiteral("Name"), QStringLiteral("Acme"));
    companies->post();
    QCOMPARE(companies->recordCount(), 1);
    QCOMPARE(companies->value(QStringLiteral("CompanyID")), m_t->scalar(QStringLiteral("SELECT CompanyID FROM Companies")));
    QVERIFY(!companies->value(QStringLiteral("CompanyID")).isNull());
}

void TestDataset::declaredFieldsHideAndKeepTheOtherColumns()
{
    fill(QStringLiteral("INSERT INTO People (CompanyID, Name, Tel) VALUES (1, 'Ann', '555')"));
    auto all = table(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    auto declared = table(QStringLiteral("PeopleTable"), QStringLiteral("People"));
    declared->addField(FieldDef::autoInc(QStringLiteral("PersonID")));
    declared->addField(FieldDef::text(QStringLiteral("Name"), 255));
    all->open();
    declared->open();
    QCOMPARE(all->fieldCount(), 4);
    QCOMPARE(all->value(QStringLiteral("Tel")).toString(), QStringLiteral("555"));
    QCOMPARE(declared->fieldCount(), 2);
    QVERIFY(!declared->hasField(QStringLiteral("Tel")));
    QVERIFY_THROWS_EXCEPTION(StoreError, declared->value(QStringLiteral("Tel")));

    declared->edit();
    declared->setText(QStringLiteral("Name"), QStringLiteral("Anne"));
    declared->post();
    declared->append();
    declared->setText(QStringLiteral("Name"), QStringLiteral("Bob"));
    declared->post();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT Tel FROM People WHERE Name = 'Anne'")).toString(), QStringLiteral("555"));
    QVERIFY(m_t->scalar(QStringLiteral("SELECT Tel FROM People WHERE Name = 'Bob'")).isNull());
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
    fill(QStringLiteral("INSERT INTO SubProjects (Name, Code) VALUES ('%1', 'c')").arg(Sixteen));
    auto ds = table(QStringLiteral("SubProjectsTable"), QStringLiteral("SubProjects"));
    ds->addField(FieldDef::autoInc(QStringLiteral("SubProjectID")));
    FieldDef name = FieldDef::text(QStringLiteral("Name"), width);
    ds->addField(displayOnly ? name.displayWidthOnly() : name);
    ds->addField(FieldDef::text(QStringLiteral("Code"), 255));
    ds->open();
    ds->edit();
    // Without a new name only another column changes: the long name must survive the update.
    if (written.isEmpty())
        ds->setText(QStringLiteral("Code"), QStringLiteral("d"));
    else
        ds->setText(QStringLiteral("Name"), written);
    ds->post();
    QCOMPARE(ds->text(QStringLiteral("Name")), shown);
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT Name FROM SubProjects")).toString(), stored);
}

void TestDataset::integerFieldRefusesAndKeepsTheEdit_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("just above 32 bits") << QStringLiteral("2147483648");
    QTest::newRow("just below 32 bits") << QStringLiteral("-2147483649");
    QTest::newRow("fraction") << QStringLiteral("1.5");
}

void TestDataset::integerFieldRefusesAndKeepsTheEdit()
{
    QFETCH(QString, input);
    fill(QStringLiteral("INSERT INTO SubProjects (SizeID, Name) VALUES (7, 'a')"));
    auto ds = table(QStringLiteral("SubProjectsDetail"), QStringLiteral("SubProjects"));
    ds->open();
    ds->edit();
    ds->setText(QStringLiteral("Name"), QStringLiteral("pending"));
    QVERIFY_THROWS_EXCEPTION(FieldError, ds->setText(QStringLiteral("SizeID"), input));
    QCOMPARE(ds->state(), Dataset::State::Edit);
    QCOMPARE(ds->text(QStringLiteral("Name")), QStringLiteral("pending"));
    QCOMPARE(ds->asInteger(QStringLiteral("SizeID")), 7);
    ds->setText(QStringLiteral("SizeID"), QStringLiteral("2147483647"));
    ds->post();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT SizeID FROM SubProjects")).toLongLong(), 2147483647);
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT Name FROM SubProjects")).toString(), QStringLiteral("pending"));
}

void TestDataset::savedNewRowHoldsWhatTheFileHolds()
{
    // SPUser takes the table's default when the new row leaves it empty.
    auto ds = table(QStringLiteral("BusinessTable"), QStringLiteral("Business"));
    ds->open();
    ds->append();
    ds->setValue(QStringLiteral("PersonID"), 1);
    ds->post();
    QCOMPARE(ds->value(QStringLiteral("SPUser")), QVariant(false));
    ds->edit();
    ds->setValue(QStringLiteral("SPWeight"), 5);
    ds->post();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT SPWeight FROM Business")).toInt(), 5);
    ds->deleteRecord();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT count(*) FROM Business")).toInt(), 0);
}

void TestDataset::keylessRowsAreChangedOneAtATime()
{
    fill(QStringLiteral("INSERT INTO Business (PersonID, SubProjectID, SPWeight) VALUES (1, 1, 3), (1, 1, 3)"));
    auto ds = table(QStringLiteral("PeopleDetail"), QStringLiteral("Business"));
    for (const char* name : {"PersonID", "SubProjectID", "SPWeight"})
        ds->addField(FieldDef::integer(QLatin1String(name)));
    ds->addField(FieldDef::boolean(QStringLiteral("SPUser")));
    ds->open();
    ds->edit();
    ds->setValue(QStringLiteral("SPUser"), true);
    ds->post();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT count(*) FROM Business WHERE SPUser")).toInt(), 1);
    ds->next();
    ds->deleteRecord();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT count(*) FROM Business")).toInt(), 1);
    QCOMPARE(ds->recordCount(), 1);
    QCOMPARE(ds->asBoolean(QStringLiteral("SPUser")), true);
}

// ---------------------------------------------------------------- lookups

void TestDataset::lookupsGiveTheResultOrEmpty()
{
    fill(QStringLiteral("INSERT INTO Companies (CompanyID, Name) VALUES (1, 'International Widgets Group');"
                        "INSERT INTO People (PersonID, CompanyID, Name) VALUES (1, 1, 'Ann'), (2, 99, 'Bob');"
                        "INSERT INTO Business (PersonID) VALUES (1), (2), (42), (NULL)"));
    auto companies = table(QStringLiteral("CompaniesTableEX"), QStringLiteral("Companies"));
    auto people = table(QStringLiteral("PeopleTableEX"), QStringLiteral("People"));
    people->addField(FieldDef::autoInc(QStringLiteral("PersonID")));
    people->addField(FieldDef::integer(QStringLiteral("CompanyID")));
    people->addField(FieldDef::text(QStringLiteral("Name"), 255));
    people->addField(FieldDef::lookup(QStringLiteral("Company Name"), QStringLiteral("CompanyID"), companies.get(),
                                      QStringLiteral("CompanyID"), QStringLiteral("Name")));
    auto business = table(QStringLiteral("PeopleDetail"), QStringLiteral("Business"));
    business->addField(FieldDef::integer(QStringLiteral("PersonID")));
    business->addField(FieldDef::lookup(QStringLiteral("PersonName"), QStringLiteral("PersonID"), people.get(),
                                        QStringLiteral("PersonID"), QStringLiteral("Name")));
    business->addField(FieldDef::lookup(QStringLiteral("CompanyName"), QStringLiteral("PersonID"), people.get(),
                                        QStringLiteral("PersonID"), QStringLiteral("Company Name")));
    companies->open();
    people->open();
    business->open();

    QStringList seen;
    for (int row = 0; row < business->recordCount(); ++row)
        seen << business->textAt(row, QStringLiteral("PersonName")) + u'/' + business->textAt(row, QStringLiteral("CompanyName"));
    QCOMPARE(seen, (QStringList{QStringLiteral("Ann/International Widget"), QStringLiteral("Bob/"),
                                QStringLiteral("/"), QStringLiteral("/")}));
}

void TestDataset::writingALookupWritesItsKey()
{
    fill(QStringLiteral("INSERT INTO SubProjectStatus VALUES (1, 'Open'), (2, 'Won');"
                        "INSERT INTO SubProjectHistory (SubProjectID, SubProjectStatusID) VALUES (1, 1)"));
    auto status = table(QStringLiteral("SubProjectStatusTable"), QStringLiteral("SubProjectStatus"));
    auto history = table(QStringLiteral("SubProjectHistoryDT"), QStringLiteral("SubProjectHistory"));
    history->addField(FieldDef::autoInc(QStringLiteral("ID")));
    history->addField(FieldDef::integer(QStringLiteral("SubProjectStatusID")));
    history->addField(FieldDef::lookup(QStringLiteral("Status"), QStringLiteral("SubProjectStatusID"), status.get(),
                                       QStringLiteral("SPStatusID"), QStringLiteral("SPStatusName"), 50));
    status->open();
    history->open();
    history->edit();
    history->setValue(QStringLiteral("Status"), QStringLiteral("Won"));
    QCOMPARE(history->asInteger(QStringLiteral("SubProjectStatusID")), 2);
    history->post();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT SubProjectStatusID FROM SubProjectHistory")).toInt(), 2);
    QCOMPARE(history->text(QStringLiteral("Status")), QStringLiteral("Won"));
}

void TestDataset::lookupIntoADetailSeesOnlyItsRows()
{
    fill(QStringLiteral("INSERT INTO Projects (ProjectID, Name) VALUES (1, 'P1'), (2, 'P2');"
                        "INSERT INTO SubProjects (SubProjectID, ProjectID, Name) VALUES (10, 1, 'S10'), (20, 2, 'S20');"
                        "INSERT INTO Business (PersonID, SubProjectID) VALUES (1, 10), (1, 20)"));
    auto projects = table(QStringLiteral("ProjectsDetail"), QStringLiteral("Projects"));
    DataSource projectsSource(projects.get());
    auto subprojects = table(QStringLiteral("SubProjectsDetail"), QStringLiteral("SubProjects"));
    subprojects->setMasterSource(&projectsSource, QStringLiteral("ProjectID"));
    auto roles = table(QStringLiteral("PeopleProjectDetail"), QStringLiteral("Business"));
    roles->addField(FieldDef::integer(QStringLiteral("SubProjectID")));
    roles->addField(FieldDef::lookup(QStringLiteral("Subproject"), QStringLiteral("SubProjectID"), subprojects.get(),
                                     QStringLiteral("SubProjectID"), QStringLiteral("Name")));
    projects->open();
    subprojects->open();
    roles->open();
    auto names = [&] { return roles->textAt(0, QStringLiteral("Subproject")) + u'/' + roles->textAt(1, QStringLiteral("Subproject")); };
    QCOMPARE(names(), QStringLiteral("S10/"));
    projects->next();
    QCOMPARE(names(), QStringLiteral("/S20"));
}

// ---------------------------------------------------------------- statements

void TestDataset::statementWithParameterReadsAndWritesItsTable()
{
    fill(QStringLiteral("INSERT INTO SubProjects (SubProjectID, Name) VALUES (1, 'a'), (2, 'b');"
                        "INSERT INTO SubProjectHistory (SubProjectID, SubProjectStatusID, Date) VALUES"
                        " (1, 1, '2024-03-01 00:00:00'), (2, 1, '2024-01-01 00:00:00'), (1, 2, '2024-02-01 00:00:00')"));
    Dataset q(&m_t->db(), QStringLiteral("SubProjectHistoryQ"));
    q.setSql(QStringLiteral("SELECT SubProjectHistory.Date, SubProjectHistory.ID, SubProjectHistory.SubProjectID,"
                            " SubProjectHistory.SubProjectStatusID\n"
                            "FROM subprojects INNER JOIN SUBPROJECTHISTORY ON SubProjects.SubProjectID = SubProjectHistory.SubProjectID\n"
                            "WHERE (((SubProjectHistory.SubProjectID)=:SPID))\nORDER BY SubProjectHistory.Date;"),
             QStringLiteral("SubProjectHistory"), QStringLiteral("ID"));
    q.addField(FieldDef::dateTime(QStringLiteral("Date")));
    q.addField(FieldDef::autoInc(QStringLiteral("ID")));
    q.addField(FieldDef::integer(QStringLiteral("SubProjectID")));
    q.addField(FieldDef::integer(QStringLiteral("SubProjectStatusID")));
    q.setParam(QStringLiteral("SPID"), QStringLiteral("1"));
    q.open();
    QCOMPARE(q.recordCount(), 2);
    QCOMPARE(q.text(QStringLiteral("Date")), QStringLiteral("2024-02-01"));

    q.edit();
    q.setValue(QStringLiteral("SubProjectStatusID"), 3);
    q.post();
    q.append();
    q.setValue(QStringLiteral("SubProjectID"), 1);
    q.setText(QStringLiteral("Date"), QStringLiteral("2024-04-01"));
    q.post();
    const QVariant newId = q.value(QStringLiteral("ID"));
    QCOMPARE(newId, m_t->scalar(QStringLiteral("SELECT max(ID) FROM SubProjectHistory")));
    q.edit();
    q.setValue(QStringLiteral("SubProjectStatusID"), 4);
    q.post();
    q.first();
    q.deleteRecord();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT group_concat(SubProjectStatusID, ',') FROM"
                                        " (SELECT * FROM SubProjectHistory ORDER BY ID)")).toString(),
             QStringLiteral("1,1,4"));

    q.close();
    q.setParam(QStringLiteral("SPID"), QVariant());
    q.open();
    QVERIFY(q.isEmpty());
}

void TestDataset::tableNamesIgnoreCase()
{
    fill(QStringLiteral("INSERT INTO Companies (Name) VALUES ('b'), ('a')"));
    Dataset report(&m_t->db(), QStringLiteral("ADOQuery1"));
    report.setSql(QStringLiteral("Select * FROM companies ORDER BY companies.Name;"), QStringLiteral("Companies"),
                  QStringLiteral("CompanyID"));
    report.open();
    QCOMPARE(report.text(QStringLiteral("name")), QStringLiteral("a"));
    auto lower = table(QStringLiteral("CompaniesTable"), QStringLiteral("companies"));
    lower->addField(FieldDef::text(QStringLiteral("NAME"), 255));
    lower->open();
    lower->edit();
    lower->setText(QStringLiteral("name"), QStringLiteral("c"));
    lower->post();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT Name FROM Companies WHERE CompanyID = 1")).toString(), QStringLiteral("c"));
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
    fill(QStringLiteral("INSERT INTO People (Name) VALUES ('Ann'), ('Bob')"));
    auto writer = table(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    auto reader = table(QStringLiteral("PeopleTable"), QStringLiteral("People"));
    writer->open();
    if (!openedTogether)
        fill(QStringLiteral("INSERT INTO Companies (Name) VALUES ('x')"));
    reader->open();
    writer->next();
    writer->edit();
    writer->setText(QStringLiteral("Name"), QStringLiteral("Bea"));
    writer->post();
    reader->last();
    QCOMPARE(reader->text(QStringLiteral("Name")), QStringLiteral("Bob"));
    if (reopen) {
        reader->close();
        reader->open();
        reader->last();
    } else {
        reader->refresh();
    }
    QCOMPARE(reader->text(QStringLiteral("Name")), QStringLiteral("Bea"));
}

void TestDataset::refreshKeepsTheRowAndDropsRemovedRows()
{
    fill(QStringLiteral("INSERT INTO People (Name) VALUES ('Ann'), ('Bob'), ('Cy'), ('Di')"));
    auto people = table(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    QStringList log;
    recordEvents(*people, log);
    people->open();
    people->moveTo(2);
    log.clear();
    Connection other(m_t->connectionString());
    other.exec(QStringLiteral("DELETE FROM People WHERE Name IN ('Ann', 'Di'); INSERT INTO People (Name) VALUES ('Ed');"
                              "UPDATE People SET Name = 'Cyd' WHERE Name = 'Cy'"));
    people->refresh();
    QCOMPARE(people->recordCount(), 2);
    QCOMPARE(people->text(QStringLiteral("Name")), QStringLiteral("Cyd"));
    QCOMPARE(people->recNo(), 1);
    QVERIFY(log.isEmpty());

    other.exec(QStringLiteral("DELETE FROM People WHERE Name = 'Cyd'"));
    people->refresh();
    QCOMPARE(people->recordCount(), 1);
    QCOMPARE(people->text(QStringLiteral("Name")), QStringLiteral("Bob"));
}

void TestDataset::changeOfARowChangedElsewhereFails_data()
{
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<QString>("elsewhere");
    const QString changed = QStringLiteral("UPDATE People SET Tel = '2' WHERE Name = 'Ann'");
    const QString removed = QStringLiteral("DELETE FROM People WHERE Name = 'Ann'");
    QTest::newRow("update of a changed row") << false << changed;
    QTest::newRow("update of a removed row") << false << removed;
    QTest::newRow("delete of a changed row") << true << changed;
    QTest::newRow("delete of a removed row") << true << removed;
}

void TestDataset::changeOfARowChangedElsewhereFails()
{
    QFETCH(bool, deleting);
    QFETCH(QString, elsewhere);
    fill(QStringLiteral("INSERT INTO People (Name, Tel) VALUES ('Ann', '1'), ('Bob', '1')"));
    auto people = table(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    people->open();
    Connection other(m_t->connectionString());
    other.exec(elsewhere);
    const QVariant before = m_t->scalar(QStringLiteral("SELECT group_concat(Name || Tel) FROM People"));
    if (deleting) {
        QVERIFY_THROWS_EXCEPTION(StoreError, people->deleteRecord());
        QCOMPARE(people->recordCount(), 2);
        QCOMPARE(people->text(QStringLiteral("Name")), QStringLiteral("Ann"));
    } else {
        people->edit();
        people->setText(QStringLiteral("Name"), QStringLiteral("Anna"));
        QVERIFY_THROWS_EXCEPTION(StoreError, people->post());
        QCOMPARE(people->state(), Dataset::State::Edit);
        QCOMPARE(people->text(QStringLiteral("Name")), QStringLiteral("Anna"));
    }
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT group_concat(Name || Tel) FROM People")), before);
}

// ---------------------------------------------------------------- searching

void TestDataset::locateFindsByOptions_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("found");
    const int none = 0, ci = Dataset::CaseInsensitive, partial = Dataset::PartialKey, both = ci | partial;
    const QString name = QStringLiteral("Name"), key = QStringLiteral("CompanyID;Name");
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
    fill(QStringLiteral("INSERT INTO People (CompanyID, Name) VALUES"
                        " (2, 'Anna'), (1, 'Berta'), (1, 'Anton'), (1, 'anna'), (1, ''), (2, 'Bea')"));
    auto people = table(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    people->open();
    people->last();
    const bool hit = people->locate(fields.split(u';'), values, Dataset::LocateOptions(options));
    QCOMPARE(hit, found != u"-");
    QCOMPARE(people->text(QStringLiteral("Name")), hit ? found : QStringLiteral("Bea"));
}

void TestDataset::bookmarksSurviveRefresh()
{
    fill(QStringLiteral("INSERT INTO People (Name) VALUES ('Ann'), ('Bob'), ('Cy')"));
    auto people = table(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    people->open();
    people->next();
    const Dataset::Bookmark bob = people->bookmark();
    people->append();
    people->setText(QStringLiteral("Name"), QStringLiteral("Di"));
    people->post();
    const Dataset::Bookmark di = people->bookmark();
    people->first();
    people->refresh();
    QVERIFY(people->gotoBookmark(bob));
    QCOMPARE(people->text(QStringLiteral("Name")), QStringLiteral("Bob"));
    QVERIFY(people->gotoBookmark(di));
    QCOMPARE(people->text(QStringLiteral("Name")), QStringLiteral("Di"));
    people->gotoBookmark(bob);
    people->deleteRecord();
    QVERIFY(!people->gotoBookmark(bob));
}

// ---------------------------------------------------------------- events

void TestDataset::eventsFollowEachChange()
{
    fill(QStringLiteral("INSERT INTO People (Name) VALUES ('Ann')"));
    auto people = table(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    QStringList log;
    recordEvents(*people, log);
    people->open();
    QCOMPARE(log, QStringList{"PeopleCompanyDet:scroll"});
    log.clear();

    people->insert();
    people->setText(QStringLiteral("Name"), QStringLiteral("Bob"));
    people->post();
    people->edit();
    people->setText(QStringLiteral("Name"), QStringLiteral("Bo"));
    people->cancel();
    people->append();
    people->cancel();
    people->deleteRecord();
    for (QString& entry : log)
        entry.remove(QStringLiteral("PeopleCompanyDet:"));
    QCOMPARE(log, (QStringList{"insert", "scroll", "beforePost", "post", "edit", "cancel", "insert", "scroll",
                               "cancel", "scroll", "beforeDelete", "deleting", "delete", "scroll"}));
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT group_concat(Name) FROM People")).toString(), QStringLiteral("Bob"));
}

void TestDataset::refusedPostKeepsTheNewRow()
{
    auto people = table(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    QStringList log;
    recordEvents(*people, log);
    people->beforePost = [](Dataset& ds) {
        if (ds.text(QStringLiteral("Name")).trimmed().isEmpty())
            throw AbortAction();
    };
    people->open();
    people->append();
    people->setText(QStringLiteral("Name"), QStringLiteral("   "));
    people->setText(QStringLiteral("Tel"), QStringLiteral("555"));
    QVERIFY_THROWS_EXCEPTION(AbortAction, people->post());
    QCOMPARE(people->state(), Dataset::State::Insert);
    QCOMPARE(people->text(QStringLiteral("Tel")), QStringLiteral("555"));
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT count(*) FROM People")).toInt(), 0);
    people->setText(QStringLiteral("Name"), QStringLiteral("Ann"));
    people->post();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT Name || Tel FROM People")).toString(), QStringLiteral("Ann555"));
    QCOMPARE(log, (QStringList{"PeopleCompanyDet:insert", "PeopleCompanyDet:scroll", "PeopleCompanyDet:post"}));
}

void TestDataset::failureWhileDeletingKeepsTheRow()
{
    fill(QStringLiteral("INSERT INTO People (Name) VALUES ('Ann'), ('Bob');"
                        "INSERT INTO Business (PersonID) VALUES (1), (1), (2)"));
    auto people = table(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    bool refuse = true;
    people->whileDeleting = [&](Dataset& ds) {
        m_t->db().exec(QStringLiteral("DELETE FROM Business WHERE PersonID = %1").arg(ds.asInteger(QStringLiteral("PersonID"))));
        if (refuse)
            throw StoreError(QStringLiteral("refused"));
    };
    people->open();
    QVERIFY_THROWS_EXCEPTION(StoreError, people->deleteRecord());
    QCOMPARE(people->recordCount(), 2);
    QCOMPARE(people->text(QStringLiteral("Name")), QStringLiteral("Ann"));
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT count(*) FROM People")).toInt(), 2);
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT count(*) FROM Business")).toInt(), 3);
    refuse = false;
    people->deleteRecord();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT count(*) FROM Business")).toInt(), 1);
    QCOMPARE(people->text(QStringLiteral("Name")), QStringLiteral("Bob"));
}

void TestDataset::defaultsOfANewRowAreNoChange()
{
    fill(QStringLiteral("INSERT INTO SubProjects (Name) VALUES ('a')"));
    auto subprojects = table(QStringLiteral("SubProjectsDetail"), QStringLiteral("SubProjects"));
    subprojects->onNewRecord = [](Dataset& ds) { ds.setValue(QStringLiteral("SizeID"), 2); };
    subprojects->open();
    subprojects->append();
    QCOMPARE(subprojects->asInteger(QStringLiteral("SizeID")), 2);
    QVERIFY(!subprojects->modified());
    subprojects->first();
    QCOMPARE(subprojects->recordCount(), 1);
    subprojects->append();
    subprojects->setText(QStringLiteral("Name"), QStringLiteral("b"));
    subprojects->first();
    QCOMPARE(m_t->scalar(QStringLiteral("SELECT SizeID FROM SubProjects WHERE Name = 'b'")).toInt(), 2);
}

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
