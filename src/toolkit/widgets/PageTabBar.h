#pragma once

#include <QTabBar>

// The tab bar of a PageControl: knows whether it is handling the user's input right now.
// GUI thread only.
class PageTabBar : public QTabBar
{
    Q_OBJECT
public:
    using QTabBar::QTabBar;

    bool handlingInput() const { return m_depth > 0; }

protected:
    bool event(QEvent* event) override;

private:
    int m_depth = 0;
};
