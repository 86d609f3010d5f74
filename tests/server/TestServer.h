#pragma once

#include <QString>
#include <QStringList>

// A database of its own on the test server (VORNADEL_TEST_SERVER, a superuser's libpq URI) for
// one test case, made empty by the constructor and dropped, with its sessions, by the
// destructor; tests running at once each get their own. The constructor throws
// std::runtime_error with the server's text. GUI thread only, like the tests.
class ServerTestDatabase
{
public:
    // False when no test server is named: the server tests skip.
    static bool serverNamed();

    ServerTestDatabase();
    ~ServerTestDatabase();
    ServerTestDatabase(const ServerTestDatabase&) = delete;
    ServerTestDatabase& operator=(const ServerTestDatabase&) = delete;

    const QString& name() const { return m_name; }
    // A libpq connection string for this database; as the superuser unless a role is given.
    QString conninfo(const QString& user = {}, const QString& password = {}) const;
    // The same as a URI, as a user writes one: postgresql://user@host:port/name.
    QString uri(const QString& user = {}, const QString& password = {}) const;
    // Runs statements as the superuser on this database; throws with the server's text.
    void exec(const QString& sql) const;
    // The first column of the first row of a query run as the superuser.
    QString value(const QString& sql) const;
    // Makes a login role with a password, named after this database and role so that tests
    // running at once do not meet, and dropped with the database; returns its name.
    QString makeRole(const QString& role, const QString& password) const;

private:
    QString m_name;
    mutable QStringList m_roles;
};
