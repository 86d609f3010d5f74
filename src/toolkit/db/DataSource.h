#pragma once

#include <QObject>
#include <QPointer>

class Dataset;

// Connects data-aware controls to a dataset: passes the current row and its changes on,
// asks controls to hand over their edits before a post, and puts the dataset into editing
// when a control starts to change a value. GUI thread only.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(Dataset* dataset = nullptr, QObject* parent = nullptr);

    Dataset* dataset() const;
    void setDataset(Dataset* dataset);

    // Puts a browsing dataset into editing. true when it is now editing
    // or inserting. Throws what the dataset throws.
    bool edit();

signals:
    // The rows or the current row were replaced: open, close, move, refresh, insert, delete.
    void dataChanged();
    // A value of the current row changed; empty name: several.
    void recordChanged(const QString& field);
    void stateChanged();
    // Controls write their pending text into the current row now.
    void updateRecordRequested();

private:
    QPointer<Dataset> m_dataset;
    QMetaObject::Connection m_links[4];
};
