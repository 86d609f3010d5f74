#pragma once

#include "support/TestDatabase.h"

// Tables shaped like the application's, for the dataset tests: a master with an auto-number
// key, details with link columns, a key-less table with a hidden row key, and a list table.
class DatasetTables : public TestDatabase
{
public:
    DatasetTables()
    {
        exec(QStringLiteral(
            "CREATE TABLE Companies (CompanyID INTEGER PRIMARY KEY AUTOINCREMENT, Name VARCHAR(255));"
            "CREATE TABLE Projects (ProjectID INTEGER PRIMARY KEY AUTOINCREMENT, CompanyID INTEGER, Name VARCHAR(255));"
            "CREATE TABLE SubProjects (SubProjectID INTEGER PRIMARY KEY AUTOINCREMENT, ProjectID INTEGER,"
            " SizeID INTEGER, Name VARCHAR(255), Code VARCHAR(255));"
            "CREATE TABLE People (PersonID INTEGER PRIMARY KEY AUTOINCREMENT, CompanyID INTEGER, Name VARCHAR(255),"
            " Tel TEXT);"
            "CREATE TABLE Business (RowKey INTEGER PRIMARY KEY, PersonID INTEGER, SubProjectID INTEGER,"
            " SPUser BOOLEAN DEFAULT 0, SPWeight INTEGER);"
            "CREATE TABLE SubProjectHistory (ID INTEGER PRIMARY KEY AUTOINCREMENT, SubProjectID INTEGER,"
            " SubProjectStatusID INTEGER, Date DATETIME);"
            "CREATE TABLE SubProjectStatus (SPStatusID INTEGER, SPStatusName VARCHAR(64));"));
    }
};
