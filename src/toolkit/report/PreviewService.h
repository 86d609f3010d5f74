#pragma once

class ReportPreview;

// How a report's preview is shown: the program's service runs it modally (exec) and returns
// when the user has closed it; tests install RecordingPreviewService so that no test waits on
// a window. install() does not take ownership. Nothing here throws. GUI thread only.
class PreviewService
{
public:
    virtual ~PreviewService() = default;
    virtual void run(ReportPreview& preview) = 0;

    static PreviewService& current();
    // Installs service (nullptr: the modal one again) and returns the one installed before.
    static PreviewService* install(PreviewService* service);
};
