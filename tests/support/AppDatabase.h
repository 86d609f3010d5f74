#pragma once

#include "data/Schema.h"
#include "support/TestDatabase.h"

// A database as the program makes one: its schema and lists in a fresh file under the
// program's key. The constructor throws StoreError. GUI thread only.
class AppDatabase : public TestDatabase
{
public:
    explicit AppDatabase(const QString& fileName = QStringLiteral("Vornadel.mdb"))
        : TestDatabase(fileName, databasePassword())
    {
        createSchema(db());
        fillLists(db());
    }

    // The few rows the window tests start from:
    //   Company 3 "Acme": project 14 "Rollout" with subprojects 27 "Pilot" (one status row) and
    //   29 "Phase two", project 16 "Upgrade" without subprojects; people 40 "Ann" and 41 "Bob".
    //   Company 5 "Borealis": project 15 "Audit" with subproject 28 "Review"; person 42 "Cecil".
    //   Company 7 "Cobalt": nothing.
    //   Ann takes part in Pilot with weight 50, Cecil in Review with 70.
    void addSampleRows()
    {
        exec(QStringLiteral(
            "INSERT INTO Companies (CompanyID, Name) VALUES (3, 'Acme'), (5, 'Borealis'), (7, 'Cobalt');"
            "INSERT INTO Projects (ProjectID, CompanyID, Name) VALUES (14, 3, 'Rollout'), (15, 5, 'Audit'),"
            " (16, 3, 'Upgrade');"
            "INSERT INTO SubProjects (SubProjectID, ProjectID, Name, SubProjectTypeID, SizeID)"
            " VALUES (27, 14, 'Pilot', 1, 1), (29, 14, 'Phase two', 2, 1), (28, 15, 'Review', 1, 1);"
            "INSERT INTO SubProjectHistory (SubProjectID, SubProjectStatusID, Date) VALUES (27, 2, '2024-03-01 00:00:00');"
            "INSERT INTO People (PersonID, CompanyID, Name) VALUES (40, 3, 'Ann'), (41, 3, 'Bob'), (42, 5, 'Cecil');"
            "INSERT INTO Business (PersonID, SubProjectID, SPWeight) VALUES (40, 27, 50), (42, 28, 70);"));
    }
};
