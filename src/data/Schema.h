#pragma once

#include <QList>
#include <QString>

#include "toolkit/db/SchemaCheck.h"

class Connection;

// The program's database: its tables, the three lists of choices for subprojects, and
// what must be there for the program to start. Functions throw StoreError; GUI thread only.

// Every database file of the program is keyed with this password.
QString databasePassword();

// Creates the tables with their indexes in an empty database, in one transaction,
// at the program's schema version.
void createSchema(Connection& connection);

// Fills the subproject types, sizes and statuses, including the ids the editing rules
// write as defaults (type 1 and 3, size 1 and 2, status 1).
void fillLists(Connection& connection);

// The tables and columns, with their types, that the datasets opened at start-up declare.
QList<TableRequirement> startupRequirements();
