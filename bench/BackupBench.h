#pragma once

class QString;

// A backup of the database at path (the program's step size) against a plain copy of its file
// with QFile::copy, both into a temporary folder, alternating over rounds.
void runBackupBench(const QString& path, const QString& connectionString, int rounds);
