#include "support/RecordingPreviewService.h"

#include "toolkit/report/ReportPreview.h"

void RecordingPreviewService::run(ReportPreview& preview)
{
    ++m_runs;
    preview.produce();
    m_pages = preview.pages();
    if (step)
        step(preview);
}

QStringList RecordingPreviewService::pageTexts(int index) const
{
    QStringList texts;
    const ReportPage page = m_pages.read(size_t(index));
    for (const ReportPrimitive& p : page.items)
        if (p.kind == ReportPrimitive::Kind::Text)
            texts.append(p.text);
    return texts;
}

QStringList RecordingPreviewService::allTexts() const
{
    QStringList texts;
    for (int i = 0; i < int(m_pages.size()); ++i)
        texts += pageTexts(i);
    return texts;
}
