#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QGridLayout;

// A group of radio buttons without a caption, the choices laid out side by side in a number of
// columns, row by row. itemIndex() is the chosen item, -1 for none. clicked() reports a choice
// made by the user only: setting the index by program raises nothing. A tag and a hint (the
// tooltip, shown over every choice) tell groups apart. GUI thread only.
class RadioGroup : public QWidget
{
    Q_OBJECT
public:
    explicit RadioGroup(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QStringList items() const { return m_items; }
    void setColumns(int columns);
    int columns() const { return m_columns; }

    int itemIndex() const;
    // -1 clears the choice; an index out of range is ignored.
    void setItemIndex(int index);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

signals:
    void clicked();

private:
    void layOut();

    QStringList m_items;
    int m_columns = 1;
    int m_tag = 0;
    QButtonGroup* m_group;
    QGridLayout* m_layout;
};
