#pragma once

#include <functional>

#include <QDate>
#include <QString>

class BackupFile;
class Connection;

// The copy of the database the program keeps by itself: at the first start of each day, one
// into the folder "Backups" beside the database, named "<name> yyyy-MM-dd.mdb"; of the copies
// so named, the seven newest are kept. Files of other names in the folder are never deleted.
// GUI thread only.

// The folder of the copies of the database at databasePath.
QString dailyCopyFolder(const QString& databasePath);

// Writes today's copy when the folder holds none yet, through copy (false: stopped, no copy
// written), and then deletes the oldest beyond seven. Throws StoreError when the copy cannot
// be written, leaving the copies there were.
void writeDailyCopy(Connection& connection, const QDate& today, const std::function<bool(BackupFile&)>& copy);

// writeDailyCopy under the progress box; a failure is shown in one warning and the program
// goes on. Stopped, it writes no copy, and tries again at the next start.
void keepDailyCopy(Connection& connection, const QDate& today);
