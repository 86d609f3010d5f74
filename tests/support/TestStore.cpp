#include "support/TestStore.h"

#include "support/ServerDatabase.h"

TestStore::TestStore(const QString& fileName, const QString& password)
    : m_password(password)
{
    if (onServer())
        m_server = std::make_unique<ServerDatabase>();
    else
        m_path = m_dir.filePath(fileName);
}

TestStore::~TestStore() = default;

bool TestStore::onServer()
{
    return !ServerDatabase::serverUri().isEmpty();
}

Connection TestStore::create() const
{
    return m_server ? Connection(m_server->connectionString()) : Connection::create(m_path, m_password);
}

QString TestStore::connectionString() const
{
    if (m_server)
        return m_server->connectionString();
    return QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;Database Password=\"%2\";")
        .arg(m_path, QString(m_password).replace(u'"', QStringLiteral("\"\"")));
}
