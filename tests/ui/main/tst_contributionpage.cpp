#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "support/ShownWindow.h"

namespace {

enum Column { PersonColumn, CompanyColumn, DecisionMakerColumn, UserColumn, InfluencerColumn, PurchaserColumn,
              GateKeeperColumn, WeightColumn };

// Pixels of the cell in pure red or close to it, as red text leaves them.
int redPixels(DBGrid* grid, int row, int column)
{
    const QImage image = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    int red = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    return red;
}

} // namespace

class TestContributionPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyControlIsInsideThePageAndNoTitleIsCut();
    void summaryFollowsTheSubprojectAndTakesNoInput();
    void enteringAColumnShowsOnlyItsRole_data();
    void enteringAColumnShowsOnlyItsRole();
    void printableKeysToggleTheRoleAndOthersReachTheGrid();
    void checkBoxFollowsTheCurrentRowDownTheColumn();
    void checkBoxShowsTheCurrentRowsValueAfterEveryMove();
    void aClickAnywhereInTheRoleCellToggles();
    void theBoxIsDrawnInPlaceOfTheCellsText();
    void escapeStillWorksAfterARefusedWeight();
    void everyDigitTypedAfterAClickReachesTheWeight_data();
    void everyDigitTypedAfterAClickReachesTheWeight();
    void navigatorClickHidesTheCheckBoxes();
    void scrollingTheFocusedCellAwayHidesTheCheckBoxes();
    void weightAboveNinetyIsDrawnRed_data();
    void weightAboveNinetyIsDrawnRed();
    void spaceInAnEmptyGridStartsARowWithTheRole();
    void personColumnOffersEveryoneAndCompanyColumnIsReadOnly();

private:
    void enter(int row, int column);
    QVariant role(const char* field) { return dm().PeopleDetail->value(QLatin1String(field)); }
    QStringList shownBoxes();
    Qt::CheckState boxState(int row, int column);
    void addBobAsPurchaser();
    TMainDataModule& dm() { return *m_f->dm; }

    std::unique_ptr<MainWindowFixture> m_f;
    TDataEntryForm* m_w = nullptr;
};

void TestContributionPage::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    m_w = &m_f->makeMainWindow(TDataEntryForm::ContributionPage);
    QVERIFY(showActive(*m_w));
    m_w->DBGrid3->setFocus();
}

void TestContributionPage::cleanup()
{
    m_f.reset();
}

// Clicks a cell and lets the grid paint.
void TestContributionPage::enter(int row, int column)
{
    DBGrid* grid = m_w->DBGrid3;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, column)).center());
    QCoreApplication::processEvents();
}

// The grid's cells in view that show a check box, as "field@row".
QStringList TestContributionPage::shownBoxes()
{
    DBGrid* grid = m_w->DBGrid3;
    QStringList boxes;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        for (int column = 0; column < grid->model()->columnCount(); ++column) {
            const QModelIndex cell = grid->model()->index(row, column);
            if (cell.data(Qt::CheckStateRole).isValid() && grid->viewport()->rect().intersects(grid->visualRect(cell)))
                boxes.append(QStringLiteral("%1@%2").arg(grid->columns()[column].field).arg(row));
        }
    return boxes;
}

Qt::CheckState TestContributionPage::boxState(int row, int column)
{
    return Qt::CheckState(m_w->DBGrid3->model()->index(row, column).data(Qt::CheckStateRole).toInt());
}

void TestContributionPage::addBobAsPurchaser()
{
    dm().PeopleDetail->append();
    dm().PeopleDetail->setValue(QStringLiteral("PersonID"), 41);
    dm().PeopleDetail->setValue(QStringLiteral("SPPurchaser"), true);
    dm().PeopleDetail->post();
    dm().PeopleDetail->first();
}

void TestContributionPage::everyControlIsInsideThePageAndNoTitleIsCut()
{
    enter(0, GateKeeperColumn);
    QWidget* page = m_w->Contribution;
    for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isHidden())
            continue;
        const QRect area(control->mapTo(page, QPoint(0, 0)), control->size());
        QVERIFY2(page->rect().contains(area), qPrintable(control->objectName()));
    }
    DBGrid* grid = m_w->DBGrid3;
    QVERIFY(!grid->horizontalScrollBar()->isVisible());
    const QFontMetrics header = grid->horizontalHeader()->fontMetrics();
    for (int column = PersonColumn; column <= WeightColumn; ++column)
        QVERIFY(grid->columnWidth(column) > header.horizontalAdvance(grid->model()->headerData(column, Qt::Horizontal).toString()));
}

