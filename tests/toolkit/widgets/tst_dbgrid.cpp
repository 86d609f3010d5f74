#include <memory>

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>

#include "support/FormDatabase.h"
#include "PasteCases.h"
#include "support/RecordingMessageService.h"
#include "support/ShownWindow.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/DBGrid.h"

namespace {

enum Column { NameColumn, FlagColumn, NumberColumn, KindColumn };

// A window's key rule: notes each key with a character the grid hands over and swallows the space.
class SpaceSwallower : public QObject
{
public:
    QString seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.isEmpty())
            return false;
        seen.append(text.at(0).unicode() < 32 ? QChar('^') : text.at(0));
        return text.at(0) == ' ';
    }
};

}

class TestDBGrid : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsColumnsTitlesAndBooleans();
    void selectionAndCurrentRowFollowEachOther();
    void typingEditsTheCellAndLeavingTheRowSavesIt();
    void escapeRestoresTheCellThenCancelsTheRow();
    void anUnchangedCellEditorShowsAValueSetElsewhere();
    void aPasteInACellKeepsItsStartAndTheTextAroundIt_data();
    void aPasteInACellKeepsItsStartAndTheTextAroundIt();
    void everyKeyTypedAfterAClickReachesTheCell_data();
    void everyKeyTypedAfterAClickReachesTheCell();
    void tabKeysLeaveTheGrid();
    void aGridThatOnlyShowsRowsPassesTabAndActsOnEnter();
    void refusedSaveKeepsTheRowAndTheSelection();
    void theModelWritesTheCurrentRow();
    void aCheckColumnShowsTheCurrentCellAsACheckBox();
    void keysInsertDeleteAndAppend();
    void keyPressHandlerCanSwallowKeys();
    void colEnterReportsTheSelectedColumn();
    void drawColumnCellReportsTheFocusedCellWhereCellRectSays();
    void defaultDrawColumnCellRedrawsInAnotherColour();
    void lookupColumnChoosesFromTheList();
    void ellipsisButtonRaisesEditButtonClick();
    void aHundredThousandRowsOpenAndMove();

private:
    DBGrid* makeGrid(QWidget* parent);
    // The grid in form, shown, active and focused; null when the window never became active.
    DBGrid* showGrid(QWidget& form);
    void type(DBGrid* grid, const QString& text);
    QPoint cellCentre(DBGrid* grid, int row, int column) const;

    std::unique_ptr<FormDatabase> m_db;
    std::unique_ptr<RecordingMessageService> m_messages;
};

void TestDBGrid::init()
{
    m_db = std::make_unique<FormDatabase>();
    m_messages = std::make_unique<RecordingMessageService>();
    m_db->exec("INSERT INTO K (KindName) VALUES ('Small'), ('Large'), ('Medium')");
    m_db->exec("INSERT INTO T (Name, Flag, N, KindID) VALUES ('Ann', 1, 91, 1), ('Bob', 0, 90, 2), ('Cid', NULL, 7, NULL)");
}

void TestDBGrid::cleanup()
{
    m_messages.reset();
    m_db.reset();
}

DBGrid* TestDBGrid::makeGrid(QWidget* parent)
{
    auto* grid = new DBGrid(m_db->source(), parent);
    grid->setColumns({GridColumn("Name", 90), GridColumn("Flag", 60).withTitle("Flag?"), GridColumn("N"),
                      GridColumn("Kind", 90)});
    grid->resize(420, 200);
    return grid;
}

DBGrid* TestDBGrid::showGrid(QWidget& form)
{
    DBGrid* grid = makeGrid(&form);
    if (!showActive(form))
        return nullptr;
    grid->setFocus();
    return grid;
}

void TestDBGrid::type(DBGrid* grid, const QString& text)
{
    // The first key reaches the grid and opens the cell's editor; the rest go to the editor.
    QTest::keyClick(grid, text.at(0).toLatin1());
    if (text.size() > 1)
        QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
}

