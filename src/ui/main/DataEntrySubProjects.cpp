#include "ui/main/DataEntry.h"

#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/DataModule.h"
#include "reports/ReportMenu.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/MessageService.h"
#include "toolkit/dialogs/ShellService.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/DBLookupComboBox.h"
#include "toolkit/widgets/DBMemo.h"
#include "ui/main/EDSubProject.h"
#include "ui/main/PageLayout.h"
#include "ui/main/PickDate.h"

using PageLayout::named;

void TDataEntryForm::buildSubProjectsPage()
{
    SubProjectsTabSheet = named(new QWidget, "SubProjectsTabSheet");
    QWidget* page = SubProjectsTabSheet;
    DBNavigator4 = PageLayout::recordNavigator(page, "DBNavigator4");
    DBEdit1 = named(new DBEdit(page), "DBEdit1");
    DBEdit6 = named(new DBEdit(page), "DBEdit6");
    DBLookupComboBox4 = named(new DBLookupComboBox(page), "DBLookupComboBox4");
    DBEdit13 = named(new DBEdit(page), "DBEdit13");
    DBLookupComboBox3 = named(new DBLookupComboBox(page), "DBLookupComboBox3");
    DBMemo4 = named(new DBMemo(page), "DBMemo4");

    // The type's comment, on the colour of tooltips.
    DBEdit13->setReadOnly(true);
    DBEdit13->setFocusPolicy(Qt::NoFocus);
    QPalette tip = DBEdit13->palette();
    tip.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::Text, tip.color(QPalette::ToolTipText));
    DBEdit13->setPalette(tip);
    for (DBLookupComboBox* list : {DBLookupComboBox4, DBLookupComboBox3})
        list->setMinimumWidth(150);
    DBMemo4->setMaximumHeight(90);

    Button4 = named(new QPushButton(QStringLiteral("Reports..."), page), "Button4");
    Strategies = named(new QPushButton(QStringLiteral("&Strategies..."), page), "Strategies");
    ContributionButton = named(new QPushButton(QStringLiteral("Contr&ibution..."), page), "ContributionButton");
    Button1 = named(new QPushButton(QStringLiteral("&Details..."), page), "Button1");
    Button1->setVisible(false);
    connect(Button4, &QPushButton::clicked, this, &TDataEntryForm::Button4Click);
    connect(Strategies, &QPushButton::clicked, this, &TDataEntryForm::StrategiesClick);
    connect(ContributionButton, &QPushButton::clicked, this, &TDataEntryForm::ContributionButtonClick);
    connect(Button1, &QPushButton::clicked, this, &TDataEntryForm::Button1Click);
    auto* buttons = new QVBoxLayout;
    buttons->setObjectName(QStringLiteral("SubProjectButtons"));
    for (QPushButton* b : {Button4, Strategies, ContributionButton, Button1}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    // The buttons stand beside the first rows only, so the type's comment gets the full width.
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(DBLookupComboBox4);
    typeRow->addWidget(DBEdit13, 1);
    auto* top = new QGridLayout;
    auto addRow = [&](int row, const char* text, QWidget* control, QLayout* controls, int span) {
        auto* label = new QLabel(QLatin1String(text), page);
        label->setBuddy(control);
        top->addWidget(label, row, 0, control == DBMemo4 ? Qt::AlignTop : Qt::Alignment());
        if (controls)
            top->addLayout(controls, row, 1, 1, span);
        else
            top->addWidget(control, row, 1, 1, span, control == DBLookupComboBox3 ? Qt::AlignLeft : Qt::Alignment());
    };
    top->addWidget(DBNavigator4, 0, 0, 1, 2, Qt::AlignLeft);
    top->addLayout(buttons, 0, 2, 3, 1);
    addRow(1, "Name", DBEdit1, nullptr, 1);
    addRow(2, "Code", DBEdit6, nullptr, 1);
    addRow(3, "Type", DBLookupComboBox4, typeRow, 2);
    addRow(4, "Size", DBLookupComboBox3, nullptr, 2);
    addRow(5, "Comments", DBMemo4, nullptr, 2);
    top->setColumnStretch(1, 1);

    HistoryLabel = named(new QLabel(QStringLiteral("History"), page), "HistoryLabel");
    DBGrid1 = named(new DBGrid(page), "DBGrid1");
    DBGrid1->setColumns({GridColumn(QStringLiteral("Date"), 160).withEllipsis(), GridColumn(QStringLiteral("Status"), 219)});
    DBGrid1->setMinimumHeight(130);
    connect(DBGrid1, &DBGrid::editButtonClick, this, &TDataEntryForm::DBGrid1EditButtonClick);
    DBNavigator5 = PageLayout::recordNavigator(page, "DBNavigator5");

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(HistoryLabel);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(DBNavigator5, 0, Qt::AlignLeft);
}

void TDataEntryForm::bindSubProjectsPage(TMainDataModule& dm)
{
    DataSource* source = dm.SubProjectDetailDS;
    DBNavigator4->setDataSource(source);
    DBEdit1->bind(source, QStringLiteral("Name"));
    DBEdit6->bind(source, QStringLiteral("Code"));
    DBLookupComboBox4->bind(source, QStringLiteral("Type"));
    DBEdit13->bind(source, QStringLiteral("TypeComment"));
    DBLookupComboBox3->bind(source, QStringLiteral("Size"));
    DBMemo4->bind(source, QStringLiteral("Comments"));
    DBGrid1->setDataSource(dm.SubProjectHistoryQDS);
    DBNavigator5->setDataSource(dm.SubProjectHistoryQDS);
}

void TDataEntryForm::StrategiesClick()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    const std::pair<Dataset*, const char*> levels[] = {
        {dm.CompaniesTable, "CompanyID"}, {dm.ProjectsDetail, "ProjectID"}, {dm.SubProjectsDetail, "SubProjectID"}};
    QStringList ids;
    for (const auto& [dataset, field] : levels) {
        if (dataset->text(QLatin1String(field)).isEmpty()) {
            MessageService::current().showMessage(QStringLiteral("please, select Company -> Project -> Subproject."));
            return;
        }
        ids.append(QString::number(dataset->value(QLatin1String(field)).toLongLong()));
    }
    const QString program = QStringLiteral("QZ.exe");
    if (!ShellService::current().open(program, ids.join(QLatin1Char(' '))))
        MessageService::current().showMessage(
            QStringLiteral("The strategy program \"%1\" could not be started.").arg(program));
}

void TDataEntryForm::Button4Click()
{
    guarded([this] { previewSubprojects(*m_forms.MainDataModule); });
}

void TDataEntryForm::ContributionButtonClick()
{
    selectPage(ContributionPage);
}

void TDataEntryForm::DBGrid1EditButtonClick()
{
    TPickDateForm& picker = *m_forms.PickDateForm;
    if (picker.showModalWindow() != QDialog::Accepted)
        return;
    TMainDataModule& dm = *m_forms.MainDataModule;
    guarded([&] {
        if (dm.SubProjectHistoryQDS->edit())
            dm.SubProjectHistoryQ->setValue(QStringLiteral("Date"), QDateTime(picker.date(), QTime(0, 0)));
    });
}

void TDataEntryForm::Button1Click()
{
    const qint64 id = m_forms.MainDataModule->SubProjectsTable->asInteger(QStringLiteral("SubProjectID"));
    guarded([&] {
        TEDSubProjectForm details(m_forms);
        details.ShowSubProjectDetails(id);
    });
}
