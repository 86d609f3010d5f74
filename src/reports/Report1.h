#pragma once

#include "reports/ListReport.h"

// "CompaniesReportForm": every company, ordered by name.
class TCompaniesReportForm : public ListReport
{
    Q_OBJECT
public:
    explicit TCompaniesReportForm(TMainDataModule& dataModule, QObject* parent = nullptr);
};
