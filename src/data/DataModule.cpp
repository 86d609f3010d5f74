#include "data/DataModule.h"

#include <utility>

#include <exception>
#include <functional>

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>

#include "data/Cascade.h"
#include "data/Catalogue.h"
#include "data/DuplicatePerson.h"
#include "data/FollowUps.h"
#include "data/Schema.h"
#include "data/SearchIndex.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/Transaction.h"
#include "toolkit/dialogs/MessageService.h"

namespace {

const QString HistorySql = QStringLiteral(
    "SELECT SubProjectHistory.Date, SubProjectHistory.ID, SubProjectHistory.SubProjectID, SubProjectHistory.SubProjectStatusID\n"
    "FROM SubProjects INNER JOIN SubProjectHistory ON SubProjects.SubProjectID = SubProjectHistory.SubProjectID\n"
    "WHERE (((SubProjectHistory.SubProjectID)=:SPID))\n"
    "ORDER BY SubProjectHistory.Date;");

const QString NoSubProjectMessage = QStringLiteral("Please, select a subproject first: a status row belongs to a subproject.");
const QString NoSavedSubProjectMessage = QStringLiteral("Please, Select subproject first.");

// A name made of blanks and control characters only counts as empty.
bool isBlank(const QString& text)
{
    for (QChar c : text)
        if (!c.isSpace() && c.unicode() >= 32)
            return false;
    return true;
}

// Runs every step even when one fails, so the re-reads after a change are all made; the
// first failure is rethrown at the end.
class EverySteps
{
public:
    void run(const std::function<void()>& step)
    {
        try {
            step();
        } catch (...) {
            if (!m_failure)
                m_failure = std::current_exception();
        }
    }
    void finish()
    {
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    std::exception_ptr m_failure;
};

void addBusinessFields(Dataset* d, bool labelled)
{
    for (FieldDef f : Catalogue::fields(QStringLiteral("Business")))
        d->addField(labelled ? f.withLabel(Catalogue::caption(f.name)) : f);
}

void addHistoryFields(Dataset* d, Dataset* statuses, bool dateFirst)
{
    const QString date = QStringLiteral("Date");
    if (dateFirst)
        d->addField(Catalogue::field(QStringLiteral("SubProjectHistory"), date));
    for (const FieldDef& f : Catalogue::fields(QStringLiteral("SubProjectHistory")))
        if (!dateFirst || f.name != date)
            d->addField(f);
    d->addField(FieldDef::lookup(QStringLiteral("Status"), QStringLiteral("SubProjectStatusID"), statuses,
                                 QStringLiteral("SPStatusID"), QStringLiteral("SPStatusName"), 50));
}

} // namespace

TMainDataModule::TMainDataModule(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("MainDataModule"));
    CompaniesTable = makeDataset(QStringLiteral("CompaniesTable"), QStringLiteral("Companies"));
    PeopleTable = makeDataset(QStringLiteral("PeopleTable"), QStringLiteral("People"));
    ProjectsTable = makeDataset(QStringLiteral("ProjectsTable"), QStringLiteral("Projects"));
    SubProjectsTable = makeDataset(QStringLiteral("SubProjectsTable"), QStringLiteral("SubProjects"));
    SubProjectStatusTable = makeDataset(QStringLiteral("SubProjectStatusTable"), QStringLiteral("SubProjectStatus"));
    SubProjectTypeTable = makeDataset(QStringLiteral("SubProjectTypeTable"), QStringLiteral("SubProjectType"));
    BusinessTable = makeDataset(QStringLiteral("BusinessTable"), QStringLiteral("Business"));
    ProjectsDetail = makeDataset(QStringLiteral("ProjectsDetail"), QStringLiteral("Projects"));
    SubProjectsDetail = makeDataset(QStringLiteral("SubProjectsDetail"), QStringLiteral("SubProjects"));
    PeopleDetail = makeDataset(QStringLiteral("PeopleDetail"), QStringLiteral("Business"));
    SubProjectSizeTable = makeDataset(QStringLiteral("SubProjectSizeTable"), QStringLiteral("SubProjectSize"));
    PeopleCompanyDet = makeDataset(QStringLiteral("PeopleCompanyDet"), QStringLiteral("People"));
    SubProjectHistoryDT = makeDataset(QStringLiteral("SubProjectHistoryDT"), QStringLiteral("SubProjectHistory"));
    PeopleProjectDetail = makeDataset(QStringLiteral("PeopleProjectDetail"), QStringLiteral("Business"));
    CompaniesTableEX = makeDataset(QStringLiteral("CompaniesTableEX"), QStringLiteral("Companies"));
    PeopleTableEX = makeDataset(QStringLiteral("PeopleTableEX"), QStringLiteral("People"));
    SubProjectHistoryQ = makeDataset(QStringLiteral("SubProjectHistoryQ"), {});
    SubProjectHistoryQ->setSql(HistorySql, QStringLiteral("SubProjectHistory"), QStringLiteral("ID"));
    SubProjectHistoryQ->setParam(QStringLiteral("SPID"), QStringLiteral("0"));