QPoint TestDBGrid::cellCentre(DBGrid* grid, int row, int column) const
{
    return grid->visualRect(grid->model()->index(row, column)).center();
}

void TestDBGrid::showsColumnsTitlesAndBooleans()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    QAbstractItemModel* model = grid->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->headerData(FlagColumn, Qt::Horizontal).toString(), QString("Flag?"));
    QCOMPARE(model->headerData(NumberColumn, Qt::Horizontal).toString(), QString("Number"));
    QCOMPARE(model->index(0, FlagColumn).data().toString(), QString("True"));
    QCOMPARE(model->index(1, FlagColumn).data().toString(), QString("False"));
    QCOMPARE(model->index(2, FlagColumn).data().toString(), QString());
    QCOMPARE(model->index(1, KindColumn).data().toString(), QString("Large"));
    QCOMPARE(grid->columnWidth(NameColumn), 90);

    m_db->exec("DELETE FROM T");
    m_db->rows().refresh();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, NameColumn).data().toString(), QString());
}

void TestDBGrid::selectionAndCurrentRowFollowEachOther()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    form.show();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 2, NameColumn));
    QCOMPARE(m_db->rows().recNo(), 2);
    QTest::keyClick(grid, Qt::Key_Up);
    QCOMPARE(m_db->rows().recNo(), 1);
    m_db->rows().first();
    QCOMPARE(grid->currentIndex().row(), 0);
    QCOMPARE(grid->currentIndex().column(), NameColumn);
}

void TestDBGrid::typingEditsTheCellAndLeavingTheRowSavesIt()
{
    QWidget form;
    DBGrid* grid = showGrid(form);
    QVERIFY(grid);
    type(grid, "Zed");
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    QCOMPARE(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), QString("Zed"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(m_db->rows().text("Name"), QString("Zed"));
    QCOMPARE(m_db->scalar("SELECT Name FROM T WHERE ID = 1").toString(), QString("Ann"));

    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(m_db->rows().recNo(), 1);
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
    QCOMPARE(m_db->scalar("SELECT Name FROM T WHERE ID = 1").toString(), QString("Zed"));

    // An open editor is written when the user moves on, too.
    type(grid, "Bea");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(m_db->rows().recNo(), 2);
    QCOMPARE(m_db->scalar("SELECT Name FROM T WHERE ID = 2").toString(), QString("Bea"));
    QVERIFY(m_messages->entries().isEmpty());
}

void TestDBGrid::aPasteInACellKeepsItsStartAndTheTextAroundIt_data()
{
    pasteCases();
}

void TestDBGrid::aPasteInACellKeepsItsStartAndTheTextAroundIt()
{
    const auto [inputMethod, stored, from, to, pasted, saved] = fetchPasteCase();
    Statement update(m_db->db(), QStringLiteral("UPDATE T SET Name = ? WHERE ID = 1"));
    update.bind(1, stored);
    update.step();
    m_db->rows().refresh();
    QWidget form;
    DBGrid* grid = showGrid(form);
    QVERIFY(grid);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* cell = qobject_cast<QLineEdit*>(grid->cellEditor());
    QVERIFY(cell);
    QCOMPARE(cell->text(), stored);
    cell->setSelection(units(stored, from), units(stored, to) - units(stored, from));
    insertInto(cell, pasted, inputMethod);
    QCOMPARE(cell->text(), saved);
    QTest::keyClick(cell, Qt::Key_Return);
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Name FROM T WHERE ID = 1").toString(), saved);
}

void TestDBGrid::escapeRestoresTheCellThenCancelsTheRow()
{
    QWidget form;
    DBGrid* grid = showGrid(form);
    QVERIFY(grid);
    type(grid, "Q");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!grid->cellEditor());
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    QCOMPARE(grid->model()->index(0, NameColumn).data().toString(), QString("Ann"));
    QTest::keyClick(grid, Qt::Key_Escape);
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
}

