#pragma once

#include <functional>

#include <QString>

class Connection;

// Makes a new database file of the program at path: the schema, the lists, then what fill
// adds (sample data). The file is built in a hidden folder beside its target and moved into
// place only when complete, so a failed or interrupted run never leaves a half-made database
// and never replaces a file. Throws StoreError, also when the file exists or its folder cannot
// be written. GUI thread only.
void createDatabaseFile(const QString& path, const std::function<void(Connection&)>& fill = {});
