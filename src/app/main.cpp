#include <cstdio>
#include <stdexcept>

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/Places.h"
#include "app/ReportCommand.h"
#include "app/Startup.h"
#include "toolkit/dialogs/MessageService.h"
#include "toolkit/report/ReportProgram.h"
#include "ui/main/DataEntry.h"
#include "ui/main/DueForm.h"

namespace {

#ifdef VORNADEL_PACKAGE_LAYOUT
constexpr Layout ThisBuild = Layout::Package;
#else
constexpr Layout ThisBuild = Layout::BuildFolder;
#endif

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
    // Answered before the application object exists, so that neither needs a display.
    const QString information = informationAsked(argumentsOf(argc, argv));
    if (!information.isEmpty()) {
        std::fputs(qPrintable(information), stdout);
        return 0;
    }

    ReportRequest report;
    try {
        report = reportAsked(argumentsOf(argc, argv));
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "vornadel: %s\nTry 'vornadel --help'.\n", e.what());
        return 1;
    }
    // A report written to a file shows no window and needs no display.
    if (!report.report.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    // The user's data folder is named after the application: ~/.local/share/Vornadel.
    QCoreApplication::setApplicationName(QStringLiteral("Vornadel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.Vornadel"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vornadel")));
    // The title goes to the message boxes only: as the application's display name the platform
    // would append it to every window's caption.
    MessageService::setTitle(QStringLiteral("Vornadel Lite"));
    setReportProgram({QStringLiteral("Vornadel Lite"), QStringLiteral("vornadel")});

    QString database;
    QString server;
    try {
        database = chosenDatabase(QCoreApplication::arguments());
        server = chosenServer(QCoreApplication::arguments());
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "vornadel: %s\nTry 'vornadel --help'.\n", e.what());
        return 1;
    }
    Places places;
    try {
        places = programPlaces(ThisBuild, QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), database, server);
    } catch (const std::invalid_argument& e) {
        // A connection file is written by hand; its fault is told where the user looks.
        if (!report.report.isEmpty()) {
            std::fprintf(stderr, "vornadel: %s\n", e.what());
            return 1;
        }
        MessageService::current().messageDialog(QString::fromUtf8(e.what()), MessageService::Type::Error,
                                                QMessageBox::Ok);
        return 1;
    }
    if (!report.report.isEmpty())
        return writeReportCommand(places, report);
    return startProgram(places, [](Program& program) {
        program.forms.DataEntryForm->show();
        // Once the main window is up, so the list opens over it.
        QTimer::singleShot(0, program.forms.DataEntryForm, [&program] { TDueForm::ShowAtStartup(program.forms); });
        return QApplication::exec();
    });
}
