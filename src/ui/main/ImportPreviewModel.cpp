#include "ui/main/ImportPreviewModel.h"

#include <QColor>

using namespace Contacts;

namespace {

QString actionText(const ImportPlan& plan, int row)
{
    const ImportPlan::Row& r = plan.rows()[row];
    if (!plan.writes(row))
        return r.action == ImportPlan::Action::Skip ? QStringLiteral("Skip") : QStringLiteral("Skip (too long)");
    return r.action == ImportPlan::Action::UpdateEmpty ? QStringLiteral("Update empty fields")
                                                       : QStringLiteral("Add");
}

QString statusText(const ImportPlan& plan, int row)
{
    const ImportPlan::Row& r = plan.rows()[row];
    if (r.isCompanyCard())
        return QStringLiteral("Company card");
    if (r.storedDuplicate)
        return QStringLiteral("Duplicate of \"%1\"").arg(plan.duplicateName(row));
    if (r.fileDuplicate >= 0)
        return QStringLiteral("Duplicate of \"%1\" in the file").arg(plan.duplicateName(row));
    return QStringLiteral("New");
}

} // namespace

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_plan.rows().size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NotesColumn + 1;
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    const ImportPlan::Row& r = m_plan.rows()[index.row()];
    const int column = index.column();
    const int field = column - FirstFieldColumn;
    if (role == Qt::DisplayRole) {
        switch (column) {
        case LineColumn: return m_plan.contact(index.row()).line;
        case StatusColumn: return statusText(m_plan, index.row());
        case ActionColumn: return actionText(m_plan, index.row());
        case NotesColumn: return m_plan.written(index.row()).notes.join(QLatin1String("; "));
        default: {
            // One line per cell; the tooltip shows the whole value.
            QString v = m_plan.contact(index.row()).values[field];
            return v.replace(QLatin1Char('\n'), QLatin1String(" / "));
        }
        }
    }
    if (role == Qt::ToolTipRole && column == NotesColumn) {
        const QStringList notes = m_plan.written(index.row()).notes;
        return notes.isEmpty() ? QVariant() : QVariant(notes.join(QLatin1Char('\n')));
    }
    if (role == Qt::ToolTipRole && field >= 0) {
        const QString v = m_plan.contact(index.row()).values[field];
        if (r.isTooLong(Field(field)))
            return QStringLiteral("%1 characters; the field takes %2.\n%3").arg(v.size()).arg(width(Field(field))).arg(v);
        return v.isEmpty() ? QVariant() : QVariant(v);
    }
    if (role == Qt::BackgroundRole) {
        if (field >= 0 && r.isTooLong(Field(field)))
            return QColor(255, 200, 200);
        if (column == StatusColumn && (r.isDuplicate() || r.isCompanyCard()))
            return QColor(255, 236, 179);
    }
    return {};
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case LineColumn: return QStringLiteral("Line");
    case StatusColumn: return QStringLiteral("Status");
    case ActionColumn: return QStringLiteral("Action");
    case NotesColumn: return QStringLiteral("Notes");
    default: return caption(Field(section - FirstFieldColumn));
    }
}

void ImportPreviewModel::planChanged()
{
    if (!m_plan.rows().empty()) {
        emit dataChanged(index(0, ActionColumn), index(rowCount() - 1, ActionColumn));
        emit dataChanged(index(0, NotesColumn), index(rowCount() - 1, NotesColumn));
    }
}
