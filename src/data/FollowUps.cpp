#include "data/FollowUps.h"

#include <algorithm>

#include <QDateTime>

#include "data/Catalogue.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/dialogs/MessageService.h"

namespace FollowUps {
namespace {

// Kept as text: a file read by another program shows the kind, not a number.
const char* const Kinds[] = {"Call", "Meeting", "E-mail", "Note"};

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

bool isBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}

// A step without its subject would hang on nothing and never show again.
void requireMaster(Dataset& d, const QString& linkField, const QString& what)
{
    if (!d.value(linkField).isNull())
        return;
    MessageService::current().showMessage(QStringLiteral("Please, select or save the %1 first.").arg(what));
    throw AbortAction();
}

QString subjectOf(const QString& linkField)
{
    return linkField == u"PersonID" ? QStringLiteral("client") : QStringLiteral("subproject");
}

} // namespace

QStringList activityKinds()
{
    QStringList kinds;
    for (const char* k : Kinds)
        kinds.append(QLatin1String(k));
    return kinds;
}

Dataset* makeActivityKinds(Connection* connection, const QString& name, QObject* parent)
{
    QStringList rows;
    for (const QString& k : activityKinds())
        rows.append(QStringLiteral("SELECT '%1' AS Kind").arg(k));
    auto* d = new Dataset(connection, name, parent);
    d->setSql(rows.join(QStringLiteral(" UNION ALL ")), {}, {});
    d->addField(FieldDef::text(QStringLiteral("Kind"), 16));
    d->setReadOnly(true);
    return d;
}

Dataset* makeFollowUps(Connection* connection, DataSource* master, const QString& linkField, const QString& name,
                       QObject* parent)
{
    auto* d = new Dataset(connection, name, parent);
    d->setTableName(QStringLiteral("FollowUps"));
    Catalogue::addFields(*d, QStringLiteral("FollowUps"));
    d->setMasterSource(master, linkField);
    d->setOrderBy({linkField, QStringLiteral("Due"), QStringLiteral("FollowUpID")});
    d->onNewRecord = [linkField](Dataset& f) {
        requireMaster(f, linkField, subjectOf(linkField));
        f.setValue(QStringLiteral("Due"), QDate::currentDate());
        f.setValue(QStringLiteral("Done"), false);
    };
    d->beforePost = [](Dataset& f) {
        const char* missing = f.isNull(QStringLiteral("Due")) ? "due date"
                              : isBlank(f.text(QStringLiteral("Text"))) ? "text"
                                                                         : nullptr;
        if (missing) {
            MessageService::current().showMessage(QStringLiteral("A follow-up needs a %1.").arg(QLatin1String(missing)));
            throw AbortAction();
        }
        // The due list reads open follow-ups as those not done.
        if (f.isNull(QStringLiteral("Done")))
            f.setValue(QStringLiteral("Done"), false);
    };
    return d;
}

Dataset* makeActivities(Connection* connection, DataSource* master, const QString& linkField, Dataset* kinds,
                        const QString& name, QObject* parent)
{
    auto* d = new Dataset(connection, name, parent);
    // Read newest first; the link sorts the rows into groups without changing that order.
    d->setSql(QStringLiteral("SELECT ActivityID, PersonID, SubProjectID, \"Date\", Kind, Text FROM Activities"
                             " ORDER BY \"Date\" DESC, ActivityID DESC"),
              QStringLiteral("Activities"), QStringLiteral("ActivityID"));
    Catalogue::addFields(*d, QStringLiteral("Activities"));
    d->addField(FieldDef::lookup(QStringLiteral("KindName"), QStringLiteral("Kind"), kinds, QStringLiteral("Kind"),
                                 QStringLiteral("Kind"), 16)
                    .withLabel(QStringLiteral("Kind")));
    d->setMasterSource(master, linkField);
    d->onNewRecord = [linkField](Dataset& a) {
        requireMaster(a, linkField, subjectOf(linkField));
        const QDateTime now = QDateTime::currentDateTime();
        a.setValue(QStringLiteral("Date"), QDateTime(now.date(), QTime(now.time().hour(), now.time().minute())));
        a.setValue(QStringLiteral("Kind"), activityKinds().constFirst());
    };
    d->beforePost = [](Dataset& a) {
        if (a.isNull(QStringLiteral("Date"))) {
            MessageService::current().showMessage(QStringLiteral("An activity needs a date and time."));
            throw AbortAction();
        }
        if (!activityKinds().contains(a.text(QStringLiteral("Kind")))) {
            MessageService::current().showMessage(
                QStringLiteral("An activity's kind is one of: %1.").arg(activityKinds().join(QStringLiteral(", "))));
            throw AbortAction();
        }
    };
    // A new or redated entry takes its place among the newest first.
    d->afterPost = [](Dataset& a) { a.reread(); };
    return d;
}

