#include "app/ReportCommand.h"

#include <cstdio>
#include <exception>

#include "app/Startup.h"
#include "data/DataModule.h"
#include "reports/ReportFile.h"

int writeReportCommand(const Places& places, const ReportRequest& request)
{
    try {
        TMainDataModule dataModule;
        const UpgradeOutcome upgraded = dataModule.Connect(PlacesConnectionString(places));
        if (upgraded.upgraded())
            std::fprintf(stderr, "vornadel: %s\n", qPrintable(upgradeNotice(places.database, upgraded)));
        dataModule.SetDataSetsActive(true);
        writeReportPdf(dataModule, request.report, request.pdf);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vornadel: %s\n", e.what());
        return 1;
    }
    return 0;
}
