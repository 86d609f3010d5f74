#pragma once

#include <QComboBox>

class DataSource;
class FieldLink;

// A drop-down list bound to a lookup field: it lists the lookup dataset's rows (their shown
// texts, in that dataset's order) and shows the current row's text. The list is read when it is
// wanted (dropping down, stepping with the keys or the wheel), since the lookup dataset may have
// re-read its rows and may be long; until then it may hold just the shown row. Like a list
// bound to its dataset, opening the list moves the lookup dataset to the current key (or its
// first row), and moving in the open list moves it along. Choosing an entry puts the dataset
// into editing and writes the chosen row's key into the key field. A read-only list neither
// drops down nor changes. The data source is not owned. GUI thread only.
class DBLookupComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);
    DBLookupComboBox(DataSource* source, const QString& field, QWidget* parent = nullptr);

    void bind(DataSource* source, const QString& field);
    QString fieldName() const;

    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void showField();
    void fillList();
    // Reads the whole list and selects the current key in it.
    void loadList();
    QVariant currentKey() const;
    void moveLookupTo(const QVariant& key);
    void choose(int index);

    FieldLink* m_link;
    bool m_readOnly = false;
};
