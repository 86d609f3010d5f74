#include "data/Pipeline.h"

#include <algorithm>

#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"

namespace Pipeline {

namespace {

const QString StoredDateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QDateTime storedDate(const QString& text)
{
    QDateTime dt = QDateTime::fromString(text, StoredDateTime);
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    return dt.date().isValid() ? dt : QDateTime();
}

// The latest history row up to now wins; on the same date the one entered last, the padded id
// breaking the tie inside one max() whose row gives the status (SQLite's bare columns).
const char* const RangeSql =
    "WITH cur AS (SELECT SubProjectID, SubProjectStatusID AS StatusID, Date,"
    "   max(Date || '#' || substr('0000000000000000' || ID, -16)) FROM SubProjectHistory"
    "   WHERE SubProjectID BETWEEN :from AND :to AND Date IS NOT NULL AND Date <= :now GROUP BY SubProjectID),"
    " roles AS (SELECT SubProjectID, count(DISTINCT PersonID) AS People, max(SPDecisionMaker <> 0) AS DM,"
    "   max(SPPurchaser <> 0) AS PU, max(SPGateKeeper <> 0) AS GK, sum(SPWeight) AS Weight FROM Business"
    "   WHERE SubProjectID BETWEEN :from AND :to GROUP BY SubProjectID)"
    " SELECT s.SubProjectID, s.ProjectID, p.CompanyID, c.Name, p.Name, s.Name, s.SubProjectTypeID, t.SPTypeName,"
    "  s.SizeID, z.Name, cur.StatusID, st.SPStatusName, cur.Date, roles.People, roles.DM, roles.PU, roles.GK,"
    "  roles.Weight"
    " FROM SubProjects s LEFT JOIN Projects p ON p.ProjectID = s.ProjectID"
    " LEFT JOIN Companies c ON c.CompanyID = p.CompanyID"
    " LEFT JOIN SubProjectType t ON t.SPTypeID = s.SubProjectTypeID"
    " LEFT JOIN SubProjectSize z ON z.ID = s.SizeID"
    " LEFT JOIN cur ON cur.SubProjectID = s.SubProjectID"
    " LEFT JOIN SubProjectStatus st ON st.SPStatusID = cur.StatusID"
    " LEFT JOIN roles ON roles.SubProjectID = s.SubProjectID"
    " WHERE s.SubProjectID BETWEEN :from AND :to ORDER BY s.SubProjectID";

} // namespace

Reader::Reader(Connection& connection, const QDate& today)
    : m_connection(connection)
    , m_now(today.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 23:59:59"))
    , m_today(today)
{
    Statement bounds(m_connection, QStringLiteral("SELECT min(SubProjectID), max(SubProjectID) FROM SubProjects"));
    bounds.step();
    m_first = m_next = bounds.isNull(0) ? 1 : bounds.int64(0);
    m_last = bounds.isNull(1) ? 0 : bounds.int64(1);
}

int Reader::progress() const
{
    if (m_next > m_last)
        return 1000;
    return int(1000.0 * double(m_next - m_first) / double(m_last - m_first + 1));
}

bool Reader::readSome(std::vector<Row>& rows, qint64 ids)
{
    if (m_next > m_last)
        return true;
    const qint64 to = m_next + ids - 1;
    Statement st(m_connection, QLatin1String(RangeSql));
    st.bind(QStringLiteral(":from"), m_next);
    st.bind(QStringLiteral(":to"), to);
    st.bind(QStringLiteral(":now"), m_now);
    while (st.step()) {
        Row r;
        r.subProjectId = st.int64(0);
        r.projectId = st.int64(1);
        r.companyId = st.int64(2);
        r.company = st.text(3);
        r.project = st.text(4);
        r.subProject = st.text(5);
        r.typeId = st.int64(6);
        r.type = st.text(7);
        r.sizeId = st.int64(8);
        r.size = st.text(9);
        if (!st.isNull(10)) {
            r.statusId = st.int64(10);
            r.status = st.text(11);
            r.since = storedDate(st.text(12)).date();
            r.days = r.since.isValid() ? int(r.since.daysTo(m_today)) : -1;
        }
        r.people = int(st.int64(13));
        r.decisionMaker = st.int64(14) != 0;
        r.purchaser = st.int64(15) != 0;
        r.gateKeeper = st.int64(16) != 0;
        r.weight = st.int64(17);
        rows.push_back(std::move(r));
    }
    m_next = to + 1;
    return m_next > m_last;
}

bool Filter::accepts(const Row& row) const
{
    return (!statusId || row.statusId == *statusId) && (!sizeId || row.sizeId == *sizeId)
        && (!typeId || row.typeId == *typeId) && (!noDecisionMaker || !row.decisionMaker);
}

namespace {

int compareRows(const Row& a, const Row& b, Column column)
{
    const auto cmp = [](const auto& x, const auto& y) { return x < y ? -1 : y < x ? 1 : 0; };
    const auto text = [](const QString& x, const QString& y) { return x.localeAwareCompare(y); };
    switch (column) {
    case Company: return text(a.company, b.company);
    case Project: return text(a.project, b.project);
    case SubProject: return text(a.subProject, b.subProject);
    case Type: return text(a.type, b.type);
    case Size: return cmp(a.sizeId, b.sizeId);
    case Status: return cmp(a.statusId, b.statusId);
    case Since: return cmp(a.since.isValid() ? a.since.toJulianDay() : 0, b.since.isValid() ? b.since.toJulianDay() : 0);
    case Days: return cmp(a.days, b.days);
    case People: return cmp(a.people, b.people);
    case DecisionMaker: return cmp(a.decisionMaker, b.decisionMaker);
    case Purchaser: return cmp(a.purchaser, b.purchaser);
    case GateKeeper: return cmp(a.gateKeeper, b.gateKeeper);
    case Weight: return cmp(a.weight, b.weight);
    case ColumnCount: break;
    }
    return 0;
}

} // namespace

std::vector<int> shownRows(const std::vector<Row>& rows, const Filter& filter, Column sortColumn, bool descending)
{
    std::vector<int> shown;
    shown.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        if (filter.accepts(rows[i]))
            shown.push_back(int(i));
    // Equal cells keep the subprojects in id order, whichever way the column is sorted.
    std::stable_sort(shown.begin(), shown.end(), [&](int a, int b) {
        const int c = compareRows(rows[size_t(a)], rows[size_t(b)], sortColumn);
        return descending ? c > 0 : c < 0;
    });
    return shown;
}

std::vector<StatusTime> timeInStatus(std::vector<HistoryRow> history, const QDate& today)
{
    history.erase(std::remove_if(history.begin(), history.end(),
                                 [&](const HistoryRow& h) { return !h.date.isValid() || h.date.date() > today; }),
                  history.end());
    std::stable_sort(history.begin(), history.end(), [](const HistoryRow& a, const HistoryRow& b) {
        return a.date != b.date ? a.date < b.date : a.id < b.id;
    });
    std::vector<StatusTime> times;
    for (size_t i = 0; i < history.size(); ++i) {
        const HistoryRow& h = history[i];
        const QDate until = i + 1 < history.size() ? history[i + 1].date.date() : today;
        auto it = std::find_if(times.begin(), times.end(), [&](const StatusTime& t) { return t.statusId == h.statusId; });
        if (it == times.end()) {
            times.push_back({h.statusId, h.status, h.date.date(), 0});
            it = times.end() - 1;
        }
        it->days += int(h.date.date().daysTo(until));
    }
    return times;
}

std::vector<HistoryRow> readHistory(Connection& connection, qint64 subProjectId)
{
    Statement st(connection, QStringLiteral("SELECT h.ID, h.SubProjectStatusID, s.SPStatusName, h.Date FROM SubProjectHistory h"
                                            " LEFT JOIN SubProjectStatus s ON s.SPStatusID = h.SubProjectStatusID"
                                            " WHERE h.SubProjectID = :id"));
    st.bind(QStringLiteral(":id"), subProjectId);
    std::vector<HistoryRow> rows;
    while (st.step())
        rows.push_back({st.int64(0), st.int64(1), st.text(2), st.isNull(3) ? QDateTime() : storedDate(st.text(3))});
    return rows;
}

QString columnTitle(Column column)
{
    static const char* const titles[] = {"Company", "Project", "Subproject", "Type", "Size", "Status", "Since",
                                         "Days", "People", "Decision maker", "Purchaser", "Gate keeper", "Weight"};
    return QLatin1String(titles[column]);
}

QString cellText(const Row& row, Column column)
{
    const auto yes = [](bool on) { return on ? QStringLiteral("Yes") : QStringLiteral("No"); };
    switch (column) {
    case Company: return row.company;
    case Project: return row.project;
    case SubProject: return row.subProject;
    case Type: return row.type;
    case Size: return row.size;
    case Status: return row.status;
    case Since: return row.since.isValid() ? row.since.toString(QStringLiteral("yyyy-MM-dd")) : QString();
    case Days: return row.days < 0 ? QString() : QString::number(row.days);
    case People: return QString::number(row.people);
    case DecisionMaker: return yes(row.decisionMaker);
    case Purchaser: return yes(row.purchaser);
    case GateKeeper: return yes(row.gateKeeper);
    case Weight: return QString::number(row.weight);
    case ColumnCount: break;
    }
    return {};
}

}

#include <stdexcept>

#include <QSaveFile>

namespace Pipeline {

namespace {

QByteArray csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text.toUtf8();
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

} // namespace

void writeCsv(const QString& path, const std::vector<Row>& rows, const std::vector<int>& shown)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()).toStdString());
    const auto line = [&](const auto& cell) {
        QByteArray out;
        for (int c = 0; c < ColumnCount; ++c) {
            if (c > 0)
                out += ',';
            out += csvField(cell(Column(c)));
        }
        out += "\r\n";
        file.write(out);
    };
    line([](Column c) { return columnTitle(c); });
    for (int index : shown)
        line([&](Column c) { return cellText(rows[size_t(index)], c); });
    if (!file.commit())
        throw std::runtime_error(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()).toStdString());
}

}
