#include "reports/CompanyPerson.h"

#include "data/DataModule.h"
#include "reports/ReportParts.h"

using namespace ReportParts;

namespace {

// A level printed even when empty: a header with its caption, then a band with the fields.
// Its rows are those whose key field holds their master's.
SubDetail level(const QString& source, const QString& key, const char* caption, qreal captionLeft)
{
    SubDetail s;
    s.source = source;
    s.link = SubDetailLink{key, key};
    s.printIfEmpty = true;
    s.header = band(10.6);
    s.header->add(ReportElement::label(QLatin1String(caption), captionLeft, 2.1).styled(arial(10, true)));
    s.band = band(10.6);
    return s;
}

} // namespace

TCompanyPersonForm::TCompanyPersonForm(TMainDataModule& dataModule, QObject* parent)
    : ReportForm(dataModule, QStringLiteral("CompanyPersonForm"), QStringLiteral("CompanyPersonForm"), parent)
{
    const QString companies = QStringLiteral("CompaniesTable");
    const QString projects = QStringLiteral("ProjectsDetail");
    const QString subProjects = QStringLiteral("SubProjectsDetail");
    const QString people = QStringLiteral("PeopleDetail");
    for (Dataset* d : {dataModule.CompaniesTable, dataModule.ProjectsDetail, dataModule.SubProjectsDetail, dataModule.PeopleDetail})
        addCursor(d);
    QuickRep1.mainSource = companies;

    QuickRep1.pageHeader = band(15.6, SkyBlue);
    QuickRep1.pageHeader->add(centred(QStringLiteral("Companies"), 95.5, 0).styled(times(18, true, Navy)).on(Qt::white));
    QuickRep1.title = band(19.3);
    QuickRep1.title->add(ReportElement::label(QStringLiteral("TITLE"), 84.7, 4.2).styled(arial(10)));
    QuickRep1.detail = band(10.6, Silver);
    QuickRep1.detail->add(ReportElement::dataField(companies, QStringLiteral("Name"), 10.6, 2.1).styled(arial(10)).on(Qt::white));

    SubDetail contribution = level(people, QStringLiteral("SubProjectID"), "Contribution", 86.8);
    contribution.band.add(ReportElement::dataField(people, QStringLiteral("PersonName"), 61.4, 2.1).styled(arial(10)));
    contribution.band.add(ReportElement::dataField(people, Catalogue::weightField(), 84.7, 2.1).styled(arial(10)));
    contribution.footer = band(47.4);
    contribution.footer->add(pie(QStringLiteral("QRChart1"), QRectF(42.3, 4.2, 120.9, 36.2), people,
                                 QStringLiteral("PersonName"), Catalogue::weightField(), true, QStringLiteral("TQRChart")));

    SubDetail subProjectLevel = level(subProjects, QStringLiteral("ProjectID"), "Subprojects", 86.8);
    subProjectLevel.band.add(ReportElement::dataField(subProjects, QStringLiteral("Name"), 38.1, 2.1).styled(arial(10)));
    subProjectLevel.children.push_back(contribution);

    SubDetail projectLevel = level(projects, QStringLiteral("CompanyID"), "Projects", 88.9);
    projectLevel.band.add(ReportElement::dataField(projects, QStringLiteral("Name"), 25.4, 2.1).styled(arial(10)));
    projectLevel.children.push_back(subProjectLevel);
    QuickRep1.subDetails.push_back(projectLevel);
}
