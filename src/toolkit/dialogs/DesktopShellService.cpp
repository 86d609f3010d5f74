#include "toolkit/dialogs/DesktopShellService.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

bool isAddress(const QString& target)
{
    const QUrl url(target);
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto")
        || scheme == QLatin1String("ftp") || scheme == QLatin1String("file");
}

}

bool DesktopShellService::open(const QString& target, const QString& parameters)
{
    if (target.trimmed().isEmpty())
        return false;
    if (isAddress(target))
        return QDesktopServices::openUrl(QUrl(target));
    const QString program = findProgram(target);
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, QProcess::splitCommand(parameters));
}

QString DesktopShellService::findProgram(const QString& target)
{
    const QFileInfo given(target);
    if (target.contains(QLatin1Char('/')) || target.contains(QLatin1Char('\\')))
        return given.isFile() && given.isExecutable() ? given.absoluteFilePath() : QString();
    const QString beside = QStandardPaths::findExecutable(target, {QCoreApplication::applicationDirPath()});
    return beside.isEmpty() ? QStandardPaths::findExecutable(target) : beside;
}