    auto source = [this](Dataset* d, const char* name) {
        auto* s = new DataSource(d, this);
        s->setObjectName(QLatin1String(name));
        return s;
    };
    CompaniesDataSource = source(CompaniesTable, "CompaniesDataSource");
    PeopleDataSource = source(PeopleTable, "PeopleDataSource");
    ProjectsDataSource = source(ProjectsTable, "ProjectsDataSource");
    SubProjectsDataSource = source(SubProjectsTable, "SubProjectsDataSource");
    SubProjectStatusDataSource = source(SubProjectStatusTable, "SubProjectStatusDataSource");
    SubProjectTypeDataSource = source(SubProjectTypeTable, "SubProjectTypeDataSource");
    BusinessDataSource = source(BusinessTable, "BusinessDataSource");
    ProjectDetailDS = source(ProjectsDetail, "ProjectDetailDS");
    SubProjectDetailDS = source(SubProjectsDetail, "SubProjectDetailDS");
    PeopleDetialDS = source(PeopleDetail, "PeopleDetialDS");
    SubProjectSizeDS = source(SubProjectSizeTable, "SubProjectSizeDS");
    PeopleCompanyDS = source(PeopleCompanyDet, "PeopleCompanyDS");
    SubProjectHistoryDS = source(SubProjectHistoryDT, "SubProjectHistoryDS");
    PeopleProjectDetailDS = source(PeopleProjectDetail, "PeopleProjectDetailDS");
    SubProjectHistoryQDS = source(SubProjectHistoryQ, "SubProjectHistoryQDS");

    PeopleTable->setOrderBy({QStringLiteral("CompanyID")});
    ProjectsDetail->setMasterSource(CompaniesDataSource, QStringLiteral("CompanyID"));
    SubProjectsDetail->setMasterSource(ProjectDetailDS, QStringLiteral("ProjectID"));
    PeopleDetail->setMasterSource(SubProjectDetailDS, QStringLiteral("SubProjectID"));
    SubProjectHistoryDT->setMasterSource(SubProjectDetailDS, QStringLiteral("SubProjectID"));
    PeopleCompanyDet->setMasterSource(CompaniesDataSource, QStringLiteral("CompanyID"));
    PeopleProjectDetail->setMasterSource(PeopleCompanyDS, QStringLiteral("PersonID"));
    // The history list follows the current subproject without being its detail.
    SubProjectsDetail->addDependent(SubProjectHistoryQ);

    ActivityKinds = FollowUps::makeActivityKinds(nullptr, QStringLiteral("ActivityKinds"), this);
    PersonFollowUpsDet = FollowUps::makeFollowUps(nullptr, PeopleCompanyDS, QStringLiteral("PersonID"),
                                                  QStringLiteral("PersonFollowUpsDet"), this);
    PersonActivitiesDet = FollowUps::makeActivities(nullptr, PeopleCompanyDS, QStringLiteral("PersonID"), ActivityKinds,
                                                    QStringLiteral("PersonActivitiesDet"), this);
    for (Dataset* d : {ActivityKinds, PersonFollowUpsDet, PersonActivitiesDet})
        m_shared.push_back(d);
    PersonFollowUpsDS = source(PersonFollowUpsDet, "PersonFollowUpsDS");
    PersonActivitiesDS = source(PersonActivitiesDet, "PersonActivitiesDS");

    declareFields();
    attachRules();
}

