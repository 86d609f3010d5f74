#include "ui/main/DueModel.h"

#include "toolkit/dialogs/ActionGuard.h"

namespace {

constexpr int PageRows = 200;

} // namespace

DueModel::DueModel(Connection& connection, const QDate& today, QObject* parent)
    : QAbstractTableModel(parent)
    , m_connection(connection)
    , m_today(today)
{
}

void DueModel::reload(int rows)
{
    beginResetModel();
    m_rows.clear();
    m_total = 0;
    endResetModel();
    m_total = FollowUps::dueCount(m_connection, m_today);
    auto first = FollowUps::readDue(m_connection, m_today, std::max(rows, PageRows));
    if (first.empty())
        return;
    beginInsertRows({}, 0, int(first.size()) - 1);
    m_rows = std::move(first);
    endInsertRows();
}

int DueModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DueModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const FollowUps::DueRow& r = m_rows[size_t(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == DaysLate)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    // A cell too narrow for its text shows all of it in its tip.
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Due: return r.due.toString(QStringLiteral("yyyy-MM-dd"));
    case Company: return r.company;
    case Person: return r.person;
    case SubProject: return r.subProject;
    case Text: return r.text;
    case DaysLate: return r.daysLate(m_today);
    }
    return {};
}

QVariant DueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[] = {"Due", "Company", "Client", "Subproject", "Follow-up", "Days late"};
    return QLatin1String(titles[section]);
}

bool DueModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && qint64(m_rows.size()) < m_total;
}

void DueModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() || m_rows.empty())
        return;
    std::vector<FollowUps::DueRow> more;
    // Asked by the view while it paints: an error is shown, not thrown through Qt.
    guarded([&] { more = FollowUps::readDue(m_connection, m_today, PageRows, &m_rows.back()); });
    if (more.empty()) {
        // Fewer than counted: some were done elsewhere since.
        m_total = qint64(m_rows.size());
        return;
    }
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + more.size()) - 1);
    m_rows.insert(m_rows.end(), more.begin(), more.end());
    endInsertRows();
}
