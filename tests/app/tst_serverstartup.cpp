#include <optional>

#include <QFile>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "TestServer.h"
#include "app/DatabaseActions.h"
#include "app/Places.h"
#include "app/Startup.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "support/RecordingFileDialogService.h"
#include "support/RecordingMessageService.h"
#include "toolkit/db/Connection.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/PasswordService.h"
#include "toolkit/widgets/ChangedElsewhereLabel.h"
#include "ui/main/DataEntry.h"

namespace {

// Answers the password box from a list, recording what each box said.
class ScriptedPasswords : public PasswordService
{
public:
    ScriptedPasswords() : m_before(install(this)) {}
    ~ScriptedPasswords() override { install(m_before); }

    std::optional<QString> askPassword(const QString& server, const QString& problem) override
    {
        asked.append({server, problem});
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }

    QList<std::optional<QString>> answers;
    QList<QPair<QString, QString>> asked;

private:
    PasswordService* m_before;
};

} // namespace

// The program on a team's server: the password box, the title, what the File menu does there,
// and the notice of rows other users changed.
class TestServerStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void passwordIsAskedUntilTheServerTakesIt();
    void cancelledPasswordEndsStartUpQuietly();
    void unreachableServerIsReported();
    void backUpAndRestoreNameTheServersTools();
    void otherUsersChangesAreNotedUntilF5();
    void noticesComeAgainAfterTheSessionWasLost();

private:
    std::unique_ptr<ServerTestDatabase> m_db;
    QTemporaryDir m_home;
};

void TestServerStartup::initTestCase()
{
    // Neither the user's password file nor a service of theirs may answer for the tests.
    qputenv("PGPASSFILE", m_home.filePath(QStringLiteral("none")).toUtf8());
}

void TestServerStartup::init()
{
    if (!ServerTestDatabase::serverNamed())
        QSKIP("No test server: configure with -DVORNADEL_SERVER_TESTS=ON or set VORNADEL_TEST_SERVER.");
    m_db = std::make_unique<ServerTestDatabase>();
    Connection owner(ServerConnectionString(m_db->conninfo()));
    createSchema(owner);
    fillLists(owner);
    QFile role(QStringLiteral(VORNADEL_SOURCE_DIR "/scripts/vornadel-role.sql"));
    QVERIFY(role.open(QIODevice::ReadOnly));
    m_db->exec(QString::fromUtf8(role.readAll()));
}

void TestServerStartup::cleanup()
{
    m_db.reset();
}

void TestServerStartup::passwordIsAskedUntilTheServerTakesIt()
{
    const QString anna = m_db->makeRole(QStringLiteral("anna"), QStringLiteral("right"));
    m_db->exec(QStringLiteral("GRANT vornadel_users TO %1").arg(anna));
    RecordingMessageService messages;
    ScriptedPasswords passwords;
    passwords.answers = {QStringLiteral("wrong"), QStringLiteral("right")};
    Places places;
    places.server = m_db->uri(anna);
    QString title;
    const int code = startProgram(places, [&](Program& program) {
        title = program.forms.DataEntryForm->windowTitle();
        return 7;
    });
    QCOMPARE(code, 7);
    QCOMPARE(passwords.asked.size(), 2);
    QCOMPARE(passwords.asked[0].first, QStringLiteral("%1@127.0.0.1/%2").arg(anna, m_db->name()));
    QCOMPARE(passwords.asked[0].second, QString());
    QVERIFY2(passwords.asked[1].second.contains(QStringLiteral("password authentication failed")),
             qPrintable(passwords.asked[1].second));
    QCOMPARE(title, QStringLiteral("Vornadel Lite — 127.0.0.1/%1").arg(m_db->name()));
    QCOMPARE(messages.texts(), QStringList());
}

void TestServerStartup::cancelledPasswordEndsStartUpQuietly()
{
    const QString anna = m_db->makeRole(QStringLiteral("anna"), QStringLiteral("right"));
    RecordingMessageService messages;
    ScriptedPasswords passwords;
    Places places;
    places.server = m_db->uri(anna);
    bool ran = false;
    const int code = startProgram(places, [&](Program&) {
        ran = true;
        return 7;
    });
    QCOMPARE(code, 0);
    QVERIFY(!ran);
    QCOMPARE(passwords.asked.size(), 1);
    QCOMPARE(messages.texts(), QStringList());
}

void TestServerStartup::unreachableServerIsReported()
{
    RecordingMessageService messages;
    ScriptedPasswords passwords;
    Places places;
    // Nothing listens on port 1 of this machine.
    places.server = QStringLiteral("postgresql://127.0.0.1:1/%1?connect_timeout=5").arg(m_db->name());
    const int code = startProgram(places, [](Program&) { return 7; });
    QCOMPARE(code, 1);
    QVERIFY(passwords.asked.isEmpty());
    QCOMPARE(messages.entries().size(), 1);
    QVERIFY2(messages.entries().constFirst().text.contains(QStringLiteral("127.0.0.1")),
             qPrintable(messages.entries().constFirst().text));
    QCOMPARE(messages.entries().constFirst().type, MessageService::Type::Error);
}