TMainDataModule::~TMainDataModule()
{
    // Datasets die with the module; close them before the connection goes.
    for (auto it = m_shared.rbegin(); it != m_shared.rend(); ++it)
        (*it)->close();
}

Dataset* TMainDataModule::makeDataset(const QString& name, const QString& table)
{
    auto* d = new Dataset(nullptr, name, this);
    if (!table.isEmpty())
        d->setTableName(table);
    m_shared.push_back(d);
    return d;
}

void TMainDataModule::declareFields()
{
    Catalogue::addFields(*PeopleTable, QStringLiteral("People"));
    PeopleTable->addField(FieldDef::lookup(QStringLiteral("CompanyName"), QStringLiteral("CompanyID"), CompaniesTable,
                                           QStringLiteral("CompanyID"), QStringLiteral("Name")));

    Catalogue::addFields(*ProjectsTable, QStringLiteral("Projects"));
    ProjectsTable->addField(FieldDef::lookup(QStringLiteral("CompanyName"), QStringLiteral("CompanyID"), CompaniesTable,
                                             QStringLiteral("CompanyID"), QStringLiteral("Name")));

    const QString sizeId = QStringLiteral("SizeID");
    for (FieldDef f : Catalogue::fields(QStringLiteral("SubProjects"))) {
        // Ten characters is how much of a name this list shows; a stored name is never cut to it.
        if (f.name == u"Name")
            f = FieldDef::text(f.name, 10).displayWidthOnly();
        if (f.name != sizeId)
            SubProjectsTable->addField(f);
    }
    SubProjectsTable->addField(FieldDef::lookup(QStringLiteral("ProjectName"), QStringLiteral("ProjectID"), ProjectsTable,
                                                QStringLiteral("ProjectID"), QStringLiteral("Name")));
    SubProjectsTable->addField(FieldDef::lookup(QStringLiteral("Type"), QStringLiteral("SubProjectTypeID"), SubProjectTypeTable,
                                                QStringLiteral("SPTypeID"), QStringLiteral("SPTypeName")));
    SubProjectsTable->addField(Catalogue::field(QStringLiteral("SubProjects"), sizeId));
    SubProjectsTable->addField(FieldDef::lookup(QStringLiteral("Size"), QStringLiteral("SizeID"), SubProjectSizeTable,
                                                QStringLiteral("ID"), QStringLiteral("Name")));

    for (const FieldDef& f : Catalogue::fields(QStringLiteral("SubProjectStatus")))
        SubProjectStatusTable->addField(f.name == u"SPStatusName" ? FieldDef(f).withLabel(QStringLiteral("Status")) : f);

    for (const FieldDef& f : Catalogue::fields(QStringLiteral("SubProjectType")))
        SubProjectTypeTable->addField(f.name == u"SPTypeName" ? FieldDef(f).withLabel(QStringLiteral("Type")) : f);

    addBusinessFields(BusinessTable, false);
    BusinessTable->addField(FieldDef::lookup(QStringLiteral("PersonName"), QStringLiteral("PersonID"), PeopleTable,
                                             QStringLiteral("PersonID"), QStringLiteral("Name")));
    BusinessTable->addField(FieldDef::lookup(QStringLiteral("SubProjectName"), QStringLiteral("SubProjectID"), SubProjectsTable,
                                             QStringLiteral("SubProjectID"), QStringLiteral("Name")));

    Catalogue::addFields(*ProjectsDetail, QStringLiteral("Projects"));

    Catalogue::addFields(*SubProjectsDetail, QStringLiteral("SubProjects"));
    SubProjectsDetail->addField(FieldDef::lookup(QStringLiteral("Size"), QStringLiteral("SizeID"), SubProjectSizeTable,
                                                 QStringLiteral("ID"), QStringLiteral("Name")));
    SubProjectsDetail->addField(FieldDef::lookup(QStringLiteral("Type"), QStringLiteral("SubProjectTypeID"), SubProjectTypeTable,
                                                 QStringLiteral("SPTypeID"), QStringLiteral("SPTypeName")));
    SubProjectsDetail->addField(FieldDef::lookup(QStringLiteral("TypeComment"), QStringLiteral("SubProjectTypeID"),
                                                 SubProjectTypeTable, QStringLiteral("SPTypeID"), QStringLiteral("Comments"), 255));

    addBusinessFields(PeopleDetail, true);
    PeopleDetail->addField(FieldDef::lookup(QStringLiteral("PersonName"), QStringLiteral("PersonID"), PeopleTable,
                                            QStringLiteral("PersonID"), QStringLiteral("Name"))
                               .withLabel(QStringLiteral("Person Name")));
    PeopleDetail->addField(FieldDef::lookup(QStringLiteral("CompanyName"), QStringLiteral("PersonID"), PeopleTableEX,
                                            QStringLiteral("PersonID"), QStringLiteral("Company Name"))
                               .withLabel(QStringLiteral("Company Name")));

    addHistoryFields(SubProjectHistoryDT, SubProjectStatusTable, false);

    addBusinessFields(PeopleProjectDetail, false);
    // Among all subprojects: a person takes part in subprojects of any project.
    PeopleProjectDetail->addField(FieldDef::lookup(QStringLiteral("Subproject"), QStringLiteral("SubProjectID"), SubProjectsTable,
                                                   QStringLiteral("SubProjectID"), QStringLiteral("Name")));

    Catalogue::addFields(*PeopleTableEX, QStringLiteral("People"));
    PeopleTableEX->addField(FieldDef::lookup(QStringLiteral("Company Name"), QStringLiteral("CompanyID"), CompaniesTableEX,
                                             QStringLiteral("CompanyID"), QStringLiteral("Name")));

    addHistoryFields(SubProjectHistoryQ, SubProjectStatusTable, true);
}