void TestDBGrid::anUnchangedCellEditorShowsAValueSetElsewhere()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    m_db->source()->edit();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    grid->setFocus();
    // A click on the current cell opens its editor.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 0, NameColumn));
    auto* cell = qobject_cast<QLineEdit*>(grid->cellEditor());
    QVERIFY(cell);
    m_db->rows().setValue("Name", "Ada");
    QCOMPARE(cell->text(), QString("Ada"));

    // What the user typed stays.
    QTest::keyClick(cell, Qt::Key_X);
    m_db->rows().setValue("Name", "Bo");
    QCOMPARE(cell->text(), QString("Adax"));
}

void TestDBGrid::everyKeyTypedAfterAClickReachesTheCell_data()
{
    QTest::addColumn<int>("delay");
    QTest::newRow("at once") << 0;
    QTest::newRow("100 ms") << 100;
    QTest::newRow("300 ms") << 300;
}

void TestDBGrid::everyKeyTypedAfterAClickReachesTheCell()
{
    QFETCH(int, delay);
    QWidget form;
    DBGrid* grid = showGrid(form);
    QVERIFY(grid);
    grid->setSelectedColumn(NumberColumn);
    // A click on the cell that is already current.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 0, NumberColumn));
    QTest::qWait(delay);
    QTest::keyClicks(QApplication::focusWidget(), "547");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(m_db->rows().asInteger("N"), 547);
    // The delayed edit Qt would start must not reopen the cell over what was typed.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QCOMPARE(m_db->rows().asInteger("N"), 547);
    QVERIFY(m_messages->entries().isEmpty());
}

void TestDBGrid::tabKeysLeaveTheGrid()
{
    QWidget form;
    auto* before = new QLineEdit(&form);
    DBGrid* grid = makeGrid(&form);
    auto* after = new QLineEdit(&form);
    grid->move(0, 30);
    after->move(0, 240);
    form.resize(440, 280);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    // Ctrl+Tab and Ctrl+Shift+Tab leave from any cell, also from an open editor.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), after);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), before);
    grid->setFocus();
    type(grid, "Zed");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), after);
    QCOMPARE(m_db->rows().text("Name"), QString("Zed"));

    // Tab walks the cells and leaves from the last one; Shift+Tab leaves from the first.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), grid);
    QCOMPARE(grid->currentIndex().column(), FlagColumn);
    m_db->rows().last();
    grid->setSelectedColumn(KindColumn);
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), after);
    // From the last cell's open editor too.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    QVERIFY(grid->cellEditor());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), after);
    QVERIFY(!grid->cellEditor());
    m_db->rows().first();
    grid->setSelectedColumn(NameColumn);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), before);
    QCOMPARE(m_db->rows().recNo(), 0);
}

void TestDBGrid::aGridThatOnlyShowsRowsPassesTabAndActsOnEnter()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    auto* after = new QLineEdit(&form);
    after->move(0, 240);
    form.resize(440, 280);
    grid->setReadOnly(true);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QSignalSpy doubleClicks(grid, &DBGrid::doubleClick);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(doubleClicks.size(), 1);
    QCOMPARE(m_db->rows().recNo(), 1);
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), after);
}

void TestDBGrid::refusedSaveKeepsTheRowAndTheSelection()
{
    QWidget form;
    DBGrid* grid = showGrid(form);
    QVERIFY(grid);
    grid->setSelectedColumn(NumberColumn);
    type(grid, "5000");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(m_messages->entries().size(), 1);
    QVERIFY(m_messages->texts()[0].contains("CHECK constraint failed"));
    QCOMPARE(m_db->rows().recNo(), 0);
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    QCOMPARE(m_db->rows().asInteger("N"), 5000);
    QCOMPARE(grid->currentIndex().row(), 0);

    // A value the field cannot take keeps the cell's editor open with the text.
    type(grid, "x1+");
    QWidget* editor = QApplication::focusWidget();
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(m_messages->entries().size(), 2);
    QVERIFY(grid->cellEditor());
    QCOMPARE(qobject_cast<QLineEdit*>(editor)->text(), QString("1+"));

    // The same on a save, as the navigator's post makes it: nothing is saved and the text stays.
    QVERIFY(!guarded([&] { m_db->rows().post(); }));
    QCOMPARE(m_messages->texts().last(), QString("'1+' is not a valid integer value for field 'Number'."));
    QCOMPARE(m_messages->entries().size(), 3);
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    QCOMPARE(grid->cellEditor(), editor);
    QCOMPARE(qobject_cast<QLineEdit*>(editor)->text(), QString("1+"));
    QCOMPARE(m_db->scalar("SELECT N FROM T WHERE ID = 1").toInt(), 91);
}

