#pragma once

#include "reports/ReportForm.h"

// "Subprojects": the current subproject, its contributions and a pie of their weights.
class TSubprojects : public ReportForm
{
    Q_OBJECT
public:
    explicit TSubprojects(TMainDataModule& dataModule, QObject* parent = nullptr);
};
