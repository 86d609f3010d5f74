#include <memory>

#include <QClipboard>
#include <QtTest>

#include "support/FormDatabase.h"
#include "PasteCases.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBNavigator.h"

class TestDBEdit : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsTheFieldAndFollowsTheRow();
    void typingStartsEditingAndThePostSavesIt();
    void typingInAnEmptyTableStartsANewRow();
    void escapePutsBackTheStoredValue();
    void enterAndLeavingWriteOnlyAChangedText();
    void typingIsLimitedByWidthAndType_data();
    void typingIsLimitedByWidthAndType();
    void pastingIsCutToWholeCharactersInView();
    void aPasteKeepsItsStartAndTheTextAroundIt_data();
    void aPasteKeepsItsStartAndTheTextAroundIt();
    void aLongValueShowsFromItsStart();
    void aDatasetThatCannotEditRefusesTheKey();
    void aRefusedValueIsShownAndKept();
    void aMissingFieldIsReportedOnceWhenShown();

private:
    std::unique_ptr<FormDatabase> m_db;
};

void TestDBEdit::init()
{
    m_db = std::make_unique<FormDatabase>();
}

void TestDBEdit::cleanup()
{
    m_db.reset();
}

void TestDBEdit::showsTheFieldAndFollowsTheRow()
{
    m_db->exec("INSERT INTO T (Name, N) VALUES ('Ann', 1), ('Bob', 2)");
    DBEdit edit(m_db->source(), "Name");
    QCOMPARE(edit.text(), QString("Ann"));
    m_db->rows().next();
    QCOMPARE(edit.text(), QString("Bob"));
    m_db->rows().close();
    QCOMPARE(edit.text(), QString());
}

void TestDBEdit::typingStartsEditingAndThePostSavesIt()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('Ann')");
    QWidget form;
    auto* edit = new DBEdit(m_db->source(), "Name", &form);
    auto* navigator = new DBNavigator(m_db->source(), &form);
    QTest::keyClick(edit, Qt::Key_End);
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
    QTest::keyClicks(edit, "ie");
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    navigator->click(DBNavigator::Post);
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
    QCOMPARE(m_db->scalar("SELECT Name FROM T").toString(), QString("Annie"));
    QVERIFY(m_db->messages.entries().isEmpty());
}

void TestDBEdit::typingInAnEmptyTableStartsANewRow()
{
    DBEdit edit(m_db->source(), "Name");
    QTest::keyClicks(&edit, "New");
    QCOMPARE(m_db->rows().state(), Dataset::State::Insert);
    QCOMPARE(edit.text(), QString("New"));
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Name FROM T").toString(), QString("New"));
}

void TestDBEdit::escapePutsBackTheStoredValue()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('Ann')");
    DBEdit edit(m_db->source(), "Name");
    QTest::keyClicks(&edit, "xyz");
    QTest::keyClick(&edit, Qt::Key_Escape);
    QCOMPARE(edit.text(), QString("Ann"));
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Name FROM T").toString(), QString("Ann"));
}

void TestDBEdit::enterAndLeavingWriteOnlyAChangedText()
{
    m_db->exec("INSERT INTO T (Name, N) VALUES ('Ann', 5)");
    QWidget form;
    auto* name = new DBEdit(m_db->source(), "Name", &form);
    auto* number = new DBEdit(m_db->source(), "N", &form);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    name->setFocus();
    number->setFocus();
    QVERIFY(!m_db->rows().modified());
    // Controls hand over only what the user changed, so an untouched row is dropped, not saved.
    int posts = 0;
    m_db->rows().afterPost = [&](Dataset&) { ++posts; };
    m_db->rows().edit();
    m_db->rows().endPendingChanges();
    QCOMPARE(posts, 0);

    number->setFocus();
    QTest::keyClick(number, Qt::Key_End);
    QTest::keyClicks(number, "0");
    QCOMPARE(m_db->rows().asInteger("N"), 5);
    QTest::keyClick(number, Qt::Key_Return);
    QCOMPARE(m_db->rows().asInteger("N"), 50);

    name->setFocus();
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, "Zoe");
    number->setFocus();
    QCOMPARE(m_db->rows().text("Name"), QString("AnnZoe"));
    QVERIFY(m_db->rows().modified());
}

void TestDBEdit::typingIsLimitedByWidthAndType_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text cut at its width") << "Name" << "abcdefghijklmnopqrstuvwxyz" << "abcdefghijklmnopqrst";
    QTest::newRow("integer takes digits and signs") << "N" << "-1a2.b3" << "-123";
    QTest::newRow("undeclared width has no limit") << "Notes" << QString(40, 'n') << QString(40, 'n');
}

