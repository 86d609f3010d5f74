#include "ui/main/DataEntry.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/DataModule.h"
#include "reports/ReportMenu.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBMemo.h"
#include "ui/main/PageLayout.h"

using PageLayout::named;

void TDataEntryForm::buildCompaniesPage()
{
    CompaniesTabSheet = named(new QWidget, "CompaniesTabSheet");
    QWidget* page = CompaniesTabSheet;
    DBNavigator1 = PageLayout::recordNavigator(page, "DBNavigator1");
    DBEdit8 = named(new DBEdit(page), "DBEdit8");
    DBEdit9 = named(new DBEdit(page), "DBEdit9");
    DBEdit10 = named(new DBEdit(page), "DBEdit10");
    DBEdit11 = named(new DBEdit(page), "DBEdit11");
    DBEdit12 = named(new DBEdit(page), "DBEdit12");
    DBMemo1 = named(new DBMemo(page), "DBMemo1");
    DBMemo2 = named(new DBMemo(page), "DBMemo2");
    for (DBEdit* phone : {DBEdit10, DBEdit11, DBEdit12})
        phone->setMaximumWidth(220);

    QFormLayout* rows = PageLayout::fieldRows();
    rows->addRow(QStringLiteral("Name"), DBEdit8);
    rows->addRow(QStringLiteral("Address"), DBEdit9);
    rows->addRow(QStringLiteral("Tel 1"), DBEdit10);
    rows->addRow(QStringLiteral("Tel 2"), DBEdit11);
    rows->addRow(QStringLiteral("Fax"), DBEdit12);
    rows->addRow(QStringLiteral("Activities"), DBMemo1);
    rows->addRow(QStringLiteral("Comments"), DBMemo2);

    Button3 = named(new QPushButton(QStringLiteral("Report..."), page), "Button3");
    Button3->setAutoDefault(false);
    connect(Button3, &QPushButton::clicked, this, &TDataEntryForm::Button3Click);
    auto* top = new QHBoxLayout;
    top->addWidget(DBNavigator1);
    top->addStretch(1);
    top->addWidget(Button3);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(rows, 1);
}

void TDataEntryForm::bindCompaniesPage(TMainDataModule& dm)
{
    DataSource* source = dm.CompaniesDataSource;
    DBNavigator1->setDataSource(source);
    DBEdit8->bind(source, QStringLiteral("Name"));
    DBEdit9->bind(source, QStringLiteral("Address"));
    DBEdit10->bind(source, QStringLiteral("Tel1"));
    DBEdit11->bind(source, QStringLiteral("Tel2"));
    DBEdit12->bind(source, QStringLiteral("Fax"));
    DBMemo1->bind(source, QStringLiteral("MainActivities"));
    DBMemo2->bind(source, QStringLiteral("Comments"));
}

void TDataEntryForm::Button3Click()
{
    guarded([this] { previewCompanies(*m_forms.MainDataModule); });
}