void TestDBGrid::theModelWritesTheCurrentRow()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    QAbstractItemModel* model = grid->model();
    Dataset& ds = m_db->rows();

    // The row starts editing; a lookup column takes the chosen entry's key.
    QVERIFY(model->setData(model->index(0, NameColumn), "Zed"));
    QVERIFY(model->setData(model->index(0, KindColumn), 3));
    QCOMPARE(ds.state(), Dataset::State::Edit);
    QCOMPARE(ds.text("Name"), QString("Zed"));
    QCOMPARE(model->index(0, KindColumn).data().toString(), QString("Medium"));

    QVERIFY(!model->setData(model->index(1, NameColumn), "Bea"));
    QCOMPARE(model->index(1, NameColumn).data().toString(), QString("Bob"));

    // What the field refuses reaches the error box; the row keeps editing with its other changes.
    QVERIFY(!model->setData(model->index(0, NumberColumn), "x"));
    QCOMPARE(m_messages->texts(), QStringList{"'x' is not a valid integer value for field 'Number'."});
    QCOMPARE(ds.state(), Dataset::State::Edit);
    QCOMPARE(ds.text("Name"), QString("Zed"));
    QCOMPARE(ds.asInteger("N"), 91);

    ds.cancel();
    grid->setReadOnly(true);
    QVERIFY(!model->setData(model->index(0, NameColumn), "Zed"));
    QCOMPARE(ds.state(), Dataset::State::Browse);

    // The blank row of an empty grid becomes the first row.
    grid->setReadOnly(false);
    m_db->exec("DELETE FROM T");
    ds.refresh();
    QVERIFY(model->setData(model->index(0, NameColumn), "First"));
    QCOMPARE(ds.state(), Dataset::State::Insert);
    QCOMPARE(ds.text("Name"), QString("First"));
}

void TestDBGrid::aCheckColumnShowsTheCurrentCellAsACheckBox()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    grid->setCheckColumn(FlagColumn);
    QAbstractItemModel* model = grid->model();
    Dataset& ds = m_db->rows();
    // "row,column=state" of each cell that shows a box.
    auto boxes = [&] {
        QStringList found;
        for (int row = 0; row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column) {
                const QVariant state = model->index(row, column).data(Qt::CheckStateRole);
                if (state.isValid())
                    found.append(QString("%1,%2=%3").arg(row).arg(column).arg(state.toInt()));
            }
        return found;
    };
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    grid->setFocus();

    QCOMPARE(boxes(), QStringList{"0,1=2"});
    QCOMPARE(model->index(0, FlagColumn).data().toString(), QString());
    QCOMPARE(model->index(1, FlagColumn).data().toString(), QString("False"));
    ds.next();
    QCOMPARE(boxes(), QStringList{"1,1=0"});

    // Space and a click anywhere in the cell toggle it; no editor opens there.
    grid->setSelectedColumn(FlagColumn);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(ds.state(), Dataset::State::Edit);
    QCOMPARE(boxes(), QStringList{"1,1=2"});
    const QRect cell = grid->visualRect(model->index(1, FlagColumn));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 2, cell.bottom() - 2));
    QCOMPARE(ds.asBoolean("Flag"), false);
    QTest::keyClick(grid, Qt::Key_F2);
    QVERIFY(!grid->cellEditor());

    // The click that makes another row current only moves there; an empty value counts as cleared.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 2, FlagColumn));
    QCOMPARE(ds.recNo(), 2);
    QCOMPARE(boxes(), QStringList{"2,1=1"});
    QCOMPARE(m_db->scalar("SELECT Flag FROM T WHERE ID = 2").toInt(), 0);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(ds.asBoolean("Flag"), true);

    grid->setCheckColumn(-1);
    QVERIFY(boxes().isEmpty());
    QCOMPARE(model->index(2, FlagColumn).data().toString(), QString("True"));
    QVERIFY(m_messages->entries().isEmpty());
}

