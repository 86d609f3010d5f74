#include "toolkit/widgets/MonthCalendar.h"

#include <QAbstractItemView>
#include <QKeyEvent>

MonthCalendar::MonthCalendar(QWidget* parent)
    : QCalendarWidget(parent)
{
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setGridVisible(false);
    // The days are an item view inside the calendar; its viewport receives the clicks.
    auto* view = findChild<QAbstractItemView*>();
    m_view = view;
    m_days = view ? view->viewport() : nullptr;
    if (m_days) {
        m_days->installEventFilter(this);
        m_view->installEventFilter(this);
    }
}

bool MonthCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_days && event->type() == QEvent::MouseButtonDblClick) {
        const bool handled = QCalendarWidget::eventFilter(watched, event);
        emit doubleClicked();
        return handled;
    }
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // The day under the keyboard is already the selected one.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit returnPressed();
            return true;
        }
    }
    return QCalendarWidget::eventFilter(watched, event);
}
