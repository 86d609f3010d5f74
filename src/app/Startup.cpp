#include "app/Startup.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>

#include "app/DailyCopy.h"
#include "app/FirstStart.h"
#include "app/MainForm.h"
#include "app/Splash.h"
#include "data/DataModule.h"
#include "profile/RetailForm.h"
#include "toolkit/dialogs/MessageService.h"
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

} // namespace

QString ConnectionString(const QString& databaseFile)
{
    QString source = QDir::toNativeSeparators(databaseFile);
    if (source.contains(u';') || source.contains(u'"') || source != source.trimmed())
        source = u'"' + source.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=") + source
        + QStringLiteral(";Mode=Share Deny None;Database Password=\"ZeKRW\";");
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
    Windows& w = *m_windows;
    w.dataEntry = std::make_unique<TDataEntryForm>(forms);
    forms.DataEntryForm = w.dataEntry.get();
    w.dataModule = std::make_unique<TMainDataModule>();
    forms.MainDataModule = w.dataModule.get();
    w.dataEntry->BindData();
    const UpgradeOutcome upgraded = w.dataModule->Connect(ConnectionString(databaseFile), upgrades);
    MessageService::setTitle(Title);
    if (upgraded.upgraded())
        MessageService::current().messageDialog(upgradeNotice(databaseFile, upgraded), MessageService::Type::Information,
                                                QMessageBox::Ok);
    w.dataModule->SetDataSetsActive(true);
    w.dataEntry->MainDataEntry->setCurrentIndex(0);
    w.dataEntry->setWindowTitle(Title);
    w.retail = std::make_unique<TRetail>(*w.dataModule);
    forms.Retail = w.retail.get();
    w.mainForm = std::make_unique<TMainForm>(forms);
    forms.MainForm = w.mainForm.get();
    // The main window carries the menu window's menus, so every window is reachable from it.
    auto* menus = new QMenuBar(w.dataEntry.get());
    menus->setObjectName(QStringLiteral("MainMenuBar"));
    w.mainForm->addMenusTo(menus);
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
        program = std::make_unique<Program>(places.database, upgrades);
    } catch (const std::exception& e) {
        MessageService::current().messageDialog(QString::fromUtf8(e.what()), MessageService::Type::Error,
                                                QMessageBox::Ok);
        return 1;
    }
    splash.reset();
    // Before the user can change anything: the copy is the file as the day began.
    keepDailyCopy(*program->forms.MainDataModule->MainADOConnection(), QDate::currentDate());
    return run(*program);
}
