#pragma once

#include <QTest>
#include <QWidget>

// Shows a window and waits until it is the active one, as the user's window would be; false
// when it never becomes active.
inline bool showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}