void TMainDataModule::attachRules()
{
    SubProjectsDetail->afterScroll = [this](Dataset&) { reopenHistory(); };
    SubProjectsDetail->onNewRecord = [](Dataset& d) {
        d.setValue(QStringLiteral("SizeID"), 2);
        d.setValue(QStringLiteral("SubProjectTypeID"), 3);
    };
    SubProjectsDetail->beforePost = [](Dataset& d) {
        if (d.asInteger(QStringLiteral("SubProjectTypeID")) == 0)
            d.setValue(QStringLiteral("SubProjectTypeID"), 1);
        if (d.asInteger(QStringLiteral("SizeID")) == 0)
            d.setValue(QStringLiteral("SizeID"), 1);
    };

    SubProjectHistoryQ->onNewRecord = [this](Dataset& d) {
        if (SubProjectsDetail->isEmpty()) {
            MessageService::current().showMessage(NoSubProjectMessage);
            throw AbortAction();
        }
        SubProjectsDetail->edit();
        SubProjectsDetail->post();
        d.setValue(QStringLiteral("SubProjectID"), SubProjectsDetail->value(QStringLiteral("SubProjectID")));
        d.setValue(QStringLiteral("SubProjectStatusID"), 1);
    };
    SubProjectHistoryQ->afterPost = [this](Dataset&) { reopenHistory(); };
    SubProjectHistoryQ->afterRefresh = [this](Dataset&) { reopenHistory(); };

    PeopleCompanyDet->beforePost = [this](Dataset& d) {
        if (!isBlank(d.value(QStringLiteral("Name")).toString()))
            return confirmUniquePerson(*m_connection, d);
        MessageService::current().showMessage(QStringLiteral("Required field is empty."));
        emit personNameRequired();
        throw AbortAction();
    };
    PeopleTable->beforePost = [this](Dataset& d) { confirmUniquePerson(*m_connection, d); };
    PeopleCompanyDet->afterInsert = [this](Dataset&) { reopen(PeopleTable); };
    PeopleCompanyDet->afterEdit = [this](Dataset&) { reopen(PeopleTable); };
    auto peopleChanged = [this](Dataset&) {
        reopen(PeopleTable);
        PeopleCompanyDet->refresh();
    };
    PeopleCompanyDet->afterPost = peopleChanged;
    PeopleCompanyDet->afterDelete = [this](Dataset& d) {
        EverySteps steps;
        steps.run([this] { reopen(PeopleTable); });
        steps.run([this] { PeopleCompanyDet->refresh(); });
        steps.run([this, &d] { refreshAfterCascade(&d); });
        steps.finish();
    };

    auto companyNamesChanged = [this](Dataset&) {
        reopen(CompaniesTableEX);
        reopen(PeopleTableEX);
    };
    // A buying-role row without a stored subproject would hang on nothing and never show again.
    PeopleDetail->onNewRecord = [this](Dataset&) {
        if (!SubProjectsDetail->value(QStringLiteral("SubProjectID")).isNull())
            return;
        MessageService::current().showMessage(NoSavedSubProjectMessage);
        throw AbortAction();
    };
    PeopleDetail->afterPost = companyNamesChanged;
    PeopleDetail->afterDelete = companyNamesChanged;

    attachCascade(CompaniesTable, Cascade::Company);
    attachCascade(CompaniesTableEX, Cascade::Company);
    attachCascade(ProjectsTable, Cascade::Project);
    attachCascade(ProjectsDetail, Cascade::Project);
    attachCascade(SubProjectsTable, Cascade::SubProject);
    attachCascade(SubProjectsDetail, Cascade::SubProject);
    attachCascade(PeopleTable, Cascade::Person);
    attachCascade(PeopleTableEX, Cascade::Person);
    attachCascade(PeopleCompanyDet, Cascade::Person);
}

