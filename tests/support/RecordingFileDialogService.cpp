#include "support/RecordingFileDialogService.h"

#include <QFileInfo>

QString RecordingFileDialogService::saveFileName(const SaveRequest& request)
{
    m_requests.append(request);
    if (m_answers.isEmpty())
        return {};
    // As the Qt dialog does: a name typed without a suffix gets the default one.
    const QString path = m_answers.takeFirst();
    return QFileInfo(path).suffix().isEmpty() && !request.defaultExtension.isEmpty()
               ? path + QLatin1Char('.') + request.defaultExtension
               : path;
}

QString RecordingFileDialogService::openFileName(const QString& caption, const QString& filter, const QString&)
{
    m_asked.append(caption + QLatin1Char('|') + filter);
    return m_openAnswers.isEmpty() ? QString() : m_openAnswers.takeFirst();
}
