#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "app/Places.h"
#include "data/SchemaUpgrade.h"
#include "ui/main/Forms.h"

// "Provider=...;Data Source=<file>;...". The file name goes in unchanged, blanks too, unless a
// ';', a '"' or a blank at either end would end or cut it there; then it goes in quotes.
QString ConnectionString(const QString& databaseFile);

// "Provider=PostgreSQL;Data Source=<uri>;", with the password when one was typed; the password
// stays in memory only.
QString ServerConnectionString(const QString& uri, const QString& password = {});
// The connection string of places' database: the server's when it names one, else the file's.
QString PlacesConnectionString(const Places& places);
// How a server URI is named to the user, without its password or options: "anna@host/db".
QString ServerShownName(const QString& uri);

// The running program's long-lived windows and data module. Made by the start-up steps
// from the main window to the last long-lived window; the constructor throws what a step
// threw (StoreError for the database), leaving nothing behind. A database file of an older
// version is upgraded first (SchemaUpgrade.h), and the user told so. GUI thread only.
class Program
{
public:
    explicit Program(const QString& databaseFile, const UpgradeSteps& upgrades = schemaUpgrades());
    // The program on a server's database; its title names the server.
    struct Server
    {
        QString uri;
        QString password;
    };
    explicit Program(const Server& server, const UpgradeSteps& upgrades = schemaUpgrades());
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Forms forms;

private:
    void make(const QString& connectionString, const UpgradeSteps& upgrades);
    struct Windows;
    std::unique_ptr<Windows> m_windows;
};

// Shows the splash picture, makes the program on places' database, takes the splash away and
// hands the program to run, whose result it returns. The first start of the package's program
// asks first (FirstStart.h), and the result is 0 when the user quits. When a start-up step fails, the error's
// text is shown in an error box, the splash picture still up, and the result is 1: so it is
// for a database file newer than the program, or one whose upgrade failed. A server that asks
// for a password gets one through the password service, asked again with the server's text
// while it is wrong; Cancel ends the start-up with 0. The daily copy is the file's alone: a
// server's database is backed up on the server.
int startProgram(const Places& places, const std::function<int(Program&)>& run,
                 const UpgradeSteps& upgrades = schemaUpgrades());
