#pragma once

#include <QLabel>

class DataSource;
class FieldLink;

// A read-only text showing a field of the current row, optionally in bold. The data source is
// not owned. GUI thread only.
class DBText : public QLabel
{
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);
    DBText(DataSource* source, const QString& field, QWidget* parent = nullptr);

    void bind(DataSource* source, const QString& field);
    QString fieldName() const;
    void setBold(bool bold);

private:
    FieldLink* m_link;
};
