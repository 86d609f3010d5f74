#pragma once

#include <vector>

#include <QDate>
#include <QString>
#include <QStringList>

class Connection;
class DataSource;
class Dataset;
class QObject;

// Follow-ups (dated next steps about a person or a subproject) and the activity log (dated
// calls, meetings, mails and notes): the datasets the pages and windows show them in, with
// their rules, and the due list. Functions throw StoreError; GUI thread only.
namespace FollowUps {

// The kinds an activity can be, in the order offered.
QStringList activityKinds();
// How many characters an activity's text can hold; a longer paste is cut in view.
constexpr int ActivityTextLimit = 4000;

// The fixed list of kinds, for the activity datasets' lookup. Opened with the connection given.
Dataset* makeActivityKinds(Connection* connection, const QString& name, QObject* parent);
// The follow-ups of master's current row, linked on linkField (PersonID or SubProjectID),
// by due date. A new one is due today and open; a blank text or date is refused.
Dataset* makeFollowUps(Connection* connection, DataSource* master, const QString& linkField, const QString& name,
                       QObject* parent);
// The activities of master's current row, linked on linkField, newest first. A new one is a
// call dated now; its kind is one of activityKinds().
Dataset* makeActivities(Connection* connection, DataSource* master, const QString& linkField, Dataset* kinds,
                        const QString& name, QObject* parent);

// Moves activities to the next entry after the current one, round to the first, whose text
// holds text without regard to case; the current one is looked at last. false, moving nothing,
// when none does or text is blank.
bool findInLog(Dataset& activities, const QString& text);

// One open follow-up due by the day asked for, with what it is about.
struct DueRow
{
    qint64 id = 0;
    QDate due;
    // The date as stored, where the next page of the list starts.
    QString dueKey;
    QString text;
    qint64 personId = 0;
    qint64 subProjectId = 0;
    QString company;
    QString person;
    QString subProject;

    int daysLate(const QDate& today) const { return int(due.daysTo(today)); }
};

// How many open follow-ups are due on today or before.
qint64 dueCount(Connection& connection, const QDate& today);
// Up to limit open follow-ups due on today or before, oldest first, after the row after
// (none: from the first).
std::vector<DueRow> readDue(Connection& connection, const QDate& today, int limit, const DueRow* after = nullptr);
// Marks the follow-up done; false when the file no longer holds it.
bool markDone(Connection& connection, qint64 id);
// Moves the follow-up's due date by days; false when the file no longer holds it.
bool moveDue(Connection& connection, qint64 id, int days);

} // namespace FollowUps
