#include "app/Startup.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QUrl>

#include "app/DailyCopy.h"
#include "app/FirstStart.h"
#include "app/MainForm.h"
#include "app/Splash.h"
#include "data/DataModule.h"
#include "profile/RetailForm.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/dialogs/MessageService.h"
#include "toolkit/dialogs/PasswordService.h"
#include "toolkit/widgets/ChangedElsewhereLabel.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/main/PickDate.h"

namespace {

const QString Title = QStringLiteral("Vornadel Lite");

// Painted at once: nothing else runs until the program is made.
std::unique_ptr<TSplashForm> showSplash()
{
    auto splash = std::make_unique<TSplashForm>();
    splash->PCVNbmp->setVisible(true);
    splash->NETVNbmp->setVisible(false);
    splash->show();
    splash->repaint();
    QApplication::processEvents();
    return splash;
}

// Makes the program on the server, asking for the password while the server wants one it
// was not given or refuses the one it was; nullptr when the user cancels.
std::unique_ptr<Program> logIn(const QString& uri, const UpgradeSteps& upgrades)
{
    Program::Server server{uri, {}};
    for (;;) {
        try {
            return std::make_unique<Program>(server, upgrades);
        } catch (const StoreError& e) {
            if (e.kind() != StoreError::Kind::PasswordNeeded && e.kind() != StoreError::Kind::WrongKey)
                throw;
            const QString problem = e.kind() == StoreError::Kind::WrongKey ? e.text() : QString();
            const std::optional<QString> password = PasswordService::current().askPassword(ServerShownName(uri), problem);
            if (!password)
                return nullptr;
            server.password = *password;
        }
    }
}

QString quotedValue(QString value)
{
    return u'"' + value.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

} // namespace

QString ConnectionString(const QString& databaseFile)
{
    QString source = QDir::toNativeSeparators(databaseFile);
    if (source.contains(u';') || source.contains(u'"') || source != source.trimmed())
        source = u'"' + source.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=") + source
        + QStringLiteral(";Mode=Share Deny None;Database Password=\"ZeKRW\";");
}

QString ServerConnectionString(const QString& uri, const QString& password)
{
    QString text = QStringLiteral("Provider=PostgreSQL;Data Source=") + quotedValue(uri) + u';';
    if (!password.isEmpty())
        text += QStringLiteral("Database Password=") + quotedValue(password) + u';';
    return text;
}

QString PlacesConnectionString(const Places& places)
{
    return places.server.isEmpty() ? ConnectionString(places.database) : ServerConnectionString(places.server);
}

QString ServerShownName(const QString& uri)
{
    const QUrl url(uri);
    if (!url.isValid() || url.host().isEmpty())
        return QUrl(uri).toString(QUrl::RemovePassword | QUrl::RemoveQuery);
    QString name = url.host() + url.path();
    if (!url.userName().isEmpty())
        name = url.userName() + u'@' + name;
    return name;
}

// Destroyed in reverse order: windows before the data module they are bound to.
struct Program::Windows
{
    std::unique_ptr<TMainDataModule> dataModule;
    std::unique_ptr<TDataEntryForm> dataEntry;
    std::unique_ptr<TRetail> retail;
    std::unique_ptr<TMainForm> mainForm;
    std::unique_ptr<TPickDateForm> pickDate;
};

Program::Program(const QString& databaseFile, const UpgradeSteps& upgrades)
    : m_windows(std::make_unique<Windows>())
{
    make(ConnectionString(databaseFile), upgrades);
}

Program::Program(const Server& server, const UpgradeSteps& upgrades)
    : m_windows(std::make_unique<Windows>())
{
    make(ServerConnectionString(server.uri, server.password), upgrades);
}

void Program::make(const QString& connectionString, const UpgradeSteps& upgrades)
{
    Windows& w = *m_windows;
    w.dataEntry = std::make_unique<TDataEntryForm>(forms);
    forms.DataEntryForm = w.dataEntry.get();
    w.dataModule = std::make_unique<TMainDataModule>();
    forms.MainDataModule = w.dataModule.get();
    w.dataEntry->BindData();
    const UpgradeOutcome upgraded = w.dataModule->Connect(connectionString, upgrades);
    const Connection& connection = *w.dataModule->MainADOConnection();
    MessageService::setTitle(Title);
    if (upgraded.upgraded())
        MessageService::current().messageDialog(
            upgradeNotice(connection.isServer() ? connection.serverName() : connection.path(), upgraded),
            MessageService::Type::Information, QMessageBox::Ok);
    w.dataModule->SetDataSetsActive(true);
    w.dataEntry->MainDataEntry->setCurrentIndex(0);
    w.dataEntry->setWindowTitle(connection.isServer() ? Title + QStringLiteral(" — ") + connection.serverName() : Title);
    w.retail = std::make_unique<TRetail>(*w.dataModule);
    forms.Retail = w.retail.get();
    w.mainForm = std::make_unique<TMainForm>(forms);
    forms.MainForm = w.mainForm.get();
    // The main window carries the menu window's menus, so every window is reachable from it.
    auto* menus = new QMenuBar(w.dataEntry.get());
    menus->setObjectName(QStringLiteral("MainMenuBar"));
    w.mainForm->addMenusTo(menus);
    // Beside the menus, where the room is kept, so the notice moves nothing when it comes.
    if (connection.isServer()) {
        auto* changedElsewhere = new ChangedElsewhereLabel(menus);
        menus->setCornerWidget(changedElsewhere);
        QObject::connect(w.dataModule.get(), &TMainDataModule::changedElsewhere, changedElsewhere,
                         &ChangedElsewhereLabel::noteChanges);
    }
    w.dataEntry->layout()->setMenuBar(menus);
    w.pickDate = std::make_unique<TPickDateForm>();
    forms.PickDateForm = w.pickDate.get();
}

Program::~Program()
{
    Windows& w = *m_windows;
    w.pickDate.reset();
    w.mainForm.reset();
    w.retail.reset();
    w.dataEntry.reset();
    w.dataModule.reset();
}

int startProgram(const Places& places, const std::function<int(Program&)>& run, const UpgradeSteps& upgrades)
{
    TDataEntryForm::setHelpFolder(places.helpFolder);
    std::unique_ptr<TSplashForm> splash;
    std::unique_ptr<Program> program;
    try {
        if (places.offerNewDatabase && !QFileInfo::exists(places.database) && !offerNewDatabase(places.database))
            return 0;
        splash = showSplash();
        if (places.server.isEmpty())
            program = std::make_unique<Program>(places.database, upgrades);
        else if (!(program = logIn(places.server, upgrades)))
            return 0;
    } catch (const std::exception& e) {
        MessageService::current().messageDialog(QString::fromUtf8(e.what()), MessageService::Type::Error,
                                                QMessageBox::Ok);
        return 1;
    }
    splash.reset();
    // Before the user can change anything: the copy is the file as the day began.
    Connection& connection = *program->forms.MainDataModule->MainADOConnection();
    if (!connection.isServer())
        keepDailyCopy(connection, QDate::currentDate());
    return run(*program);
}
