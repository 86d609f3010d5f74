#include "toolkit/widgets/MonthCalendar.h"

#include <QAbstractItemView>
#include <QEvent>

MonthCalendar::MonthCalendar(QWidget* parent)
    : QCalendarWidget(parent)
{
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setGridVisible(false);
    // The days are an item view inside the calendar; its viewport receives the clicks.
    auto* view = findChild<QAbstractItemView*>();
    m_days = view ? view->viewport() : nullptr;
    if (m_days)
        m_days->installEventFilter(this);
}

bool MonthCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_days && event->type() == QEvent::MouseButtonDblClick) {
        const bool handled = QCalendarWidget::eventFilter(watched, event);
        emit doubleClicked();
        return handled;
    }
    return QCalendarWidget::eventFilter(watched, event);
}
