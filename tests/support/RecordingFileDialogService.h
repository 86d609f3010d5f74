#pragma once

#include <QList>
#include <QStringList>

#include "toolkit/dialogs/FileDialogService.h"

// A file dialog service for tests: installs itself while it lives (putting back the service
// before it when destroyed), records every request and answers from a scripted queue; with
// no answer left the user cancelled. A save answer without a suffix gets the request's
// default one, as in the Qt dialog. GUI thread only.
class RecordingFileDialogService : public FileDialogService
{
public:
    void answerSave(const QString& path) { m_answers.append(path); }
    const QList<SaveRequest>& requests() const { return m_requests; }
    void answerOpenFile(const QString& path) { m_openAnswers.append(path); }
    // "caption|filter" of every file-open dialog, in order.
    const QStringList& asked() const { return m_asked; }

    QString saveFileName(const SaveRequest& request) override;
    QString openFileName(const QString& caption, const QString& filter, const QString& directory = {}) override;

private:
    QList<SaveRequest> m_requests;
    QStringList m_answers;
    QStringList m_asked;
    QStringList m_openAnswers;
    Scope m_installed{this};
};
