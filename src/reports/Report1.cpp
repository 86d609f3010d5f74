#include "reports/Report1.h"

#include "data/Catalogue.h"
#include "toolkit/db/Dataset.h"

TCompaniesReportForm::TCompaniesReportForm(TMainDataModule& dataModule, QObject* parent)
    : ListReport(dataModule, QStringLiteral("CompaniesReportForm"), QStringLiteral("CompaniesReportForm"),
                 QStringLiteral("Select * FROM companies ORDER BY companies.Name COLLATE NAMES;"), QStringLiteral("Companies"),
                 QStringLiteral("CompanyID"), parent)
{
    Catalogue::addFields(*ADOQuery1, QStringLiteral("Companies"));
    setLayout(QStringLiteral("Companies"), 95.5,
              {{"Name", 8.5}, {"Adress", 31.2}, {"Tel(s)", 94.2}, {"Fax", 114.3}, {"Comments", 137.6}},
              {{"Name", 8.5, 2.1}, {"Address", 31.8, 2.1}, {"Tel1", 95.2, 2.1}, {"Tel2", 95.2, 8.5},
               {"Fax", 114.3, 2.1}, {"Comments", 137.6, 2.1}});
}
