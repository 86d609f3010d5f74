#include <memory>

#include <QtTest>

#include "support/FormDatabase.h"
#include "toolkit/widgets/DBCheckBox.h"

class TestDBCheckBox : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsTrueFalseAndGreyedEmpty();
    void clickStartsEditingAndWritesAtOnce();
    void clickOnAnEmptyTableStartsANewRow();
    void datasetThatCannotEditKeepsTheBox();

private:
    std::unique_ptr<FormDatabase> m_db;
};

void TestDBCheckBox::init()
{
    m_db = std::make_unique<FormDatabase>();
}

void TestDBCheckBox::cleanup()
{
    m_db.reset();
}

void TestDBCheckBox::showsTrueFalseAndGreyedEmpty()
{
    m_db->exec("INSERT INTO T (Flag) VALUES (1), (0), (NULL)");
    DBCheckBox box(m_db->source(), "Flag");
    QVERIFY(box.text().isEmpty());
    QCOMPARE(box.checkState(), Qt::Checked);
    m_db->rows().next();
    QCOMPARE(box.checkState(), Qt::Unchecked);
    m_db->rows().next();
    QCOMPARE(box.checkState(), Qt::PartiallyChecked);
}

void TestDBCheckBox::clickStartsEditingAndWritesAtOnce()
{
    m_db->exec("INSERT INTO T (Flag) VALUES (NULL)");
    DBCheckBox box(m_db->source(), "Flag", "Flag");
    box.click();
    QCOMPARE(m_db->rows().state(), Dataset::State::Edit);
    QCOMPARE(m_db->rows().value("Flag"), QVariant(true));
    QCOMPARE(box.checkState(), Qt::Checked);
    QTest::keyClick(&box, Qt::Key_Space);
    QCOMPARE(m_db->rows().value("Flag"), QVariant(false));
    QCOMPARE(box.checkState(), Qt::Unchecked);
    m_db->rows().post();
    QCOMPARE(m_db->scalar("SELECT Flag FROM T").toInt(), 0);
}

void TestDBCheckBox::clickOnAnEmptyTableStartsANewRow()
{
    DBCheckBox box(m_db->source(), "Flag");
    QCOMPARE(box.checkState(), Qt::PartiallyChecked);
    box.click();
    QCOMPARE(m_db->rows().state(), Dataset::State::Insert);
    QCOMPARE(box.checkState(), Qt::Checked);
}

void TestDBCheckBox::datasetThatCannotEditKeepsTheBox()
{
    m_db->exec("INSERT INTO T (Flag) VALUES (0)");
    m_db->rows().setReadOnly(true);
    DBCheckBox box(m_db->source(), "Flag");
    box.click();
    QCOMPARE(box.checkState(), Qt::Unchecked);
    QCOMPARE(m_db->rows().state(), Dataset::State::Browse);
    QVERIFY(m_db->messages.entries().isEmpty());
}

QTEST_MAIN(TestDBCheckBox)
#include "tst_dbcheckbox.moc"
