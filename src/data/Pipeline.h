#pragma once

#include <optional>
#include <unordered_map>
#include <vector>

#include <QDateTime>
#include <QString>

class Connection;

// Where each subproject's sale stands: its current status (the latest history row dated up to
// today; rows on the same date count in the order they were entered, rows dated after today
// are not reached yet and rows without a date are left out), since when and how long, and who
// takes part in its buying decision. Read a range of rows at a time, so a window shows
// progress between ranges. Reads throw StoreError. GUI thread only.
namespace Pipeline {

struct Row
{
    qint64 subProjectId = 0;
    qint64 projectId = 0;
    qint64 companyId = 0;
    QString company;
    QString project;
    QString subProject;
    qint64 typeId = 0;
    QString type;
    qint64 sizeId = 0;
    QString size;
    // 0 with no status reached.
    qint64 statusId = 0;
    QString status;
    QDate since;
    // -1 with no status reached.
    int days = -1;
    int people = 0;
    bool decisionMaker = false;
    bool purchaser = false;
    bool gateKeeper = false;
    qint64 weight = 0;
};

enum Column { Company, Project, SubProject, Type, Size, Status, Since, Days, People, DecisionMaker, Purchaser,
              GateKeeper, Weight, ColumnCount };

class Reader
{
public:
    // Throws StoreError.
    Reader(Connection& connection, const QDate& today);
    ~Reader();
    // Reads the next slice into rows; true when every subproject is read.
    bool readSome(std::vector<Row>& rows);
    // How far the reading is, from 0 to 1000.
    int progress() const;

private:
    struct Latest;
    struct Roles;
    struct Step;
    static QString nameOf(const std::unordered_map<qint64, QString>& names, qint64 id);

    Connection& m_connection;
    QString m_now;
    QDate m_today;
    // The history, the buying roles, the companies and projects, then the subprojects, each read in rowid order a range
    // at a time, which reads the file front to back.
    std::vector<Step> m_steps;
    size_t m_step = 0;
    std::unordered_map<qint64, Latest> m_latest;
    std::unordered_map<qint64, Roles> m_roles;
    std::unordered_map<qint64, QString> m_statusNames, m_typeNames, m_sizeNames, m_companies;
    // A project's company and name.
    std::unordered_map<qint64, std::pair<qint64, QString>> m_projects;
};

// The rows shown: filters on status, size, type and a missing decision maker, in a chosen
// order; indexes into the rows given.
struct Filter
{
    std::optional<qint64> statusId;
    std::optional<qint64> sizeId;
    std::optional<qint64> typeId;
    bool noDecisionMaker = false;

    bool accepts(const Row& row) const;
};
std::vector<int> shownRows(const std::vector<Row>& rows, const Filter& filter, Column sortColumn, bool descending);

// One status's time, in the order the statuses were first reached.
struct StatusTime
{
    qint64 statusId = 0;
    QString status;
    QDate firstReached;
    int days = 0;
};
struct HistoryRow
{
    qint64 id = 0;
    qint64 statusId = 0;
    QString status;
    // Invalid when the row has no date.
    QDateTime date;
};
// Each status holds from its row's date to the next row's date, the last one until today.
std::vector<StatusTime> timeInStatus(std::vector<HistoryRow> history, const QDate& today);
std::vector<HistoryRow> readHistory(Connection& connection, qint64 subProjectId);

QString columnTitle(Column column);
// A cell as shown and as written to CSV.
QString cellText(const Row& row, Column column);

}

namespace Pipeline {
// Writes the rows shown, in their order, with a title line, as CSV (UTF-8, fields quoted where
// they hold a comma, a quote or a line break). The file appears whole or not at all; throws
// std::runtime_error saying why it could not be written.
void writeCsv(const QString& path, const std::vector<Row>& rows, const std::vector<int>& shown);
}
