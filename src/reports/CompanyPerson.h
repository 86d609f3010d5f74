#pragma once

#include "reports/ReportForm.h"

// "CompanyPersonForm": every company with its projects, their subprojects, the persons
// involved and a pie of their weights per subproject.
class TCompanyPersonForm : public ReportForm
{
    Q_OBJECT
public:
    explicit TCompanyPersonForm(TMainDataModule& dataModule, QObject* parent = nullptr);
};
