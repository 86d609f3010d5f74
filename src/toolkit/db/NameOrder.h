#pragma once

#include <QString>

struct sqlite3;

// Names in the order a person expects: case and accents ignored ("acme" and "Éclair" among
// the A and E names, not after "Z"), whatever the locale, the bare C locale included; names
// equal that way follow the user's locale, then their characters. Queries ask for it with
// COLLATE NAMES; nothing in a file's schema names it, so other SQLite tools read the file.
namespace NameOrder {

// Negative, zero or positive as a sorts before, with or after b.
int compare(QStringView a, QStringView b);
// Makes NAMES known to a connection; returns the store's result code.
int install(sqlite3* db);

}