void TestContributionPage::summaryFollowsTheSubprojectAndTakesNoInput()
{
    const QString type1 = m_f->scalar(QStringLiteral("SELECT SPTypeName FROM SubProjectType WHERE SPTypeID = 1")).toString();
    const QString size1 = m_f->scalar(QStringLiteral("SELECT Name FROM SubProjectSize WHERE ID = 1")).toString();
    dm().SubProjectsDetail->edit();
    dm().SubProjectsDetail->setValue(QStringLiteral("Code"), QStringLiteral("P-1"));
    dm().SubProjectsDetail->post();
    QCOMPARE((QStringList{m_w->DBEdit2->text(), m_w->DBEdit3->text(), m_w->DBEdit5->text(), m_w->DBEdit7->text()}),
             (QStringList{QStringLiteral("Pilot"), QStringLiteral("P-1"), type1, size1}));

    QTest::keyClicks(m_w->DBEdit2, QStringLiteral("x"));
    QCOMPARE(m_w->DBEdit2->text(), QStringLiteral("Pilot"));
    QCOMPARE(dm().SubProjectsDetail->state(), Dataset::State::Browse);

    dm().SubProjectsDetail->next();
    QCOMPARE(m_w->DBEdit2->text(), QStringLiteral("Phase two"));
}

void TestContributionPage::enteringAColumnShowsOnlyItsRole_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("description");

    QTest::newRow("person") << int(PersonColumn) << "Person Name" << "" << "";
    QTest::newRow("company") << int(CompanyColumn) << "Company Name" << "" << "";
    QTest::newRow("decision maker") << int(DecisionMakerColumn) << "Decision Maker" << "SPDecisionMaker"
                                    << "Decision maker : People who make the actual buying decision. Eg. managers.";
    QTest::newRow("user") << int(UserColumn) << "User" << "SPUser"
                          << "User : People who actually use the product, service, or solution. Eg. field engineers.";
    QTest::newRow("influencer")
        << int(InfluencerColumn) << "Influencer" << "SPInfluencer"
        << "Influencers : People who set the specifications and aspects of buying decisions. Eg. consultants.";
    QTest::newRow("purchaser")
        << int(PurchaserColumn) << "Purchaser" << "SPPurchaser"
        << "Purchaser : People who interact with suppliers, arrange terms and conditions, and process purchase orders.";
    QTest::newRow("gate keeper") << int(GateKeeperColumn) << "Gate Keeper" << "SPGateKeeper"
                                 << "Gate keeper : People who control the flow of purchasing information. Eg. secretaries.";
    QTest::newRow("weight") << int(WeightColumn) << "Weight" << "" << "";
}

void TestContributionPage::enteringAColumnShowsOnlyItsRole()
{
    QFETCH(int, column);
    QFETCH(QString, title);
    QFETCH(QString, box);
    QFETCH(QString, description);

    QVERIFY(shownBoxes().isEmpty());
    QVERIFY(m_w->CatagoryTip->isHidden());
    QCOMPARE(m_w->DBGrid3->model()->headerData(column, Qt::Horizontal).toString(), title);

    enter(0, GateKeeperColumn == column ? UserColumn : GateKeeperColumn);  // another role first
    enter(0, column);
    QCOMPARE(shownBoxes(), box.isEmpty() ? QStringList() : QStringList{box + "@0"});
    QCOMPARE(m_w->CatagoryTip->isHidden(), description.isEmpty());
    if (box.isEmpty())
        return;
    QCOMPARE(m_w->CatagoryTip->text(), description);
}

