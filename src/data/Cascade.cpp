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

// What a person's or subproject's log holds, matched by where; the question names them in
// the opposite order.
std::vector<Dependent> logOf(const QString& where)
{
    return {{"activity", "activities", "Activities", where}, {"follow-up", "follow-ups", "FollowUps", where}};
}

std::vector<Dependent> operator+(std::vector<Dependent> a, const std::vector<Dependent>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Children before parents: the conditions of later rows still find the parents.
std::vector<Dependent> dependents(Kind kind)
{
    switch (kind) {
    case Company: {
        const QString subs = subProjectsOf(ProjectsOfCompany);
        return logOf(QStringLiteral("SubProjectID IN (%1) OR PersonID IN (%2)").arg(subs, PeopleOfCompany)) + std::vector<Dependent>{
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
        return logOf(QStringLiteral("SubProjectID IN (%1)").arg(subs)) + std::vector<Dependent>{
            {"buying-role row", "buying-role rows", "Business", QStringLiteral("SubProjectID IN (%1)").arg(subs)},
            {"status row", "status rows", "SubProjectHistory", QStringLiteral("SubProjectID IN (%1)").arg(subs)},
            {"subproject", "subprojects", "SubProjects", QStringLiteral("ProjectID = :id")},
        };
    }
    case SubProject:
        return logOf(QStringLiteral("SubProjectID = :id")) + std::vector<Dependent>{
            {"buying-role row", "buying-role rows", "Business", QStringLiteral("SubProjectID = :id")},
            {"status row", "status rows", "SubProjectHistory", QStringLiteral("SubProjectID = :id")},
        };
    case Person:
        return logOf(QStringLiteral("PersonID = :id")) + std::vector<Dependent>{
            {"answer", "answers", "QuestionsMain", QStringLiteral("PersonID = :id")},
            {"buying-role row", "buying-role rows", "Business", QStringLiteral("PersonID = :id")},
        };
    }
    return {};
}

// Ids written into the statement as numbers: they come from the store's integer keys.
QString idList(const QVariantList& ids)
{
    QStringList numbers;
    for (const QVariant& id : ids)
        if (!id.isNull())
            numbers.append(QString::number(id.toLongLong()));
    return numbers.join(u',');
}

qint64 countOf(Connection& connection, const QString& sql, const QVariant& id = {})
{
    Statement st(connection, sql);
    if (st.parameterCount() > 0)
        st.bind(QStringLiteral(":id"), id);
    st.step();
    return st.int64(0);
}

QString counted(qint64 n, const char* singular, const char* plural)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? singular : plural));
}

QString kindName(Kind kind)
{
    switch (kind) {
    case Company: return QStringLiteral("The company");
    case Project: return QStringLiteral("The project");
    case SubProject: return QStringLiteral("The subproject");
    case Person: return QStringLiteral("The client");
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

QString deleteQuestion(Connection& connection, Kind kind, const QVariant& id, const QString& name)
{
    const QString question = QStringLiteral("Delete record?");
    if (id.isNull())
        return question;
    const QString what = QStringLiteral("%1 %2").arg(kindName(kind),
                                                     name.isEmpty() ? QStringLiteral("without a name")
                                                                    : QStringLiteral("\"%1\"").arg(name));
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
        return question + QStringLiteral("\n\n") + what + u'.';
    return question + QStringLiteral("\n\n") + what + QStringLiteral(", and with it: ") + parts.join(QStringLiteral(", ")) + u'.';
}

QString deletePeopleQuestion(Connection& connection, const QString& question, const QVariantList& personIds,
                             const QVariant& companyId)
{
    const QString ids = idList(personIds);
    if (ids.isEmpty())
        return question;
    QStringList parts{counted(personIds.size(), "client", "clients")};
    const qint64 roles = countOf(connection, QStringLiteral("SELECT count(*) FROM Business WHERE PersonID IN (%1)").arg(ids));
    if (roles > 0) {
        const qint64 elsewhere = countOf(connection, QStringLiteral(
            "SELECT count(*) FROM Business WHERE PersonID IN (%1) AND SubProjectID NOT IN"
            " (SELECT SubProjectID FROM SubProjects WHERE ProjectID IN (SELECT ProjectID FROM Projects WHERE CompanyID IS :id))")
            .arg(ids), companyId);
        QString part = counted(roles, "buying-role row", "buying-role rows");
        if (elsewhere > 0)
            part += QStringLiteral(" (%1 in subprojects of other companies)").arg(elsewhere);
        parts.append(part);
    }
    const qint64 answers = countOf(connection, QStringLiteral("SELECT count(*) FROM QuestionsMain WHERE PersonID IN (%1)").arg(ids));
    if (answers > 0)
        parts.append(counted(answers, "answer", "answers"));
    const auto log = logOf(QStringLiteral("PersonID IN (%1)").arg(ids));
    for (auto d = log.rbegin(); d != log.rend(); ++d) {
        const qint64 n = countOf(connection, QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(QLatin1String(d->table), d->where));
        if (n > 0)
            parts.append(counted(n, d->singular, d->plural));
    }
    return question + QStringLiteral("\n\nDeleted: ") + parts.join(QStringLiteral(", ")) + u'.';
}

void removePeopleDependents(Connection& connection, const QVariantList& personIds)
{
    const QString ids = idList(personIds);
    if (ids.isEmpty())
        return;
    for (const char* table : {"QuestionsMain", "Business", "FollowUps", "Activities"})
        connection.exec(QStringLiteral("DELETE FROM %1 WHERE PersonID IN (%2)").arg(QLatin1String(table), ids));
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
