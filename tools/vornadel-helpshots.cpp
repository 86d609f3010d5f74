// Grabs the program's windows, started on a database in a folder, into the pictures of the help.
// Run offscreen by scripts/help-screenshots.sh on the demo database.
#include <cstdio>
#include <tuple>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTableView>
#include <QTimer>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include "app/MainForm.h"
#include "app/Startup.h"
#include "data/DataModule.h"
#include "profile/RetailForm.h"
#include "reports/ReportMenu.h"
#include "toolkit/db/Dataset.h"
#include "support/RecordingMessageService.h"
#include "toolkit/report/PreviewService.h"
#include "toolkit/report/ReportPreview.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/PageControl.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "ui/main/DataEntry.h"
#include "ui/main/DueForm.h"
#include "ui/main/EDSubProject.h"
#include "ui/main/JumpSearch.h"
#include "ui/main/PickDate.h"
#include "ui/pipeline/Pipeline.h"
#include "ui/views/Business.h"
#include "ui/views/NavCompanyProject.h"
#include "ui/views/NavPersonSubProject.h"
#include "ui/views/NavProjectSubProject.h"

namespace {

// Wider pictures would not fit the Help page's viewer.
constexpr int MaxWidth = 600;
constexpr int InfluencerColumn = 4;

class Grabber
{
public:
    explicit Grabber(const QString& folder)
        : m_folder(folder)
    {
    }

    void save(QWidget* window, QWidget* part, const char* name)
    {
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            std::fprintf(stderr, "vornadel-helpshots: %s was not shown\n", name);
        QCoreApplication::processEvents();
        savePicture(part->grab(), name);
    }

    void savePicture(QPixmap picture, const char* name)
    {
        if (picture.width() > MaxWidth)
            picture = picture.scaledToWidth(MaxWidth, Qt::SmoothTransformation);
        const QString path = m_folder.filePath(QLatin1String(name) + QStringLiteral(".png"));
        if (!picture.save(path))
            std::fprintf(stderr, "vornadel-helpshots: cannot write %s\n", qPrintable(path));
        else
            std::printf("%s\n", qPrintable(path));
    }

private:
    QDir m_folder;
};

// Shows a report's preview once all its pages are made, grabs it and closes it.
class GrabbingPreviewService : public PreviewService
{
public:
    explicit GrabbingPreviewService(Grabber& grab)
        : m_grab(grab)
    {
    }

    const char* name = "report-preview";