bool findInLog(Dataset& activities, const QString& text)
{
    const int rows = activities.recordCount();
    if (isBlank(text) || rows == 0)
        return false;
    const int current = std::max(activities.recNo(), 0);
    for (int step = 1; step <= rows; ++step) {
        const int row = (current + step) % rows;
        if (activities.textAt(row, QStringLiteral("Text")).contains(text.trimmed(), Qt::CaseInsensitive)) {
            activities.moveTo(row);
            return true;
        }
    }
    return false;
}

qint64 dueCount(Connection& connection, const QDate& today)
{
    Statement st(connection, QStringLiteral("SELECT count(*) FROM FollowUps WHERE Done = 0 AND Due < :end"));
    st.bind(QStringLiteral(":end"), today.addDays(1).toString(DateFormat));
    st.step();
    return st.int64(0);
}

std::vector<DueRow> readDue(Connection& connection, const QDate& today, int limit, const DueRow* after)
{
    // On the (Done, Due) index: the rows come in order, a page at a time, however many are due.
    Statement st(connection, QStringLiteral(
        "SELECT f.FollowUpID, f.Due, f.Text, f.PersonID, f.SubProjectID, c.Name, p.Name, s.Name\n"
        "FROM FollowUps f\n"
        "LEFT JOIN People p ON p.PersonID = f.PersonID\n"
        "LEFT JOIN SubProjects s ON s.SubProjectID = f.SubProjectID\n"
        "LEFT JOIN Projects j ON j.ProjectID = s.ProjectID\n"
        "LEFT JOIN Companies c ON c.CompanyID = coalesce(p.CompanyID, j.CompanyID)\n"
        "WHERE f.Done = 0 AND f.Due < :end AND (f.Due, f.FollowUpID) > (:afterDue, :afterId)\n"
        "ORDER BY f.Due, f.FollowUpID LIMIT :limit"));
    st.bind(QStringLiteral(":end"), today.addDays(1).toString(DateFormat));
    st.bind(QStringLiteral(":afterDue"), after ? after->dueKey : QString());
    st.bind(QStringLiteral(":afterId"), after ? after->id : qint64(0));
    st.bind(QStringLiteral(":limit"), limit);
    std::vector<DueRow> rows;
    while (st.step()) {
        DueRow r;
        r.id = st.int64(0);
        r.dueKey = st.text(1);
        r.due = QDate::fromString(r.dueKey.left(10), DateFormat);
        r.text = st.text(2);
        r.personId = st.int64(3);
        r.subProjectId = st.int64(4);
        r.company = st.text(5);
        r.person = st.text(6);
        r.subProject = st.text(7);
        rows.push_back(r);
    }
    return rows;
}

bool markDone(Connection& connection, qint64 id)
{
    Statement st(connection, QStringLiteral("UPDATE FollowUps SET Done = 1 WHERE FollowUpID = :id"));
    st.bind(QStringLiteral(":id"), id);
    st.run();
    return connection.changes() > 0;
}

bool moveDue(Connection& connection, qint64 id, int days)
{
    Statement read(connection, QStringLiteral("SELECT Due FROM FollowUps WHERE FollowUpID = :id"));
    read.bind(QStringLiteral(":id"), id);
    if (!read.step())
        return false;
    const QDate due = QDate::fromString(read.text(0).left(10), DateFormat);
    Statement st(connection, QStringLiteral("UPDATE FollowUps SET Due = :due WHERE FollowUpID = :id"));
    st.bind(QStringLiteral(":due"), (due.isValid() ? due : QDate::currentDate()).addDays(days).toString(DateFormat) + QStringLiteral(" 00:00:00"));
    st.bind(QStringLiteral(":id"), id);
    st.run();
    return connection.changes() > 0;
}

} // namespace FollowUps
