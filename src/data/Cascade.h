#pragma once

#include <QString>

class Connection;

// The rows that hang on a company, project, subproject or person, counted and removed
// together with it so that nothing is left unreachable in the file.
namespace Cascade {

enum Kind { Company, Project, SubProject, Person };

// "Delete record?" followed by how many dependent rows go with the row, if any.
QString deleteQuestion(Connection& connection, Kind kind, const QVariant& id);
// Removes the dependent rows; the caller holds the transaction.
void removeDependents(Connection& connection, Kind kind, const QVariant& id);
// The name of the key column of the kind's table.
QString keyColumn(Kind kind);

} // namespace Cascade
