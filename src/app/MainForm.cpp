#include "app/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>

#include "app/DatabaseActions.h"
#include "app/HelpActions.h"
#include "reports/ReportMenu.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/main/DueForm.h"
#include "ui/main/EDSubProject.h"
#include "ui/pipeline/Pipeline.h"
#include "ui/views/Business.h"
#include "ui/views/NavCompanyProject.h"
#include "ui/views/NavPersonSubProject.h"
#include "ui/views/NavProjectSubProject.h"

TMainForm::TMainForm(Forms& forms, QWidget* parent)
    : QMainWindow(parent)
    , m_forms(forms)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Ostrelle"));
    buildMenus();
    resize(544, 375);
}

TMainForm::~TMainForm() = default;

void TMainForm::buildMenus()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto menu = [this](const char* title, const char* name) {
        QMenu* m = MainMenu1->addMenu(QLatin1String(title));
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto item = [this](QMenu* m, const char* text, const char* name, void (TMainForm::*handler)()) {
        QAction* a = m->addAction(QLatin1String(text));
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    // Items without a letter of their own in the captions get one, so every item is reachable
    // by its menu's Alt key and a letter.
    File1 = menu("&File", "File1");
    BackUp1 = item(File1, "&Back up...", "BackUp1", &TMainForm::BackUp1Click);
    Restore1 = item(File1, "&Restore...", "Restore1", &TMainForm::Restore1Click);
    File1->addSeparator();
    Exit1 = item(File1, "E&xit", "Exit1", &TMainForm::Exit1Click);

    New1 = menu("&New", "New1");
    Company1 = item(New1, "&Company", "Company1", &TMainForm::Company1Click);
    Project1 = item(New1, "Pro&ject", "Project1", &TMainForm::Project1Click);
    SebProject1 = item(New1, "&SubProject", "SebProject1", &TMainForm::SebProject1Click);
    Person1 = item(New1, "&Person", "Person1", &TMainForm::Person1Click);

    DataEntry1 = menu("&Open", "DataEntry1");
    Companies1 = item(DataEntry1, "&Companies", "Companies1", &TMainForm::Companies1Click);
    Projects1 = item(DataEntry1, "Pro&jects", "Projects1", &TMainForm::Projects1Click);
    SubProjects1 = item(DataEntry1, "&SubProjects", "SubProjects1", &TMainForm::SubProjects1Click);
    People1 = item(DataEntry1, "&People", "People1", &TMainForm::People1Click);

    N3 = menu("Na&vigation", "N3");
    CompanyPeople1 = item(N3, "&Company People", "CompanyPeople1", &TMainForm::CompanyPeople1Click);
    ProjectSubProject1 = item(N3, "Project SubPr&oject", "ProjectSubProject1", &TMainForm::ProjectSubProject1Click);
    PersonSubProject1 = item(N3, "Person S&ubProject", "PersonSubProject1", &TMainForm::PersonSubProject1Click);
    Pipeline1 = item(N3, "&Pipeline", "Pipeline1", &TMainForm::Pipeline1Click);
    // The main window holds the Ctrl+K shortcut itself, so short-lived ones have it too.
    JumpTo1 = item(N3, "&Jump to...\tCtrl+K", "JumpTo1", &TMainForm::JumpTo1Click);

    Business1 = menu("&Business", "Business1");
    ransaction1 = item(Business1, "&Transactions", "ransaction1", &TMainForm::ransaction1Click);
    OpenSubProject1 = item(Business1, "&Open Sub Project", "OpenSubProject1", &TMainForm::OpenSubProject1Click);
    Due1 = item(Business1, "&Due follow-ups", "Due1", &TMainForm::Due1Click);

    Reports1 = menu("&Reports", "Reports1");
    N11 = item(Reports1, "&Companies", "N11", &TMainForm::N11Click);
    N21 = item(Reports1, "&People", "N21", &TMainForm::N21Click);
    N2 = item(Reports1, "Company Per&sons", "N2", &TMainForm::N2Click);
    Structured = item(Reports1, "&All", "Structured", &TMainForm::StructuredClick);

    help1 = menu("&help", "help1");
    About1 = item(help1, "&About", "About1", &TMainForm::About1Click);
    Contents1 = item(help1, "&Contents", "Contents1", &TMainForm::Contents1Click);
    VisitWEBSite1 = item(help1, "&Visit WEB Site", "VisitWEBSite1", &TMainForm::VisitWEBSite1Click);

    MenuWindow1 = new QAction(QStringLiteral("&Menu Window"), this);
    MenuWindow1->setObjectName(QStringLiteral("MenuWindow1"));
    connect(MenuWindow1, &QAction::triggered, this, &TMainForm::ShowMenuWindow);
}

void TMainForm::addMenusTo(QMenuBar* bar)
{
    for (QAction* top : MainMenu1->actions()) {
        QMenu* source = top->menu();
        if (!source)
            continue;
        QMenu* copy = bar->addMenu(source->title());
        copy->setObjectName(source->objectName());
        copy->addActions(source->actions());
        if (source == DataEntry1) {
            copy->addSeparator();
            copy->addAction(MenuWindow1);
        }
    }
}

void TMainForm::ShowMenuWindow()
{
    // Above the main window, so closing the main window still ends the program.
    setWindowModality(Qt::ApplicationModal);
    showMaximized();
    raise();
    activateWindow();
}

std::unique_ptr<TDataEntryForm> TMainForm::newDataEntryForm()
{
    return std::make_unique<TDataEntryForm>(m_forms);
}

void TMainForm::showModal(QDialog& window)
{
    window.exec();
}

void TMainForm::openNewRecord(int kind)
{
    guarded([&] { newDataEntryForm()->ShowNewRecord(kind); });
}

void TMainForm::openAtPage(int page)
{
    guarded([&] {
        const std::unique_ptr<TDataEntryForm> window = newDataEntryForm();
        window->MainDataEntry->setCurrentIndex(page);
        window->ShowModal();
    });
}

template <class Window>
void TMainForm::openWindow()
{
    guarded([&] {
        Window window(m_forms);
        showModal(window);
    });
}

void TMainForm::BackUp1Click()
{
    guarded([this] { backUpDatabase(*m_forms.MainDataModule, QApplication::activeWindow()); });
}

void TMainForm::Restore1Click()
{
    guarded([this] { restoreDatabase(*m_forms.MainDataModule, QApplication::activeWindow()); });
}

void TMainForm::Exit1Click()
{
    // The menu window is modal while shown; it steps aside as for the other items.
    if (isVisible())
        close();
    // Windows shown above the main one end with it, as their loops end with the program's.
    if (m_forms.DataEntryForm->close())
        QCoreApplication::quit();
}

void TMainForm::Company1Click() { openNewRecord(1); }
void TMainForm::Project1Click() { openNewRecord(3); }
void TMainForm::SebProject1Click() { openNewRecord(4); }
void TMainForm::Person1Click() { openNewRecord(2); }

void TMainForm::Companies1Click() { openAtPage(TDataEntryForm::CompaniesPage); }
void TMainForm::Projects1Click() { openAtPage(TDataEntryForm::ProjectsPage); }
void TMainForm::SubProjects1Click() { openAtPage(TDataEntryForm::SubProjectsPage); }
void TMainForm::People1Click() { openAtPage(TDataEntryForm::ClientsPage); }

void TMainForm::CompanyPeople1Click() { openWindow<TNavCompanyPersonForm>(); }
void TMainForm::ProjectSubProject1Click() { openWindow<TNavProjectSubProjectForm>(); }
void TMainForm::PersonSubProject1Click() { openWindow<TNavPersonSubProjectForm>(); }
void TMainForm::Pipeline1Click() { openWindow<TPipelineForm>(); }

void TMainForm::JumpTo1Click()
{
    // The menu window is modal while shown; it steps aside for the main window's search.
    if (isVisible())
        close();
    m_forms.DataEntryForm->JumpSearchActionTrigger();
}

void TMainForm::ransaction1Click() { openWindow<TBusinessForm>(); }
void TMainForm::OpenSubProject1Click() { openWindow<TEDSubProjectForm>(); }
void TMainForm::Due1Click() { openWindow<TDueForm>(); }

void TMainForm::N11Click() { previewCompaniesList(*m_forms.MainDataModule); }
void TMainForm::N21Click() { previewPeopleList(*m_forms.MainDataModule); }
void TMainForm::N2Click() { previewCompanyPersons(*m_forms.MainDataModule); }
void TMainForm::StructuredClick() { previewAll(*m_forms.MainDataModule); }

void TMainForm::About1Click() { showAbout(isVisible() ? this : nullptr); }

void TMainForm::Contents1Click()
{
    // The menu window is modal while shown; it steps aside so the Help page can be used.
    if (isVisible())
        close();
    showHelpContents(*m_forms.DataEntryForm);
}

void TMainForm::VisitWEBSite1Click() { visitWebSite(); }
