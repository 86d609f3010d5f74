#include "reports/ReportForm.h"

#include <QApplication>

#include "data/DataModule.h"
#include "toolkit/db/ControlsDisabled.h"
#include "toolkit/db/CurrentRows.h"
#include "toolkit/db/StaleRows.h"
#include "toolkit/report/PreviewService.h"
#include "toolkit/report/ReportPreview.h"

namespace {

// While a report walks, windows behind the preview do not redraw on every move; the rules may
// touch any shared dataset, so all of them hold their controls.
std::vector<std::unique_ptr<ControlsDisabled>> holdControls(const std::vector<Dataset*>& datasets)
{
    std::vector<std::unique_ptr<ControlsDisabled>> held;
    for (Dataset* d : datasets)
        held.push_back(std::make_unique<ControlsDisabled>(*d));
    return held;
}

} // namespace

ReportForm::ReportForm(TMainDataModule& dataModule, const QString& name, const QString& caption, QObject* parent)
    : QObject(parent ? parent : qApp), m_dataModule(dataModule)
{
    setObjectName(name);
    QuickRep1.caption = caption;
}

ReportForm::~ReportForm() = default;

void ReportForm::addCursor(Dataset* dataset)
{
    m_cursorStore.push_back(std::make_unique<DatasetCursor>(dataset));
    m_cursors.insert(dataset->name(), m_cursorStore.back().get());
    m_walked.append(dataset);
}

int ReportForm::produce(PageSink& sink, int firstPage)
{
    const auto held = holdControls(m_dataModule.sharedDatasets());
    // What other windows saved since the walked datasets read their rows is in the report.
    StaleRows::reread(StaleRows::withSources(m_walked));
    // The walk moves the shared datasets; the user comes back to the rows they stood on.
    // No report prints the status history: it is read once at the end, not at every move.
    CurrentRows places(m_dataModule.sharedDatasets());
    m_dataModule.holdHistory();
    const auto comeBack = [&] {
        places.restore();
        m_dataModule.releaseHistory();
    };
    int next = firstPage;
    try {
        next = layoutReport(QuickRep1, m_cursors, sink, firstPage, prepare());
    } catch (...) {
        try {
            comeBack();
        } catch (...) {
            // The walk's own error is the one the user needs to see.
        }
        throw;
    }
    comeBack();
    return next;
}

void ReportForm::Preview()
{
    previewReports(caption(), {this});
}

void previewReports(const QString& caption, const std::vector<ReportForm*>& reports)
{
    ReportPreview preview(caption, [&](PageSink& sink) {
        int page = 1;
        for (ReportForm* report : reports) {
            page = report->produce(sink, page);
            if (!sink.keepGoing())
                break;
        }
    }, QApplication::activeWindow());
    PreviewService::current().run(preview);
}
