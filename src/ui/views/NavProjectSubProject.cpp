#include "ui/views/NavProjectSubProject.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "toolkit/chart/DBChart.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/FileDialogService.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/WindowRereads.h"
#include "ui/main/DataEntry.h"
#include "ui/main/EDSubProject.h"
#include "ui/main/PageLayout.h"
#include "ui/views/BrowseGrid.h"

using PageLayout::named;

TNavProjectSubProjectForm::TNavProjectSubProjectForm(Forms& forms, QWidget* parent)
    : QDialog(parent), m_forms(forms)
{
    setObjectName(QStringLiteral("NavProjectSubProjectForm"));
    setWindowTitle(QStringLiteral("NavProjectSubProjectForm"));
    makeDatasets();
    buildLayout();
    ADOTable2->open();
    ADOTable1->open();
    new WindowRereads(this);
}

TNavProjectSubProjectForm::~TNavProjectSubProjectForm()
{
    ADOTable1->close();
    ADOTable2->close();
}

void TNavProjectSubProjectForm::makeDatasets()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    Connection* connection = dm.MainADOConnection();

    ADOTable2 = new Dataset(connection, QStringLiteral("ADOTable2"), this);
    ADOTable2->setTableName(QStringLiteral("SubProjects"));
    Catalogue::addFields(*ADOTable2, QStringLiteral("SubProjects"));
    ADOTable2->addField(FieldDef::lookup(QStringLiteral("Type"), QStringLiteral("SubProjectTypeID"), dm.SubProjectTypeTable,
                                         QStringLiteral("SPTypeID"), QStringLiteral("SPTypeName")));
    ADOTable2->setReadOnly(true);
    ADOTable2->setMasterSource(dm.ProjectsDataSource, QStringLiteral("ProjectID"));
    DataSource2 = named(new DataSource(ADOTable2, this), "DataSource2");

    ADOTable1 = new Dataset(connection, QStringLiteral("ADOTable1"), this);
    ADOTable1->setTableName(QStringLiteral("Business"));
    Catalogue::addFields(*ADOTable1, QStringLiteral("Business"));
    ADOTable1->addField(FieldDef::lookup(QStringLiteral("PersonName"), QStringLiteral("PersonID"), dm.PeopleTable,
                                         QStringLiteral("PersonID"), QStringLiteral("Name")));
    ADOTable1->setReadOnly(true);
    ADOTable1->setMasterSource(DataSource2, QStringLiteral("SubProjectID"));
    DataSource1 = named(new DataSource(ADOTable1, this), "DataSource1");
}

