#include "toolkit/widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(QWidget* parent)
    : QWidget(parent), m_group(new QButtonGroup(this)), m_layout(new QGridLayout(this))
{
    m_layout->setContentsMargins(8, 2, 8, 2);
    m_layout->setVerticalSpacing(2);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(m_group, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

void RadioGroup::setItems(const QStringList& items)
{
    m_items = items;
    for (QAbstractButton* button : m_group->buttons()) {
        m_group->removeButton(button);
        delete button;
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_group->addButton(button, i);
    }
    layOut();
}

void RadioGroup::setColumns(int columns)
{
    m_columns = std::max(columns, 1);
    layOut();
}

void RadioGroup::layOut()
{
    const QList<QAbstractButton*> buttons = m_group->buttons();
    for (QAbstractButton* button : buttons)
        m_layout->removeWidget(button);
    for (int c = 0; c < m_layout->columnCount(); ++c)
        m_layout->setColumnStretch(c, 0);
    for (int i = 0; i < buttons.size(); ++i)
        m_layout->addWidget(m_group->button(i), i / m_columns, i % m_columns);
    for (int c = 0; c < m_columns; ++c)
        m_layout->setColumnStretch(c, 1);
}

int RadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index < -1 || index >= m_items.size())
        return;
    if (index >= 0) {
        m_group->button(index)->setChecked(true);
        return;
    }
    // An exclusive group never lets its last checked button go.
    m_group->setExclusive(false);
    if (QAbstractButton* checked = m_group->checkedButton())
        checked->setChecked(false);
    m_group->setExclusive(true);
}
