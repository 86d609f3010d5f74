#include "app/Places.h"

#include <QDir>

Places programPlaces(Layout layout, const QString& programFolder, const QString& dataFolder,
                     const QString& chosenDatabase)
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
    return places;
}