void TestServerStartup::backUpAndRestoreNameTheServersTools()
{
    Program program(Program::Server{m_db->conninfo(), {}});
    RecordingMessageService messages;
    RecordingFileDialogService files;
    backUpDatabase(*program.forms.MainDataModule, nullptr);
    restoreDatabase(*program.forms.MainDataModule, nullptr);
    QVERIFY(files.requests().isEmpty());
    QVERIFY(files.asked().isEmpty());
    QCOMPARE(messages.entries().size(), 2);
    for (const RecordingMessageService::Entry& entry : messages.entries()) {
        QVERIFY2(entry.text.contains(QStringLiteral("pg_dump")) && entry.text.contains(m_db->name()),
                 qPrintable(entry.text));
        QCOMPARE(entry.type, MessageService::Type::Information);
    }
}

void TestServerStartup::otherUsersChangesAreNotedUntilF5()
{
    Program program(Program::Server{m_db->conninfo(), {}});
    TDataEntryForm& window = *program.forms.DataEntryForm;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* note = window.findChild<ChangedElsewhereLabel*>(QStringLiteral("ChangedElsewhereLabel"));
    QVERIFY(note);
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), QString());
    auto* menus = window.findChild<QMenuBar*>(QStringLiteral("MainMenuBar"));
    QList<QRect> placed{note->geometry()};
    for (QAction* menu : menus->actions())
        placed.append(menus->actionGeometry(menu));
    const QRect windowPlace = window.geometry();

    Connection other(ServerConnectionString(m_db->conninfo()));
    QSignalSpy changed(program.forms.MainDataModule, &TMainDataModule::changedElsewhere);
    other.exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Made elsewhere')"));
    QTRY_COMPARE(note->text(), ChangedElsewhereLabel::notice());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toStringList(), QStringList{QStringLiteral("companies")});
    // Nothing moved to make room for it, and it is all in view.
    QList<QRect> now{note->geometry()};
    for (QAction* menu : menus->actions())
        now.append(menus->actionGeometry(menu));
    QCOMPARE(now, placed);
    QCOMPARE(window.geometry(), windowPlace);
    QVERIFY(note->fontMetrics().horizontalAdvance(note->text()) <= note->contentsRect().width());

    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_F5);
    QCOMPARE(note->text(), QString());

    // The program's own save tells the others, not itself: the notices that come are the
    // other user's later write alone.
    Dataset* companies = program.forms.MainDataModule->CompaniesTable;
    companies->edit();
    companies->setValue(QStringLiteral("Name"), QStringLiteral("Renamed here"));
    companies->post();
    other.exec(QStringLiteral("INSERT INTO People (Name) VALUES ('Made elsewhere')"));
    QTRY_COMPARE(changed.size(), 2);
    QCOMPARE(changed[1][0].toStringList(), QStringList{QStringLiteral("people")});
    QCOMPARE(note->text(), ChangedElsewhereLabel::notice());
}

void TestServerStartup::noticesComeAgainAfterTheSessionWasLost()
{
    Program program(Program::Server{m_db->conninfo(), {}});
    RecordingMessageService messages;
    TMainDataModule& dm = *program.forms.MainDataModule;
    QSignalSpy changed(&dm, &TMainDataModule::changedElsewhere);
    // The server ends the program's session, as a restart or a cut network would.
    const QString sessions = m_db->value(QStringLiteral("SELECT string_agg(pid::text, ',') FROM pg_stat_activity "
                                                        "WHERE datname = '%1' AND pid <> pg_backend_pid()").arg(m_db->name()));
    QVERIFY(!sessions.isEmpty());
    Connection other(ServerConnectionString(m_db->conninfo()));
    other.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid IN (%1)").arg(sessions));
    // Gone when none of those sessions is left: the program may already have connected again.
    QTRY_COMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid IN (%1)").arg(sessions)),
                 QStringLiteral("0"));
    // The user saves, again if the loss is told; the program connects again.
    Dataset* companies = dm.CompaniesTable;
    companies->append();
    companies->setValue(QStringLiteral("Name"), QStringLiteral("Typed during the loss"));
    bool saved = false;
    for (int attempt = 0; attempt < 3 && !saved; ++attempt) {
        QTest::qWait(0);
        saved = guarded([&] { companies->post(); });
    }
    QVERIFY(saved);
    other.exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('After the loss')"));
    // In an event loop of its own, as the program's, which goes idle between events.
    QVERIFY(changed.wait(20000));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toStringList(), QStringList{QStringLiteral("companies")});
}

QTEST_MAIN(TestServerStartup)
#include "tst_serverstartup.moc"