void TestContributionPage::printableKeysToggleTheRoleAndOthersReachTheGrid()
{
    DBGrid* grid = m_w->DBGrid3;
    enter(0, UserColumn);
    QVERIFY(role("SPUser").isNull());

    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(role("SPUser"), QVariant(true));
    QCOMPARE(boxState(0, UserColumn), Qt::Checked);
    QVERIFY(!grid->cellEditor());
    QCOMPARE(dm().PeopleDetail->state(), Dataset::State::Edit);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(role("SPUser"), QVariant(false));
    QTest::keyClick(grid, Qt::Key_X);
    QCOMPARE(role("SPUser"), QVariant(true));
    QVERIFY(!grid->cellEditor());

    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(role("SPUser"), QVariant(true));
    QCOMPARE(boxState(0, UserColumn), Qt::Checked);

    // Escape is the grid's: it cancels the row.
    QTest::keyClick(grid, Qt::Key_Escape);
    QCOMPARE(dm().PeopleDetail->state(), Dataset::State::Browse);
    QVERIFY(role("SPUser").isNull());

    QTest::keyClick(grid, Qt::Key_Space);
    QTest::mouseClick(m_w->DBNavigator6->button(DBNavigator::Post), Qt::LeftButton);
    QVERIFY(m_f->scalar(QStringLiteral("SELECT SPUser FROM Business WHERE PersonID = 40")).toBool());
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestContributionPage::checkBoxFollowsTheCurrentRowDownTheColumn()
{
    addBobAsPurchaser();
    enter(0, PurchaserColumn);
    QCOMPARE(shownBoxes(), QStringList{QStringLiteral("SPPurchaser@0")});
    QCOMPARE(boxState(0, PurchaserColumn), Qt::PartiallyChecked);

    QTest::keyClick(m_w->DBGrid3, Qt::Key_Down);
    QCoreApplication::processEvents();
    QCOMPARE(dm().PeopleDetail->text(QStringLiteral("PersonName")), QStringLiteral("Bob"));
    QCOMPARE(shownBoxes(), QStringList{QStringLiteral("SPPurchaser@1")});
    QCOMPARE(boxState(1, PurchaserColumn), Qt::Checked);

    QTest::keyClick(m_w->DBGrid3, Qt::Key_Up);
    QCoreApplication::processEvents();
    QCOMPARE(shownBoxes(), QStringList{QStringLiteral("SPPurchaser@0")});
    QCOMPARE(boxState(0, PurchaserColumn), Qt::PartiallyChecked);
}

void TestContributionPage::checkBoxShowsTheCurrentRowsValueAfterEveryMove()
{
    addBobAsPurchaser();
    DBGrid* grid = m_w->DBGrid3;
    auto shows = [&](int row, Qt::CheckState state) {
        QCoreApplication::processEvents();
        return shownBoxes() == QStringList{QStringLiteral("SPPurchaser@%1").arg(row)} && boxState(row, PurchaserColumn) == state;
    };
    enter(0, PurchaserColumn);
    QVERIFY(shows(0, Qt::PartiallyChecked));

    // An edited row is saved on the way down; both rows keep showing their own values.
    QTest::keyClick(grid, Qt::Key_Space);
    QVERIFY(shows(0, Qt::Checked));
    QTest::keyClick(grid, Qt::Key_Down);
    QVERIFY(shows(1, Qt::Checked));
    QTest::keyClick(grid, Qt::Key_Space);
    QVERIFY(shows(1, Qt::Unchecked));
    QTest::keyClick(grid, Qt::Key_Up);
    QVERIFY(shows(0, Qt::Checked));
    QVERIFY(m_f->messages.entries().isEmpty());

    // Down from the last row starts a new row; the box stands on it, empty.
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(dm().PeopleDetail->state(), Dataset::State::Insert);
    QVERIFY(shows(2, Qt::PartiallyChecked));
    QTest::keyClick(grid, Qt::Key_Up);
    QVERIFY(shows(1, Qt::Unchecked));

    // A move made elsewhere (another window's navigator) is followed too.
    dm().PeopleDetail->first();
    QVERIFY(shows(0, Qt::Checked));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, PurchaserColumn)).center());
    QVERIFY(shows(1, Qt::Unchecked));

    // Far down a long list, a new row and its cancelling re-read the rows; the box stays with the row.
    Connection& file = *dm().MainADOConnection();
    for (int i = 0; i < 40; ++i)
        file.exec(QStringLiteral("INSERT INTO Business (PersonID, SubProjectID, SPPurchaser) VALUES (41, 27, 1)"));
    dm().PeopleDetail->close();
    dm().PeopleDetail->open();
    QTest::keyClick(grid, Qt::Key_PageDown);
    QTest::keyClick(grid, Qt::Key_PageDown);
    QVERIFY(grid->verticalScrollBar()->value() > 0);
    const int last = dm().PeopleDetail->recNo();
    QVERIFY(shows(last, Qt::Checked));
    QTest::keyClick(grid, Qt::Key_Insert);
    QVERIFY(shows(last, Qt::PartiallyChecked));
    QTest::keyClick(grid, Qt::Key_Escape);
    QVERIFY(shows(last, Qt::Checked));
}