void TMainDataModule::attachCascade(Dataset* dataset, int kind)
{
    const auto k = Cascade::Kind(kind);
    // Asked by the delete once the changes hanging on the row have ended, so it counts what is stored.
    dataset->deleteQuestion = [this, k](Dataset& d) {
        return Cascade::deleteQuestion(*m_connection, k, d.value(Cascade::keyColumn(k)), d.text(QStringLiteral("Name")));
    };
    dataset->whileDeleting = [this, k](Dataset& d) {
        Cascade::removeDependents(*m_connection, k, d.value(Cascade::keyColumn(k)));
    };
    if (!dataset->afterDelete)
        dataset->afterDelete = [this](Dataset& d) { refreshAfterCascade(&d); };
}

// Rows removed with a deleted row drop out of every snapshot that may still hold them.
void TMainDataModule::refreshAfterCascade(Dataset* deleted)
{
    static const QStringList tables = {QStringLiteral("Projects"), QStringLiteral("SubProjects"), QStringLiteral("People"),
                                       QStringLiteral("Business"), QStringLiteral("SubProjectHistory"),
                                       QStringLiteral("FollowUps"), QStringLiteral("Activities")};
    EverySteps steps;
    for (Dataset* d : m_shared)
        if (d != deleted && d != SubProjectHistoryQ && d->isActive() && tables.contains(d->tableName()))
            steps.run([d] { d->refresh(); });
    steps.run([this] { reopenHistory(); });
    steps.finish();
}

void TMainDataModule::holdHistory()
{
    m_historyHeld = true;
    m_historySkipped = false;
}

void TMainDataModule::releaseHistory()
{
    m_historyHeld = false;
    if (std::exchange(m_historySkipped, false))
        reopenHistory();
}

void TMainDataModule::reopenHistory()
{
    if (m_historyHeld) {
        m_historySkipped = true;
        return;
    }
    // A status row with changes is saved, not lost, when the subproject changes.
    SubProjectHistoryQ->endPendingChanges();
    SubProjectHistoryQ->close();
    const QVariant id = SubProjectsDetail->value(QStringLiteral("SubProjectID"));
    SubProjectHistoryQ->setParam(QStringLiteral("SPID"), id.isNull() ? QVariant() : QVariant(id.toString()));
    SubProjectHistoryQ->open();
}

void TMainDataModule::reopen(Dataset* dataset)
{
    dataset->close();
    dataset->open();
}

UpgradeOutcome TMainDataModule::Connect(const QString& connectionString, const UpgradeSteps& upgrades)
{
    SetDataSetsActive(false);
    m_changeNotices.reset();
    m_watchedSocket = -1;
    m_connection.reset();
    auto connection = std::make_unique<Connection>(connectionString);
    const UpgradeOutcome upgraded = upgradeDatabase(*connection, upgrades);
    checkSchema(*connection, startupRequirements());
    m_connection = std::move(connection);
    for (Dataset* d : m_shared)
        d->setConnection(m_connection.get());
    watchChangeNotices();
    // A connection the server lost drops its socket, and the next statement connects again on
    // another; the notices are watched on whichever is open whenever the program goes idle.
    // A file has neither, and its idle time stays free of the check.
    if (!m_idleCheck && m_connection->isServer() && QAbstractEventDispatcher::instance())
        m_idleCheck = connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            // Qt stops watching a socket that was closed, even when a new one takes its number.
            const bool dropped = m_changeNotices && !m_changeNotices->isEnabled();
            if (m_connection && (dropped || m_connection->changeNoticeSocket() != m_watchedSocket))
                watchChangeNotices();
        });
    return upgraded;
}

