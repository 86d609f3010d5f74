#pragma once

#include <QString>

// Where the program finds its database and its help. In a build folder, or a copy of one,
// "Vornadel.mdb" and the folder "help" lie beside the program file. Built for the package, the
// database is the user's own "Vornadel.mdb" in the user's data folder, offered to be made at
// the first start, and the help lies where the package puts it: share/vornadel/help beside the
// program's bin folder. A file named on the command line is opened in either, with no offer.
enum class Layout { BuildFolder, Package };

struct Places
{
    QString database;
    // The libpq URI of the server's database; empty for the file above.
    QString server = {};
    // True for the user's own database of the package's program, which nobody else makes.
    bool offerNewDatabase = false;
    QString helpFolder;
};

// chosenDatabase and chosenServer are the file and the URI named on the command line, or
// empty. Throws std::invalid_argument naming the file and line when "Vornadel.conn" cannot be
// read or holds something other than one URI.
Places programPlaces(Layout layout, const QString& programFolder, const QString& dataFolder,
                     const QString& chosenDatabase, const QString& chosenServer = {});

// The one URI of a connection file: blank lines and lines starting with '#' are passed over;
// a file holding nothing else, or no file, gives an empty text. Throws std::invalid_argument
// as programPlaces does.
QString serverInFile(const QString& path);
