#include "app/Places.h"

#include <stdexcept>

#include <QDir>
#include <QFile>
#include <QFileInfo>

Places programPlaces(Layout layout, const QString& programFolder, const QString& dataFolder,
                     const QString& chosenDatabase, const QString& chosenServer)
{
    const QDir program(programFolder);
    const QString fileName = QStringLiteral("Vornadel.mdb");
    Places places;
    if (layout == Layout::Package) {
        places.database = QDir(dataFolder).filePath(fileName);
        places.offerNewDatabase = true;
        places.helpFolder = QDir::cleanPath(program.filePath(QStringLiteral("../share/vornadel/help")));
    } else {
        places.database = program.filePath(fileName);
        places.helpFolder = program.filePath(QStringLiteral("help"));
    }
    if (!chosenDatabase.isEmpty()) {
        places.database = chosenDatabase;
        places.offerNewDatabase = false;
    }
    places.server = chosenServer;
    if (chosenServer.isEmpty() && chosenDatabase.isEmpty())
        places.server = serverInFile(program.filePath(QStringLiteral("Vornadel.conn")));
    if (!places.server.isEmpty())
        places.offerNewDatabase = false;
    return places;
}

QString serverInFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::invalid_argument(
            QStringLiteral("The connection file %1 cannot be read: %2.").arg(shown, file.errorString()).toStdString());
    QString uri;
    int uriLine = 0;
    int number = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        ++number;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const bool isUri = line.startsWith(QStringLiteral("postgresql://")) || line.startsWith(QStringLiteral("postgres://"));
        if (!isUri || line.contains(u' '))
            throw std::invalid_argument(
                QStringLiteral("Line %2 of the connection file %1 is not a connection URI. Write one line "
                               "such as postgresql://anna@crm.example.com/vornadel, or remove the file to "
                               "use the database file.")
                    .arg(shown).arg(number).toStdString());
        if (!uri.isEmpty())
            throw std::invalid_argument(
                QStringLiteral("The connection file %1 holds more than one connection URI (lines %2 and %3); "
                               "keep the one to use.")
                    .arg(shown).arg(uriLine).arg(number).toStdString());
        uri = line;
        uriLine = number;
    }
    return uri;
}