void TNavProjectSubProjectForm::buildLayout()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    Label1 = new QLabel(QStringLiteral("Project"), this);
    DBGrid1 = named(new DBGrid(this), "DBGrid1");
    DBGrid1->setDataSource(dm.ProjectsDataSource);
    DBGrid1->setColumns(titledColumns({QStringLiteral("ProjectID"), QStringLiteral("Name"),
                                       QStringLiteral("CompanyName"), QStringLiteral("Code"),
                                       QStringLiteral("Comments")}));
    makeBrowseGrid(DBGrid1, [this] { DBGrid1DblClick(); });
    Label2 = new QLabel(QStringLiteral("SubProject"), this);
    DBGrid2 = named(new DBGrid(this), "DBGrid2");
    DBGrid2->setDataSource(DataSource2);
    DBGrid2->setColumns(titledColumns({QStringLiteral("SubProjectID"), QStringLiteral("Name"), QStringLiteral("Code"),
                                       QStringLiteral("Type"), QStringLiteral("Comments")}));
    makeBrowseGrid(DBGrid2, [this] { DBGrid2DblClick(); });
    Label3 = new QLabel(QStringLiteral("Persons Involved"), this);

    DBChart1 = named(new DBChart(this), "DBChart1");
    DBChart1->setSeries(DataSource1, Catalogue::weightField(), QStringLiteral("PersonName"));
    PieSettings chart;
    chart.depthPercent = 40;
    chart.percentFormat = QStringLiteral("##0.# %");
    chart.markArrowColor = Qt::red;
    chart.markArrowStyle = Qt::DashDotLine;
    chart.title = QStringLiteral("");
    chart.foot = QStringLiteral("Persons Contrubution");
    DBChart1->setSettings(chart);

    CheckBox1 = named(new QCheckBox(QStringLiteral("2D"), this), "CheckBox1");
    PrintChart = named(new QPushButton(QStringLiteral("Print Chart"), this), "PrintChart");
    SaveBMP = named(new QPushButton(QStringLiteral("Save BMP"), this), "SaveBMP");
    for (QPushButton* button : {PrintChart, SaveBMP}) {
        button->setAutoDefault(false);
        button->setFixedWidth(std::max(73, button->sizeHint().width()));
    }

    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(DBGrid1);
    left->addWidget(Label2);
    left->addWidget(DBGrid2, 1);
    DBGrid1->setFixedSize(360, 181);
    DBGrid2->setFixedWidth(360);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CheckBox1);
    buttons->addWidget(PrintChart);
    buttons->addWidget(SaveBMP);
    auto* right = new QVBoxLayout;
    right->addWidget(Label3);
    right->addWidget(DBChart1, 1);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 4, 6);
    layout->addLayout(left);
    layout->addLayout(right, 1);
    resize(731, 427);

    QWidget::setTabOrder(DBGrid1, DBGrid2);
    QWidget::setTabOrder(DBGrid2, DBChart1);
    QWidget::setTabOrder(DBChart1, CheckBox1);
    QWidget::setTabOrder(CheckBox1, PrintChart);
    QWidget::setTabOrder(PrintChart, SaveBMP);

    connect(DataSource1, &DataSource::dataChanged, this, &TNavProjectSubProjectForm::DataSource1DataChange);
    connect(DataSource1, &DataSource::recordChanged, this, &TNavProjectSubProjectForm::DataSource1DataChange);
    connect(CheckBox1, &QCheckBox::clicked, this, &TNavProjectSubProjectForm::CheckBox1Click);
    connect(PrintChart, &QPushButton::clicked, this, &TNavProjectSubProjectForm::PrintChartClick);
    connect(SaveBMP, &QPushButton::clicked, this, &TNavProjectSubProjectForm::SaveBMPClick);
}

void TNavProjectSubProjectForm::showModalWindow()
{
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    exec();
}

void TNavProjectSubProjectForm::DataSource1DataChange()
{
    DBChart1->refreshData();
}

void TNavProjectSubProjectForm::CheckBox1Click()
{
    DBChart1->setThreeD(!DBChart1->threeD());
}

void TNavProjectSubProjectForm::PrintChartClick()
{
    guarded([this] { DBChart1->print(); });
}

void TNavProjectSubProjectForm::SaveBMPClick()
{
    FileDialogService::SaveRequest request;
    request.filter = QStringLiteral("BitMap|*.bmp");
    request.promptOverwrite = false;
    const QString path = FileDialogService::current().saveFileName(request);
    if (path.isEmpty())
        return;
    guarded([&] { DBChart1->saveBitmap(path); });
}

void TNavProjectSubProjectForm::DBGrid1DblClick()
{
    Dataset* projects = m_forms.MainDataModule->ProjectsTable;
    if (projects->isEmpty())
        return;
    const QVariant id = projects->value(QStringLiteral("ProjectID"));
    guarded([&] { newDataEntryForm()->ShowProjectRecord(id); });
}

void TNavProjectSubProjectForm::DBGrid2DblClick()
{
    if (ADOTable2->isEmpty())
        return;
    const int id = ADOTable2->asInteger(QStringLiteral("SubProjectID"));
    guarded([&] { newDetailsForm()->ShowSubProjectDetails(id); });
}

std::unique_ptr<TDataEntryForm> TNavProjectSubProjectForm::newDataEntryForm()
{
    return std::make_unique<TDataEntryForm>(m_forms);
}

std::unique_ptr<TEDSubProjectForm> TNavProjectSubProjectForm::newDetailsForm()
{
    return std::make_unique<TEDSubProjectForm>(m_forms);
}
