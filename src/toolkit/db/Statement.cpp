#include "toolkit/db/Statement.h"

#include "toolkit/db/EngineConnection.h"
#include "toolkit/db/StoreError.h"

Statement::Statement(Connection& connection, const QString& sql)
    : m_connection(&connection), m_engine(connection.m_engine->prepare(sql)), m_sql(sql)
{
}

void Statement::bind(const QString& name, const QVariant& value)
{
    const int index = m_engine->parameterIndex(name);
    if (index == 0)
        throw StoreError(QStringLiteral("Parameter '%1' not found.").arg(name), 0, 0, m_sql);
    bind(index, value);
}

bool Statement::step()
{
    if (m_engine->step()) {
        m_connection->stepped();
        return true;
    }
    if (m_engine->writes())
        m_connection->noteWrite(m_engine->tables().written);
    return false;
}

void Statement::run()
{
    while (step()) {
    }
}
