#pragma once

#include <QTabWidget>

class PageTabBar;

// A tab widget that tells a change of page made by the user (a click on a tab, the keyboard,
// the wheel, a mnemonic) from one made by the program. userChanged() follows only the first,
// once the new page is current; setCurrentIndex() and setCurrentWidget() raise nothing of
// their own (currentChanged() still fires for both). GUI thread only.
class PageControl : public QTabWidget
{
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr);

signals:
    void userChanged(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void changed(int index);

    PageTabBar* m_bar;
    int m_keys = 0;
};