void TestDBGrid::keysInsertDeleteAndAppend()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    Dataset& ds = m_db->rows();
    QTest::keyClick(grid, Qt::Key_Insert);
    QCOMPARE(ds.state(), Dataset::State::Insert);
    QCOMPARE(grid->model()->rowCount(), 4);
    QCOMPARE(grid->currentIndex().row(), 0);
    QTest::keyClick(grid, Qt::Key_Escape);
    QCOMPARE(grid->model()->rowCount(), 3);
    // Leaving a blank new row drops it; the row below it is where the user arrives.
    QTest::keyClick(grid, Qt::Key_Insert);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(ds.recordCount(), 3);
    QCOMPARE(ds.text("Name"), QString("Ann"));
    QCOMPARE(grid->currentIndex().row(), 0);

    m_messages->answerDelete(false);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(ds.recordCount(), 3);
    m_messages->answerDelete(true);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(ds.recordCount(), 2);
    QCOMPARE(m_messages->texts(), (QStringList{"Delete record?", "Delete record?"}));

    ds.last();
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(ds.state(), Dataset::State::Insert);
    QCOMPARE(ds.recNo(), 2);
    QCOMPARE(grid->currentIndex().row(), 2);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(ds.recordCount(), 3);
    QTest::keyClick(grid, Qt::Key_Up);
    QCOMPARE(ds.recordCount(), 2);
    QCOMPARE(ds.recNo(), 1);
}

void TestDBGrid::keyPressHandlerCanSwallowKeys()
{
    QWidget form;
    DBGrid* grid = showGrid(form);
    QVERIFY(grid);
    SpaceSwallower rule;
    grid->installKeyFilter(&rule);
    QTest::keyClick(grid, Qt::Key_Space);
    QVERIFY(!grid->cellEditor());
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
    QTest::keyClick(grid, Qt::Key_Return);
    type(grid, "ab");
    QVERIFY(grid->cellEditor());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), QString("ab"));
    QCOMPARE(rule.seen, QString(" ^ab "));
}

void TestDBGrid::colEnterReportsTheSelectedColumn()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    QStringList entered;
    connect(grid, &DBGrid::colEnter, this, [&] { entered.append(grid->selectedField()); });
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Right);
    grid->setSelectedColumn(KindColumn);
    QCOMPARE(entered, (QStringList{"Flag", "N", "Kind"}));
    QCOMPARE(grid->selectedColumn(), KindColumn);
    QCOMPARE(m_db->rows().recNo(), 1);

    // With no rows there are no cells, but the keys still walk the columns.
    m_db->exec("DELETE FROM T");
    m_db->rows().close();
    m_db->rows().open();
    grid->setSelectedColumn(KindColumn);
    entered.clear();
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_Tab);
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(entered, (QStringList{"N", "Flag", "N", "Kind"}));
}

