#pragma once

#include <vector>

#include <QStringList>
#include <QVariant>
#include <QVector>

class Connection;

// Writes a dataset's rows to its table, one statement a change, each checked against the row
// as it was read: a row changed or removed in the file since then is not overwritten and
// throws StoreError of kind RowChanged. Other failures throw the store's StoreError. The
// caller holds the transaction where several writes must stand or fall together.
// GUI thread only.
class RowWriter
{
public:
    // A row as read: its identity (the rowid where the table has no key column) and values.
    struct Row
    {
        qint64 rowid = 0;
        QVector<QVariant> values;
    };
    struct Column
    {
        QString name;
        bool autoIncrement = false;
        bool boolean = false;
    };

    // keyed: the rows are found by their columns alone, the table having a key among them.
    RowWriter(Connection& connection, const QString& table, std::vector<Column> columns, bool keyed);

    // Inserts values (nulls left to the table's defaults) and reads the row back into them, so
    // later checks compare with what the file holds; returns the new rowid.
    qint64 insert(QVector<QVariant>& values);
    // Writes the columns whose values differ from original's.
    void update(const Row& original, const QVector<QVariant>& values);
    void remove(const Row& original);
    // Removes every row; the first that cannot be located stops the rest.
    void removeAll(const std::vector<Row>& originals);

private:
    QString where(const Row& original, QVariantList& binds) const;
    void checkLocated(const QString& message) const;

    Connection& m_connection;
    QString m_table;
    std::vector<Column> m_columns;
    bool m_keyed;
};
