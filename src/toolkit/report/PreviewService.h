#pragma once

#include "toolkit/dialogs/InstalledService.h"

class ReportPreview;

// How a report's preview is shown: the program's service runs it modally (exec) and returns
// when the user has closed it; tests install RecordingPreviewService so that no test waits on
// a window. install() does not take ownership. Nothing here throws. GUI thread only.
class PreviewService : public InstalledService<PreviewService>
{
public:
    virtual ~PreviewService() = default;
    virtual void run(ReportPreview& preview) = 0;

    // Runs the preview modally.
    static PreviewService& standard();
};