void TestDBGrid::drawColumnCellReportsTheFocusedCellWhereCellRectSays()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    grid->move(10, 30);
    form.resize(460, 260);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QList<QPair<QPoint, QRect>> focused;
    connect(grid, &DBGrid::drawColumnCell, this, [&](QPainter*, const QRect& rect, int row, int column, bool isFocused) {
        if (isFocused)
            focused.append({QPoint(column, row), rect});
    });
    grid->setSelectedColumn(FlagColumn);
    QTRY_COMPARE(focused.size(), 1);
    QCOMPARE(focused[0].first, QPoint(FlagColumn, 0));
    QCOMPARE(focused[0].second, grid->cellRect(0, FlagColumn));

    // A widget beside the grid placed at the cell rectangle covers the cell exactly.
    QWidget overlay(&form);
    overlay.setGeometry(grid->cellRect(0, FlagColumn).translated(grid->pos()));
    const QRect cell = grid->visualRect(grid->model()->index(0, FlagColumn));
    QCOMPARE(overlay.mapToGlobal(QPoint(0, 0)), grid->viewport()->mapToGlobal(cell.topLeft()));
    QCOMPARE(overlay.size(), cell.size());

    // Moving the dataset redraws the focused cell on the new row.
    focused.clear();
    m_db->rows().next();
    QTRY_COMPARE(focused.size(), 1);
    QCOMPARE(focused[0].first, QPoint(FlagColumn, 1));
}

void TestDBGrid::defaultDrawColumnCellRedrawsInAnotherColour()
{
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    form.show();
    connect(grid, &DBGrid::drawColumnCell, this, [&](QPainter* painter, const QRect& rect, int row, int column, bool) {
        if (column == NumberColumn && m_db->rows().valueAt(row, "N").toInt() > 90)
            grid->defaultDrawColumnCell(painter, rect, row, column, Qt::red);
    });
    const QImage image = grid->grab().toImage();
    auto hasRed = [&](int row) {
        const QRect rect = grid->cellRect(row, NumberColumn);
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (image.pixelColor(x * image.devicePixelRatio(), y * image.devicePixelRatio()) == QColor(Qt::red))
                    return true;
        return false;
    };
    QVERIFY(hasRed(0));
    QVERIFY(!hasRed(1));
    QVERIFY(!hasRed(2));
}

void TestDBGrid::lookupColumnChoosesFromTheList()
{
    QWidget form;
    DBGrid* grid = showGrid(form);
    QVERIFY(grid);
    grid->setSelectedColumn(KindColumn);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    QVERIFY(combo);
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(0), QString("Large"));
    QCOMPARE(combo->currentText(), QString("Small"));
    QTest::keyClick(combo, Qt::Key_Up);
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    QCOMPARE(m_db->rows().asInteger("KindID"), 3);
    QCOMPARE(m_db->rows().text("Kind"), QString("Medium"));
}

void TestDBGrid::ellipsisButtonRaisesEditButtonClick()
{
    QWidget form;
    auto* grid = new DBGrid(m_db->source(), &form);
    grid->setColumns({GridColumn("Name", 90).withEllipsis(), GridColumn("N", 60)});
    grid->resize(300, 150);
    form.show();
    int clicks = 0;
    connect(grid, &DBGrid::editButtonClick, this, [&] {
        ++clicks;
        m_db->source()->edit();
        m_db->rows().setValue("Name", "Picked");
    });
    const QRect cell = grid->visualRect(grid->model()->index(0, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 3, cell.center().y()));
    QCOMPARE(clicks, 1);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QString("Picked"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 5, cell.center().y()));
    QCOMPARE(clicks, 1);
    QTest::keyClick(grid, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(clicks, 2);
}

void TestDBGrid::aHundredThousandRowsOpenAndMove()
{
    m_db->exec("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 100000)"
               " INSERT INTO T (Name, N) SELECT 'row ' || i, i % 1000 FROM c");
    m_db->rows().refresh();
    m_db->rows().close();
    m_db->rows().open();
    QWidget form;
    DBGrid* grid = makeGrid(&form);
    form.show();
    grid->grab();
    QCOMPARE(grid->model()->rowCount(), 100003);
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(m_db->rows().recNo(), 100002);
    m_db->rows().first();
    QTest::keyClick(grid, Qt::Key_PageDown);
    QVERIFY(m_db->rows().recNo() > 1);
    grid->grab();
}

QTEST_MAIN(TestDBGrid)
#include "tst_dbgrid.moc"
