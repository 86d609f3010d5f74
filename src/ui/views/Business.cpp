#include "ui/views/Business.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/DBCheckBox.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBLookupComboBox.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/DBText.h"
#include "toolkit/widgets/WindowRereads.h"

TBusinessForm::TBusinessForm(Forms& forms, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)
    , m_forms(forms)
{
    setObjectName(QStringLiteral("BusinessForm"));
    setWindowTitle(QStringLiteral("BusinessForm"));
    makeDatasets();
    buildLayout();
    new WindowRereads(this);
}

TBusinessForm::~TBusinessForm() = default;

void TBusinessForm::makeDatasets()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    Connection* connection = dm.MainADOConnection();
    // Each reads the columns its shared counterpart reads, so the two share one read.
    auto detail = [&](const char* name, const char* table, DataSource* master, const char* link) {
        auto* d = new Dataset(connection, QLatin1String(name), this);
        d->setTableName(QLatin1String(table));
        d->setMasterSource(master, QLatin1String(link));
        d->setReadOnly(true);
        return d;
    };
    auto source = [this](Dataset* dataset, const char* name) {
        auto* s = new DataSource(dataset, this);
        s->setObjectName(QLatin1String(name));
        return s;
    };
    auto companyFields = [](Dataset* companies) {
        for (FieldDef f : Catalogue::fields(QStringLiteral("Companies"))) {
            // Cut like the other company-name lookups.
            if (f.name == u"Name")
                f = FieldDef::text(f.name, 20).displayWidthOnly();
            companies->addField(f);
        }
    };

    // The row's person and that person's company.
    RowPersonTable = detail("RowPersonTable", "People", dm.BusinessDataSource, "PersonID");
    Catalogue::addFields(*RowPersonTable, QStringLiteral("People"));
    RowPersonDS = source(RowPersonTable, "RowPersonDS");
    PersonCompanyTable = detail("PersonCompanyTable", "Companies", RowPersonDS, "CompanyID");
    companyFields(PersonCompanyTable);
    PersonCompanyDS = source(PersonCompanyTable, "PersonCompanyDS");

    // The row's subproject, its project and that project's company.
    RowSubProjectTable = detail("RowSubProjectTable", "SubProjects", dm.BusinessDataSource, "SubProjectID");
    // SizeID last, where SubProjectsTable has it.
    const QString sizeId = QStringLiteral("SizeID");
    for (const FieldDef& f : Catalogue::fields(QStringLiteral("SubProjects")))
        if (f.name != sizeId)
            RowSubProjectTable->addField(f);
    RowSubProjectTable->addField(Catalogue::field(QStringLiteral("SubProjects"), sizeId));
    RowSubProjectDS = source(RowSubProjectTable, "RowSubProjectDS");
    RowProjectTable = detail("RowProjectTable", "Projects", RowSubProjectDS, "ProjectID");
    Catalogue::addFields(*RowProjectTable, QStringLiteral("Projects"));
    RowProjectDS = source(RowProjectTable, "RowProjectDS");
    ProjectCompanyTable = detail("ProjectCompanyTable", "Companies", RowProjectDS, "CompanyID");
    companyFields(ProjectCompanyTable);
    ProjectCompanyDS = source(ProjectCompanyTable, "ProjectCompanyDS");

    for (Dataset* d : {RowPersonTable, PersonCompanyTable, RowSubProjectTable, RowProjectTable, ProjectCompanyTable})
        d->open();
}

