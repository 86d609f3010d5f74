#include "reports/PeopleReport.h"

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "toolkit/db/Dataset.h"

TPeopleReportForm::TPeopleReportForm(TMainDataModule& dataModule, QObject* parent)
    : ListReport(dataModule, QStringLiteral("PeopleReportForm"), QStringLiteral("PeopleReportForm"),
                 QStringLiteral("Select * from People ORDER BY People.Name COLLATE NAMES;"), QStringLiteral("People"),
                 QStringLiteral("PersonID"), parent)
{
    ADOQuery1->addField(FieldDef::lookup(QStringLiteral("ComanyName"), QStringLiteral("CompanyID"), dataModule.CompaniesTable,
                                         QStringLiteral("CompanyID"), QStringLiteral("Name"), 20));
    Catalogue::addFields(*ADOQuery1, QStringLiteral("People"));
    setLayout(QStringLiteral("People"), 99.7,
              {{"Name", 8.5}, {"Company", 35.5}, {"Title", 65.6}, {"Contact", 94.2}, {"Info", 152.4}},
              {{"Name", 8.5, 2.1}, {"ComanyName", 36.2, 2.1}, {"Title", 67.7, 2.1}, {"Mobile", 97.4, 2.1},
               {"Email", 97.4, 8.5}, {"Info", 154.5, 2.1}});
}
