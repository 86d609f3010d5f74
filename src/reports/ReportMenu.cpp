#include "reports/ReportMenu.h"

#include "reports/CompaniesRep.h"
#include "reports/CompanyPerson.h"
#include "reports/PeopleReport.h"
#include "reports/PersonsRep.h"
#include "reports/ReportFile.h"
#include "reports/Report1.h"
#include "reports/SubprojectsRep.h"

namespace {

template<typename Form>
void preview(TMainDataModule& dataModule)
{
    Form form(dataModule);
    form.Preview();
}

} // namespace

void previewCompanies(TMainDataModule& dataModule)
{
    preview<TCompanies>(dataModule);
}

void previewSubprojects(TMainDataModule& dataModule)
{
    preview<TSubprojects>(dataModule);
}

void previewPerson(TMainDataModule& dataModule)
{
    preview<TPersons>(dataModule);
}

void previewCompaniesList(TMainDataModule& dataModule)
{
    preview<TCompaniesReportForm>(dataModule);
}

void previewPeopleList(TMainDataModule& dataModule)
{
    preview<TPeopleReportForm>(dataModule);
}

void previewCompanyPersons(TMainDataModule& dataModule)
{
    preview<TCompanyPersonForm>(dataModule);
}

void previewAll(TMainDataModule& dataModule)
{
    const std::vector<std::unique_ptr<ReportForm>> reports = namedReports(dataModule, QStringLiteral("all"));
    std::vector<ReportForm*> forms;
    for (const auto& report : reports)
        forms.push_back(report.get());
    previewReports(QStringLiteral("All"), forms);
}
