#include <memory>

#include <QApplication>
#include <QToolButton>
#include <QtTest>

#include "support/FormDatabase.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBMemo.h"
#include "toolkit/widgets/DBNavigator.h"

using Button = DBNavigator::Button;

class TestDBNavigator : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void buttonsFollowTheDatasetState_data();
    void buttonsFollowTheDatasetState();
    void clickingMovesAndReportsAfterTheAction();
    void deleteAsksFirst();
    void datasetsOwnDeleteQuestionIsAsked();
    void storeErrorIsShownAndThePendingChangeStays();
    void visibleButtonsHintsAndFlatLook();
    void keysActForTheControlsOfTheirDataSource();
    void ctrlSSavesAsPostDoes();
    void insertTakesTheFocusToTheNewRowsFirstField();

private:
    QList<Button> enabled(const DBNavigator& navigator) const;

    std::unique_ptr<FormDatabase> m_db;
};

void TestDBNavigator::init()
{
    m_db = std::make_unique<FormDatabase>();
}

void TestDBNavigator::cleanup()
{
    m_db.reset();
}

QList<Button> TestDBNavigator::enabled(const DBNavigator& navigator) const
{
    QList<Button> on;
    for (Button b : DBNavigator::allButtons())
        if (navigator.button(b)->isEnabled())
            on.append(b);
    return on;
}

void TestDBNavigator::buttonsFollowTheDatasetState_data()
{
    using B = DBNavigator;
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QList<Button>>("expected");
    QTest::newRow("closed") << 2 << "closed" << QList<Button>{};
    QTest::newRow("empty") << 0 << "browse" << QList<Button>{B::Insert, B::Refresh};
    QTest::newRow("first of three") << 3 << "browse"
                                    << QList<Button>{B::Next, B::Last, B::Insert, B::Delete, B::Edit, B::Refresh};
    QTest::newRow("middle of three") << 3 << "middle"
                                     << QList<Button>{B::First, B::Prior, B::Next, B::Last, B::Insert, B::Delete,
                                                      B::Edit, B::Refresh};
    QTest::newRow("last of three") << 3 << "last"
                                   << QList<Button>{B::First, B::Prior, B::Insert, B::Delete, B::Edit, B::Refresh};
    QTest::newRow("editing the only row") << 1 << "edit"
                                          << QList<Button>{B::Insert, B::Delete, B::Post, B::Cancel, B::Refresh};
    QTest::newRow("read-only") << 3 << "readonly" << QList<Button>{B::Next, B::Last, B::Refresh};
}

void TestDBNavigator::buttonsFollowTheDatasetState()
{
    QFETCH(int, rows);
    QFETCH(QString, situation);
    QFETCH(QList<Button>, expected);
    for (int i = 0; i < rows; ++i)
        m_db->exec(QString("INSERT INTO T (Name) VALUES ('r%1')").arg(i));
    Dataset& ds = m_db->rows();
    DBNavigator navigator(m_db->source());
    if (situation == "closed")
        ds.close();
    if (situation == "middle")
        ds.next();
    if (situation == "last")
        ds.last();
    if (situation == "edit")
        ds.edit();
    if (situation == "readonly") {
        ds.setReadOnly(true);
        ds.refresh();
    }
    QCOMPARE(enabled(navigator), expected);
}

void TestDBNavigator::clickingMovesAndReportsAfterTheAction()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('a'), ('b'), ('c')");
    Dataset& ds = m_db->rows();
    DBNavigator navigator(m_db->source());
    QList<int> seenAt;
    connect(&navigator, &DBNavigator::clicked, this, [&](Button) { seenAt.append(ds.recNo()); });
    QTest::mouseClick(navigator.button(Button::Last), Qt::LeftButton);
    QTest::mouseClick(navigator.button(Button::Prior), Qt::LeftButton);
    QTest::mouseClick(navigator.button(Button::First), Qt::LeftButton);
    QCOMPARE(seenAt, (QList<int>{2, 1, 0}));

    QTest::mouseClick(navigator.button(Button::Insert), Qt::LeftButton);
    QCOMPARE(ds.state(), Dataset::State::Insert);
    QCOMPARE(ds.recordCount(), 4);
    QTest::mouseClick(navigator.button(Button::Cancel), Qt::LeftButton);
    QCOMPARE(ds.recordCount(), 3);
    QCOMPARE(seenAt.size(), 5);
}

void TestDBNavigator::deleteAsksFirst()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('a'), ('b')");
    DBNavigator navigator(m_db->source());
    QSignalSpy clicks(&navigator, &DBNavigator::clicked);
    m_db->messages.answerDelete(false);
    navigator.click(Button::Delete);
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM T").toInt(), 2);
    m_db->messages.answerDelete(true);
    navigator.click(Button::Delete);
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM T").toInt(), 1);
    QCOMPARE(m_db->messages.texts(), (QStringList{"Delete record?", "Delete record?"}));
    QCOMPARE(m_db->messages.entries()[0].kind, RecordingMessageService::Kind::DeleteQuestion);
    QCOMPARE(clicks.size(), 2);
}

void TestDBNavigator::datasetsOwnDeleteQuestionIsAsked()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('Ann')");
    m_db->rows().deleteQuestion = [](Dataset& ds) { return "Delete " + ds.text("Name") + "?"; };
    DBNavigator navigator(m_db->source());
    navigator.click(Button::Delete);
    QCOMPARE(m_db->messages.texts(), QStringList{"Delete Ann?"});
}

