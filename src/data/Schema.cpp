#include "data/Schema.h"

#include "data/SchemaUpgrade.h"

#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/Transaction.h"

namespace {

// Widths are those the datasets declare; the texts whose width no dataset declares get 255.
// Business and QuestionsMain have no key of their own: RowKey gives each row a stable identity
// that no dataset shows, and AUTOINCREMENT keeps a deleted row's identity from coming back.
const char* const SchemaSql = R"sql(
CREATE TABLE Companies (
  CompanyID INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(255),
  Address VARCHAR(255),
  Tel1 VARCHAR(30),
  Tel2 VARCHAR(30),
  Fax VARCHAR(30),
  MainActivities VARCHAR(512),
  Comments VARCHAR(512)
);
CREATE TABLE People (
  PersonID INTEGER PRIMARY KEY AUTOINCREMENT,
  CompanyID INTEGER,
  Name VARCHAR(255),
  Title VARCHAR(255),
  Email VARCHAR(64),
  Mobile VARCHAR(30),
  Info VARCHAR(255),
  Company VARCHAR(255),
  Address VARCHAR(255),
  Tel VARCHAR(255),
  Fax VARCHAR(255)
);
CREATE INDEX PeopleCompanyID ON People (CompanyID);
CREATE TABLE Projects (
  ProjectID INTEGER PRIMARY KEY AUTOINCREMENT,
  CompanyID INTEGER,
  Name VARCHAR(255),
  Code VARCHAR(255),
  Comments VARCHAR(512)
);
CREATE INDEX ProjectsCompanyID ON Projects (CompanyID);
CREATE TABLE SubProjects (
  SubProjectID INTEGER PRIMARY KEY AUTOINCREMENT,
  SubProjectTypeID INTEGER,
  ProjectID INTEGER,
  SizeID INTEGER,
  Name VARCHAR(255),
  Code VARCHAR(255),
  Comments VARCHAR(512)
);
CREATE INDEX SubProjectsProjectID ON SubProjects (ProjectID);
CREATE TABLE SubProjectType (
  SPTypeID INTEGER PRIMARY KEY,
  SPTypeName VARCHAR(64),
  Comments VARCHAR(255)
);
CREATE TABLE SubProjectSize (
  ID INTEGER PRIMARY KEY,
  Name VARCHAR(255)
);
CREATE TABLE SubProjectStatus (
  SPStatusID INTEGER PRIMARY KEY,
  SPStatusName VARCHAR(64)
);
CREATE TABLE SubProjectHistory (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  SubProjectID INTEGER,
  SubProjectStatusID INTEGER,
  "Date" DATETIME
);
CREATE INDEX SubProjectHistorySubProjectID ON SubProjectHistory (SubProjectID);
CREATE TABLE Business (
  RowKey INTEGER PRIMARY KEY AUTOINCREMENT,
  PersonID INTEGER,
  SubProjectID INTEGER,
  SPDecisionMaker BOOLEAN,
  SPUser BOOLEAN,
  SPInfluencer BOOLEAN,
  SPPurchaser BOOLEAN,
  SPGateKeeper BOOLEAN,
  SPWeight INTEGER
);
CREATE INDEX BusinessSubProjectID ON Business (SubProjectID);
CREATE INDEX BusinessPersonID ON Business (PersonID);
CREATE TABLE QuestionsMain (
  RowKey INTEGER PRIMARY KEY AUTOINCREMENT,
  PersonID INTEGER,
  QuestionID INTEGER,
  Answer INTEGER
);
CREATE INDEX QuestionsMainPersonID ON QuestionsMain (PersonID);
)sql";

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

ColumnRequirement autoNumber(const char* name) { return {QString::fromLatin1(name), FieldType::AutoInc}; }
ColumnRequirement integer(const char* name) { return {QString::fromLatin1(name), FieldType::Integer}; }
ColumnRequirement boolean(const char* name) { return {QString::fromLatin1(name), FieldType::Boolean}; }
ColumnRequirement dateTime(const char* name) { return {QString::fromLatin1(name), FieldType::DateTime}; }
ColumnRequirement text(const char* name) { return {QString::fromLatin1(name), FieldType::Text}; }

} // namespace

QString databasePassword()
{
    return QStringLiteral("ZeKRW");
}

void createSchema(Connection& connection)
{
    Transaction transaction(connection);
    connection.exec(QString::fromUtf8(SchemaSql));
    connection.setSchemaVersion(programSchemaVersion());
    transaction.commit();
}

void fillLists(Connection& connection)
{
    Transaction transaction(connection);
    Statement type(connection, QStringLiteral("INSERT INTO SubProjectType (SPTypeID, SPTypeName, Comments) VALUES (?, ?, ?)"));
    for (const TypeRow& row : Types) {
        type.bind(1, row.id);
        type.bind(2, QString::fromUtf8(row.name));
        type.bind(3, QString::fromUtf8(row.comments));
        type.run();
        type.reset();
    }
    Statement size(connection, QStringLiteral("INSERT INTO SubProjectSize (ID, Name) VALUES (?, ?)"));
    int id = 0;
    for (const char* name : Sizes) {
        size.bind(1, ++id);
        size.bind(2, QString::fromUtf8(name));
        size.run();
        size.reset();
    }
    Statement status(connection, QStringLiteral("INSERT INTO SubProjectStatus (SPStatusID, SPStatusName) VALUES (?, ?)"));
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
    return {
        {QStringLiteral("Companies"), {autoNumber("CompanyID"), text("Name")}},
        {QStringLiteral("People"),
         {autoNumber("PersonID"), integer("CompanyID"), text("Name"), text("Title"), text("Email"), text("Mobile"),
          text("Info")}},
        {QStringLiteral("Projects"),
         {autoNumber("ProjectID"), integer("CompanyID"), text("Name"), text("Code"), text("Comments")}},
        {QStringLiteral("SubProjects"),
         {autoNumber("SubProjectID"), integer("SubProjectTypeID"), integer("ProjectID"), integer("SizeID"),
          text("Name"), text("Code"), text("Comments")}},
        {QStringLiteral("SubProjectType"), {integer("SPTypeID"), text("SPTypeName"), text("Comments")}},
        {QStringLiteral("SubProjectSize"), {integer("ID"), text("Name")}},
        {QStringLiteral("SubProjectStatus"), {integer("SPStatusID"), text("SPStatusName")}},
        {QStringLiteral("SubProjectHistory"),
         {autoNumber("ID"), integer("SubProjectID"), integer("SubProjectStatusID"), dateTime("Date")}},
        {QStringLiteral("Business"),
         {integer("PersonID"), integer("SubProjectID"), boolean("SPDecisionMaker"), boolean("SPUser"),
          boolean("SPInfluencer"), boolean("SPPurchaser"), boolean("SPGateKeeper"), integer("SPWeight")}},
        {QStringLiteral("QuestionsMain"), {integer("PersonID"), integer("QuestionID"), integer("Answer")}},
    };
}
