#include "toolkit/db/DataSource.h"

#include "toolkit/db/Dataset.h"

DataSource::DataSource(Dataset* dataset, QObject* parent)
    : QObject(parent)
{
    setDataset(dataset);
}

Dataset* DataSource::dataset() const
{
    return m_dataset;
}

void DataSource::setDataset(Dataset* dataset)
{
    for (auto& link : m_links)
        disconnect(link);
    m_dataset = dataset;
    if (!dataset)
        return;
    m_links[0] = connect(dataset, &Dataset::dataChanged, this, &DataSource::dataChanged);
    m_links[1] = connect(dataset, &Dataset::recordChanged, this, &DataSource::recordChanged);
    m_links[2] = connect(dataset, &Dataset::stateChanged, this, &DataSource::stateChanged);
    m_links[3] = connect(dataset, &Dataset::updateRecordRequested, this, &DataSource::updateRecordRequested);
}

bool DataSource::edit()
{
    if (!m_dataset || !m_dataset->isActive())
        return false;
    if (m_dataset->isEditing())
        return true;
    m_dataset->edit();
    return m_dataset->isEditing();
}
