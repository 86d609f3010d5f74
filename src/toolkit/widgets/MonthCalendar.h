#pragma once

#include <QCalendarWidget>

// A month calendar that also reports a double-click on a day (after the day is selected) and
// Enter pressed in its days, which take the key. GUI thread only.
class MonthCalendar : public QCalendarWidget
{
    Q_OBJECT
public:
    explicit MonthCalendar(QWidget* parent = nullptr);

signals:
    void doubleClicked();
    void returnPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_view;
    QWidget* m_days;
};