void TMainDataModule::watchChangeNotices()
{
    m_changeNotices.reset();
    m_watchedSocket = m_connection ? m_connection->changeNoticeSocket() : -1;
    if (m_watchedSocket < 0)
        return;
    m_changeNotices = std::make_unique<QSocketNotifier>(m_watchedSocket, QSocketNotifier::Read);
    connect(m_changeNotices.get(), &QSocketNotifier::activated, this, &TMainDataModule::takeChangeNotices);
}

void TMainDataModule::takeChangeNotices()
{
    QStringList tables;
    try {
        tables = m_connection->takeChangeNotices();
    } catch (const StoreError&) {
        // A lost connection keeps its socket readable; the user's next action meets the loss
        // and says so, where nobody is waiting for this one. Watched again on the next socket.
        m_changeNotices.release()->deleteLater();
        return;
    }
    if (!tables.isEmpty())
        emit changedElsewhere(tables);
}

void TMainDataModule::SetDataSetsActive(bool active)
{
    for (Dataset* d : m_shared)
        d->setActive(active);
}

void TMainDataModule::endAllPendingChanges()
{
    for (Dataset* d : m_shared)
        d->endPendingChanges();
}

SearchIndex& TMainDataModule::searchIndex()
{
    if (!m_searchIndex)
        m_searchIndex = std::make_unique<SearchIndex>(*m_connection);
    return *m_searchIndex;
}

QString TMainDataModule::deleteAllPeopleQuestion(const QString& question) const
{
    QVariantList ids;
    for (int row = 0; row < PeopleCompanyDet->recordCount(); ++row)
        ids.append(PeopleCompanyDet->valueAt(row, QStringLiteral("PersonID")));
    return Cascade::deletePeopleQuestion(*m_connection, question, ids, CompaniesTable->value(QStringLiteral("CompanyID")));
}

void TMainDataModule::DeleteAllCompanyPeople(const QString& question, const std::function<bool(const QString&)>& confirm)
{
    // Nothing is saved inside the delete's transaction, where a rollback would undo it unseen;
    // and the question counts what is stored.
    endAllPendingChanges();
    if (confirm && !confirm(deleteAllPeopleQuestion(question)))
        return;
    QVariantList deleted;
    bool committed = false;
    EverySteps steps;
    steps.run([&] {
        PeopleCompanyDet->deleteAllRows(QStringLiteral("PersonID"), [&](const QVariantList& ids) {
            Cascade::removePeopleDependents(*m_connection, ids);
            deleted = ids;
        });
        committed = true;
    });
    if (committed) {
        // Exactly these people and their roles left the file: re-reading whole tables would only
        // find that out again.
        for (Dataset* d : {PeopleTable, PeopleTableEX, PeopleCompanyDet, BusinessTable, PeopleDetail, PeopleProjectDetail,
                           PersonFollowUpsDet, PersonActivitiesDet})
            steps.run([d, &deleted] { d->forgetRows(QStringLiteral("PersonID"), deleted); });
    } else {
        // Read once, whatever happened, also when the store rolled the transaction back itself.
        steps.run([this] { reopen(PeopleTable); });
        steps.run([this] { reopen(PeopleTableEX); });
        for (Dataset* d : {PeopleCompanyDet, BusinessTable, PeopleDetail, PeopleProjectDetail, PersonFollowUpsDet,
                           PersonActivitiesDet})
            steps.run([d] { d->refresh(); });
    }
    steps.finish();
}

std::vector<Dataset*> TMainDataModule::pendingChanges() const
{
    std::vector<Dataset*> pending;
    for (Dataset* d : m_shared) {
        d->updateRecord();
        if (d->isEditing() && d->modified())
            pending.push_back(d);
    }
    return pending;
}
