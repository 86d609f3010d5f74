#include "ui/main/DataEntry.h"

#include <QVBoxLayout>

#include "data/DataModule.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBMemo.h"
#include "ui/main/PageLayout.h"

using PageLayout::named;

void TDataEntryForm::buildProjectsPage()
{
    ProjetcsTabSheet = named(new QWidget, "ProjetcsTabSheet");
    QWidget* page = ProjetcsTabSheet;
    DBNavigator3 = PageLayout::recordNavigator(page, "DBNavigator3");
    DBEdit22 = named(new DBEdit(page), "DBEdit22");
    DBEdit24 = named(new DBEdit(page), "DBEdit24");
    DBMemo3 = named(new DBMemo(page), "DBMemo3");

    QFormLayout* rows = PageLayout::fieldRows();
    rows->addRow(QStringLiteral("Name"), DBEdit22);
    rows->addRow(QStringLiteral("Code"), DBEdit24);
    rows->addRow(QStringLiteral("Comments"), DBMemo3);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(DBNavigator3, 0, Qt::AlignLeft);
    layout->addLayout(rows, 1);
}

void TDataEntryForm::bindProjectsPage(TMainDataModule& dm)
{
    DataSource* source = dm.ProjectDetailDS;
    DBNavigator3->setDataSource(source);
    DBEdit22->bind(source, QStringLiteral("Name"));
    DBEdit24->bind(source, QStringLiteral("Code"));
    DBMemo3->bind(source, QStringLiteral("Comments"));
}
