#include "toolkit/report/PreviewService.h"

#include "toolkit/report/ReportPreview.h"

namespace {

class ModalPreviewService : public PreviewService
{
public:
    void run(ReportPreview& preview) override { preview.exec(); }
};

} // namespace

PreviewService& PreviewService::standard()
{
    static ModalPreviewService modal;
    return modal;
}
