#include "toolkit/widgets/FieldLink.h"

#include <QEvent>
#include <QWidget>

#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/dialogs/ActionGuard.h"

FieldLink::FieldLink(QObject* parent)
    : QObject(parent)
{
    if (parent)
        parent->installEventFilter(this);
}

bool FieldLink::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Show)
        checkField();
    return false;
}

// A misnamed field shows when its page opens, not at the first keystroke into it.
void FieldLink::checkField()
{
    auto* control = qobject_cast<QWidget*>(parent());
    if (m_checked || !control || !control->isVisible())
        return;
    Dataset* ds = m_source ? m_source->dataset() : nullptr;
    if (!ds || !ds->isActive() || m_field.isEmpty())
        return;
    m_checked = true;
    if (!ds->hasField(m_field))
        guarded([&] { throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(ds->name(), m_field)); });
}

void FieldLink::bind(DataSource* source, const QString& field)
{
    for (auto& link : m_links)
        disconnect(link);
    m_source = source;
    m_field = field;
    m_checked = false;
    if (source) {
        m_links[0] = connect(source, &DataSource::dataChanged, this, &FieldLink::reset);
        m_links[1] = connect(source, &DataSource::recordChanged, this, &FieldLink::fieldChanged);
        m_links[2] = connect(source, &DataSource::stateChanged, this, [this] {
            checkField();
            emit stateChanged();
        });
        m_links[3] = connect(source, &DataSource::updateRecordRequested, this, &FieldLink::requestUpdate);
    }
    reset();
    checkField();
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
