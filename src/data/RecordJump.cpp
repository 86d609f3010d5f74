#include "data/RecordJump.h"

#include "data/DataModule.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/Statement.h"

namespace {

// The company, project and subproject (0 where the kind has none) the record hangs on, read
// from the file, which knows its masters even when the datasets hold older rows.
struct Chain
{
    qint64 company = 0;
    qint64 project = 0;
    qint64 subProject = 0;
    qint64 person = 0;
};

bool readChain(Connection& connection, SearchIndex::Kind kind, qint64 id, Chain& chain)
{
    static const char* const sql[] = {
        "SELECT CompanyID, 0, 0, 0 FROM Companies WHERE CompanyID = :id",
        "SELECT CompanyID, ProjectID, 0, 0 FROM Projects WHERE ProjectID = :id",
        "SELECT p.CompanyID, s.ProjectID, s.SubProjectID, 0 FROM SubProjects s"
        " LEFT JOIN Projects p ON p.ProjectID = s.ProjectID WHERE s.SubProjectID = :id",
        "SELECT CompanyID, 0, 0, PersonID FROM People WHERE PersonID = :id"};
    Statement st(connection, QLatin1String(sql[kind]));
    st.bind(QStringLiteral(":id"), id);
    if (!st.step())
        return false;
    chain = {st.int64(0), st.int64(1), st.int64(2), st.int64(3)};
    return true;
}

bool locate(Dataset* dataset, const char* field, qint64 id)
{
    return dataset->locate({QLatin1String(field)}, {id});
}

} // namespace

bool jumpToRecord(TMainDataModule& dm, SearchIndex::Kind kind, qint64 id)
{
    dm.endAllPendingChanges();
    Chain chain;
    if (!readChain(*dm.MainADOConnection(), kind, id, chain))
        return false;
    // A company added by another program since start-up is not among the rows held yet.
    if (!locate(dm.CompaniesTable, "CompanyID", chain.company)) {
        dm.CompaniesTable->reread();
        if (!locate(dm.CompaniesTable, "CompanyID", chain.company))
            return false;
    }
    const auto within = [](Dataset* detail, const char* field, qint64 key) {
        if (key == 0 || locate(detail, field, key))
            return true;
        detail->reread();
        return locate(detail, field, key);
    };
    switch (kind) {
    case SearchIndex::Companies:
        return true;
    case SearchIndex::Projects:
        return within(dm.ProjectsDetail, "ProjectID", chain.project);
    case SearchIndex::SubProjects:
        return within(dm.ProjectsDetail, "ProjectID", chain.project)
            && within(dm.SubProjectsDetail, "SubProjectID", chain.subProject);
    case SearchIndex::People:
        // The plain people table follows too, as the main window's ShowPersonRecord has it.
        within(dm.PeopleTable, "PersonID", chain.person);
        return within(dm.PeopleCompanyDet, "PersonID", chain.person);
    }
    return false;
}
