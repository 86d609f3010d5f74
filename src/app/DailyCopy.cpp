#include "app/DailyCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/CopyProgress.h"
#include "toolkit/db/BackupFile.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/dialogs/MessageService.h"

namespace {

constexpr int KeptCopies = 7;

// The copies this program wrote, oldest first: names of the form it gives, with a real date.
QStringList copiesIn(const QDir& folder, const QString& baseName)
{
    const QRegularExpression pattern(QStringLiteral("^%1 (\\d{4}-\\d{2}-\\d{2})\\.mdb$")
                                         .arg(QRegularExpression::escape(baseName)));
    QStringList copies;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (match.hasMatch() && QDate::fromString(match.captured(1), u"yyyy-MM-dd").isValid())
            copies.append(name);
    }
    // The date is the only part that differs, written so that the name order is the date order.
    return copies;
}

QString copyName(const QString& baseName, const QDate& day)
{
    return QStringLiteral("%1 %2.mdb").arg(baseName, day.toString(u"yyyy-MM-dd"));
}

} // namespace

QString dailyCopyFolder(const QString& databasePath)
{
    return QFileInfo(databasePath).dir().filePath(QStringLiteral("Backups"));
}

void writeDailyCopy(Connection& connection, const QDate& today, const std::function<bool(BackupFile&)>& copy)
{
    const QString folderPath = dailyCopyFolder(connection.path());
    const QString baseName = QFileInfo(connection.path()).completeBaseName();
    const QDir folder(folderPath);
    if (folder.exists(copyName(baseName, today)))
        return;
    if (!QDir().mkpath(folderPath))
        throw StoreError(QStringLiteral("The folder '%1' could not be made.").arg(QDir::toNativeSeparators(folderPath)));
    BackupFile file(connection, folder.filePath(copyName(baseName, today)));
    if (!copy(file))
        return;
    QStringList copies = copiesIn(folder, baseName);
    while (copies.size() > KeptCopies)
        QFile::remove(folder.filePath(copies.takeFirst()));
}

void keepDailyCopy(Connection& connection, const QDate& today)
{
    try {
        writeDailyCopy(connection, today, [](BackupFile& file) {
            return runWithProgress(nullptr, MessageService::title(), QStringLiteral("Writing today's copy of the database..."),
                                   [&] { return file.step(CopyStepPages); },
                                   [&] { return percentOf(file.pagesCopied(), file.pageCount()); });
        });
    } catch (const std::exception& e) {
        MessageService::current().messageDialog(
            QStringLiteral("Today's copy of the database could not be written; the program goes on without it, and "
                           "tries again at its next start.\n%1").arg(QString::fromUtf8(e.what())),
            MessageService::Type::Warning, QMessageBox::Ok);
    }
}
