#pragma once

#include <QString>
#include <QVariantList>

class Connection;

// The rows that hang on a company, project, subproject or person, counted and removed
// together with it so that nothing is left unreachable in the file.
namespace Cascade {

enum Kind { Company, Project, SubProject, Person };

// "Delete record?" followed by what goes: the row's kind and name, then how many dependent
// rows go with it, if any.
QString deleteQuestion(Connection& connection, Kind kind, const QVariant& id, const QString& name);
// Removes the dependent rows; the caller holds the transaction.
void removeDependents(Connection& connection, Kind kind, const QVariant& id);
// question followed by what deleting the people with personIds takes: the people, their
// buying-role rows (also those in subprojects of other companies than companyId), answers,
// follow-ups and activities.
QString deletePeopleQuestion(Connection& connection, const QString& question, const QVariantList& personIds,
                             const QVariant& companyId);
// Removes the buying-role rows, answers, follow-ups and activities of the people with
// personIds; the caller holds the transaction.
void removePeopleDependents(Connection& connection, const QVariantList& personIds);
// The name of the key column of the kind's table.
QString keyColumn(Kind kind);

} // namespace Cascade
