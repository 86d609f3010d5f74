#include "toolkit/widgets/FieldLink.h"

#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"

FieldLink::FieldLink(QObject* parent)
    : QObject(parent)
{
}

void FieldLink::bind(DataSource* source, const QString& field)
{
    for (auto& link : m_links)
        disconnect(link);
    m_source = source;
    m_field = field;
    if (source) {
        m_links[0] = connect(source, &DataSource::dataChanged, this, &FieldLink::reset);
        m_links[1] = connect(source, &DataSource::recordChanged, this, &FieldLink::fieldChanged);
        m_links[2] = connect(source, &DataSource::stateChanged, this, &FieldLink::stateChanged);
        m_links[3] = connect(source, &DataSource::updateRecordRequested, this, &FieldLink::requestUpdate);
    }
    reset();
}

Dataset* FieldLink::dataset() const
{
    Dataset* ds = m_source ? m_source->dataset() : nullptr;
    return ds && ds->isActive() && ds->hasField(m_field) ? ds : nullptr;
}

const FieldDef* FieldLink::field() const
{
    Dataset* ds = dataset();
    return ds ? &ds->field(m_field) : nullptr;
}

bool FieldLink::isEditing() const
{
    Dataset* ds = dataset();
    return ds && ds->isEditing();
}

QString FieldLink::text() const
{
    Dataset* ds = dataset();
    return ds ? ds->text(m_field) : QString();
}

QVariant FieldLink::value() const
{
    Dataset* ds = dataset();
    return ds ? ds->value(m_field) : QVariant();
}

bool FieldLink::edit()
{
    if (!m_source || !m_source->dataset() || !m_source->dataset()->isActive())
        return false;
    const FieldDef& def = m_source->dataset()->field(m_field);
    if (def.readOnly || m_source->dataset()->isReadOnly())
        return false;
    return m_source->edit();
}

void FieldLink::writeText(const QString& text)
{
    if (Dataset* ds = dataset()) {
        ds->setText(m_field, text);
        m_modified = false;
    }
}

void FieldLink::writeValue(const QVariant& value)
{
    if (Dataset* ds = dataset()) {
        ds->setValue(m_field, value);
        m_modified = false;
    }
}

void FieldLink::reset()
{
    m_modified = false;
    emit reload();
}

void FieldLink::fieldChanged(const QString& name)
{
    // A lookup follows its key field, which may be written under its own name.
    const FieldDef* def = field();
    if (name.isEmpty() || name.compare(m_field, Qt::CaseInsensitive) == 0 || (def && def->isLookup))
        reset();
}

void FieldLink::requestUpdate()
{
    if (m_modified)
        emit updateData();
}
