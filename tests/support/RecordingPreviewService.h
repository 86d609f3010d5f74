#pragma once

#include <functional>

#include <QStringList>

#include "toolkit/report/PreviewService.h"
#include "toolkit/report/ReportPages.h"

// A preview service for tests: installs itself while it lives (putting back the one before it
// when destroyed). Each run produces the preview's pages without showing it, keeps a copy of
// them, then runs the scripted step (if any) on the preview, as a user would before closing.
// GUI thread only.
class RecordingPreviewService : public PreviewService
{
public:
    std::function<void(ReportPreview&)> step;

    int runs() const { return m_runs; }
    // The pages of the last run, and the texts of each, in drawing order.
    const ReportPages& pages() const { return m_pages; }
    QStringList pageTexts(int index) const;
    QStringList allTexts() const;

    void run(ReportPreview& preview) override;

private:
    int m_runs = 0;
    ReportPages m_pages;
    Scope m_installed{this};
};