void TestDBEdit::typingIsLimitedByWidthAndType()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    m_db->exec("INSERT INTO T (Name) VALUES (NULL)");
    DBEdit edit(m_db->source(), field);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.text(), shown);
}

void TestDBEdit::pastingIsCutToWholeCharactersInView()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('ab')");
    DBEdit edit(m_db->source(), "Name");
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    edit.setCursorPosition(1);
    QGuiApplication::clipboard()->setText(smile.repeated(30));
    edit.paste();
    QCOMPARE(edit.text(), "a" + smile.repeated(18) + "b");
    QCOMPARE(edit.cursorPosition(), 1 + 36);
    QTest::keyClicks(&edit, "z");
    QCOMPARE(edit.text(), "a" + smile.repeated(18) + "b");
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Name FROM T").toString(), "a" + smile.repeated(18) + "b");
}

void TestDBEdit::aPasteKeepsItsStartAndTheTextAroundIt_data()
{
    pasteCases();
}

void TestDBEdit::aPasteKeepsItsStartAndTheTextAroundIt()
{
    const auto [inputMethod, stored, from, to, pasted, saved] = fetchPasteCase();
    Statement insert(m_db->db(), QStringLiteral("INSERT INTO T (Name) VALUES (?)"));
    insert.bind(1, stored);
    insert.step();
    QWidget form;
    auto* edit = new DBEdit(m_db->source(), "Name", &form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    edit->setFocus();
    edit->setSelection(units(stored, from), units(stored, to) - units(stored, from));
    insertInto(edit, pasted, inputMethod);
    QCOMPARE(edit->text(), saved);
    QCOMPARE(edit->cursorPosition(), int(saved.size() - (stored.size() - units(stored, to))));
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Name FROM T").toString(), saved);
}

void TestDBEdit::aLongValueShowsFromItsStart()
{
    m_db->exec("INSERT INTO T (Notes) VALUES ('" + QString("start ") + QString(300, 'x') + "')");
    QWidget form;
    auto* notes = new DBEdit(m_db->source(), "Notes", &form);
    notes->resize(80, notes->sizeHint().height());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(notes->cursorPosition(), 0);
}

void TestDBEdit::aDatasetThatCannotEditRefusesTheKey()
{
    m_db->exec("INSERT INTO T (Name) VALUES ('Ann')");
    m_db->rows().setReadOnly(true);
    DBEdit edit(m_db->source(), "Name");
    QTest::keyClicks(&edit, "x");
    QCOMPARE(edit.text(), QString("Ann"));
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);

    DBEdit key(m_db->source(), "ID");
    m_db->rows().setReadOnly(false);
    QTest::keyClicks(&key, "9");
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
    QVERIFY(m_db->messages.entries().isEmpty());
}

void TestDBEdit::aRefusedValueIsShownAndKept()
{
    m_db->exec("INSERT INTO T (Name, N) VALUES ('Ann', 5)");
    DBEdit edit(m_db->source(), "N");
    DBNavigator navigator(m_db->source());
    edit.selectAll();
    QTest::keyClicks(&edit, "+");
    navigator.click(DBNavigator::Post);
    QCOMPARE(m_db->messages.entries().size(), 1);
    QCOMPARE(m_db->messages.entries()[0].type, MessageService::Type::Error);
    QVERIFY(m_db->messages.entries()[0].text.contains("not a valid integer"));
    QCOMPARE(edit.text(), QString("+"));
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);

    QTest::keyClicks(&edit, "7");
    navigator.click(DBNavigator::Post);
    QCOMPARE(m_db->scalar("SELECT N FROM T").toInt(), 7);
}

QTEST_MAIN(TestDBEdit)
#include "tst_dbedit.moc"

void TestDBEdit::aMissingFieldIsReportedOnceWhenShown()
{
    const QStringList notFound{QStringLiteral("T: Field 'Nmae' not found.")};
    QWidget form;
    new DBEdit(m_db->source(), "Name", &form);
    new DBEdit(m_db->source(), "Nmae", &form);
    m_db->rows().close();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(m_db->messages.entries().isEmpty());
    // The page is open once its dataset is.
    m_db->rows().open();
    QCOMPARE(m_db->messages.texts(), notFound);
    form.hide();
    form.show();
    QCOMPARE(m_db->messages.texts(), notFound);

    // Shown with the dataset already open.
    m_db->messages.clear();
    QWidget page;
    new DBEdit(m_db->source(), "Nmae", &page);
    QVERIFY(m_db->messages.entries().isEmpty());
    page.show();
    QCOMPARE(m_db->messages.texts(), notFound);
}
