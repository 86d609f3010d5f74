#include "data/DatabaseFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "data/Schema.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/StoreError.h"

void createDatabaseFile(const QString& path, const std::function<void(Connection&)>& fill)
{
    const QFileInfo target(path);
    if (target.exists())
        throw StoreError(QStringLiteral("'%1' already exists; it is left as it is.").arg(target.filePath()));
    const QTemporaryDir work(target.absoluteDir().filePath(QStringLiteral(".vornadel-new-XXXXXX")));
    if (!work.isValid())
        throw StoreError(QStringLiteral("Cannot write in '%1': %2").arg(target.absolutePath(), work.errorString()));
    const QString building = work.filePath(target.fileName());
    {
        Connection connection = Connection::create(building, databasePassword());
        createSchema(connection);
        fillLists(connection);
        if (fill)
            fill(connection);
    }
    if (!QFile::rename(building, target.filePath()))
        throw StoreError(QStringLiteral("Could not create '%1'; was it made meanwhile?").arg(target.filePath()));
}
