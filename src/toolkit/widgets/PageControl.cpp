#include "toolkit/widgets/PageControl.h"

#include "toolkit/widgets/PageTabBar.h"

PageControl::PageControl(QWidget* parent)
    : QTabWidget(parent), m_bar(new PageTabBar(this))
{
    setTabBar(m_bar);
    connect(this, &QTabWidget::currentChanged, this, &PageControl::changed);
}

void PageControl::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+Tab and Ctrl+PgDown reach the tab widget rather than its bar.
    ++m_keys;
    QTabWidget::keyPressEvent(event);
    --m_keys;
}

void PageControl::changed(int index)
{
    if (m_keys > 0 || m_bar->handlingInput())
        emit userChanged(index);
}
