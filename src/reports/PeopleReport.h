#pragma once

#include "reports/ListReport.h"

// "PeopleReportForm": every person, ordered by name, with the company's name.
class TPeopleReportForm : public ListReport
{
    Q_OBJECT
public:
    explicit TPeopleReportForm(TMainDataModule& dataModule, QObject* parent = nullptr);
};
