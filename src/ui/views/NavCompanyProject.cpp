#include "ui/views/NavCompanyProject.h"

#include <QLabel>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/WindowRereads.h"
#include "ui/main/DataEntry.h"
#include "ui/views/BrowseGrid.h"

TNavCompanyPersonForm::TNavCompanyPersonForm(Forms& forms, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)
    , m_forms(forms)
{
    setObjectName(QStringLiteral("NavCompanyPersonForm"));
    setWindowTitle(QStringLiteral("NavCompanyPersonForm"));
    makeDatasets();
    buildLayout();
    new WindowRereads(this);
}

TNavCompanyPersonForm::~TNavCompanyPersonForm() = default;

void TNavCompanyPersonForm::makeDatasets()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    // The same columns as PeopleTable, so the two share one read of the people.
    ADOTable2 = new Dataset(dm.MainADOConnection(), QStringLiteral("ADOTable2"), this);
    ADOTable2->setTableName(QStringLiteral("People"));
    Catalogue::addFields(*ADOTable2, QStringLiteral("People"));
    ADOTable2->setOrderBy({QStringLiteral("CompanyID")});
    ADOTable2->setMasterSource(dm.CompaniesDataSource, QStringLiteral("CompanyID"));
    ADOTable2->setReadOnly(true);
    DataSource2 = new DataSource(ADOTable2, this);
    DataSource2->setObjectName(QStringLiteral("DataSource2"));
    ADOTable2->open();
}

void TNavCompanyPersonForm::buildLayout()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    Label1 = new QLabel(QStringLiteral("Companies"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setIndent(4);
    DBGrid1 = new DBGrid(dm.CompaniesDataSource, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setColumns({GridColumn(QStringLiteral("CompanyID"), 52).withTitle(QStringLiteral("ID")),
                         GridColumn(QStringLiteral("Name"), 64), GridColumn(QStringLiteral("Address"), 64),
                         GridColumn(QStringLiteral("Tel1"), 64), GridColumn(QStringLiteral("Tel2"), 64),
                         GridColumn(QStringLiteral("Fax"), 64), GridColumn(QStringLiteral("MainActivities"), 64),
                         GridColumn(QStringLiteral("Comments"), 200)});
    makeBrowseGrid(DBGrid1, [this] { DBGrid1DblClick(); });
    DBGrid1->setFixedHeight(153);

    Label2 = new QLabel(QStringLiteral("People"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    DBGrid2 = new DBGrid(DataSource2, this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setColumns({GridColumn(QStringLiteral("PersonID"), 50).withTitle(QStringLiteral("ID")),
                         GridColumn(QStringLiteral("Name"), 146), GridColumn(QStringLiteral("Title"), 140),
                         GridColumn(QStringLiteral("Email"), 140), GridColumn(QStringLiteral("Mobile"), 140),
                         GridColumn(QStringLiteral("Info"), 200)});
    makeBrowseGrid(DBGrid2, [this] { DBGrid2DblClick(); });

    // The companies grid keeps its height; the people grid takes what the window gains.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 3);
    layout->setSpacing(4);
    layout->addWidget(Label1);
    layout->addWidget(DBGrid1);
    layout->addSpacing(3);
    layout->addWidget(Label2);
    layout->addWidget(DBGrid2, 1);
    resize(536, 397);
}

std::unique_ptr<TDataEntryForm> TNavCompanyPersonForm::newDataEntryForm()
{
    return std::make_unique<TDataEntryForm>(m_forms);
}

void TNavCompanyPersonForm::DBGrid1DblClick()
{
    Dataset* companies = m_forms.MainDataModule->CompaniesTable;
    if (companies->isEmpty())
        return;
    const QVariant id = companies->value(QStringLiteral("CompanyID"));
    guarded([&] { newDataEntryForm()->ShowCompanyRecord(id); });
}

void TNavCompanyPersonForm::DBGrid2DblClick()
{
    if (ADOTable2->isEmpty())
        return;
    const QVariant id = ADOTable2->value(QStringLiteral("PersonID"));
    guarded([&] { newDataEntryForm()->ShowPersonRecord(id); });
}
