#pragma once

#include "toolkit/report/ReportCursor.h"

class Dataset;

// Feeds a shared dataset to the report engine in place: moving the cursor moves the dataset,
// so its details follow and the data module's rules for a change of row run; after the walk
// it stands on its last row. Throws what the dataset throws. GUI thread only.
class DatasetCursor : public ReportCursor
{
public:
    explicit DatasetCursor(Dataset* dataset) : m_dataset(dataset) {}

    void first() override;
    void next() override;
    bool eof() const override;
    bool onLastRow() const override;
    QString text(const QString& field) const override;
    int rowCount() const override;
    QString textAt(int row, const QString& field) const override;
    QVariant valueAt(int row, const QString& field) const override;

private:
    Dataset* m_dataset;
};
