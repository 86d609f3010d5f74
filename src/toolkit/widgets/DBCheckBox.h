#pragma once

#include <QCheckBox>

class DataSource;
class FieldLink;

// A check box bound to a Boolean field: ticked for true, cleared for false, greyed (partially
// checked) for an empty value. A click (or the space bar) puts the dataset into editing and
// writes the new state at once: a greyed or cleared box becomes true, a ticked one false.
// When the dataset cannot edit, the click changes nothing. May have no caption. The data source
// is not owned. GUI thread only.
class DBCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    DBCheckBox(DataSource* source, const QString& field, const QString& caption = {}, QWidget* parent = nullptr);

    void bind(DataSource* source, const QString& field);
    QString fieldName() const;

protected:
    void nextCheckState() override;
    // A box without caption stands for a whole cell or area: a click anywhere in it toggles.
    bool hitButton(const QPoint& pos) const override;

private:
    void showField();

    FieldLink* m_link;
};
