#include "toolkit/dialogs/RecordingFileDialogService.h"

RecordingFileDialogService::RecordingFileDialogService()
    : m_before(FileDialogService::install(this))
{
}

RecordingFileDialogService::~RecordingFileDialogService()
{
    FileDialogService::install(m_before);
}

QString RecordingFileDialogService::saveFileName(const SaveRequest& request)
{
    m_requests.append(request);
    return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
}
