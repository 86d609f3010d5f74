#include "ui/views/NavPersonSubProject.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "toolkit/chart/DBChart.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/WindowRereads.h"
#include "ui/main/DataEntry.h"
#include "ui/main/EDSubProject.h"
#include "ui/views/BrowseGrid.h"

TNavPersonSubProjectForm::TNavPersonSubProjectForm(Forms& forms, QWidget* parent)
    : QDialog(parent), m_forms(forms)
{
    setObjectName(QStringLiteral("NavPersonSubProjectForm"));
    setWindowTitle(QStringLiteral("NavPersonSubProjectForm"));
    makeDatasets();
    buildLayout();
    new WindowRereads(this);
}

TNavPersonSubProjectForm::~TNavPersonSubProjectForm()
{
    DetBusinessTable->close();
}

void TNavPersonSubProjectForm::makeDatasets()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    DetBusinessTable = new Dataset(dm.MainADOConnection(), QStringLiteral("DetBusinessTable"), this);
    DetBusinessTable->setTableName(QStringLiteral("Business"));
    Catalogue::addFields(*DetBusinessTable, QStringLiteral("Business"));
    DetBusinessTable->addField(FieldDef::lookup(QStringLiteral("SubProjectName"), QStringLiteral("SubProjectID"),
                                                dm.SubProjectsTable, QStringLiteral("SubProjectID"), QStringLiteral("Name")));
    DetBusinessTable->setReadOnly(true);
    DetBusinessTable->setMasterSource(dm.PeopleDataSource, QStringLiteral("PersonID"));
    DataSource1 = new DataSource(DetBusinessTable, this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
}

void TNavPersonSubProjectForm::buildLayout()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    Label1 = new QLabel(QStringLiteral("Person"), this);
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(dm.PeopleDataSource);
    DBGrid1->setColumns(titledColumns({QStringLiteral("PersonID"), QStringLiteral("Name"),
                                       QStringLiteral("CompanyName"), QStringLiteral("Title"),
                                       QStringLiteral("Email"), QStringLiteral("Mobile"), QStringLiteral("Info")}));
    makeBrowseGrid(DBGrid1, [this] { DBGrid1DblClick(); });
    Label2 = new QLabel(QStringLiteral("Subprojects"), this);
    DBGrid2 = new DBGrid(this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setDataSource(DataSource1);
    DBGrid2->setColumns(titledColumns(QStringList{QStringLiteral("SubProjectName")} + Catalogue::roleFields()));
    makeBrowseGrid(DBGrid2, [this] { DBGrid2DblClick(); });

    DBChart1 = new DBChart(this);
    DBChart1->setObjectName(QStringLiteral("DBChart1"));
    DBChart1->setSeries(DataSource1, Catalogue::weightField(), QStringLiteral("SubProjectName"));
    PieSettings chart;
    chart.percentFormat = QStringLiteral("##0.## %");
    chart.title = QStringLiteral("");
    DBChart1->setSettings(chart);

    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(DBGrid1);
    left->addWidget(Label2);
    left->addWidget(DBGrid2, 1);
    DBGrid1->setFixedSize(321, 161);
    DBGrid2->setFixedWidth(321);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 2, 8);
    layout->addLayout(left);
    layout->addWidget(DBChart1, 1);
    resize(674, 390);

    QWidget::setTabOrder(DBGrid1, DBGrid2);
    QWidget::setTabOrder(DBGrid2, DBChart1);

    connect(DataSource1, &DataSource::dataChanged, this, &TNavPersonSubProjectForm::DataSource1DataChange);
    connect(DataSource1, &DataSource::recordChanged, this, &TNavPersonSubProjectForm::DataSource1DataChange);
}

void TNavPersonSubProjectForm::showModalWindow()
{
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    exec();
}

bool TNavPersonSubProjectForm::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

void TNavPersonSubProjectForm::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TNavPersonSubProjectForm::FormActivate()
{
    guarded([this] { DetBusinessTable->open(); });
}

void TNavPersonSubProjectForm::FormClose()
{
    DetBusinessTable->close();
}

void TNavPersonSubProjectForm::DataSource1DataChange()
{
    DBChart1->refreshData();
}

void TNavPersonSubProjectForm::DBGrid1DblClick()
{
    Dataset* people = m_forms.MainDataModule->PeopleTable;
    if (people->isEmpty())
        return;
    const QVariant id = people->value(QStringLiteral("PersonID"));
    guarded([&] { newDataEntryForm()->ShowPersonRecord(id); });
}

void TNavPersonSubProjectForm::DBGrid2DblClick()
{
    if (!DetBusinessTable->isActive() || DetBusinessTable->isEmpty())
        return;
    const QVariant id = DetBusinessTable->value(QStringLiteral("SubProjectID"));
    std::unique_ptr<TEDSubProjectForm> details;
    if (!guarded([&] { details = newDetailsForm(); }))
        return;
    DetBusinessTable->close();
    guarded([&] { details->ShowSubProjectDetails(id.toInt()); });
    details.reset();
    // Read again, so what was changed in the details window shows, from the first row.
    guarded([this] { DetBusinessTable->open(); });
}

std::unique_ptr<TDataEntryForm> TNavPersonSubProjectForm::newDataEntryForm()
{
    return std::make_unique<TDataEntryForm>(m_forms);
}

std::unique_ptr<TEDSubProjectForm> TNavPersonSubProjectForm::newDetailsForm()
{
    return std::make_unique<TEDSubProjectForm>(m_forms);
}
