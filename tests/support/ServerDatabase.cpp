#include "support/ServerDatabase.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QUrl>

#include "toolkit/db/Connection.h"

namespace {

QString connectionStringOf(const QString& uri)
{
    return QStringLiteral("Provider=PostgreSQL;Data Source=\"%1\";").arg(QString(uri).replace(u'"', QStringLiteral("\"\"")));
}

QString withDatabase(const QString& uri, const QString& database)
{
    QUrl url(uri);
    url.setPath(u'/' + database);
    return url.toString();
}

} // namespace

QString ServerDatabase::serverUri()
{
    return qEnvironmentVariable("VORNADEL_TEST_SERVER");
}

ServerDatabase::ServerDatabase()
{
    // Tests of several processes may share one server at once.
    static QAtomicInt made;
    m_name = QStringLiteral("vornadel_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(made.fetchAndAddOrdered(1));
    Connection admin(connectionStringOf(serverUri()));
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    admin.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'").arg(m_name));
}

ServerDatabase::~ServerDatabase()
{
    try {
        Connection admin(connectionStringOf(serverUri()));
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    } catch (...) {
        // The throwaway cluster goes with its databases at the end of the run.
    }
}

QString ServerDatabase::uri() const
{
    return withDatabase(serverUri(), m_name);
}

QString ServerDatabase::connectionString() const
{
    return connectionStringOf(uri());
}
