#include "toolkit/dialogs/FileDialogService.h"

#include <QStringList>

#include "toolkit/dialogs/QtFileDialogService.h"

namespace {

FileDialogService* installed = nullptr;

}

FileDialogService& FileDialogService::current()
{
    if (installed)
        return *installed;
    static QtFileDialogService standard;
    return standard;
}

FileDialogService* FileDialogService::install(FileDialogService* service)
{
    FileDialogService* before = installed;
    installed = service;
    return before;
}

QString FileDialogService::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ');
        entries.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    return entries.join(QStringLiteral(";;"));
}
