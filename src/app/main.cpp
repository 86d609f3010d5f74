#include <QApplication>
#include <QLabel>

#include "app/Splash.h"
#include "app/Startup.h"
#include "toolkit/dialogs/MessageService.h"
#include "ui/main/DataEntry.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    auto* splash = new TSplashForm();
    splash->PCVNbmp->setVisible(true);
    splash->NETVNbmp->setVisible(false);
    // The title goes to the message boxes only: as the application's display name the platform
    // would append it to every window's caption.
    MessageService::setTitle(QStringLiteral("Vornadel Lite"));
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    return startProgram(QCoreApplication::applicationDirPath(), [splash](Program& program) {
        splash->hide();
        delete splash;
        program.forms.DataEntryForm->show();
        return QApplication::exec();
    });
}
