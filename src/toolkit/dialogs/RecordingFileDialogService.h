#pragma once

#include <QList>
#include <QStringList>

#include "toolkit/dialogs/FileDialogService.h"

// A file dialog service for tests: installs itself while it lives (putting back the service
// before it when destroyed), records every request and answers from a scripted queue; with
// no answer left the user cancelled. GUI thread only.
class RecordingFileDialogService : public FileDialogService
{
public:
    RecordingFileDialogService();
    ~RecordingFileDialogService() override;
    RecordingFileDialogService(const RecordingFileDialogService&) = delete;
    RecordingFileDialogService& operator=(const RecordingFileDialogService&) = delete;

    void answerSave(const QString& path) { m_answers.append(path); }
    const QList<SaveRequest>& requests() const { return m_requests; }

    QString saveFileName(const SaveRequest& request) override;

private:
    FileDialogService* m_before;
    QList<SaveRequest> m_requests;
    QStringList m_answers;
};
