#pragma once

#include <QString>

// Imports 100,000 generated contacts, as vCard and as CSV, into a new empty company of a copy
// of the database at path, and prints the milliseconds to read, preview and store each
// (store includes reading the people datasets again) and the peak memory so far; then the
// memory a 200,000-row CSV import adds at its peak. With server (a connection string) the imports
// go into that database, in a company removed after each, and path is not read.
void runImportBenches(const QString& path, const QString& server = {});
