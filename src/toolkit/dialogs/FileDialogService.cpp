#include "toolkit/dialogs/FileDialogService.h"

#include <QStringList>

#include "toolkit/dialogs/QtFileDialogService.h"

FileDialogService& FileDialogService::standard()
{
    static QtFileDialogService dialogs;
    return dialogs;
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
