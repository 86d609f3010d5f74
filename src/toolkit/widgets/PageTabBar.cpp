#include "toolkit/widgets/PageTabBar.h"

#include <QEvent>

bool PageTabBar::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::Shortcut:
        break;
    default:
        return QTabBar::event(event);
    }
    ++m_depth;
    const bool handled = QTabBar::event(event);
    --m_depth;
    return handled;
}
