// Each keystroke of typed queries through the real jump search box (index read beforehand,
// as the box does at first use), and the pipeline window from construction to its last row
// shown.
#include "SearchBench.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include "Measure.h"
#include "data/DataModule.h"
#include "data/SearchIndex.h"
#include "ui/main/DataEntry.h"
#include "ui/main/JumpSearch.h"
#include "ui/pipeline/Pipeline.h"

using measure::Clock;
using measure::msSince;

void runSearchBenches(TMainDataModule& dm, int rounds)
{
    Forms forms;
    forms.MainDataModule = &dm;
    {
        const auto start = Clock::now();
        dm.searchIndex().readAll();
        std::printf("jump_search_index %.1f ms\n", msSince(start));
    }
    TDataEntryForm window(forms);
    window.show();
    QApplication::processEvents();
    window.JumpSearchActionTrigger();
    const char* const typed[] = {"garcia", "kavita jones", "07700 900", "mail.example", "xqzw", "a", "roll"};
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        for (const char* query : typed) {
            window.JumpSearch->SearchEdit->clear();
            for (const char* c = query; *c; ++c) {
                const auto start = Clock::now();
                window.JumpSearch->SearchEdit->insert(QString(QLatin1Char(*c)));
                QApplication::processEvents();
                times.push_back(msSince(start));
            }
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("jump_search_keystroke %.2f ms\n", times[times.size() / 2]);
    std::printf("jump_search_keystroke_worst %.2f ms\n", times.back());

    std::vector<double> opens;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        TPipelineForm pipeline(forms);
        pipeline.show();
        while (pipeline.ReadTimer->isActive())
            QApplication::processEvents();
        QApplication::processEvents();
        opens.push_back(msSince(start));
    }
    std::sort(opens.begin(), opens.end());
    std::printf("pipeline_open %.1f ms\n", opens[opens.size() / 2]);
}
