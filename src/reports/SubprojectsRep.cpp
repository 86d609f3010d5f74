#include "reports/SubprojectsRep.h"

#include "data/DataModule.h"
#include "reports/ReportParts.h"

using namespace ReportParts;

namespace {

const QString People = QStringLiteral("PeopleDetail");

ReportBand titleBand()
{
    ReportBand b = band(47.4, Qt::white, BandFrame::all(2));
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"Subproject name", "SubProjectsDetail", "Name"}, {"Project", "ProjectsDetail", "Name"},
        {"Type", "SubProjectsDetail", "Type"},             {"Comments", "SubProjectsDetail", "Comments"},
        {"Company", "CompaniesTable", "Name"},              {"Size", "SubProjectsDetail", "Size"}};
    const qreal tops[] = {4.2, 10.6, 16.9, 23.3, 29.6, 36.0};
    for (int i = 0; i < 6; ++i) {
        const auto& [label, source, field] = rows[i];
        b.add(ReportElement::label(QLatin1String(label), 2.1, tops[i]).styled(arial(12, true, Navy)).on(Qt::white));
        b.add(ReportElement::dataField(QLatin1String(source), QLatin1String(field), 40.2, tops[i])
                  .styled(arial(12, true)).on(Silver));
    }
    return b;
}

ReportBand contributionBand()
{
    ReportBand b = band(29.6, Qt::white, BandFrame::all());
    addCaption(b, QStringLiteral("Name"), 8.5, 4.2);
    addValue(b, People, QStringLiteral("PersonName"), 23.3, 4.2);
    addCaption(b, Catalogue::weightCaption(), 8.5, 10.6);
    addValue(b, People, Catalogue::weightField(), 23.3, 10.6);
    const qreal lefts[] = {8.5, 42.3, 74.1, 99.5, 124.9};
    addRoles(b, People, lefts, 16.9, lefts, 23.3);
    return b;
}

} // namespace

TSubprojects::TSubprojects(TMainDataModule& dataModule, QObject* parent)
    : ReportForm(dataModule, QStringLiteral("Subprojects"), QStringLiteral("Subprojects"), parent)
{
    for (Dataset* d : {dataModule.PeopleDetail, dataModule.SubProjectsDetail, dataModule.ProjectsDetail, dataModule.CompaniesTable})
        addCursor(d);
    QuickRep1.mainSource = People;
    QuickRep1.title = titleBand();
    QuickRep1.detailHeader = band(10.6, Silver, BandFrame::all());
    QuickRep1.detailHeader->add(ReportElement::label(QStringLiteral("Contribution"), 86.8, 2.1).styled(arial(12, true)).on(Qt::white));
    QuickRep1.detail = contributionBand();
    QuickRep1.summary = band(61.6, Qt::white, BandFrame::all());
    QuickRep1.summary->add(ReportElement::label(QStringLiteral("Summary"), 91.0, 2.1).styled(arial(12, true)));
    QuickRep1.summary->add(pie(QStringLiteral("QRChart1"), QRectF(12.7, 12.7, 159.0, 40.5), People,
                               QStringLiteral("PersonName"), Catalogue::weightField()));
}
