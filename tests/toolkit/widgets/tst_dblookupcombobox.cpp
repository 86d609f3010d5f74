#include <memory>

#include <QAbstractItemView>
#include <QtTest>

#include "support/FormDatabase.h"
#include "toolkit/widgets/DBLookupComboBox.h"

class TestDBLookupComboBox : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void listsTheLookupInItsOrderAndShowsTheRowsText();
    void choosingWritesTheKeyAndMovesTheLookupDataset();
    void droppingDownRereadsTheList();
    void readOnlyListChangesNothing();
    void typedLetterPicksAndOpenListShowsTheCurrentEntry();

private:
    std::unique_ptr<FormDatabase> m_db;
};

void TestDBLookupComboBox::init()
{
    m_db = std::make_unique<FormDatabase>();
    m_db->exec("INSERT INTO K (KindName) VALUES ('Small'), ('Large'), ('Medium')");
    m_db->exec("INSERT INTO T (Name, KindID) VALUES ('Ann', 1), ('Bob', NULL)");
}

void TestDBLookupComboBox::cleanup()
{
    m_db.reset();
}

void TestDBLookupComboBox::listsTheLookupInItsOrderAndShowsTheRowsText()
{
    DBLookupComboBox combo(m_db->source(), "Kind");
    QCOMPARE(combo.currentText(), QString("Small"));
    combo.showPopup();
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.itemText(0), QString("Large"));
    QCOMPARE(combo.currentText(), QString("Small"));
    combo.hidePopup();
    m_db->rows().next();
    QCOMPARE(combo.currentIndex(), -1);
}

void TestDBLookupComboBox::choosingWritesTheKeyAndMovesTheLookupDataset()
{
    DBLookupComboBox combo(m_db->source(), "Kind");
    m_db->rows().next();
    QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    QCOMPARE(m_db->rows().asInteger("KindID"), 2);
    QCOMPARE(combo.currentText(), QString("Large"));
    QCOMPARE(m_db->kinds().text("KindName"), QString("Large"));
    QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(m_db->rows().asInteger("KindID"), 3);
    QCOMPARE(m_db->kinds().text("KindName"), QString("Medium"));
}

void TestDBLookupComboBox::droppingDownRereadsTheList()
{
    DBLookupComboBox combo(m_db->source(), "Kind");
    m_db->exec("INSERT INTO K (KindName) VALUES ('Huge')");
    m_db->kinds().close();
    m_db->kinds().open();
    combo.showPopup();
    QCOMPARE(combo.count(), 4);
    QCOMPARE(combo.itemText(0), QString("Huge"));
    QCOMPARE(combo.currentText(), QString("Small"));
    QCOMPARE(m_db->kinds().text("KindName"), QString("Small"));
    combo.hidePopup();
}

void TestDBLookupComboBox::readOnlyListChangesNothing()
{
    DBLookupComboBox combo(m_db->source(), "Kind");
    combo.setReadOnly(true);
    QTest::keyClick(&combo, Qt::Key_Down);
    combo.showPopup();
    QVERIFY(!combo.view()->isVisible());
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
    QCOMPARE(combo.currentText(), QString("Small"));
}

void TestDBLookupComboBox::typedLetterPicksAndOpenListShowsTheCurrentEntry()
{
    QWidget window;
    auto* combo = new DBLookupComboBox(m_db->source(), "Kind", &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    combo->setFocus();

    // The closed list holds only the shown row until it is wanted; a letter wants it.
    QTest::keyClick(combo, Qt::Key_M);
    QCOMPARE(combo->currentText(), QString("Medium"));
    QCOMPARE(m_db->rows().asInteger("KindID"), 3);

    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* list = combo->view();
    QTRY_VERIFY(list->isVisible());
    QCOMPARE(list->currentIndex().data().toString(), QString("Medium"));
    QVERIFY(list->selectionModel()->isSelected(list->currentIndex()));
    QTest::keyClick(list, Qt::Key_Escape);
}

QTEST_MAIN(TestDBLookupComboBox)
#include "tst_dblookupcombobox.moc"
