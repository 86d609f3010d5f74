#pragma once

#include <memory>

#include <QTemporaryDir>
#include <QVariant>

#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"

// A fresh encrypted database file in a temporary folder, with a few tables shaped like the
// application's: a master with an auto-number key, details with link columns, a key-less
// table with a hidden row key, and a list table.
class TestDatabase
{
public:
    static constexpr const char* Password = "pw";

    TestDatabase()
        : m_path(m_dir.filePath(QStringLiteral("Test.mdb"))),
          m_db(std::make_unique<Connection>(Connection::create(m_path, QString::fromLatin1(Password))))
    {
        m_db->exec(QStringLiteral(
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

    Connection& db() { return *m_db; }
    const QString& path() const { return m_path; }
    QString connectionString() const
    {
        return QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                              "Database Password=\"%2\";").arg(m_path, QString::fromLatin1(Password));
    }

    // Reads one value straight from the file.
    QVariant scalar(const QString& sql)
    {
        Statement st(*m_db, sql);
        return st.step() ? st.value(0) : QVariant();
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Connection> m_db;
};
