#include "toolkit/widgets/HintHook.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

HintHook::HintHook(QObject* parent)
    : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

HintHook::~HintHook()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool HintHook::eventFilter(QObject* watched, QEvent* event)
{
    // A tooltip event travels up from the widget under the mouse to the first one with a hint.
    if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
        const QString hint = static_cast<QWidget*>(watched)->toolTip();
        if (!hint.isEmpty())
            emit hintShown(hint);
    }
    return false;
}
