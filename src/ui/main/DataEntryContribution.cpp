#include "ui/main/DataEntry.h"

#include <algorithm>

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBGrid.h"
#include "ui/main/PageLayout.h"

using PageLayout::named;

namespace {

constexpr int RedAbove = 90;

} // namespace

void TDataEntryForm::buildContributionPage()
{
    Contribution = named(new QWidget, "Contribution");
    QWidget* page = Contribution;

    DBEdit2 = named(new DBEdit(page), "DBEdit2");
    DBEdit3 = named(new DBEdit(page), "DBEdit3");
    DBEdit5 = named(new DBEdit(page), "DBEdit5");
    DBEdit7 = named(new DBEdit(page), "DBEdit7");
    auto* summary = new QGridLayout;
    const std::pair<const char*, DBEdit*> fields[] = {{"Name", DBEdit2}, {"Code", DBEdit3}, {"Type", DBEdit5}, {"Size", DBEdit7}};
    for (int i = 0; i < 4; ++i) {
        const auto& [text, edit] = fields[i];
        edit->setReadOnly(true);
        auto* label = new QLabel(QLatin1String(text), page);
        label->setBuddy(edit);
        summary->addWidget(label, i / 2, (i % 2) * 2);
        summary->addWidget(edit, i / 2, (i % 2) * 2 + 1);
    }
    summary->setColumnStretch(1, 3);
    summary->setColumnStretch(3, 2);

    CatagoryTip = named(new QLineEdit(page), "CatagoryTip");
    CatagoryTip->setReadOnly(true);
    CatagoryTip->setFocusPolicy(Qt::NoFocus);
    QPalette tip = CatagoryTip->palette();
    tip.setColor(QPalette::Base, QToolTip::palette().color(QPalette::ToolTipBase));
    tip.setColor(QPalette::Text, QToolTip::palette().color(QPalette::ToolTipText));
    CatagoryTip->setPalette(tip);
    // Showing the description must not move the grid under the pointer.
    QSizePolicy keepPlace = CatagoryTip->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    CatagoryTip->setSizePolicy(keepPlace);
    CatagoryTip->hide();

    DBGrid3 = named(new DBGrid(page), "DBGrid3");
    const QColor menu = QApplication::palette("QMenu").color(QPalette::Window);
    QList<GridColumn> columns = {GridColumn(QStringLiteral("PersonName"), 81).withColor(menu),
                                 GridColumn(QStringLiteral("CompanyName"), 92).withColor(menu).asReadOnly()};
    QStringList titles = {QStringLiteral("Person Name"), QStringLiteral("Company Name")};
    const int roleWidths[] = {79, 54, 66, 60, 73};
    for (int i = 0; i < 5; ++i) {
        columns.append(GridColumn(Catalogue::roles()[i].field, roleWidths[i]));
        titles.append(Catalogue::roles()[i].caption);
    }
    columns.append(GridColumn(Catalogue::weightField(), 71));
    titles.append(Catalogue::weightCaption());
    // Wider where this font needs it, so that no title is cut.
    const QFontMetrics header = DBGrid3->horizontalHeader()->fontMetrics();
    for (int i = 0; i < columns.size(); ++i)
        columns[i].width = std::max(columns[i].width, header.horizontalAdvance(titles[i]) + 12);
    DBGrid3->setColumns(columns);
    connect(DBGrid3, &DBGrid::colEnter, this, &TDataEntryForm::DBGrid3ColEnter);
    connect(DBGrid3, &DBGrid::drawColumnCell, this, &TDataEntryForm::DBGrid3DrawColumnCell);
    DBGrid3->installKeyFilter(this);

    DBNavigator6 = PageLayout::recordNavigator(page, "DBNavigator6");
    connect(DBNavigator6, &DBNavigator::clicked, this, &TDataEntryForm::DBNavigator6Click);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(summary);
    layout->addWidget(CatagoryTip);
    layout->addWidget(DBGrid3, 1);
    layout->addWidget(DBNavigator6, 0, Qt::AlignLeft);
}

void TDataEntryForm::bindContributionPage(TMainDataModule& dm)
{
    DataSource* subproject = dm.SubProjectDetailDS;
    DBEdit2->bind(subproject, QStringLiteral("Name"));
    DBEdit3->bind(subproject, QStringLiteral("Code"));
    DBEdit5->bind(subproject, QStringLiteral("Type"));
    DBEdit7->bind(subproject, QStringLiteral("Size"));
    DBGrid3->setDataSource(dm.PeopleDetialDS);
    DBNavigator6->setDataSource(dm.PeopleDetialDS);
}

void TDataEntryForm::DBGrid3ColEnter()
{
    CatagoryTip->hide();
    // The role's check box stands on the current cell of its column, following the row.
    DBGrid3->setCheckColumn(-1);
    const QString field = DBGrid3->selectedField();
    for (const Catalogue::BuyingRole& role : Catalogue::roles()) {
        if (field != role.field)
            continue;
        DBGrid3->setCheckColumn(DBGrid3->selectedColumn());
        CatagoryTip->setText(role.description);
        CatagoryTip->show();
    }
}

void TDataEntryForm::DBGrid3DrawColumnCell(QPainter* painter, const QRect& cellRect, int row, int column, bool)
{
    const QString field = DBGrid3->columns().value(column).field;
    if (field != Catalogue::weightField())
        return;
    const QVariant weight = DBGrid3->dataset()->valueAt(row, field);
    if (!weight.isNull() && weight.toInt() > RedAbove)
        DBGrid3->defaultDrawColumnCell(painter, cellRect, row, column, Qt::red);
}

bool TDataEntryForm::eventFilter(QObject* watched, QEvent* event)
{
    return DBGrid3KeyPress(DBGrid3->keyCharacter(watched, event)) || QWidget::eventFilter(watched, event);
}

bool TDataEntryForm::DBGrid3KeyPress(QChar key)
{
    // Enter, Tab, Escape and Backspace go on to the grid, as every key does while no role shows.
    if (DBGrid3->checkColumn() < 0 || key.unicode() < 32)
        return false;
    // A greyed box (an empty role) counts as cleared, as a click on it does.
    const QModelIndex cell = DBGrid3->model()->index(DBGrid3->currentIndex().row(), DBGrid3->checkColumn());
    const bool ticked = cell.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    DBGrid3->model()->setData(cell, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    return true;
}

void TDataEntryForm::DBNavigator6Click()
{
    DBGrid3->setCheckColumn(-1);
}