void TestContributionPage::aClickAnywhereInTheRoleCellToggles()
{
    DBGrid* grid = m_w->DBGrid3;
    // The click that enters the cell only shows the box.
    enter(0, InfluencerColumn);
    QVERIFY(role("SPInfluencer").isNull());
    const QRect cell = grid->visualRect(grid->model()->index(0, InfluencerColumn));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 4, cell.center().y()));
    QCOMPARE(role("SPInfluencer"), QVariant(true));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(cell.center().x(), cell.bottom() - 3));
    QCOMPARE(role("SPInfluencer"), QVariant(false));
    // The keys stay with the grid.
    QCOMPARE(QApplication::focusWidget(), grid);
    QVERIFY(!grid->cellEditor());
}

void TestContributionPage::theBoxIsDrawnInPlaceOfTheCellsText()
{
    addBobAsPurchaser();
    DBGrid* grid = m_w->DBGrid3;
    enter(0, PurchaserColumn);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(boxState(0, PurchaserColumn), Qt::Checked);
    QCOMPARE(grid->model()->index(0, PurchaserColumn).data().toString(), QString());
    QCOMPARE(grid->model()->index(1, PurchaserColumn).data().toString(), QStringLiteral("True"));

    // The box itself is drawn: clearing it changes the cell's pixels.
    auto cellImage = [&] {
        QCoreApplication::processEvents();
        return grid->viewport()->grab(grid->visualRect(grid->model()->index(0, PurchaserColumn))).toImage();
    };
    const QImage ticked = cellImage();
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(boxState(0, PurchaserColumn), Qt::Unchecked);
    QVERIFY(cellImage() != ticked);
}

void TestContributionPage::escapeStillWorksAfterARefusedWeight()
{
    DBGrid* grid = m_w->DBGrid3;
    enter(0, WeightColumn);
    QTest::keyClick(grid, Qt::Key_Plus);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(m_f->messages.texts(), QStringList{QStringLiteral("'+' is not a valid integer value for field 'Weight'.")});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!grid->cellEditor());
    QCOMPARE(grid->model()->index(0, WeightColumn).data().toString(), QStringLiteral("50"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(dm().PeopleDetail->state(), Dataset::State::Browse);

    // The same when the refusal came from moving to another row.
    QTest::keyClick(grid, Qt::Key_Plus);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(m_f->messages.entries().size(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(dm().PeopleDetail->state(), Dataset::State::Browse);
    QCOMPARE(dm().PeopleDetail->asInteger(QStringLiteral("SPWeight")), 50);
}

void TestContributionPage::everyDigitTypedAfterAClickReachesTheWeight_data()
{
    QTest::addColumn<int>("delay");
    QTest::newRow("at once") << 0;
    QTest::newRow("100 ms") << 100;
    QTest::newRow("300 ms") << 300;
}

void TestContributionPage::everyDigitTypedAfterAClickReachesTheWeight()
{
    QFETCH(int, delay);
    enter(0, WeightColumn);
    enter(0, WeightColumn);
    QTest::qWait(delay);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5470"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(m_w->DBNavigator6->button(DBNavigator::Post), Qt::LeftButton);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT SPWeight FROM Business WHERE PersonID = 40")).toInt(), 5470);
}

void TestContributionPage::navigatorClickHidesTheCheckBoxes()
{
    const QString tip = QStringLiteral("Decision maker : People who make the actual buying decision. Eg. managers.");
    addBobAsPurchaser();
    for (DBNavigator::Button button : {DBNavigator::Next, DBNavigator::Refresh, DBNavigator::Insert, DBNavigator::Cancel}) {
        enter(0, UserColumn);
        enter(0, DecisionMakerColumn);
        QCOMPARE(shownBoxes(), QStringList{QStringLiteral("SPDecisionMaker@0")});
        QTest::mouseClick(m_w->DBNavigator6->button(button), Qt::LeftButton);
        QVERIFY2(shownBoxes().isEmpty(), qPrintable(QVariant::fromValue(button).toString()));
        QCOMPARE(m_w->CatagoryTip->text(), tip);
        QVERIFY(!m_w->CatagoryTip->isHidden());
    }

    const QVariant before = role("SPDecisionMaker");
    QTest::keyClick(m_w->DBGrid3, Qt::Key_X);
    QCOMPARE(role("SPDecisionMaker"), before);
}

