// Measures start-up and browsing on a generated database, alternating the bare read of the
// rows that start-up reads (the floor) with the real start-up, each on a fresh connection.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>

#include "data/DataModule.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "ui/main/Forms.h"
#include "ui/views/Business.h"
#include "ui/views/NavCompanyProject.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

double peakRssMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0.0;
}

struct Read
{
    QString sql;
    QVariantList params;
};

// Every statement the shared datasets run when they open, one per dataset.
std::vector<Read> startupReads(const QString& connectionString)
{
    TMainDataModule dm;
    dm.Connect(connectionString);
    dm.SetDataSetsActive(true);
    std::vector<Read> reads;
    for (Dataset* d : dm.sharedDatasets())
        reads.push_back({d->selectSql(), d->selectParams()});
    return reads;
}

double floorRead(const QString& connectionString, const std::vector<Read>& reads)
{
    const auto start = Clock::now();
    Connection connection(connectionString);
    qint64 sink = 0;
    for (const Read& r : reads) {
        Statement st(connection, r.sql);
        for (int i = 0; i < r.params.size(); ++i)
            st.bind(i + 1, r.params[i]);
        while (st.step())
            for (int c = 0; c < st.columnCount(); ++c)
                sink += st.value(c).isNull() ? 0 : 1;
    }
    const double ms = msSince(start);
    return sink >= 0 ? ms : -ms;
}

// Median time to make a window and have it shown and painted, offscreen.
template <class Window>
double viewOpen(Forms& forms, int rounds)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        Window window(forms);
        window.show();
        QApplication::processEvents();
        times.push_back(msSince(start));
    }
    return median(times);
}

void measureViews(const QString& connectionString, int rounds)
{
    TMainDataModule dm;
    dm.Connect(connectionString);
    dm.SetDataSetsActive(true);
    Forms forms;
    forms.MainDataModule = &dm;
    std::printf("view_open_NavCompanyProject %.1f ms\n", viewOpen<TNavCompanyPersonForm>(forms, rounds));
    std::printf("view_open_Business %.1f ms\n", viewOpen<TBusinessForm>(forms, rounds));
}

} // namespace

int main(int argc, char* argv[])
{
    // The views are measured without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: vornadel-bench FILE [ROUNDS]\n");
        return 2;
    }
    const QString connectionString = QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                                                    "Database Password=\"ZeKRW\";").arg(args[1]);
    const int rounds = args.size() > 2 ? args[2].toInt() : 5;
    try {
        const std::vector<Read> reads = startupReads(connectionString);
        std::vector<double> floors, startups, moves;
        double peak = 0;
        for (int round = 0; round < rounds; ++round) {
            floors.push_back(floorRead(connectionString, reads));
            const auto start = Clock::now();
            TMainDataModule dm;
            dm.Connect(connectionString);
            dm.SetDataSetsActive(true);
            startups.push_back(msSince(start));
            peak = std::max(peak, peakRssMiB());
            Dataset* companies = dm.CompaniesTable;
            for (int i = 0; i < 200; ++i) {
                const auto t = Clock::now();
                companies->next();
                if (companies->eof())
                    companies->first();
                moves.push_back(msSince(t));
            }
        }
        const double floor = median(floors), startup = median(startups);
        std::printf("floor %.1f ms\n", floor);
        std::printf("startup %.1f ms\n", startup);
        std::printf("company_move %.3f ms\n", median(moves));
        std::printf("peak_memory %.0f MiB\n", peak);
        std::printf("startup/floor %.2f\n", floor > 0 ? startup / floor : 0.0);
        measureViews(connectionString, rounds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
