// A dataset's configuration and its links: master, details, dependents and lookup users.
#include "toolkit/db/Dataset.h"

#include <algorithm>

#include "toolkit/db/DataSource.h"
#include "toolkit/db/FieldValues.h"
#include "toolkit/db/Snapshot.h"

namespace {

QString paramKey(const QString& name)
{
    QString key = name.toLower();
    if (key.startsWith(u':'))
        key.remove(0, 1);
    return key;
}

} // namespace

Dataset::Dataset(Connection* connection, const QString& name, QObject* parent)
    : QObject(parent), m_connection(connection), m_name(name)
{
    setObjectName(name);
}

Dataset::~Dataset()
{
    if (Dataset* m = master())
        std::erase(m->m_details, this);
    for (Dataset* d : m_details)
        d->m_master = nullptr;
}

void Dataset::setTableName(const QString& table)
{
    m_table = table;
    m_sql.clear();
}

void Dataset::setSql(const QString& sql, const QString& updateTable, const QString& keyColumn)
{
    m_sql = sql;
    m_table = updateTable;
    m_keyColumn = keyColumn;
}

void Dataset::setParam(const QString& name, const QVariant& value)
{
    m_params.insert(paramKey(name), value);
}

QVariant Dataset::param(const QString& name) const
{
    return m_params.value(paramKey(name));
}

void Dataset::setOrderBy(const QStringList& columns)
{
    m_order = columns;
    if (!m_detailField.isEmpty() && (m_order.isEmpty() || m_order.first().compare(m_detailField, Qt::CaseInsensitive) != 0))
        m_order.prepend(m_detailField);
}

void Dataset::addField(const FieldDef& field)
{
    m_fields.push_back(field);
    m_declared = true;
    if (field.isLookup && field.lookupDataset)
        field.lookupDataset->m_lookupUsers.emplace_back(this);
}

void Dataset::setMasterSource(DataSource* master, const QString& masterField, const QString& detailField)
{
    if (Dataset* old = this->master())
        std::erase(old->m_details, this);
    m_master = master ? master->dataset() : nullptr;
    m_masterField = masterField;
    m_detailField = detailField;
    if (Dataset* m = this->master())
        m->m_details.push_back(this);
    setOrderBy(m_order);
}

void Dataset::addDependent(Dataset* dataset)
{
    if (dataset && dataset != this && std::find(m_dependents.begin(), m_dependents.end(), dataset) == m_dependents.end())
        m_dependents.emplace_back(dataset);
}

QList<Dataset*> Dataset::followers() const
{
    QList<Dataset*> chain{const_cast<Dataset*>(this)};
    for (int i = 0; i < chain.size(); ++i)
        for (Dataset* d : chain[i]->m_details)
            if (!chain.contains(d))
                chain.append(d);
    QList<Dataset*> all = chain;
    for (Dataset* d : chain)
        for (const QPointer<Dataset>& user : d->m_lookupUsers)
            if (user && !all.contains(user.data()))
                all.append(user.data());
    return all;
}

bool Dataset::changePending() const
{
    for (Dataset* d : followers()) {
        if (d->isEditing())
            return true;
        for (const QPointer<Dataset>& dependent : d->m_dependents)
            if (dependent && dependent->isEditing())
                return true;
    }
    return false;
}

void Dataset::enableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0) {
        emit stateChanged();
        emit dataChanged();
    }
}

QVariant Dataset::masterValue() const
{
    Dataset* m = master();
    if (!m || !m->isActive() || m->isEmpty())
        return {};
    const int f = m->fieldIndex(m_masterField);
    if (f < 0)
        return {};
    return m->fieldValueAt(m->m_rows[size_t(m->m_cur)], f, true);
}

// Details follow a change of their link value in the row being edited, not only once it is
// saved; the others are left alone, pending changes included.
void Dataset::followChangedLinks()
{
    const std::vector<Dataset*> details = m_details;
    for (Dataset* d : details)
        if (d->isActive() && !(d->m_restricted && sameValue(d->masterValue(), d->m_restriction)))
            d->followMaster();
}

void Dataset::notifyDetails()
{
    const std::vector<Dataset*> details = m_details;
    for (Dataset* d : details)
        d->followMaster();
}
