#include "toolkit/widgets/DBText.h"

#include "toolkit/widgets/FieldLink.h"

DBText::DBText(QWidget* parent)
    : QLabel(parent), m_link(new FieldLink(this))
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(m_link, &FieldLink::reload, this, [this] { setText(m_link->text()); });
}

DBText::DBText(DataSource* source, const QString& field, QWidget* parent)
    : DBText(parent)
{
    bind(source, field);
}

void DBText::bind(DataSource* source, const QString& field)
{
    m_link->bind(source, field);
}

QString DBText::fieldName() const
{
    return m_link->fieldName();
}

void DBText::setBold(bool bold)
{
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}
