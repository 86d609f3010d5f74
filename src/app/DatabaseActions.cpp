#include "app/DatabaseActions.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QWidget>

#include "app/CopyProgress.h"
#include "app/DailyCopy.h"
#include "data/DataModule.h"
#include "data/DatabaseRestore.h"
#include "toolkit/db/BackupFile.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StaleRows.h"
#include "toolkit/dialogs/FileDialogService.h"
#include "toolkit/dialogs/MessageService.h"
#include "toolkit/widgets/WindowRereads.h"

namespace {

const QString Filter = QStringLiteral("Vornadel databases|*.mdb|All files|*");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool sameFile(const QString& a, const QString& b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

QString lastChanged(const QString& path)
{
    return QLocale().toString(QFileInfo(path).lastModified(), QLocale::ShortFormat);
}

void tell(const QString& text)
{
    MessageService::current().messageDialog(text, MessageService::Type::Information, QMessageBox::Ok);
}

QList<QWidget*> openWindows()
{
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            windows.append(w);
    return windows;
}

// A server's database is backed up where it lies, by its administrator's tools; copying it
// through one user's program would take a team's data to one desktop. True when it told so.
bool toldServerBackup(const Connection& open)
{
    if (!open.isServer())
        return false;
    MessageService::current().messageDialog(
        QStringLiteral("The database is on the server %1; this program backs up and restores database files only. "
                       "Back the server's database up with pg_dump and restore it with pg_restore on the server "
                       "(see \"Sharing with a team\" in the README).")
            .arg(open.serverName()),
        MessageService::Type::Information, QMessageBox::Ok);
    return true;
}

} // namespace

void backUpDatabase(TMainDataModule& dm, QWidget* parent)
{
    Connection& open = *dm.MainADOConnection();
    if (toldServerBackup(open))
        return;
    const QFileInfo database(open.path());
    FileDialogService::SaveRequest request;
    request.caption = QStringLiteral("Back up");
    request.filter = Filter;
    request.defaultExtension = QStringLiteral("mdb");
    request.directory = database.dir().filePath(
        QStringLiteral("%1 %2.mdb").arg(database.completeBaseName(), QDate::currentDate().toString(u"yyyy-MM-dd")));
    const QString path = FileDialogService::current().saveFileName(request);
    if (path.isEmpty())
        return;
    // Replacing the open file under the store would ruin it.
    if (sameFile(path, open.path())) {
        MessageService::current().messageDialog(
            QStringLiteral("'%1' is the open database itself; choose another file for the copy.").arg(native(path)),
            MessageService::Type::Warning, QMessageBox::Ok);
        return;
    }
    BackupFile copy(open, path);
    const bool done = runWithProgress(parent, QStringLiteral("Back up"),
                                      QStringLiteral("Copying the database to '%1'...").arg(native(path)),
                                      [&] { return copy.step(CopyStepPages); },
                                      [&] { return percentOf(copy.pagesCopied(), copy.pageCount()); });
    tell(done ? QStringLiteral("The database was copied to '%1'.").arg(native(path))
              : QStringLiteral("The backup was cancelled; no copy was written."));
}

void restoreDatabase(TMainDataModule& dm, QWidget* parent)
{
    if (toldServerBackup(*dm.MainADOConnection()))
        return;
    const QString current = dm.MainADOConnection()->path();
    // The daily copies are the likeliest choice.
    const QString copies = dailyCopyFolder(current);
    const QString chosen = FileDialogService::current().openFileName(
        QStringLiteral("Restore"), Filter,
        QFileInfo::exists(copies) ? copies : QFileInfo(current).absolutePath());
    if (chosen.isEmpty())
        return;
    if (sameFile(chosen, current)) {
        MessageService::current().messageDialog(
            QStringLiteral("'%1' is the open database itself; choose a copy of it to restore.").arg(native(chosen)),
            MessageService::Type::Warning, QMessageBox::Ok);
        return;
    }
    const QString question =
        QStringLiteral("Replace the open database\n'%1',\nlast changed %2,\n\nwith the copy\n'%3',\nlast changed %4?\n\n"
                       "A copy of the open database is written beside it first.")
            .arg(native(current), lastChanged(current), native(chosen), lastChanged(chosen));
    if (MessageService::current().messageDialog(question, MessageService::Type::Confirmation,
                                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;

    // Checked before anything is saved: a file refused changes nothing.
    DatabaseRestore restore(dm, chosen);
    // What the user typed is saved next, so the copy of the open database holds it.
    const QList<QWidget*> windows = openWindows();
    for (QWidget* window : windows)
        for (Dataset* dataset : WindowRereads::shownBy(window))
            dataset->endPendingChanges();
    const bool done = runWithProgress(parent, QStringLiteral("Restore"),
                                      QStringLiteral("Restoring the database from '%1'...").arg(native(chosen)),
                                      [&] { return restore.step(CopyStepPages); }, [&] { return restore.percent(); });
    if (!done) {
        restore.cancel();
        tell(QStringLiteral("The restore was cancelled; the open database is as it was."));
        return;
    }
    for (QWidget* window : windows)
        StaleRows::reread(WindowRereads::shownBy(window));
    tell(QStringLiteral("The database was restored from '%1'.\nThe database as it was before is kept in '%2'.")
             .arg(native(chosen), native(restore.safetyCopy())));
}
