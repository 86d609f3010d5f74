#pragma once

#include <memory>

#include <QString>
#include <QTemporaryDir>

#include "toolkit/db/Connection.h"

class ServerDatabase;

// Where a test's database lives: a new keyed file in a temporary folder, or, when
// VORNADEL_TEST_SERVER is set, a new database on that server, so that one test runs against
// either engine. The constructor throws StoreError when the server refuses. GUI thread only.
class TestStore
{
public:
    explicit TestStore(const QString& fileName = QStringLiteral("Test.mdb"), const QString& password = QStringLiteral("pw"));
    ~TestStore();

    static bool onServer();
    // Opens the new, empty database; on a file, creates it.
    Connection create() const;
    QString connectionString() const;
    // The file's path; empty on a server.
    QString path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_password;
    std::unique_ptr<ServerDatabase> m_server;
};
