#pragma once

#include <QDate>
#include <QDialog>

class MonthCalendar;
class QFrame;
class QPushButton;

// The date picker: a month calendar and an OK button, shown modally by the history grids.
// Only OK accepts; the calendar keeps the day last chosen in it from one use to the next,
// accepted or not. One instance lives for the whole run. GUI thread only.
class TPickDateForm : public QDialog
{
    Q_OBJECT
public:
    explicit TPickDateForm(QWidget* parent = nullptr);

    // Shows the picker modally; QDialog::Accepted only when OK was pressed.
    virtual int showModalWindow();
    QDate date() const;

    QFrame* Bevel1;
    MonthCalendar* MonthCalendar1;
    QPushButton* Button1;

private:
    void FormCreate();
};
