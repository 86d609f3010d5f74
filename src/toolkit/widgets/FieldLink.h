#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

// DataSource.h needs Dataset complete for its inline QPointer access.
#include "toolkit/db/Dataset.h"
#include "toolkit/db/DataSource.h"

struct FieldDef;

// Binds one control to one field of a data source's dataset. It tells the control when to show
// the value again (reload), when to hand over a pending change (updateData, only while the
// control marked one), and puts the dataset into editing for it. Owned by its control; the
// data source is not owned and may go away first. Reading never throws; edit() and the
// writers throw what the dataset throws (StoreError, FieldError). A field the open dataset lacks
// is reported once, when the control is first shown with it open. GUI thread only.
class FieldLink : public QObject
{
    Q_OBJECT
public:
    explicit FieldLink(QObject* parent = nullptr);

    void bind(DataSource* source, const QString& field);
    DataSource* dataSource() const { return m_source; }
    const QString& fieldName() const { return m_field; }

    // The dataset when it is open and has the field, else nullptr.
    Dataset* dataset() const;
    // The field's definition, or nullptr as for dataset().
    const FieldDef* field() const;
    bool isEditing() const;

    // The current value as shown, or empty without a current row.
    QString text() const;
    QVariant value() const;

    // Puts the dataset into editing through the data source (auto-edit); true when it now
    // edits or inserts. Throws StoreError when the field does not exist.
    bool edit();
    void writeText(const QString& text);
    void writeValue(const QVariant& value);

    // The control holds a change that is not in the row yet.
    bool isModified() const { return m_modified; }
    void setModified() { m_modified = true; }
    // Shows the field's value again, dropping the control's pending change.
    void reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void reload();
    void updateData();
    void stateChanged();

private:
    void fieldChanged(const QString& name);
    void requestUpdate();
    void checkField();

    QPointer<DataSource> m_source;
    QString m_field;
    bool m_modified = false;
    bool m_checked = false;
    QMetaObject::Connection m_links[4];
};
