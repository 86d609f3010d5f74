#include "TestServer.h"

#include <memory>
#include <stdexcept>

#include <QCoreApplication>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

namespace {

QString quoted(const QString& value)
{
    QString v = value;
    v.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + v + u'\'';
}

// The server's settings with dbname, user and password replaced where given.
QList<QPair<QString, QString>> settingsFor(const QString& dbname, const QString& user, const QString& password)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(qgetenv("VORNADEL_TEST_SERVER").constData(), &error);
    if (!options) {
        const QString text = QString::fromUtf8(error ? error : "out of memory");
        PQfreemem(error);
        throw std::runtime_error(("VORNADEL_TEST_SERVER: " + text).toStdString());
    }
    QList<QPair<QString, QString>> pairs;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        const QString key = QString::fromUtf8(o->keyword);
        QString value = o->val ? QString::fromUtf8(o->val) : QString();
        if (key == u"dbname" && !dbname.isEmpty())
            value = dbname;
        else if (key == u"user" && !user.isEmpty())
            value = user;
        else if (key == u"password" && !password.isEmpty())
            value = password;
        if (!value.isEmpty())
            pairs.append({key, value});
    }
    PQconninfoFree(options);
    return pairs;
}

// The same as key='value' pairs.
QString conninfoFor(const QString& dbname, const QString& user, const QString& password)
{
    QStringList pairs;
    for (const auto& [key, value] : settingsFor(dbname, user, password))
        pairs.append(key + u'=' + quoted(value));
    return pairs.join(u' ');
}

struct PgDeleter
{
    void operator()(PGconn* c) const { PQfinish(c); }
};
using Session = std::unique_ptr<PGconn, PgDeleter>;

Session connect(const QString& conninfo)
{
    Session s(PQconnectdb(conninfo.toUtf8().constData()));
    if (PQstatus(s.get()) != CONNECTION_OK)
        throw std::runtime_error(PQerrorMessage(s.get()));
    return s;
}

QString run(const QString& conninfo, const QString& sql)
{
    Session s = connect(conninfo);
    PGresult* r = PQexec(s.get(), sql.toUtf8().constData());
    const auto status = PQresultStatus(r);
    QString first;
    if (status == PGRES_TUPLES_OK && PQntuples(r) > 0 && PQnfields(r) > 0)
        first = QString::fromUtf8(PQgetvalue(r, 0, 0));
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    const std::string error = PQerrorMessage(s.get());
    PQclear(r);
    if (!ok)
        throw std::runtime_error(error);
    return first;
}

QString sqlQuoted(QString value)
{
    return u'\'' + value.replace(u'\'', QStringLiteral("''")) + u'\'';
}

} // namespace

bool ServerTestDatabase::serverNamed()
{
    return !qEnvironmentVariableIsEmpty("VORNADEL_TEST_SERVER");
}

ServerTestDatabase::ServerTestDatabase()
{
    static int made = 0;
    m_name = QStringLiteral("vornadel_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    run(conninfoFor({}, {}, {}), QStringLiteral("CREATE DATABASE %1").arg(m_name));
}

ServerTestDatabase::~ServerTestDatabase()
{
    try {
        run(conninfoFor({}, {}, {}), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
        for (const QString& role : m_roles)
            run(conninfoFor({}, {}, {}), QStringLiteral("DROP ROLE IF EXISTS %1").arg(role));
    } catch (const std::exception&) {
        // The cluster goes at the end of the run anyway.
    }
}

QString ServerTestDatabase::conninfo(const QString& user, const QString& password) const
{
    return conninfoFor(m_name, user, password);
}

QString ServerTestDatabase::uri(const QString& user, const QString& password) const
{
    // Where the server is, as it says, rather than through a service a user would not have.
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setHost(value(QStringLiteral("SELECT host(inet_server_addr())")));
    url.setPort(value(QStringLiteral("SELECT inet_server_port()")).toInt());
    url.setUserName(value(QStringLiteral("SELECT current_user")));
    QUrlQuery options;
    for (const auto& [key, setting] : settingsFor(m_name, user, password)) {
        if (key == u"host" || key == u"port" || key == u"service")
            continue;
        if (key == u"user")
            url.setUserName(setting);
        else if (key == u"password")
            url.setPassword(setting);
        else if (key == u"dbname")
            url.setPath(u'/' + setting);
        else
            options.addQueryItem(key, setting);
    }
    url.setQuery(options);
    return url.toString();
}

void ServerTestDatabase::exec(const QString& sql) const
{
    run(conninfo(), sql);
}

QString ServerTestDatabase::value(const QString& sql) const
{
    return run(conninfo(), sql);
}

QString ServerTestDatabase::makeRole(const QString& role, const QString& password) const
{
    const QString name = m_name + u'_' + role;
    run(conninfoFor({}, {}, {}), QStringLiteral("DROP ROLE IF EXISTS %1; CREATE ROLE %1 LOGIN PASSWORD %2")
                                     .arg(name, sqlQuoted(password)));
    m_roles.append(name);
    return name;
}