void TestContributionPage::scrollingTheFocusedCellAwayHidesTheCheckBoxes()
{
    Connection& file = *dm().MainADOConnection();
    for (int i = 0; i < 40; ++i)
        file.exec(QStringLiteral("INSERT INTO Business (PersonID, SubProjectID, SPWeight) VALUES (41, 27, %1)").arg(i));
    dm().PeopleDetail->close();
    dm().PeopleDetail->open();
    QScrollBar* bar = m_w->DBGrid3->verticalScrollBar();
    QVERIFY(bar->maximum() > 2);

    enter(2, InfluencerColumn);
    bar->setValue(1);
    QCoreApplication::processEvents();
    QCOMPARE(shownBoxes(), QStringList{QStringLiteral("SPInfluencer@2")});

    bar->setValue(3);
    QVERIFY(shownBoxes().isEmpty());
}

void TestContributionPage::weightAboveNinetyIsDrawnRed_data()
{
    QTest::addColumn<QVariant>("weight");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("red");

    QTest::newRow("91") << QVariant(91) << false << true;
    QTest::newRow("90") << QVariant(90) << false << false;
    QTest::newRow("empty") << QVariant() << false << false;
    QTest::newRow("91 in the focused cell") << QVariant(91) << true << true;
    QTest::newRow("90 in the focused cell") << QVariant(90) << true << false;
}

void TestContributionPage::weightAboveNinetyIsDrawnRed()
{
    QFETCH(QVariant, weight);
    QFETCH(bool, focused);
    QFETCH(bool, red);

    dm().PeopleDetail->edit();
    dm().PeopleDetail->setValue(QStringLiteral("SPWeight"), weight);
    dm().PeopleDetail->post();
    enter(0, focused ? WeightColumn : PersonColumn);
    QCOMPARE(redPixels(m_w->DBGrid3, 0, WeightColumn) > 0, red);
    QCOMPARE(redPixels(m_w->DBGrid3, 0, PersonColumn), 0);
}

void TestContributionPage::spaceInAnEmptyGridStartsARowWithTheRole()
{
    dm().SubProjectsDetail->next();
    QVERIFY(dm().PeopleDetail->isEmpty());
    m_w->DBGrid3->setSelectedColumn(DecisionMakerColumn);
    QCOMPARE(shownBoxes(), QStringList{QStringLiteral("SPDecisionMaker@0")});

    QTest::keyClick(m_w->DBGrid3, Qt::Key_Space);
    QCOMPARE(dm().PeopleDetail->state(), Dataset::State::Insert);
    QCOMPARE(role("SPDecisionMaker"), QVariant(true));
    QCOMPARE(dm().PeopleDetail->text(QStringLiteral("SubProjectID")), QStringLiteral("29"));
    QVERIFY(!m_w->DBGrid3->cellEditor());

    QTest::mouseClick(m_w->DBNavigator6->button(DBNavigator::Post), Qt::LeftButton);
    QVERIFY(m_f->scalar(QStringLiteral("SELECT SPDecisionMaker FROM Business WHERE SubProjectID = 29")).toBool());
}

void TestContributionPage::personColumnOffersEveryoneAndCompanyColumnIsReadOnly()
{
    DBGrid* grid = m_w->DBGrid3;
    QCOMPARE(grid->model()->index(0, CompanyColumn).data().toString(), QStringLiteral("Acme"));
    enter(0, CompanyColumn);
    QTest::keyClick(grid, Qt::Key_X);
    QVERIFY(!grid->cellEditor());
    QCOMPARE(dm().PeopleDetail->state(), Dataset::State::Browse);

    enter(0, PersonColumn);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* people = qobject_cast<QComboBox*>(grid->cellEditor());
    QVERIFY(people);
    QStringList names;
    for (int i = 0; i < people->count(); ++i)
        names.append(people->itemText(i));
    QCOMPARE(names, (QStringList{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cecil")}));

    // A client of another company: the company column looks through the person.
    QTest::keyClick(people, Qt::Key_Down);
    QTest::keyClick(people, Qt::Key_Down);
    QTest::keyClick(people, Qt::Key_Return);
    QTest::mouseClick(m_w->DBNavigator6->button(DBNavigator::Post), Qt::LeftButton);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT PersonID FROM Business WHERE SubProjectID = 27")).toInt(), 42);
    QCOMPARE(grid->model()->index(0, CompanyColumn).data().toString(), QStringLiteral("Borealis"));
    QVERIFY(m_f->messages.entries().isEmpty());
}

QTEST_MAIN(TestContributionPage)
#include "tst_contributionpage.moc"
