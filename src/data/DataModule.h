#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QObject>

#include "data/SchemaUpgrade.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"

class Connection;
class QSocketNotifier;
class SearchIndex;

// The one data module: the connection, the seventeen shared datasets with their data sources,
// and the rules that run when they are moved, edited, saved or deleted. Every window binds
// to these datasets, so the current company, project, subproject and person are the same
// everywhere. Operations throw StoreError with the store's text. GUI thread only.
class TMainDataModule : public QObject
{
    Q_OBJECT
public:
    explicit TMainDataModule(QObject* parent = nullptr);
    ~TMainDataModule() override;

    // Opens MainADOConnection (no login prompt), brings an older file to the schema of
    // upgrades (SchemaUpgrade.h; a newer file is refused) and checks that every table and
    // declared column is there with its type.
    UpgradeOutcome Connect(const QString& connectionString, const UpgradeSteps& upgrades = schemaUpgrades());
    Connection* MainADOConnection() const { return m_connection.get(); }

    // Opens (true) or closes (false) the shared datasets, one after the other, masters first.
    void SetDataSetsActive(bool active);
    const std::vector<Dataset*>& sharedDatasets() const { return m_shared; }

    // Shared datasets holding a changed row that is not saved yet.
    std::vector<Dataset*> pendingChanges() const;

    // Ends every pending change of the shared datasets (and their details); throws what a
    // save throws.
    void endAllPendingChanges();

    // For a walk that never reads the status history (a report): while held, a move of
    // SubProjectsDetail does not read the history again; the release reads it once, for the
    // subproject then current, when a move skipped it (and throws what that read throws).
    void holdHistory();
    void releaseHistory();
    // Deletes every person of the current company with their buying-role rows, answers and log, in
    // one transaction, each person only if the file still holds the row as it was read. Every
    // pending change is ended first, once; then, when confirm is given, it is asked question
    // followed by what the delete takes (people, buying-role rows, answers), and false deletes
    // nothing. Whatever happens after, the datasets over people and buying roles are read
    // again once; a failure deletes nothing and is rethrown.
    void DeleteAllCompanyPeople(const QString& question = {}, const std::function<bool(const QString&)>& confirm = {});
    // The jump search's texts over this connection, made at first use.
    SearchIndex& searchIndex();

    Dataset* CompaniesTable;
    Dataset* PeopleTable;
    Dataset* ProjectsTable;
    Dataset* SubProjectsTable;
    Dataset* SubProjectStatusTable;
    Dataset* SubProjectTypeTable;
    Dataset* BusinessTable;
    Dataset* ProjectsDetail;
    Dataset* SubProjectsDetail;
    Dataset* PeopleDetail;
    Dataset* SubProjectSizeTable;
    Dataset* PeopleCompanyDet;
    Dataset* SubProjectHistoryDT;
    Dataset* PeopleProjectDetail;
    Dataset* CompaniesTableEX;
    Dataset* PeopleTableEX;
    Dataset* SubProjectHistoryQ;

    DataSource* CompaniesDataSource;
    DataSource* PeopleDataSource;
    DataSource* ProjectsDataSource;
    DataSource* SubProjectsDataSource;
    DataSource* SubProjectStatusDataSource;
    DataSource* SubProjectTypeDataSource;
    DataSource* BusinessDataSource;
    DataSource* ProjectDetailDS;
    DataSource* SubProjectDetailDS;
    DataSource* PeopleDetialDS;
    DataSource* SubProjectSizeDS;
    DataSource* PeopleCompanyDS;
    DataSource* SubProjectHistoryDS;
    DataSource* PeopleProjectDetailDS;
    DataSource* SubProjectHistoryQDS;

    // The current person's follow-ups and activity log, for the Clients page; the kinds an
    // activity can be.
    Dataset* ActivityKinds;
    Dataset* PersonFollowUpsDet;
    Dataset* PersonActivitiesDet;
    DataSource* PersonFollowUpsDS;
    DataSource* PersonActivitiesDS;

signals:
    // A person's save was refused for a blank name; the window that shows the Name box
    // brings it forward.
    void personNameRequired();
    // Other sessions on the same server changed rows of tables (lower case); F5 reads them.
    void changedElsewhere(const QStringList& tables);

private:
    Dataset* makeDataset(const QString& name, const QString& table);
    void declareFields();
    void attachRules();
    void attachCascade(Dataset* dataset, int kind);
    void reopenHistory();
    void watchChangeNotices();
    void takeChangeNotices();
    void reopen(Dataset* dataset);
    void refreshAfterCascade(Dataset* deleted);
    // question followed by what deleting every person of the current company takes.
    QString deleteAllPeopleQuestion(const QString& question) const;

    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<SearchIndex> m_searchIndex;
    std::unique_ptr<QSocketNotifier> m_changeNotices;
    int m_watchedSocket = -1;
    QMetaObject::Connection m_idleCheck;
    std::vector<Dataset*> m_shared;
    bool m_historyHeld = false;
    bool m_historySkipped = false;
};
