#include "reports/CompaniesRep.h"

#include "data/DataModule.h"
#include "reports/ReportParts.h"

using namespace ReportParts;

namespace {

const QString Companies = QStringLiteral("CompaniesTable");
const QString Projects = QStringLiteral("ProjectsDetail");
const QString SubProjects = QStringLiteral("SubProjectsDetail");

ReportBand titleBand()
{
    ReportBand b = band(11.4, Qt::white, BandFrame::all(2));
    b.add(ReportElement::label(QStringLiteral("Company"), 2.1, 2.1).styled(arial(14, true, Navy)).on(Qt::white));
    b.add(ReportElement::dataField(Companies, QStringLiteral("Name"), 31.8, 2.1).styled(arial(14, true)).on(Qt::white));
    return b;
}

ReportBand companyBand()
{
    ReportBand b = band(44.5, Qt::white, BandFrame::all());
    const std::pair<const char*, const char*> rows[] = {{"Address", "Address"}, {"Tel 1", "Tel1"},
                                                        {"Tel 2", "Tel2"},       {"Fax", "Fax"},
                                                        {"Activities", "MainActivities"}, {"Comments", "Comments"}};
    const qreal tops[] = {4.2, 10.6, 16.9, 23.3, 29.6, 36.0};
    for (int i = 0; i < 6; ++i) {
        b.add(ReportElement::label(QLatin1String(rows[i].first), 6.3, tops[i]).styled(arial(10, true, Navy)).on(Qt::white));
        b.add(ReportElement::dataField(Companies, QLatin1String(rows[i].second), 27.5, tops[i])
                  .styled(arial(10, true)).on(Silver));
    }
    return b;
}

SubDetail projectsLevel()
{
    SubDetail level;
    level.source = Projects;
    level.header = band(14.8, Silver, BandFrame::all());
    level.header->add(ReportElement::label(QStringLiteral("Projects"), 6.3, 4.2).styled(arial(10, true)).on(Qt::white));
    level.band = band(25.4, Qt::white, BandFrame::all());
    level.band.style = arial(10, false, Navy);
    const std::pair<const char*, TextStyle> rows[] = {
        {"Name", arial(10, true, Navy)}, {"Code", arial(10, false, Navy)}, {"Comments", arial(10, false, Navy)}};
    const qreal tops[] = {4.2, 10.6, 16.9};
    for (int i = 0; i < 3; ++i) {
        const QString name = QLatin1String(rows[i].first);
        level.band.add(ReportElement::label(name, 14.8, tops[i]).styled(arial(10, true, Navy)).on(Qt::white));
        level.band.add(ReportElement::dataField(Projects, name, 42.3, tops[i]).styled(rows[i].second).on(Silver));
    }
    return level;
}

SubDetail subProjectsLevel()
{
    SubDetail level;
    level.source = SubProjects;
    level.link = SubDetailLink{QStringLiteral("ProjectID"), QStringLiteral("ProjectID")};
    level.header = band(8.5, Silver, BandFrame{true, true, true, false, 1});
    level.header->add(ReportElement::label(QStringLiteral("Subprojects"), 6.3, 2.1).styled(arial(10)).on(Qt::white));
    level.band = band(23.3, Qt::white, BandFrame::all());
    level.band.style = arial(10, false, Green);
    struct Row { const char* label; qreal left, top; qreal valueLeft; };
    const Row rows[] = {{"Name", 25.4, 2.1, 50.8}, {"Code", 25.4, 8.5, 50.8}, {"Size", 78.3, 8.5, 103.7},
                        {"Type", 137.6, 8.5, 154.5}, {"Comments", 25.4, 14.8, 50.8}};
    for (const Row& r : rows) {
        const QString name = QLatin1String(r.label);
        level.band.add(ReportElement::label(name, r.left, r.top).styled(arial(10, true, Green)).on(Qt::white));
        level.band.add(ReportElement::dataField(SubProjects, name, r.valueLeft, r.top)
                           .styled(arial(10, name == QLatin1String("Name"), Green)).on(Silver));
    }
    return level;
}

} // namespace

TCompanies::TCompanies(TMainDataModule& dataModule, QObject* parent)
    : ReportForm(dataModule, QStringLiteral("Companies"), QStringLiteral("Companies"), parent)
{
    addCursor(dataModule.CompaniesTable);
    addCursor(dataModule.ProjectsDetail);
    addCursor(dataModule.SubProjectsDetail);

    QuickRep1.title = titleBand();
    QuickRep1.detail = companyBand();
    SubDetail projects = projectsLevel();
    projects.children.push_back(subProjectsLevel());
    QuickRep1.subDetails.push_back(projects);
    QuickRep1.pageFooter = band(8.7);
    QuickRep1.pageFooter->add(ReportElement::system(ReportElement::Kind::DetailNumber, QRectF(6.3, 2.1, 0, 0)).styled(arial(10)));
    QuickRep1.pageFooter->add(ReportElement::system(ReportElement::Kind::DateTime, QRectF(84.7, 2.1, 0, 0)).styled(arial(10)));
}
