#include "reports/ReportMenu.h"

#include "reports/CompaniesRep.h"
#include "reports/CompanyPerson.h"
#include "reports/PeopleReport.h"
#include "reports/PersonsRep.h"
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
    TCompaniesReportForm companies(dataModule);
    TPeopleReportForm people(dataModule);
    TCompanyPersonForm hierarchy(dataModule);
    previewReports(QStringLiteral("All"), {&companies, &people, &hierarchy});
}
