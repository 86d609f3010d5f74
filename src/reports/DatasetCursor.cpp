#include "reports/DatasetCursor.h"

#include "toolkit/db/Dataset.h"

void DatasetCursor::first()
{
    m_dataset->first();
}

void DatasetCursor::next()
{
    m_dataset->next();
}

bool DatasetCursor::eof() const
{
    return m_dataset->eof();
}

bool DatasetCursor::onLastRow() const
{
    return !m_dataset->eof() && m_dataset->recNo() == m_dataset->recordCount() - 1;
}

QString DatasetCursor::text(const QString& field) const
{
    return m_dataset->wholeText(field);
}

int DatasetCursor::rowCount() const
{
    return m_dataset->recordCount();
}

QString DatasetCursor::textAt(int row, const QString& field) const
{
    return m_dataset->wholeTextAt(row, field);
}

QVariant DatasetCursor::valueAt(int row, const QString& field) const
{
    return m_dataset->valueAt(row, field);
}
