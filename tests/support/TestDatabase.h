#pragma once

#include <memory>

#include <QTemporaryDir>
#include <QVariant>

#include "support/TestStore.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"

// A fresh encrypted database for one test case, in a temporary folder of its own that goes
// with it, or, when a test server is set (TestStore), a fresh database on that server. The test keeps a connection of its own beside the program's: the one that made the
// file until close(), then one opened when next asked for. The constructor throws StoreError.
// GUI thread only.
class TestDatabase
{
public:
    explicit TestDatabase(const QString& fileName = QStringLiteral("Test.mdb"),
                          const QString& password = QStringLiteral("pw"))
        : m_store(fileName, password), m_db(create())
    {
    }

    static bool onServer() { return TestStore::onServer(); }
    // The file's path; empty on a server.
    QString path() const { return m_store.path(); }
    QString connectionString() const { return m_store.connectionString(); }

    Connection& db()
    {
        if (!m_db)
            m_db = std::make_unique<Connection>(connectionString());
        return *m_db;
    }
    // Leaves the file to the program's own connection until the test next reads or writes.
    void close() { m_db.reset(); }

    void exec(const QString& sql) { db().exec(sql); }
    // One value read straight from the file; null when there is no row.
    QVariant scalar(const QString& sql)
    {
        Statement st(db(), sql);
        return st.step() ? st.value(0) : QVariant();
    }

private:
    // Where every test's database is made: an empty keyed file or server database, and the
    // connection that made it.
    std::unique_ptr<Connection> create() const { return std::make_unique<Connection>(m_store.create()); }

    TestStore m_store;
    std::unique_ptr<Connection> m_db;
};
