#pragma once

#include <QWidget>

#include "ui/main/Forms.h"

class DataSource;
class DBGrid;
class DBMemo;
class DBNavigator;
class QLabel;
class QLineEdit;
class QPushButton;

// The follow-ups and the activity log of one person or subproject, beside it on the Clients
// page and in the subproject details window: a grid and a navigator for each, the activity's
// text in a memo under its grid, and a find box that looks for text in the log. The datasets
// belong to the caller. GUI thread only.
class TLogPanel : public QWidget
{
    Q_OBJECT
public:
    TLogPanel(Forms& forms, QWidget* parent = nullptr);

    void bind(DataSource* followUps, DataSource* activities);
    // The panel takes the height its window has and asks for no more than it needs, so a
    // window of fixed size does not grow for it.
    QSize sizeHint() const override { return minimumSizeHint(); }

    void FollowUpsGridEditButtonClick();
    // Space in the Done column switches it; true when the key was used.
    bool FollowUpsGridKeyPress(QChar key);
    void ActivitiesGridEditButtonClick();
    void FindEditReturnPressed();

    QLabel* FollowUpsLabel;
    DBGrid* FollowUpsGrid;
    DBNavigator* FollowUpsNavigator;
    QLabel* ActivitiesLabel;
    DBGrid* ActivitiesGrid;
    DBNavigator* ActivitiesNavigator;
    DBMemo* ActivityText;
    QLineEdit* FindEdit;
    QPushButton* FindButton;
    // Why the last find did not move.
    QLabel* FindMessage;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Forms& m_forms;
    DataSource* m_followUps = nullptr;
    DataSource* m_activities = nullptr;
};
