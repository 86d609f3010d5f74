#include <QProcess>
#include <QtTest>

#include "TestServer.h"
#include "app/Startup.h"
#include "data/Schema.h"
#include "toolkit/db/Connection.h"
#include "toolkit/widgets/ChangedElsewhereLabel.h"

namespace {

const QString CannotUpdate =
    QStringLiteral("Row cannot be located for updating. Some values may have been changed since it was last read.");

// One user's program in a process of its own, driven a command at a time.
class User
{
public:
    explicit User(const QString& uri)
    {
        m_process.setProgram(QStringLiteral(VORNADEL_TWOUSER_DRIVER));
        m_process.setArguments({uri});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~User()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("quit\n");
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }

    // The driver's next line; empty when it ended or said nothing in 30 s.
    QString line()
    {
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(30000))
                return {};
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    QString ask(const QString& command)
    {
        m_process.write(command.toUtf8() + '\n');
        return line();
    }

private:
    QProcess m_process;
};

} // namespace

// Two users' programs on one server database, in two processes: a save over another user's
// change is refused and keeps the typed name; F5 shows what the other saved.
class TestTwoUsers : public QObject
{
    Q_OBJECT

private slots:
    void aSaveOverAnotherUsersChangeIsRefusedAndF5ShowsIt();
};

void TestTwoUsers::aSaveOverAnotherUsersChangeIsRefusedAndF5ShowsIt()
{
    if (!ServerTestDatabase::serverNamed())
        QSKIP("No test server: configure with -DVORNADEL_SERVER_TESTS=ON or set VORNADEL_TEST_SERVER.");
    ServerTestDatabase db;
    {
        Connection owner(ServerConnectionString(db.conninfo()));
        createSchema(owner);
        fillLists(owner);
        owner.exec(QStringLiteral("INSERT INTO Companies (CompanyID, Name) VALUES (1, 'Acme')"));
    }
    User anna(db.uri());
    User ben(db.uri());
    QCOMPARE(anna.line(), QStringLiteral("ready"));
    QCOMPARE(ben.line(), QStringLiteral("ready"));
    QCOMPARE(anna.ask("name"), QStringLiteral("Acme"));
    QCOMPARE(ben.ask("name"), QStringLiteral("Acme"));

    QCOMPARE(anna.ask("type Acme North"), QStringLiteral("typed"));
    QCOMPARE(anna.ask("save"), QStringLiteral("done"));
    QCOMPARE(ben.ask("awaitnotice"), ChangedElsewhereLabel::notice());
    QCOMPARE(anna.ask("notice"), QString());

    // Ben still sees the name he read; his save is refused and what he typed stays.
    QCOMPARE(ben.ask("name"), QStringLiteral("Acme"));
    QCOMPARE(ben.ask("type Acme South"), QStringLiteral("typed"));
    QVERIFY2(ben.ask("save").contains(CannotUpdate), "the save over Anna's change was not refused");
    QCOMPARE(ben.ask("name"), QStringLiteral("Acme South"));
    QCOMPARE(db.value(QStringLiteral("SELECT name FROM companies WHERE companyid = 1")), QStringLiteral("Acme North"));

    // Given up, the change makes way for F5, which shows Anna's name and takes the notice away.
    QCOMPARE(ben.ask("cancel"), QStringLiteral("done"));
    QCOMPARE(ben.ask("f5"), QStringLiteral("pressed"));
    QCOMPARE(ben.ask("name"), QStringLiteral("Acme North"));
    QCOMPARE(ben.ask("notice"), QString());

    // Saved again over what he now sees, Ben's change goes through.
    QCOMPARE(ben.ask("type Acme South"), QStringLiteral("typed"));
    QCOMPARE(ben.ask("save"), QStringLiteral("done"));
    QCOMPARE(db.value(QStringLiteral("SELECT name FROM companies WHERE companyid = 1")), QStringLiteral("Acme South"));
}

QTEST_MAIN(TestTwoUsers)
#include "tst_twousers.moc"
