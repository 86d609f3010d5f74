#include "app/FirstStart.h"

#include <QDir>
#include <QFileInfo>

#include "data/DatabaseFile.h"
#include "data/SampleData.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/dialogs/MessageService.h"

bool offerNewDatabase(const QString& file)
{
    enum Choice { Empty, Sample, Quit };
    const QFileInfo target(file);
    const int choice = MessageService::current().choose(
        QStringLiteral("Welcome to Vornadel Lite.\n\n"
                       "There is no database yet. Vornadel Lite keeps your data in the file\n%1\n\n"
                       "Make a new empty database there, or one with sample data to try the program?")
            .arg(QDir::toNativeSeparators(target.absoluteFilePath())),
        MessageService::Type::Confirmation,
        {QStringLiteral("New Empty Database"), QStringLiteral("Sample Database"), QStringLiteral("Quit")});
    if (choice == Quit)
        return false;
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder))
        throw StoreError(QStringLiteral("Could not make the folder '%1'.").arg(QDir::toNativeSeparators(folder)));
    if (choice == Sample)
        createDatabaseFile(target.absoluteFilePath(), addDemoData);
    else
        createDatabaseFile(target.absoluteFilePath());
    return true;
}
