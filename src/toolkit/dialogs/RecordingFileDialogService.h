#pragma once

#include <QStringList>

#include "toolkit/dialogs/FileDialogService.h"

// A file dialog service for tests: installs itself while it lives (putting back the service
// before it when destroyed), records the caption and filter of each dialog asked for and
// answers from a scripted queue; with no answer left the user cancelled. GUI thread only.
class RecordingFileDialogService : public FileDialogService
{
public:
    RecordingFileDialogService();
    ~RecordingFileDialogService() override;
    RecordingFileDialogService(const RecordingFileDialogService&) = delete;
    RecordingFileDialogService& operator=(const RecordingFileDialogService&) = delete;

    void answerOpenFile(const QString& path) { m_answers.append(path); }
    // "caption|filter" of every dialog, in order.
    const QStringList& asked() const { return m_asked; }

    QString openFileName(const QString& caption, const QString& filter, const QString& directory = {}) override;

private:
    FileDialogService* m_before;
    QStringList m_asked;
    QStringList m_answers;
};
