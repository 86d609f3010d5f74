#include <memory>

#include <QClipboard>
#include <QtTest>

#include "support/FormDatabase.h"
#include "PasteCases.h"
#include "toolkit/widgets/DBMemo.h"

class TestDBMemo : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void typingStartsEditingAndThePostWritesIt();
    void maximumLengthHoldsForTypingAndPasting();
    void fieldWidthHoldsAndALongPasteIsCutInView();
    void aPasteKeepsItsStartAndTheTextAroundIt_data();
    void aPasteKeepsItsStartAndTheTextAroundIt();
    void escapePutsBackTheStoredText();
    void readOnlyDatasetRefusesTyping();

private:
    std::unique_ptr<FormDatabase> m_db;
};

void TestDBMemo::init()
{
    m_db = std::make_unique<FormDatabase>();
    m_db->exec("INSERT INTO T (Name, Notes) VALUES ('Ann', 'first line')");
}

void TestDBMemo::cleanup()
{
    m_db.reset();
}

void TestDBMemo::typingStartsEditingAndThePostWritesIt()
{
    DBMemo memo(m_db->source(), "Notes");
    QCOMPARE(memo.toPlainText(), QString("first line"));
    QCOMPARE(memo.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return);
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    QTest::keyClicks(&memo, "second");
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Notes FROM T").toString(), QString("first line\nsecond"));
}

void TestDBMemo::maximumLengthHoldsForTypingAndPasting()
{
    DBMemo memo(m_db->source(), "Notes");
    memo.setMaxLength(14);
    memo.moveCursor(QTextCursor::End);
    QTest::keyClicks(&memo, " abcdef");
    QCOMPARE(memo.toPlainText(), QString("first line abc"));

    memo.selectAll();
    QGuiApplication::clipboard()->setText("0123456789ABCDEFGHIJ");
    memo.paste();
    QCOMPARE(memo.toPlainText(), QString("0123456789ABCD"));
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Notes FROM T").toString(), QString("0123456789ABCD"));
}

void TestDBMemo::fieldWidthHoldsAndALongPasteIsCutInView()
{
    // Name is 20 characters wide; what the memo shows is what gets stored.
    DBMemo memo(m_db->source(), "Name");
    memo.moveCursor(QTextCursor::End);
    QGuiApplication::clipboard()->setText(QString(5000, 'x'));
    memo.paste();
    QCOMPARE(memo.toPlainText(), "Ann" + QString(17, 'x'));
    QTest::keyClicks(&memo, "yz");
    QCOMPARE(memo.toPlainText(), "Ann" + QString(17, 'x'));

    // Emoji count as one character each and are never halved.
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    memo.selectAll();
    QGuiApplication::clipboard()->setText(smile.repeated(30));
    memo.paste();
    QCOMPARE(memo.toPlainText(), smile.repeated(20));
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Name FROM T").toString(), smile.repeated(20));
}

void TestDBMemo::aPasteKeepsItsStartAndTheTextAroundIt_data()
{
    pasteCases();
}

void TestDBMemo::aPasteKeepsItsStartAndTheTextAroundIt()
{
    const auto [inputMethod, stored, from, to, pasted, saved] = fetchPasteCase();
    Statement update(m_db->db(), QStringLiteral("UPDATE T SET Name = ?"));
    update.bind(1, stored);
    update.step();
    m_db->rows().refresh();
    QWidget form;
    auto* memo = new DBMemo(m_db->source(), "Name", &form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    memo->setFocus();
    QTextCursor selection = memo->textCursor();
    selection.setPosition(units(stored, from));
    selection.setPosition(units(stored, to), QTextCursor::KeepAnchor);
    memo->setTextCursor(selection);
    insertInto(memo, pasted, inputMethod);
    QCOMPARE(memo->toPlainText(), saved);
    QCOMPARE(memo->textCursor().position(), int(saved.size() - (stored.size() - units(stored, to))));
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Name FROM T").toString(), saved);
}

void TestDBMemo::escapePutsBackTheStoredText()
{
    DBMemo memo(m_db->source(), "Notes");
    QTest::keyClicks(&memo, "noise");
    QTest::keyClick(&memo, Qt::Key_Escape);
    QCOMPARE(memo.toPlainText(), QString("first line"));
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Notes FROM T").toString(), QString("first line"));
}

void TestDBMemo::readOnlyDatasetRefusesTyping()
{
    m_db->rows().setReadOnly(true);
    DBMemo memo(m_db->source(), "Notes");
    QTest::keyClicks(&memo, "x");
    QGuiApplication::clipboard()->setText("pasted");
    memo.paste();
    QCOMPARE(memo.toPlainText(), QString("first line"));
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
}

QTEST_MAIN(TestDBMemo)
#include "tst_dbmemo.moc"
