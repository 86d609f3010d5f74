#pragma once

#include <QAbstractTableModel>

#include "data/contacts/ImportPlan.h"

// The rows of an import plan for a table view: line, status, action, the person's fields, and
// notes of what was left out or moved; values too long for their field are tinted and say so
// in their tooltip.
class ImportPreviewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        LineColumn,
        StatusColumn,
        ActionColumn,
        FirstFieldColumn,
        NotesColumn = int(FirstFieldColumn) + int(Contacts::FieldCount)
    };

    static int fieldColumn(Contacts::Field field) { return int(FirstFieldColumn) + int(field); }

    explicit ImportPreviewModel(Contacts::ImportPlan& plan, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_plan(plan) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The plan changed: actions or the choice for long values.
    void planChanged();

private:
    Contacts::ImportPlan& m_plan;
};
