#include "data/Schema.h"

#include "data/Catalogue.h"
#include "data/SchemaUpgrade.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/Transaction.h"

namespace {

struct TypeRow
{
    int id;
    const char* name;
    const char* comments;
};

// Type 1 is what a subproject saved without a type gets; type 3 is a new subproject's default.
const TypeRow Types[] = {
    {1, "General", "Work that fits none of the other types"},
    {2, "Consulting", "Studies, audits and advice that prepare a buying decision"},
    {3, "Solution", "Supply and implementation of a complete solution, from design to hand-over"},
    {4, "Software licences", "Licences, subscriptions and their renewals"},
    {5, "Hardware", "Servers, devices and equipment, delivered and installed"},
    {6, "Support services", "Maintenance, help desk and managed services under contract"},
    {7, "Training", "Courses and workshops for the customer's staff"},
};

// Size 1 is what a subproject saved without a size gets; size 2 is a new subproject's default.
const char* const Sizes[] = {"Not sized", "Small", "Medium", "Large", "Strategic"};

// Status 1 is every new history row's default; the rest follow a sale from start to end.
const char* const Statuses[] = {"First contact",  "Needs identified", "Qualified", "Proposal sent",
                                "Negotiation",    "Won",              "Lost",      "On hold"};

} // namespace

QString databasePassword()
{
    return QStringLiteral("ZeKRW");
}

void createSchema(Connection& connection)
{
    Transaction transaction(connection);
    for (const TableDef& table : Catalogue::tables())
        connection.createTable(table);
    connection.setSchemaVersion(programSchemaVersion());
    transaction.commit();
}

void fillLists(Connection& connection)
{
    Transaction transaction(connection);
    Statement type(connection, insertSql(Catalogue::table(QStringLiteral("SubProjectType"))));
    for (const TypeRow& row : Types) {
        type.bind(1, row.id);
        type.bind(2, QString::fromUtf8(row.name));
        type.bind(3, QString::fromUtf8(row.comments));
        type.run();
        type.reset();
    }
    Statement size(connection, insertSql(Catalogue::table(QStringLiteral("SubProjectSize"))));
    int id = 0;
    for (const char* name : Sizes) {
        size.bind(1, ++id);
        size.bind(2, QString::fromUtf8(name));
        size.run();
        size.reset();
    }
    Statement status(connection, insertSql(Catalogue::table(QStringLiteral("SubProjectStatus"))));
    id = 0;
    for (const char* name : Statuses) {
        status.bind(1, ++id);
        status.bind(2, QString::fromUtf8(name));
        status.run();
        status.reset();
    }
    transaction.commit();
}

QList<TableRequirement> startupRequirements()
{
    QList<TableRequirement> tables;
    for (const TableDef& table : Catalogue::tables())
        tables.append(requirement(table));
    return tables;
}
