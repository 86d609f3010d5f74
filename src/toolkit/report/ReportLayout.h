#pragma once

#include "toolkit/report/ReportCursor.h"
#include "toolkit/report/ReportDefinition.h"
#include "toolkit/report/ReportPage.h"

// Receives the pages of a report one at a time as the layout finishes them, and tells the
// layout after each band whether to go on (a preview being cancelled says no).
class PageSink
{
public:
    virtual ~PageSink() = default;
    virtual void addPage(ReportPage page) = 0;
    virtual bool keepGoing() { return true; }
};

// Lays a definition out into pages, walking its cursors in place: the main cursor once,
// each sub-detail's cursor each time its master's band prints (a linked one over the rows of
// its master's row, skipping the others); a memo naming a parameter
// shows that value of parameters. Page numbers count from
// firstPage. Returns the number the next page would get; stops early, with the pages made so
// far delivered, when the sink says so (the page being filled is then dropped). A throw from
// a cursor ends the layout and passes through. GUI thread only.
int layoutReport(const ReportDefinition& definition, const ReportCursors& cursors, PageSink& sink, int firstPage = 1,
                 const ReportParameters& parameters = {});
