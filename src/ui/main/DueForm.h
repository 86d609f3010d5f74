#pragma once

#include <functional>

#include <QDate>

#include "ui/main/RecordListWindow.h"

class Connection;
class DueModel;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

// The due list: every open follow-up due today or earlier, oldest first, with what it is
// about and how many days late it is. Enter goes to its person or subproject in a fresh main
// window; keys mark it done or move it a day or a week on. A check box says whether the list
// opens at start-up when something is due, kept per user. Made for one use; a failed read is
// shown in the error box and leaves the list empty. GUI thread only.
class TDueForm : public RecordListWindow
{
    Q_OBJECT
public:
    // today: the day lateness is counted to.
    explicit TDueForm(Forms& forms, QWidget* parent = nullptr, const QDate& today = QDate::currentDate());
    ~TDueForm() override;

    // Whether the list opens at start-up when something is due; true until the user says no.
    static bool showsAtStartup();
    static void setShowsAtStartup(bool shown);
    // Whether the list opens at start-up: the user wants it and something is due by today.
    static bool wantedAtStartup(Connection& connection, const QDate& today);
    // At start-up: shows the list modally when it is wanted.
    static void ShowAtStartup(Forms& forms);

    void DueGridEnter();
    void DoneButtonClick();
    void DayButtonClick();
    void WeekButtonClick();
    void StartupCheckClick();

    QLabel* CountLabel;
    QTableView* DueGrid;
    DueModel* Model;
    QLabel* KeysLabel;
    QPushButton* GoToButton;
    QPushButton* DoneButton;
    QPushButton* DayButton;
    QPushButton* WeekButton;
    QPushButton* CloseButton;
    QCheckBox* StartupCheck;

private:
    void buildLayout();
    // The selected row's follow-up; 0 for none.
    qint64 selectedId() const;
    // Reads the list again, the selection staying at the row it was on.
    void reload();
    void changeSelected(const std::function<bool(qint64)>& change);
};
