#include "app/HelpActions.h"

#include <memory>

#include <QMessageBox>

#include "app/Splash.h"
#include "toolkit/dialogs/ShellService.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/main/Product.h"

QMessageBox* aboutBox(QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setWindowTitle(QStringLiteral("About ") + Product::Name);
    box->setIconPixmap(TSplashForm::editionPicture(false).scaledToWidth(160, Qt::SmoothTransformation));
    box->setTextFormat(Qt::PlainText);
    const QString about = Product::about();
    const qsizetype firstBreak = about.indexOf(QLatin1Char('\n'));
    box->setText(about.left(firstBreak));
    // The notice's lines are cut for the Help page; here they flow as one paragraph.
    const QString notice = about.mid(firstBreak + 1).replace(QLatin1Char('\n'), QLatin1Char(' '));
    box->setInformativeText(notice + QStringLiteral("\n\nWeb site: ") + Product::WebSite + QStringLiteral("\nEmail: ")
                            + Product::MailAddress);
    box->setStandardButtons(QMessageBox::Ok);
    return box;
}

void showAbout(QWidget* parent)
{
    const std::unique_ptr<QMessageBox> box(aboutBox(parent));
    box->exec();
}

void showHelpContents(TDataEntryForm& mainWindow)
{
    mainWindow.MainDataEntry->setCurrentWidget(mainWindow.HelpSheet);
    if (mainWindow.isMinimized())
        mainWindow.showNormal();
    mainWindow.show();
    mainWindow.raise();
    mainWindow.activateWindow();
}

void visitWebSite()
{
    ShellService::current().open(Product::WebSite);
}
