#include "data/Cascade.h"

#include <QStringList>
#include <QVariant>

#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"

namespace Cascade {
namespace {

struct Dependent
{
    const char* singular;
    const char* plural;
    const char* table;
    QString where;
};

const QString ProjectsOfCompany = QStringLiteral("SELECT ProjectID FROM Projects WHERE CompanyID = :id");
const QString PeopleOfCompany = QStringLiteral("SELECT PersonID FROM People WHERE CompanyID = :id");

QString subProjectsOf(const QString& projects)
{
    return QStringLiteral("SELECT SubProjectID FROM SubProjects WHERE ProjectID IN (%1)").arg(projects);
}

// Children before parents: the conditions of later rows still find the parents.
std::vector<Dependent> dependents(Kind kind)
{
    switch (kind) {
    case Company: {
        const QString subs = subProjectsOf(ProjectsOfCompany);
        return {
            {"answer", "answers", "QuestionsMain", QStringLiteral("PersonID IN (%1)").arg(PeopleOfCompany)},
            {"buying-role row", "buying-role rows", "Business",
             QStringLiteral("SubProjectID IN (%1) OR PersonID IN (%2)").arg(subs, PeopleOfCompany)},
            {"status row", "status rows", "SubProjectHistory", QStringLiteral("SubProjectID IN (%1)").arg(subs)},
            {"subproject", "subprojects", "SubProjects", QStringLiteral("ProjectID IN (%1)").arg(ProjectsOfCompany)},
            {"client", "clients", "People", QStringLiteral("CompanyID = :id")},
            {"project", "projects", "Projects", QStringLiteral("CompanyID = :id")},
        };
    }
    case Project: {
        const QString subs = subProjectsOf(QStringLiteral(":id"));
        return {
            {"buying-role row", "buying-role rows", "Business", QStringLiteral("SubProjectID IN (%1)").arg(subs)},
            {"status row", "status rows", "SubProjectHistory", QStringLiteral("SubProjectID IN (%1)").arg(subs)},
            {"subproject", "subprojects", "SubProjects", QStringLiteral("ProjectID = :id")},
        };
    }
    case SubProject:
        return {
            {"buying-role row", "buying-role rows", "Business", QStringLiteral("SubProjectID = :id")},
            {"status row", "status rows", "SubProjectHistory", QStringLiteral("SubProjectID = :id")},
        };
    case Person:
        return {
            {"answer", "answers", "QuestionsMain", QStringLiteral("PersonID = :id")},
            {"buying-role row", "buying-role rows", "Business", QStringLiteral("PersonID = :id")},
        };
    }
    return {};
}

} // namespace

QString keyColumn(Kind kind)
{
    switch (kind) {
    case Company: return QStringLiteral("CompanyID");
    case Project: return QStringLiteral("ProjectID");
    case SubProject: return QStringLiteral("SubProjectID");
    case Person: return QStringLiteral("PersonID");
    }
    return {};
}

QString deleteQuestion(Connection& connection, Kind kind, const QVariant& id)
{
    const QString question = QStringLiteral("Delete record?");
    if (id.isNull())
        return question;
    QStringList parts;
    const auto list = dependents(kind);
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        Statement count(connection, QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(QLatin1String(it->table), it->where));
        count.bind(QStringLiteral(":id"), id);
        count.step();
        const qint64 n = count.int64(0);
        if (n > 0)
            parts.append(QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? it->singular : it->plural)));
    }
    if (parts.isEmpty())
        return question;
    return question + QStringLiteral("\n\nDeleted with it: ") + parts.join(QStringLiteral(", ")) + u'.';
}

void removeDependents(Connection& connection, Kind kind, const QVariant& id)
{
    if (id.isNull())
        return;
    for (const Dependent& d : dependents(kind)) {
        Statement remove(connection, QStringLiteral("DELETE FROM %1 WHERE %2").arg(QLatin1String(d.table), d.where));
        remove.bind(QStringLiteral(":id"), id);
        remove.run();
    }
}

} // namespace Cascade