void TBusinessForm::buildLayout()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    auto label = [this](const char* text, const char* name) {
        auto* l = new QLabel(QLatin1String(text), this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto text = [this](DataSource* source, const char* field, const char* name) {
        auto* t = new DBText(source, QLatin1String(field), this);
        t->setObjectName(QLatin1String(name));
        t->setBold(true);
        // Wider than the classic 145 pixels: this font is larger, and names must not be cut.
        t->setMinimumWidth(200);
        return t;
    };
    auto check = [&](const Catalogue::BuyingRole& role, const char* name) {
        auto* c = new DBCheckBox(dm.BusinessDataSource, role.field, role.shortCaption, this);
        c->setObjectName(QLatin1String(name));
        return c;
    };

    DBNavigator1 = new DBNavigator(dm.BusinessDataSource, this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setVisibleButtons({DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last,
                                     DBNavigator::Insert, DBNavigator::Delete, DBNavigator::Post, DBNavigator::Cancel,
                                     DBNavigator::Refresh});

    Label2 = label("Person ", "Label2");
    DBLookupComboBox1 = new DBLookupComboBox(dm.BusinessDataSource, QStringLiteral("PersonName"), this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    Label3 = label("Company", "Label3");
    DBText1 = text(PersonCompanyDS, "Name", "DBText1");
    Label4 = label("Title", "Label4");
    DBText2 = text(RowPersonDS, "Title", "DBText2");

    Label1 = label("SubProject", "Label1");
    DBLookupComboBox2 = new DBLookupComboBox(dm.BusinessDataSource, QStringLiteral("SubProjectName"), this);
    DBLookupComboBox2->setObjectName(QStringLiteral("DBLookupComboBox2"));
    Label6 = label("Project", "Label6");
    DBText3 = text(RowProjectDS, "Name", "DBText3");
    Label5 = label("Company", "Label5");
    DBText4 = text(ProjectCompanyDS, "Name", "DBText4");
    for (DBLookupComboBox* list : {DBLookupComboBox1, DBLookupComboBox2})
        list->setMinimumWidth(200);

    const QList<Catalogue::BuyingRole>& buyingRoles = Catalogue::roles();
    DBCheckBox1 = check(buyingRoles[0], "DBCheckBox1");
    DBCheckBox2 = check(buyingRoles[1], "DBCheckBox2");
    DBCheckBox3 = check(buyingRoles[2], "DBCheckBox3");
    DBCheckBox4 = check(buyingRoles[3], "DBCheckBox4");
    DBCheckBox5 = check(buyingRoles[4], "DBCheckBox5");

    Label7 = label("Weight", "Label7");
    WeightEdit = new DBEdit(dm.BusinessDataSource, Catalogue::weightField(), this);
    WeightEdit->setObjectName(QStringLiteral("WeightEdit"));
    WeightEdit->setFixedWidth(81);

    auto* top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(DBNavigator1);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setColumnMinimumWidth(2, 8);
    const std::pair<QLabel*, QWidget*> left[] = {{Label2, DBLookupComboBox1}, {Label3, DBText1}, {Label4, DBText2}};
    const std::pair<QLabel*, QWidget*> right[] = {{Label1, DBLookupComboBox2}, {Label6, DBText3}, {Label5, DBText4}};
    for (int row = 0; row < 3; ++row) {
        fields->addWidget(left[row].first, row, 0);
        fields->addWidget(left[row].second, row, 1);
        fields->addWidget(right[row].first, row, 3);
        fields->addWidget(right[row].second, row, 4);
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(4, 1);

    auto* roles = new QVBoxLayout;
    for (DBCheckBox* box : {DBCheckBox1, DBCheckBox2, DBCheckBox3, DBCheckBox4, DBCheckBox5})
        roles->addWidget(box);
    auto* weight = new QHBoxLayout;
    weight->addWidget(Label7);
    weight->addWidget(WeightEdit);
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(roles);
    bottom->addStretch(1);
    bottom->addLayout(weight);
    bottom->setAlignment(weight, Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 4, 18, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(fields);
    layout->addSpacing(24);
    layout->addLayout(bottom);
    layout->addStretch(1);

    setTabOrder(DBCheckBox1, DBCheckBox2);
    setTabOrder(DBCheckBox2, DBCheckBox3);
    setTabOrder(DBCheckBox3, DBCheckBox4);
    setTabOrder(DBCheckBox4, DBCheckBox5);
    setTabOrder(DBCheckBox5, DBLookupComboBox1);
    setTabOrder(DBLookupComboBox1, DBLookupComboBox2);
    setTabOrder(DBLookupComboBox2, DBNavigator1);
    setTabOrder(DBNavigator1, WeightEdit);
    resize(620, 287);
}
