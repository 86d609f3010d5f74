#pragma once

#include <optional>

#include <QDate>
#include <QTest>

#include "toolkit/widgets/MonthCalendar.h"
#include "ui/main/PickDate.h"

// A date picker whose modal show picks answer in the calendar and presses the real OK button,
// or, without an answer, is closed by its close box.
class PickerProbe : public TPickDateForm
{
public:
    std::optional<QDate> answer;
    int shows = 0;

    int showModalWindow() override
    {
        ++shows;
        setResult(QDialog::Rejected);
        if (answer) {
            MonthCalendar1->setSelectedDate(*answer);
            QTest::mouseClick(Button1, Qt::LeftButton);
        }
        return result();
    }
};
