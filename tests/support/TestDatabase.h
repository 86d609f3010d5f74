#pragma once

#include <memory>

#include <QTemporaryDir>
#include <QVariant>

#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"

// A fresh encrypted database for one test case, in a temporary folder of its own that goes
// with it. The test keeps a connection of its own beside the program's: the one that made the
// file until close(), then one opened when next asked for. The constructor throws StoreError.
// GUI thread only.
class TestDatabase
{
public:
    explicit TestDatabase(const QString& fileName = QStringLiteral("Test.mdb"),
                          const QString& password = QStringLiteral("pw"))
        : m_path(m_dir.filePath(fileName)), m_password(password), m_db(create())
    {
    }

    const QString& path() const { return m_path; }
    QString connectionString() const
    {
        return QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                              "Database Password=\"%2\";").arg(m_path, m_password);
    }

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
    // Where every test's database is made: an empty file, keyed, and the connection that made it.
    std::unique_ptr<Connection> create() const
    {
        return std::make_unique<Connection>(Connection::create(m_path, m_password));
    }

    QTemporaryDir m_dir;
    QString m_path;
    QString m_password;
    std::unique_ptr<Connection> m_db;
};