void TestDBNavigator::storeErrorIsShownAndThePendingChangeStays()
{
    m_db->exec("INSERT INTO T (Name, N) VALUES ('Ann', 5)");
    DBEdit number(m_db->source(), "N");
    DBNavigator navigator(m_db->source());
    QSignalSpy clicks(&navigator, &DBNavigator::clicked);
    number.selectAll();
    QTest::keyClicks(&number, "5000");
    navigator.click(Button::Post);

    QCOMPARE(m_db->messages.entries().size(), 1);
    QCOMPARE(m_db->messages.entries()[0].type, MessageService::Type::Error);
    QVERIFY2(m_db->messages.entries()[0].text.contains("CHECK constraint failed"), qPrintable(m_db->messages.texts()[0]));
    QCOMPARE(clicks.size(), 0);
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    QCOMPARE(m_db->rows().asInteger("N"), 5000);
    QCOMPARE(number.text(), QString("5000"));
    QCOMPARE(m_db->scalar("SELECT N FROM T").toInt(), 5);
    QVERIFY(navigator.button(Button::Post)->isEnabled());
}

void TestDBNavigator::visibleButtonsHintsAndFlatLook()
{
    DBNavigator navigator;
    QCOMPARE(navigator.hints(), DBNavigator::defaultHints());
    QCOMPARE(navigator.button(Button::Refresh)->toolTip(), QString("Refresh data (F5)"));
    const QList<Button> noEdit{Button::First, Button::Prior, Button::Next, Button::Last, Button::Insert,
                               Button::Delete, Button::Post, Button::Cancel, Button::Refresh};
    navigator.setVisibleButtons(noEdit);
    QCOMPARE(navigator.visibleButtons(), noEdit);
    navigator.setHints({"History First record", "History Prior record"});
    QCOMPARE(navigator.hints().mid(0, 3), (QStringList{"History First record", "History Prior record", "Next record"}));
    QCOMPARE(navigator.button(Button::Prior)->toolTip(), QString("History Prior record (Alt+PgUp)"));
    navigator.setFlat(true);
    QVERIFY(navigator.button(Button::First)->autoRaise());
    QCOMPARE(navigator.button(Button::First)->focusPolicy(), Qt::NoFocus);
}

void TestDBNavigator::keysActForTheControlsOfTheirDataSource()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('Ann'), ('Bob')");
    m_db->exec("INSERT INTO K (KindName) VALUES ('Large'), ('Small')");
    DataSource kindSource(&m_db->kinds());
    QWidget form;
    auto* rowsPage = new QWidget(&form);
    auto* name = new DBEdit(m_db->source(), "Name", rowsPage);
    auto* rows = new DBNavigator(m_db->source(), rowsPage);
    auto* kindsPage = new QWidget(&form);
    auto* kind = new DBEdit(&kindSource, "KindName", kindsPage);
    new DBNavigator(&kindSource, kindsPage);
    kindsPage->move(0, 100);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    name->setFocus();
    QTest::keyClick(name, Qt::Key_PageDown, Qt::AltModifier);
    QCOMPARE(m_db->rows().recNo(), 1);
    QCOMPARE(m_db->kinds().recNo(), 0);
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, "x");
    QTest::keyClick(name, Qt::Key_Return, Qt::AltModifier);
    QCOMPARE(m_db->scalar("SELECT Name FROM T WHERE ID = 2").toString(), QString("Bobx"));
    QCOMPARE(name->text(), QString("Bobx"));

    // The other navigator answers only in its own controls; a hidden button has no key.
    kind->setFocus();
    QTest::keyClick(kind, Qt::Key_PageDown, Qt::AltModifier);
    QCOMPARE(m_db->kinds().recNo(), 1);
    QCOMPARE(m_db->rows().recNo(), 1);
    rows->setVisibleButtons({Button::Next});
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Home, Qt::AltModifier);
    QCOMPARE(m_db->rows().recNo(), 1);
    QVERIFY(rows->button(Button::Next)->toolTip().endsWith("(Alt+PgDown)"));
}

void TestDBNavigator::ctrlSSavesAsPostDoes()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('Ann')");
    QWidget form;
    auto* name = new DBEdit(m_db->source(), "Name", &form);
    auto* navigator = new DBNavigator(m_db->source(), &form);
    navigator->move(0, 40);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    name->setFocus();
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, "e");
    QTest::keyClick(name, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
    QCOMPARE(m_db->scalar("SELECT Name FROM T").toString(), QString("Anne"));
    QCOMPARE(name->text(), QString("Anne"));
    QVERIFY(navigator->button(Button::Post)->toolTip().endsWith("(Alt+Return, Ctrl+S)"));
}

void TestDBNavigator::insertTakesTheFocusToTheNewRowsFirstField()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('Ann')");
    QWidget form;
    auto* page = new QWidget(&form);
    auto* navigator = new DBNavigator(m_db->source(), page);
    auto* shownId = new DBEdit(m_db->source(), "ID", page);
    shownId->setReadOnly(true);
    auto* name = new DBEdit(m_db->source(), "Name", page);
    auto* notes = new DBMemo(m_db->source(), "Notes", page);
    shownId->move(0, 30);
    name->move(0, 60);
    notes->move(0, 90);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    // From the last field, the key; then from the same field, the button.
    notes->setFocus();
    QTest::keyClick(notes, Qt::Key_Insert, Qt::AltModifier);
    QCOMPARE(m_db->rows().state(), Dataset::State::Insert);
    QCOMPARE(QApplication::focusWidget(), name);
    QTest::keyClicks(QApplication::focusWidget(), "Dora");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_db->scalar("SELECT count(*) FROM T WHERE Name = 'Dora' AND Notes IS NULL").toInt(), 1);

    notes->setFocus();
    QTest::mouseClick(navigator->button(Button::Insert), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), name);
}

QTEST_MAIN(TestDBNavigator)
#include "tst_dbnavigator.moc"
