#include "ui/main/DataEntry.h"

#include <algorithm>

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/DBCheckBox.h"
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
    // Showing the description must not move the grid under a check box placed over one of its cells.
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
    connect(DBGrid3, &DBGrid::keyPress, this, &TDataEntryForm::DBGrid3KeyPress);
    connect(DBGrid3->verticalScrollBar(), &QScrollBar::valueChanged, this, &TDataEntryForm::placeRoleCheckBox);
    connect(DBGrid3->selectionModel(), &QItemSelectionModel::currentChanged, this, &TDataEntryForm::placeRoleCheckBox);

    DBNavigator6 = PageLayout::recordNavigator(page, "DBNavigator6");
    connect(DBNavigator6, &DBNavigator::clicked, this, &TDataEntryForm::DBNavigator6Click);

    // Made after the grid, so that they lie over it.
    CBDecisionMaker = named(new DBCheckBox(page), "CBDecisionMaker");
    CBUser = named(new DBCheckBox(page), "CBUser");
    CBInfluencer = named(new DBCheckBox(page), "CBInfluencer");
    CBPurchaser = named(new DBCheckBox(page), "CBPurchaser");
    CBGateKeeper = named(new DBCheckBox(page), "CBGateKeeper");
    for (DBCheckBox* box : roleCheckBoxes()) {
        // The keys stay with the grid; a click still toggles through the box's binding.
        box->setFocusPolicy(Qt::NoFocus);
        box->setAutoFillBackground(true);
        box->setBackgroundRole(QPalette::Base);
        box->hide();
    }

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
    const std::array<DBCheckBox*, 5> boxes = roleCheckBoxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->bind(dm.PeopleDetialDS, Catalogue::roles()[int(i)].field);
    DBGrid3->setDataSource(dm.PeopleDetialDS);
    DBNavigator6->setDataSource(dm.PeopleDetialDS);
    // After the grid has followed the dataset.
    connect(dm.PeopleDetialDS, &DataSource::dataChanged, this, &TDataEntryForm::placeRoleCheckBox);
}

// In the order of the catalogue's roles.
std::array<DBCheckBox*, 5> TDataEntryForm::roleCheckBoxes() const
{
    return {CBDecisionMaker, CBUser, CBInfluencer, CBPurchaser, CBGateKeeper};
}

void TDataEntryForm::DBGrid3ColEnter()
{
    CatagoryTip->hide();
    m_roleCheckBox = nullptr;
    const QString field = DBGrid3->selectedField();
    const std::array<DBCheckBox*, 5> boxes = roleCheckBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (field == Catalogue::roles()[int(i)].field) {
            boxes[i]->show();
            m_roleCheckBox = boxes[i];
            CatagoryTip->setText(Catalogue::roles()[int(i)].description);
            CatagoryTip->show();
        } else {
            boxes[i]->hide();
        }
    }
    placeRoleCheckBox();
}

void TDataEntryForm::DBGrid3DrawColumnCell(QPainter* painter, const QRect& cellRect, int row, int column, bool focused)
{
    const QString field = DBGrid3->columns().value(column).field;
    if (focused) {
        const std::array<DBCheckBox*, 5> boxes = roleCheckBoxes();
        for (size_t i = 0; i < boxes.size(); ++i)
            if (field == Catalogue::roles()[int(i)].field) {
                // The grid and the boxes share a parent, so the grid's position places a box on the cell.
                boxes[i]->setGeometry(cellRect.translated(DBGrid3->pos()));
                return;
            }
    }
    if (field != Catalogue::weightField())
        return;
    const QVariant weight = DBGrid3->dataset()->valueAt(row, field);
    if (!weight.isNull() && weight.toInt() > RedAbove)
        DBGrid3->defaultDrawColumnCell(painter, cellRect, row, column, Qt::red);
}

void TDataEntryForm::DBGrid3KeyPress(QChar key, bool& handled)
{
    for (DBCheckBox* box : roleCheckBoxes()) {
        if (box->isHidden())
            continue;
        // Enter, Tab, Escape and Backspace go on to the grid.
        if (key.unicode() < 32)
            return;
        handled = true;
        TMainDataModule& dm = *m_forms.MainDataModule;
        // A greyed box (an empty role) counts as cleared, as a click on it does.
        guarded([&] {
            if (dm.PeopleDetialDS->edit())
                dm.PeopleDetail->setValue(box->fieldName(), box->checkState() != Qt::Checked);
        });
        return;
    }
}

void TDataEntryForm::DBNavigator6Click()
{
    m_roleCheckBox = nullptr;
    for (DBCheckBox* box : roleCheckBoxes())
        box->hide();
}

void TDataEntryForm::placeRoleCheckBox()
{
    if (!m_roleCheckBox)
        return;
    const QModelIndex current = DBGrid3->currentIndex();
    // The viewport in the grid's coordinates, where cellRect lies; a cell cut by its edge keeps
    // the part in view.
    const QRect cell = DBGrid3->cellRect(current.row(), DBGrid3->selectedColumn()) & DBGrid3->viewport()->geometry();
    const bool inView = current.isValid() && !cell.isEmpty();
    if (inView)
        m_roleCheckBox->setGeometry(cell.translated(DBGrid3->pos()));
    m_roleCheckBox->setVisible(inView);
}
