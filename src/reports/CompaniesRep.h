#pragma once

#include "reports/ReportForm.h"

// "Companies": the current company, its projects and their subprojects.
class TCompanies : public ReportForm
{
    Q_OBJECT
public:
    explicit TCompanies(TMainDataModule& dataModule, QObject* parent = nullptr);
};
