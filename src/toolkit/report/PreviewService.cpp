#include "toolkit/report/PreviewService.h"

#include "toolkit/report/ReportPreview.h"

namespace {

class ModalPreviewService : public PreviewService
{
public:
    void run(ReportPreview& preview) override { preview.exec(); }
};

ModalPreviewService modal;
PreviewService* installed = nullptr;

} // namespace

PreviewService& PreviewService::current()
{
    return installed ? *installed : modal;
}

PreviewService* PreviewService::install(PreviewService* service)
{
    PreviewService* before = installed;
    installed = service;
    return before;
}
