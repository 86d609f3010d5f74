#include "data/Pipeline.h"

#include <algorithm>
#include <functional>

#include "data/Catalogue.h"
#include "data/SearchIndex.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"

namespace Pipeline {

namespace {

// Dates are stored as "yyyy-MM-dd HH:mm:ss" (or a date alone); read by hand, as a format
// parse per row would take most of the pipeline's reading time.
QDateTime storedDate(const QString& text)
{
    const auto number = [&](int from, int length, int& value) {
        bool ok = false;
        value = QStringView(text).mid(from, length).toInt(&ok);
        return ok;
    };
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    if (text.size() < 10 || text[4] != QLatin1Char('-') || text[7] != QLatin1Char('-') || !number(0, 4, y)
        || !number(5, 2, mo) || !number(8, 2, d))
        return {};
    const QDate date(y, mo, d);
    if (!date.isValid())
        return {};
    if (text.size() >= 19 && number(11, 2, h) && number(14, 2, mi) && number(17, 2, sec))
        return QDateTime(date, QTime(h, mi, sec));
    return QDateTime(date, QTime(0, 0));
}

// Rows of a table read per range of rowids: some tens of milliseconds each on a large file.
constexpr qint64 RangeRows = 40000;
// A subproject's row is made whole from the maps, which costs more per row.
constexpr qint64 SubProjectRangeRows = 10000;

} // namespace

struct Reader::Latest
{
    QString date;
    qint64 id = 0;
    qint64 statusId = 0;
};

struct Reader::Roles
{
    int people = 0;
    bool decisionMaker = false;
    bool purchaser = false;
    bool gateKeeper = false;
    qint64 weight = 0;
};

struct Reader::Step
{
    QString sql;
    qint64 next = 0;
    qint64 last = 0;
    std::function<void(Statement&)> take;
    qint64 range = RangeRows;
};

Reader::Reader(Connection& connection, const QDate& today)
    : m_connection(connection)
    , m_now(today.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 23:59:59"))
    , m_today(today)
{
    const auto names = [this](const char* sql, std::unordered_map<qint64, QString>& into) {
        Statement st(m_connection, QLatin1String(sql));
        while (st.step())
            into[st.int64(0)] = st.text(1);
    };
    names("SELECT SPStatusID, SPStatusName FROM SubProjectStatus", m_statusNames);
    names("SELECT SPTypeID, SPTypeName FROM SubProjectType", m_typeNames);
    names("SELECT ID, Name FROM SubProjectSize", m_sizeNames);
    // The latest history row up to today wins; on the same date the one entered last. Dates
    // are stored as "yyyy-MM-dd HH:mm:ss", whose text order is their time order.
    const auto history = [this](Statement& st) {
        if (st.isNull(2))
            return;
        const QString date = st.text(2);
        if (date > m_now)
            return;
        Latest& l = m_latest[st.int64(0)];
        const qint64 id = st.int64(3);
        if (l.id == 0 || date > l.date || (date == l.date && id > l.id))
            l = {date, id, st.int64(1)};
    };
    const auto roles = [this](Statement& st) {
        Roles& r = m_roles[st.int64(0)];
        ++r.people;
        r.decisionMaker |= st.int64(1) != 0;
        r.purchaser |= st.int64(2) != 0;
        r.gateKeeper |= st.int64(3) != 0;
        r.weight += st.int64(4);
    };
    m_steps.push_back({QStringLiteral("SELECT SubProjectID, SubProjectStatusID, Date, rowid FROM SubProjectHistory"
                                      " WHERE rowid BETWEEN :from AND :to"), 0, 0, history});
    // The roles a sale cannot close without: the decision maker, the purchaser and the gate keeper.
    const QList<Catalogue::BuyingRole>& role = Catalogue::roles();
    m_steps.push_back({QStringLiteral("SELECT SubProjectID, %1, %2, %3, %4 FROM Business WHERE rowid BETWEEN :from AND :to")
                           .arg(role[0].field, role[3].field, role[4].field, Catalogue::weightField()),
                       0, 0, roles});
    // Names are read front to back into maps rather than joined: a join looks each one up
    // across the file, which costs several times the scan.
    const auto companies = [this](Statement& st) { m_companies[st.int64(0)] = st.text(1); };
    const auto projects = [this](Statement& st) { m_projects[st.int64(0)] = {st.int64(1), st.text(2)}; };
    m_steps.push_back({QStringLiteral("SELECT CompanyID, Name FROM Companies WHERE rowid BETWEEN :from AND :to"), 0, 0,
                       companies});
    m_steps.push_back({QStringLiteral("SELECT ProjectID, CompanyID, Name FROM Projects WHERE rowid BETWEEN :from AND :to"),
                       0, 0, projects});
    m_steps.push_back({QStringLiteral("SELECT SubProjectID, ProjectID, Name, SubProjectTypeID, SizeID FROM SubProjects"
                                      " WHERE rowid BETWEEN :from AND :to ORDER BY rowid"), 0, 0, {}, SubProjectRangeRows});
    const char* const tables[] = {"SubProjectHistory", "Business", "Companies", "Projects", "SubProjects"};
    for (size_t i = 0; i < m_steps.size(); ++i) {
        Statement bounds(m_connection, QStringLiteral("SELECT min(rowid), max(rowid) FROM %1").arg(QLatin1String(tables[i])));
        bounds.step();
        m_steps[i].next = bounds.isNull(0) ? 1 : bounds.int64(0);
        m_steps[i].last = bounds.isNull(1) ? 0 : bounds.int64(1);
    }
}

Reader::~Reader() = default;

QString Reader::nameOf(const std::unordered_map<qint64, QString>& names, qint64 id)
{
    const auto it = names.find(id);
    return it == names.end() ? QString() : it->second;
}

int Reader::progress() const
{
    double total = 0, done = 0;
    for (const Step& s : m_steps) {
        total += double(s.last);
        done += double(std::min(s.next - 1, s.last));
    }
    return total <= 0 ? 1000 : int(1000.0 * done / total);
}

bool Reader::readSome(std::vector<Row>& rows)
{
    while (m_step < m_steps.size() && m_steps[m_step].next > m_steps[m_step].last)
        ++m_step;
    if (m_step == m_steps.size())
        return true;
    Step& step = m_steps[m_step];
    Statement st(m_connection, step.sql);
    st.bind(QStringLiteral(":from"), step.next);
    st.bind(QStringLiteral(":to"), step.next + step.range - 1);
    step.next += step.range;
    if (step.take) {
        while (st.step())
            step.take(st);
        return false;
    }
    while (st.step()) {
        Row r;
        r.subProjectId = st.int64(0);
        r.projectId = st.int64(1);
        r.subProject = st.text(2);
        r.typeId = st.int64(3);
        r.sizeId = st.int64(4);
        if (const auto p = m_projects.find(r.projectId); p != m_projects.end()) {
            r.companyId = p->second.first;
            r.project = p->second.second;
            r.company = nameOf(m_companies, r.companyId);
        }
        r.type = nameOf(m_typeNames, r.typeId);
        r.size = nameOf(m_sizeNames, r.sizeId);
        if (const auto l = m_latest.find(r.subProjectId); l != m_latest.end()) {
            r.statusId = l->second.statusId;
            r.status = nameOf(m_statusNames, r.statusId);
            r.since = storedDate(l->second.date).date();
            r.days = r.since.isValid() ? int(r.since.daysTo(m_today)) : -1;
        }
        if (const auto g = m_roles.find(r.subProjectId); g != m_roles.end()) {
            r.people = g->second.people;
            r.decisionMaker = g->second.decisionMaker;
            r.purchaser = g->second.purchaser;
            r.gateKeeper = g->second.gateKeeper;
            r.weight = g->second.weight;
        }
        rows.push_back(std::move(r));
    }
    return false;
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
    // Without the locale's collation, which is too slow for hundreds of thousands of rows.
    switch (column) {
    case Size: return cmp(a.sizeId, b.sizeId);
    case Status: return cmp(a.statusId, b.statusId);
    case Since: return cmp(a.since.isValid() ? a.since.toJulianDay() : 0, b.since.isValid() ? b.since.toJulianDay() : 0);
    case Days: return cmp(a.days, b.days);
    case People: return cmp(a.people, b.people);
    case DecisionMaker: return cmp(a.decisionMaker, b.decisionMaker);
    case Purchaser: return cmp(a.purchaser, b.purchaser);
    case GateKeeper: return cmp(a.gateKeeper, b.gateKeeper);
    case Weight: return cmp(a.weight, b.weight);
    default: break;
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
    const QString Row::*text = sortColumn == Company ? &Row::company : sortColumn == Project ? &Row::project
        : sortColumn == SubProject ? &Row::subProject : sortColumn == Type ? &Row::type : nullptr;
    if (text) {
        // Texts compare folded once each, without case or accents, rather than in every comparison.
        std::vector<std::string> keys(rows.size());
        for (int i : shown)
            keys[size_t(i)] = SearchIndex::fold(rows[size_t(i)].*text);
        std::stable_sort(shown.begin(), shown.end(), [&](int a, int b) {
            return descending ? keys[size_t(b)] < keys[size_t(a)] : keys[size_t(a)] < keys[size_t(b)];
        });
        return shown;
    }
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

#include "data/contacts/ContactParts.h"

namespace Pipeline {

namespace {

// Names are the user's text: one starting like a formula is guarded as the contacts export does,
// so a spreadsheet shows it rather than running it.
QByteArray csvField(const QString& cell)
{
    const QString text = Contacts::csvGuarded(cell);
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
