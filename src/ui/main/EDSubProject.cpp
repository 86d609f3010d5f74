#include "ui/main/EDSubProject.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/FollowUps.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/DBLookupComboBox.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/DBText.h"
#include "toolkit/widgets/WindowRereads.h"
#include "ui/main/LogPanel.h"
#include "ui/main/PendingChanges.h"
#include "ui/main/PickDate.h"

namespace {

constexpr int LogPanelWidth = 450;

} // namespace

TEDSubProjectForm::TEDSubProjectForm(Forms& forms, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint)
    , m_forms(forms)
{
    setObjectName(QStringLiteral("EDSubProjectForm"));
    setWindowTitle(QStringLiteral("EDSubProjectForm"));
    makeDatasets();
    buildLayout();
    new WindowRereads(this);
}

void TEDSubProjectForm::makeDatasets()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    Connection* connection = dm.MainADOConnection();

    HistoryTable = new Dataset(connection, QStringLiteral("HistoryTable"), this);
    HistoryTable->setTableName(QStringLiteral("SubProjectHistory"));
    Catalogue::addFields(*HistoryTable, QStringLiteral("SubProjectHistory"));
    HistoryTable->addField(FieldDef::lookup(QStringLiteral("StatusName"), QStringLiteral("SubProjectStatusID"),
                                            dm.SubProjectStatusTable, QStringLiteral("SPStatusID"),
                                            QStringLiteral("SPStatusName"))
                               .withLabel(QStringLiteral("Status")));
    HistoryTable->setMasterSource(dm.SubProjectsDataSource, QStringLiteral("SubProjectID"));

    PersonsTable = new Dataset(connection, QStringLiteral("PersonsTable"), this);
    PersonsTable->setTableName(QStringLiteral("Business"));
    Catalogue::addFields(*PersonsTable, QStringLiteral("Business"));
    PersonsTable->addField(FieldDef::lookup(QStringLiteral("PersonName"), QStringLiteral("PersonID"), dm.PeopleTable,
                                            QStringLiteral("PersonID"), QStringLiteral("Name")));
    PersonsTable->setMasterSource(dm.SubProjectsDataSource, QStringLiteral("SubProjectID"));

    // The shown subproject's own project, whose company the "Company" text names.
    SubProjectProjectTable = new Dataset(connection, QStringLiteral("SubProjectProjectTable"), this);
    SubProjectProjectTable->setTableName(QStringLiteral("Projects"));
    for (const char* column : {"ProjectID", "CompanyID"})
        SubProjectProjectTable->addField(Catalogue::field(QStringLiteral("Projects"), QLatin1String(column)));
    SubProjectProjectTable->addField(FieldDef::lookup(QStringLiteral("CompanyName"), QStringLiteral("CompanyID"),
                                                      dm.CompaniesTable, QStringLiteral("CompanyID"),
                                                      QStringLiteral("Name"), 255));
    SubProjectProjectTable->setMasterSource(dm.SubProjectsDataSource, QStringLiteral("ProjectID"));
    SubProjectProjectTable->setReadOnly(true);

    HistoryDataSource = new DataSource(HistoryTable, this);
    HistoryDataSource->setObjectName(QStringLiteral("HistoryDataSource"));
    PersonsDataSource = new DataSource(PersonsTable, this);
    PersonsDataSource->setObjectName(QStringLiteral("PersonsDataSource"));
    SubProjectProjectDS = new DataSource(SubProjectProjectTable, this);
    SubProjectProjectDS->setObjectName(QStringLiteral("SubProjectProjectDS"));

    FollowUpsTable = FollowUps::makeFollowUps(connection, dm.SubProjectsDataSource, QStringLiteral("SubProjectID"),
                                              QStringLiteral("FollowUpsTable"), this);
    ActivitiesTable = FollowUps::makeActivities(connection, dm.SubProjectsDataSource, QStringLiteral("SubProjectID"),
                                                dm.ActivityKinds, QStringLiteral("ActivitiesTable"), this);
    FollowUpsDataSource = new DataSource(FollowUpsTable, this);
    FollowUpsDataSource->setObjectName(QStringLiteral("FollowUpsDataSource"));
    ActivitiesDataSource = new DataSource(ActivitiesTable, this);
    ActivitiesDataSource->setObjectName(QStringLiteral("ActivitiesDataSource"));

    HistoryTable->open();
    PersonsTable->open();
    SubProjectProjectTable->open();
    FollowUpsTable->open();
    ActivitiesTable->open();
}

