#include "toolkit/widgets/DBCheckBox.h"

#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/FieldLink.h"

DBCheckBox::DBCheckBox(QWidget* parent)
    : QCheckBox(parent), m_link(new FieldLink(this))
{
    setTristate(true);
    connect(m_link, &FieldLink::reload, this, &DBCheckBox::showField);
}

DBCheckBox::DBCheckBox(DataSource* source, const QString& field, const QString& caption, QWidget* parent)
    : DBCheckBox(parent)
{
    setText(caption);
    bind(source, field);
}

void DBCheckBox::bind(DataSource* source, const QString& field)
{
    m_link->bind(source, field);
}

QString DBCheckBox::fieldName() const
{
    return m_link->fieldName();
}

void DBCheckBox::showField()
{
    const QVariant value = m_link->value();
    setCheckState(value.isNull() ? Qt::PartiallyChecked : value.toBool() ? Qt::Checked : Qt::Unchecked);
}

bool DBCheckBox::hitButton(const QPoint& pos) const
{
    return text().isEmpty() ? rect().contains(pos) : QCheckBox::hitButton(pos);
}

void DBCheckBox::nextCheckState()
{
    const bool ticked = checkState() != Qt::Checked;
    guarded([&] {
        if (m_link->edit())
            m_link->writeValue(ticked);
    });
    // The box shows what the row holds, also when the write was refused.
    showField();
}
