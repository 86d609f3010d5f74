#pragma once

#include <QLabel>

// Says in its window, without moving anything, that other users changed rows and that F5
// shows them: the text appears in room the label keeps from the start, and goes when F5 is
// pressed in the window, by whichever control takes it. Owned by its parent. GUI thread only.
class ChangedElsewhereLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ChangedElsewhereLabel(QWidget* parent = nullptr);

    static QString notice();

    // Shows the notice.
    void noteChanges();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