void TEDSubProjectForm::buildLayout()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    DBEdit1 = new DBEdit(dm.SubProjectsDataSource, QStringLiteral("Name"), this);
    DBEdit6 = new DBEdit(dm.SubProjectsDataSource, QStringLiteral("Code"), this);
    DBText5 = new DBText(SubProjectProjectDS, QStringLiteral("CompanyName"), this);
    DBLookupComboBox2 = new DBLookupComboBox(dm.SubProjectsDataSource, QStringLiteral("ProjectName"), this);
    DBLookupComboBox4 = new DBLookupComboBox(dm.SubProjectsDataSource, QStringLiteral("Type"), this);
    named(DBEdit1, "DBEdit1");
    named(DBEdit6, "DBEdit6");
    named(DBText5, "DBText5");
    named(DBLookupComboBox2, "DBLookupComboBox2");
    named(DBLookupComboBox4, "DBLookupComboBox4");
    DBEdit1->setReadOnly(true);
    DBEdit6->setReadOnly(true);
    DBText5->setBold(true);
    DBLookupComboBox2->setReadOnly(true);
    DBLookupComboBox4->setReadOnly(true);

    DBNavigator4 = new DBNavigator(dm.SubProjectsDataSource, this);
    named(DBNavigator4, "DBNavigator4");
    DBNavigator4->setVisibleButtons({DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last,
                                     DBNavigator::Refresh});

    HistoryLabel = new QLabel(QStringLiteral("History"), this);
    DBGrid1 = new DBGrid(HistoryDataSource, this);
    named(DBGrid1, "DBGrid1");
    DBGrid1->setColumns({GridColumn(QStringLiteral("Date"), 135).withEllipsis(), GridColumn(QStringLiteral("StatusName"), 120)});
    connect(DBGrid1, &DBGrid::editButtonClick, this, &TEDSubProjectForm::DBGrid1EditButtonClick);

    DBNavigator2 = new DBNavigator(HistoryDataSource, this);
    named(DBNavigator2, "DBNavigator2");
    DBNavigator2->setHints({QStringLiteral("History First record"), QStringLiteral("History Prior record"),
                            QStringLiteral("History Next record"), QStringLiteral("History Last record"),
                            QStringLiteral("History Insert record"), QStringLiteral("History Delete record"),
                            QStringLiteral("History Edit record"), QStringLiteral("History Post edit"),
                            QStringLiteral("History Cancel edit"), QStringLiteral("History Refresh data")});

    PersonsLabel = new QLabel(QStringLiteral("Persons"), this);
    DBGrid2 = new DBGrid(PersonsDataSource, this);
    named(DBGrid2, "DBGrid2");
    QList<GridColumn> persons;
    for (const QString& field : QStringList{QStringLiteral("PersonName")} + Catalogue::roleFields()) {
        GridColumn c;
        c.field = field;
        c.title = c.field;
        c.width = persons.isEmpty() ? 110 : 0;
        persons.append(c);
    }
    DBGrid2->setColumns(persons);

    DBNavigator1 = new DBNavigator(PersonsDataSource, this);
    named(DBNavigator1, "DBNavigator1");

    auto* summary = new QGridLayout;
    const std::pair<const char*, QWidget*> rows[] = {
        {"Name", DBEdit1}, {"Code", DBEdit6}, {"Company", DBText5}, {"Project", DBLookupComboBox2}, {"Type", DBLookupComboBox4}};
    int r = 0;
    for (const auto& [label, control] : rows) {
        summary->addWidget(new QLabel(QLatin1String(label), this), r, 0);
        summary->addWidget(control, r++, 1);
    }
    summary->addWidget(DBNavigator4, r, 1, Qt::AlignLeft);

    auto* left = new QVBoxLayout;
    left->addLayout(summary);
    left->addSpacing(8);
    left->addWidget(HistoryLabel);
    left->addWidget(DBGrid1, 1);
    left->addWidget(DBNavigator2);

    LogButton = new QPushButton(QStringLiteral("Follow-ups and &log >>"), this);
    named(LogButton, "LogButton");
    LogButton->setCheckable(true);
    LogButton->setAutoDefault(false);
    connect(LogButton, &QPushButton::toggled, this, &TEDSubProjectForm::LogButtonToggled);
    auto* navigators = new QHBoxLayout;
    navigators->addWidget(DBNavigator1);
    navigators->addStretch(1);
    navigators->addWidget(LogButton);

    auto* right = new QVBoxLayout;
    right->addWidget(PersonsLabel);
    right->addWidget(DBGrid2, 1);
    right->addLayout(navigators);

    LogPanel = new TLogPanel(m_forms, this);
    LogPanel->bind(FollowUpsDataSource, ActivitiesDataSource);
    LogPanel->setFixedWidth(LogPanelWidth - 12);
    LogPanel->hide();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);
    layout->addWidget(LogPanel);

    setFixedSize(731, 509);
}

void TEDSubProjectForm::LogButtonToggled(bool shown)
{
    LogButton->setText(shown ? QStringLiteral("Follow-ups and &log <<") : QStringLiteral("Follow-ups and &log >>"));
    LogPanel->setVisible(shown);
    setFixedSize(731 + (shown ? LogPanelWidth : 0), 509);
    if (shown)
        LogPanel->FollowUpsGrid->setFocus(Qt::OtherFocusReason);
}

void TEDSubProjectForm::ShowSubProjectDetails(qint64 id)
{
    if (id != 0) {
        bool found = false;
        guarded([&] {
            found = m_forms.MainDataModule->SubProjectsTable->locate({QStringLiteral("SubProjectID")}, {id});
        });
        if (!found)
            return;
    }
    showModalWindow();
}

void TEDSubProjectForm::showModalWindow()
{
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    exec();
}

void TEDSubProjectForm::DBGrid1EditButtonClick()
{
    TPickDateForm& picker = *m_forms.PickDateForm;
    if (picker.showModalWindow() != QDialog::Accepted)
        return;
    guarded([&] {
        if (HistoryDataSource->edit())
            HistoryTable->setValue(QStringLiteral("Date"), QDateTime(picker.date(), QTime(0, 0)));
    });
}

void TEDSubProjectForm::reject()
{
    std::vector<Dataset*> pending;
    if (!guarded([&] { pending = changedRows({HistoryTable, PersonsTable, FollowUpsTable, ActivitiesTable}); }))
        return;
    if (mayCloseWith(pending))
        QDialog::reject();
}
