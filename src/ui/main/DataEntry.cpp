#include "ui/main/DataEntry.h"

#include <tuple>

#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QHBoxLayout>
#include <QScreen>

#include "data/DataModule.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StaleRows.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/MessageService.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/PageControl.h"
#include "toolkit/widgets/WindowRereads.h"
#include "ui/main/PendingChanges.h"

TDataEntryForm::TDataEntryForm(Forms& forms, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_forms(forms)
{
    setObjectName(QStringLiteral("DataEntryForm"));
    setWindowTitle(QStringLiteral("Vornadel"));

    Splitter1 = new QFrame(this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Splitter1->setFixedWidth(4);

    MainDataEntry = new PageControl(this);
    MainDataEntry->setObjectName(QStringLiteral("MainDataEntry"));
    // Every tab stays in view, and the longest type comment fits beside its type.
    MainDataEntry->setUsesScrollButtons(false);
    MainDataEntry->setMinimumWidth(700);

    buildCompaniesPage();
    buildProjectsPage();
    buildSubProjectsPage();
    buildClientsPage();
    buildContributionPage();
    buildHelpPage();
    buildJumpSearch();

    const QList<QIcon> images = ImageList1();
    // Alt mnemonics leave N, O, V, B, R and H to the menus of the menu bar.
    const std::pair<QWidget*, std::pair<const char*, int>> pages[] = {
        {CompaniesTabSheet, {"&Companies", 0}}, {ProjetcsTabSheet, {"&Projects", 1}},
        {SubProjectsTabSheet, {"S&ubprojects", 2}}, {PeopleTabSheet, {"C&lients", 4}},
        {Contribution, {"Con&tribution", 3}}, {HelpSheet, {"H&elp", 5}}};
    for (const auto& [page, tab] : pages)
        MainDataEntry->addTab(page, images[tab.second], QLatin1String(tab.first));
    MainDataEntry->setCurrentIndex(ClientsPage);
    connect(MainDataEntry, &PageControl::userChanged, this, &TDataEntryForm::MainDataEntryChange);
    new WindowRereads(this, {CompaniesTabSheet, ProjetcsTabSheet, SubProjectsTabSheet, PeopleTabSheet, Contribution});

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Splitter1);
    layout->addWidget(MainDataEntry, 1);
    // The window takes the size its pages need and cannot be resized.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (m_forms.MainDataModule)
        BindData();
}

TDataEntryForm::~TDataEntryForm() = default;

void TDataEntryForm::BindData()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    bindCompaniesPage(dm);
    bindProjectsPage(dm);
    bindSubProjectsPage(dm);
    bindClientsPage(dm);
    bindContributionPage(dm);
}

void TDataEntryForm::selectPage(Page page)
{
    MainDataEntry->setCurrentIndex(page);
}

void TDataEntryForm::MainDataEntryChange()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    auto require = [this](Dataset* dataset, Page ownPage, const char* field, const char* message) {
        // A new record typed but not saved has no id yet: it ends as a move would end it, and
        // when it cannot be saved its own page comes back with it.
        if (dataset->state() == Dataset::State::Insert && !guarded([dataset] { dataset->endPendingChanges(); })) {
            selectPage(ownPage);
            return;
        }
        if (dataset->text(QLatin1String(field)).isEmpty())
            MessageService::current().showMessage(QLatin1String(message));
    };
    switch (MainDataEntry->currentIndex()) {
    case ProjectsPage:
        require(dm.CompaniesTable, CompaniesPage, "CompanyID", "Please, Select company first.");
        break;
    case SubProjectsPage:
        require(dm.ProjectsDetail, ProjectsPage, "ProjectID", "Please, Select company and then project.");
        break;
    case ClientsPage:
        require(dm.CompaniesTable, CompaniesPage, "CompanyID", "Please, Select company first.");
        break;
    case ContributionPage:
        require(dm.SubProjectsDetail, SubProjectsPage, "SubProjectID", "Please, Select subproject first.");
        break;
    default:
        break;
    }
}

void TDataEntryForm::showAtRecord(Dataset* dataset, const QString& keyField, const QVariant& id, Page page,
                                  const std::function<void()>& found)
{
    if (!id.isNull()) {
        bool isNumber = false;
        if (id.toLongLong(&isNumber) == 0 && isNumber) {
            selectPage(page);
        } else {
            guarded([&] {
                if (!dataset->locate({keyField}, {id}))
                    return;
                if (found)
                    found();
                selectPage(page);
            });
        }
    }
    showModalWindow();
}

void TDataEntryForm::ShowCompanyRecord(const QVariant& id)
{
    showAtRecord(m_forms.MainDataModule->CompaniesTable, QStringLiteral("CompanyID"), id, CompaniesPage);
}

void TDataEntryForm::ShowPersonRecord(const QVariant& id)
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    // An import leaves the people table stale; the person may be one it added.
    if (!guarded([&] { StaleRows::reread({dm.PeopleTable}); }))
        return;
    showAtRecord(dm.PeopleTable, QStringLiteral("PersonID"), id, ClientsPage, [&] {
        const QVariant company = dm.PeopleTable->value(QStringLiteral("CompanyID"));
        if (!company.isNull())
            dm.CompaniesTable->locate({QStringLiteral("CompanyID")}, {company});
        dm.PeopleCompanyDet->locate({QStringLiteral("PersonID")}, {id});
    });
}

void TDataEntryForm::ShowProjectRecord(const QVariant& id)
{
    showAtRecord(m_forms.MainDataModule->ProjectsDetail, QStringLiteral("ProjectID"), id, ProjectsPage);
}

void TDataEntryForm::ShowNewRecord(int kind)
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    const std::tuple<Dataset*, Page, DBNavigator*> targets[] = {{dm.CompaniesTable, CompaniesPage, DBNavigator1},
                                                                {dm.PeopleCompanyDet, ClientsPage, DBNavigator2},
                                                                {dm.ProjectsDetail, ProjectsPage, DBNavigator3},
                                                                {dm.SubProjectsDetail, SubProjectsPage, DBNavigator4}};
    if (kind >= 1 && kind <= 4) {
        const auto [dataset, page, navigator] = targets[kind - 1];
        selectPage(page);
        m_newRecordDataset = dataset;
        // The window opens with the focus where the new record's first value is typed.
        if (guarded([&] { dataset->insert(); }))
            navigator->focusFirstField();
    }
    showModalWindow();
}

void TDataEntryForm::showModalWindow()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    setWindowModality(Qt::NonModal);
}

void TDataEntryForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        if (QScreen* s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
    // Coming back from minimised is not a new showing.
    if (!event->spontaneous())
        FormShow();
}

void TDataEntryForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop && !event->spontaneous())
        m_modalLoop->quit();
}

void TDataEntryForm::closeEvent(QCloseEvent* event)
{
    std::vector<Dataset*> pending;
    const bool closing = m_forms.MainDataModule == nullptr
        || (guarded([&] { pending = m_forms.MainDataModule->pendingChanges(); }) && mayCloseWith(pending));
    // A new record opened here and left blank would otherwise stay pending in every window.
    if (closing && m_newRecordDataset && m_newRecordDataset->state() == Dataset::State::Insert
        && !m_newRecordDataset->modified())
        guarded([&] { m_newRecordDataset->cancel(); });
    event->setAccepted(closing);
}