    void run(ReportPreview& preview) override
    {
        // Its own width, where every command of the toolbar shows.
        preview.resize(preview.width(), 640);
        preview.show();
        preview.produce();
        m_grab.save(&preview, &preview, name);
        preview.hide();
    }

private:
    Grabber& m_grab;
    Scope m_installed{this};
};

// A few follow-ups and activities about the person and subproject the windows open on, some
// of them due, so the log and the due list have something to show.
void addLogExamples(TMainDataModule& dm)
{
    const QString person = QString::number(dm.PeopleCompanyDet->asInteger(QStringLiteral("PersonID")));
    const QString sub = QString::number(dm.SubProjectsTable->asInteger(QStringLiteral("SubProjectID")));
    const auto day = [](int days) { return QDate::currentDate().addDays(days).toString(QStringLiteral("yyyy-MM-dd 00:00:00")); };
    const auto at = [](int days, const char* time) {
        return QDate::currentDate().addDays(days).toString(QStringLiteral("yyyy-MM-dd ")) + QLatin1String(time);
    };
    Connection& c = *dm.MainADOConnection();
    Statement followUp(c, QStringLiteral("INSERT INTO FollowUps (PersonID, SubProjectID, Due, Text, Done) VALUES (:p, :s, :due, :text, :done)"));
    const std::tuple<bool, bool, int, const char*, bool> followUps[] = {
        {true, false, -6, "Send the revised offer", false}, {true, true, -2, "Ask how the pilot went", false},
        {false, true, 0, "Book the steering meeting", false}, {true, false, 5, "Call about the budget", false},
        {true, false, -20, "Send the brochure", true}};
    for (const auto& [aboutPerson, aboutSub, days, text, done] : followUps) {
        followUp.bind(QStringLiteral(":p"), aboutPerson ? QVariant(person) : QVariant());
        followUp.bind(QStringLiteral(":s"), aboutSub ? QVariant(sub) : QVariant());
        followUp.bind(QStringLiteral(":due"), day(days));
        followUp.bind(QStringLiteral(":text"), QLatin1String(text));
        followUp.bind(QStringLiteral(":done"), done ? 1 : 0);
        followUp.run();
        followUp.reset();
    }
    Statement activity(c, QStringLiteral("INSERT INTO Activities (PersonID, SubProjectID, \"Date\", Kind, Text) VALUES (:p, :s, :at, :kind, :text)"));
    const std::tuple<bool, int, const char*, const char*, const char*> activities[] = {
        {true, -1, "16:20:00", "Call", "Liked the pilot; wants a price for 40 more seats before the budget round."},
        {false, -8, "10:00:00", "Meeting", "Kick-off of the pilot with IT and purchasing. Gate keeper: the IT manager's assistant."},
        {true, -8, "09:15:00", "E-mail", "Sent the agenda for the kick-off."},
        {true, -30, "11:00:00", "Note", "Met at the trade fair; asked for references in their sector."}};
    for (const auto& [aboutPerson, days, time, kind, text] : activities) {
        activity.bind(QStringLiteral(":p"), aboutPerson ? QVariant(person) : QVariant());
        activity.bind(QStringLiteral(":s"), aboutPerson ? QVariant() : QVariant(sub));
        activity.bind(QStringLiteral(":at"), at(days, time));
        activity.bind(QStringLiteral(":kind"), QLatin1String(kind));
        activity.bind(QStringLiteral(":text"), QLatin1String(text));
        activity.run();
        activity.reset();
    }
    dm.PersonFollowUpsDet->reread();
    dm.PersonActivitiesDet->reread();
}

template <class Window>
void grabWindow(Grabber& grab, Forms& forms, const char* name)
{
    Window window(forms);
    grab.save(&window, &window, name);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vornadel-helpshots DATABASE-FOLDER PICTURE-FOLDER\n");
        return 2;
    }
    // Nothing may wait for an answer while the windows are grabbed.
    RecordingMessageService messages;
    Program program(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("Vornadel.mdb")));
    QDir().mkpath(QString::fromLocal8Bit(argv[2]));
    Grabber grab(QString::fromLocal8Bit(argv[2]));
    Forms& forms = program.forms;

    TDataEntryForm& main = *forms.DataEntryForm;
    addLogExamples(*forms.MainDataModule);
    const std::pair<QWidget*, const char*> pages[] = {
        {main.CompaniesTabSheet, "companies"}, {main.ProjetcsTabSheet, "projects"},
        {main.SubProjectsTabSheet, "subprojects"}, {main.PeopleTabSheet, "clients"},
        {main.HelpSheet, "help"}};
    for (const auto& [page, name] : pages) {
        main.MainDataEntry->setCurrentWidget(page);
        grab.save(&main, &main, name);
    }
    // The File menu dropped down over the Companies page: the menu is a window of its own, so
    // it is painted onto the main window's picture where it lies.
    {
        main.MainDataEntry->setCurrentWidget(main.CompaniesTabSheet);
        main.show();
        auto* bar = main.findChild<QMenuBar*>(QStringLiteral("MainMenuBar"));
        QAction* fileTitle = bar->actions().constFirst();
        QMenu* file = fileTitle->menu();
        file->popup(bar->mapToGlobal(bar->actionGeometry(fileTitle).bottomLeft()));
        if (!QTest::qWaitForWindowExposed(&main) || !QTest::qWaitForWindowExposed(file))
            std::fprintf(stderr, "vornadel-helpshots: the File menu was not shown\n");
        QCoreApplication::processEvents();
        QPixmap picture = main.grab();
        QPainter painter(&picture);
        painter.drawPixmap(main.mapFromGlobal(file->mapToGlobal(QPoint(0, 0))), file->grab(QRect(QPoint(0, 0), file->sizeHint())));
        painter.end();
        file->hide();
        grab.savePicture(picture, "file-menu");
    }

    // The jump search over the Companies page, a few letters typed.
    main.MainDataEntry->setCurrentWidget(main.CompaniesTabSheet);
    main.show();
    main.JumpSearchActionTrigger();
    while (main.JumpSearch->IndexTimer->isActive())
        main.JumpSearch->IndexTimerTimer();
    QTest::keyClicks(main.JumpSearch->SearchEdit, QStringLiteral("an"));
    grab.save(&main, &main, "jump-search");
    QTest::keyClick(main.JumpSearch->SearchEdit, Qt::Key_Escape);

    {
        TPipelineForm pipeline(forms);
        pipeline.resize(900, 560);
        pipeline.show();
        pipeline.readAll();
        pipeline.PipelineGrid->selectRow(1);
        grab.save(&pipeline, &pipeline, "pipeline");
    }

    // The Contribution page with a role column entered: the tick box in the cell and the
    // role's description above the grid.
    main.MainDataEntry->setCurrentWidget(main.Contribution);
    main.DBGrid3->setFocus();
    main.DBGrid3->setSelectedColumn(InfluencerColumn);
    grab.save(&main, &main, "contribution");

    TEDSubProjectForm details(forms);
    grab.save(&details, &details, "subproject-details");
    details.LogButton->setChecked(true);
    grab.save(&details, &details, "subproject-details-log");
    details.hide();

    {
        TDueForm due(forms);
        due.resize(760, 300);
        grab.save(&due, &due, "due-list");
    }

    grab.save(forms.PickDateForm, forms.PickDateForm, "pick-date");
    forms.PickDateForm->hide();

    main.MainDataEntry->setCurrentWidget(main.PeopleTabSheet);
    TRetail& profile = *forms.Retail;
    grab.save(&profile, &profile, "profile-tactics");
    profile.PageControl1->setCurrentWidget(profile.TabSheet1);
    grab.save(&profile, &profile, "profile-questions");
    profile.hide();

    grabWindow<TNavCompanyPersonForm>(grab, forms, "view-company-people");
    grabWindow<TNavProjectSubProjectForm>(grab, forms, "view-project-subproject");
    grabWindow<TNavPersonSubProjectForm>(grab, forms, "view-person-subproject");
    grabWindow<TBusinessForm>(grab, forms, "transactions");

    forms.MainForm->resize(544, 375);
    grab.save(forms.MainForm, forms.MainForm, "menu-window");
    forms.MainForm->hide();

    GrabbingPreviewService previews(grab);
    previewCompanies(*forms.MainDataModule);
    return 0;
}
