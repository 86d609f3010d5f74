#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "toolkit/db/Field.h"
#include "toolkit/db/TableDef.h"

class Dataset;

// The program's tables and its buying roles, written out once. The CREATE TABLE text, the
// start-up check, the datasets' fields and every list of roles on screen and paper come from
// here. Constant data; asking for a table or column it does not hold is a programming error.
namespace Catalogue {

// The tables in the order they are made.
const QList<TableDef>& tables();
const TableDef& table(const QString& name);

// The fields a dataset over table declares for its stored columns, in the table's order: every
// column with a declared width or a type other than text.
QList<FieldDef> fields(const QString& table);
FieldDef field(const QString& table, const QString& column);
// Declares fields(table) on dataset.
void addFields(Dataset& dataset, const QString& table);

// A part a person plays in buying, held as a yes/no column of Business.
struct BuyingRole
{
    QString field;
    // Grid titles, labels and report captions.
    QString caption;
    // The role's check box in the transactions window.
    QString shortCaption;
    // What the Contribution page's tip says of the role.
    QString description;
};

// The five roles, in the order they are always examined and shown.
const QList<BuyingRole>& roles();

// The person's weight in the buying decision, held beside the roles.
QString weightField();
QString weightCaption();

// The role fields, then the weight: the columns every list of a person's part shows.
QStringList roleFields();

// The caption of a role or of the weight; empty for any other column.
QString caption(const QString& column);

} // namespace Catalogue
