#pragma once

#include <QString>

// A fresh, empty database on the test server that VORNADEL_TEST_SERVER names (a libpq URI of
// a superuser on a throwaway cluster), made with a name of its own and dropped, with whatever
// sessions still use it, by the destructor. The constructor throws StoreError when the server
// refuses it. GUI thread only.
class ServerDatabase
{
public:
    // The server's URI; empty when no test server is set.
    static QString serverUri();
    // Why a test that needs a server skips, for QSKIP.
    static const char* skipReason() { return "VORNADEL_TEST_SERVER is not set: no PostgreSQL server to test on."; }

    ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;
    ~ServerDatabase();

    const QString& name() const { return m_name; }
    // The libpq URI of the new database.
    QString uri() const;
    // "Provider=PostgreSQL;Data Source="<uri>";"
    QString connectionString() const;

private:
    QString m_name;
};
