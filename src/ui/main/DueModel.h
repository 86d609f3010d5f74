#pragma once

#include <vector>

#include <QAbstractTableModel>
#include <QDate>

#include "data/FollowUps.h"

class Connection;

// The open follow-ups due by a day, oldest first, read a page at a time as the view scrolls
// down, so a long list opens as fast as a short one. Reading throws StoreError. GUI thread only.
class DueModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Due, Company, Person, SubProject, Text, DaysLate, ColumnCount };

    DueModel(Connection& connection, const QDate& today, QObject* parent = nullptr);

    // Reads the list again from its start, with at least rows rows when there are as many.
    void reload(int rows = 0);
    // How many follow-ups are due in all, read and unread.
    qint64 total() const { return m_total; }
    const FollowUps::DueRow& rowAt(int row) const { return m_rows[size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    Connection& m_connection;
    QDate m_today;
    std::vector<FollowUps::DueRow> m_rows;
    qint64 m_total = 0;
};
