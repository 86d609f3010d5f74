#include "reports/ReportFile.h"

#include <memory>
#include <stdexcept>
#include <vector>

#include "reports/CompanyPerson.h"
#include "reports/PeopleReport.h"
#include "reports/Report1.h"
#include "toolkit/report/ReportOutput.h"

namespace {

struct Collected : PageSink
{
    ReportPages pages;
    void addPage(ReportPage page) override { pages.push_back(std::move(page)); }
};

} // namespace

QStringList reportNames()
{
    return {QStringLiteral("companies"), QStringLiteral("people"), QStringLiteral("company-persons"),
            QStringLiteral("all")};
}

std::vector<std::unique_ptr<ReportForm>> namedReports(TMainDataModule& dataModule, const QString& name)
{
    const bool all = name == QLatin1String("all");
    std::vector<std::unique_ptr<ReportForm>> reports;
    if (all || name == QLatin1String("companies"))
        reports.push_back(std::make_unique<TCompaniesReportForm>(dataModule));
    if (all || name == QLatin1String("people"))
        reports.push_back(std::make_unique<TPeopleReportForm>(dataModule));
    if (all || name == QLatin1String("company-persons"))
        reports.push_back(std::make_unique<TCompanyPersonForm>(dataModule));
    return reports;
}

void writeReportPdf(TMainDataModule& dataModule, const QString& name, const QString& path)
{
    const std::vector<std::unique_ptr<ReportForm>> reports = namedReports(dataModule, name);
    if (reports.empty())
        throw std::invalid_argument(QStringLiteral("There is no report '%1'.").arg(name).toStdString());
    Collected sink;
    int page = 1;
    for (const auto& report : reports)
        page = report->produce(sink, page);
    // The preview's caption: the report's own, or "All" for the three in one.
    exportPdf(sink.pages, path, reports.size() > 1 ? QStringLiteral("All") : reports.front()->caption());
}
