#include <QAbstractItemView>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/widgets/DBCheckBox.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBLookupComboBox.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/DBText.h"
#include "ui/views/Business.h"
#include "support/ShownWindow.h"

class TestBusinessForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newRowIsSavedEmpty();
    void roleBoxesShowTheirRoles();
    void greyedCheckBoxTogglesTrueThenFalse();
    void personListMovesPeopleTableAndTheTextsFollow();
    void textsDescribeTheCurrentRowAsItMovesAndChanges();
    void weightTakesWholeNumbersOnly();
    void pendingChangeOutlivesTheWindow();

private:
    TMainDataModule& dm() { return *m_f->dm; }
    void press(DBNavigator::Button button) { QTest::mouseClick(m_w->DBNavigator1->button(button), Qt::LeftButton); }

    std::unique_ptr<MainWindowFixture> m_f;
    std::unique_ptr<TBusinessForm> m_w;
};

void TestBusinessForm::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    // Cecil is the finance director of Borealis.
    dm().PeopleTable->locate({QStringLiteral("PersonID")}, {42});
    dm().PeopleTable->edit();
    dm().PeopleTable->setValue(QStringLiteral("Title"), QStringLiteral("Finance director"));
    dm().PeopleTable->post();
    dm().PeopleTable->first();
    m_w = std::make_unique<TBusinessForm>(m_f->forms);
    QVERIFY(showActive(*m_w));
}

void TestBusinessForm::cleanup()
{
    m_w.reset();
    m_f.reset();
}

void TestBusinessForm::newRowIsSavedEmpty()
{
    QCOMPARE(m_w->windowTitle(), QStringLiteral("BusinessForm"));
    QVERIFY(!m_w->DBNavigator1->visibleButtons().contains(DBNavigator::Edit));
    press(DBNavigator::Insert);
    QCOMPARE(dm().BusinessTable->state(), Dataset::State::Insert);
    for (DBCheckBox* box : {m_w->DBCheckBox1, m_w->DBCheckBox2, m_w->DBCheckBox3, m_w->DBCheckBox4, m_w->DBCheckBox5})
        QCOMPARE(box->checkState(), Qt::PartiallyChecked);
    QVERIFY(m_w->WeightEdit->text().isEmpty());
    QCOMPARE(m_w->DBLookupComboBox1->currentIndex(), -1);
    QCOMPARE(m_w->DBLookupComboBox2->currentIndex(), -1);

    press(DBNavigator::Post);
    QCOMPARE(dm().BusinessTable->state(), Dataset::State::Browse);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM Business")).toInt(), 3);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM Business WHERE PersonID IS NULL AND SubProjectID IS NULL"
                                        " AND SPDecisionMaker IS NULL AND SPGateKeeper IS NULL AND SPWeight IS NULL")).toInt(), 1);
}

void TestBusinessForm::roleBoxesShowTheirRoles()
{
    QStringList boxes;
    for (DBCheckBox* box : {m_w->DBCheckBox1, m_w->DBCheckBox2, m_w->DBCheckBox3, m_w->DBCheckBox4, m_w->DBCheckBox5})
        boxes.append(box->fieldName() + QStringLiteral(": ") + box->text());
    QCOMPARE(boxes, QStringList({"SPDecisionMaker: SPDecisionMaker", "SPUser: User", "SPInfluencer: Influencer",
                                 "SPPurchaser: Purchaser", "SPGateKeeper: GateKeeper"}));
}

void TestBusinessForm::greyedCheckBoxTogglesTrueThenFalse()
{
    QCOMPARE(m_w->DBCheckBox3->checkState(), Qt::PartiallyChecked);
    QTest::mouseClick(m_w->DBCheckBox3, Qt::LeftButton);
    QCOMPARE(m_w->DBCheckBox3->checkState(), Qt::Checked);
    QCOMPARE(dm().BusinessTable->value(QStringLiteral("SPInfluencer")), QVariant(true));
    QTest::mouseClick(m_w->DBCheckBox3, Qt::LeftButton);
    QCOMPARE(dm().BusinessTable->value(QStringLiteral("SPInfluencer")), QVariant(false));
    press(DBNavigator::Post);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT SPInfluencer FROM Business WHERE PersonID = 40")).toInt(), 0);
}

void TestBusinessForm::personListMovesPeopleTableAndTheTextsFollow()
{
    QCOMPARE(m_w->DBText1->text(), QStringLiteral("Acme"));
    QCOMPARE(m_w->DBText3->text(), QStringLiteral("Rollout"));
    QCOMPARE(m_w->DBText4->text(), QStringLiteral("Acme"));

    // The list opens on the row's person (Ann), then Down twice reaches Cecil.
    DBLookupComboBox* people = m_w->DBLookupComboBox1;
    people->setFocus();
    people->showPopup();
    QCOMPARE(dm().PeopleTable->text(QStringLiteral("Name")), QStringLiteral("Ann"));
    QAbstractItemView* list = people->view();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(dm().PeopleTable->text(QStringLiteral("Name")), QStringLiteral("Cecil"));
    QCOMPARE(dm().BusinessTable->value(QStringLiteral("PersonID")).toInt(), 42);
    QCOMPARE(m_w->DBText1->text(), QStringLiteral("Borealis"));
    QCOMPARE(m_w->DBText2->text(), QStringLiteral("Finance director"));

    // Moving to the next row saves this one; PeopleTable keeps the person chosen.
    press(DBNavigator::Next);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM Business WHERE PersonID = 42")).toInt(), 2);
    QCOMPARE(dm().PeopleTable->text(QStringLiteral("Name")), QStringLiteral("Cecil"));
}

// Ann (Acme, no title) is in Pilot of Rollout (Acme); Cecil (Borealis, finance director) in
// Review of Audit (Borealis). The four texts always describe the row shown, never the person or
// project some list or window left current.
void TestBusinessForm::textsDescribeTheCurrentRowAsItMovesAndChanges()
{
    auto texts = [this] {
        return QStringList{m_w->DBText1->text(), m_w->DBText2->text(), m_w->DBText3->text(), m_w->DBText4->text()};
    };
    const QStringList ann{"Acme", "", "Rollout", "Acme"};
    const QStringList cecil{"Borealis", "Finance director", "Audit", "Borealis"};
    // Shared records elsewhere: Cecil in PeopleTable, Upgrade in ProjectsTable.
    dm().PeopleTable->locate({QStringLiteral("PersonID")}, {42});
    dm().ProjectsTable->locate({QStringLiteral("ProjectID")}, {16});
    m_w->DBCheckBox1->setFocus();
    dm().BusinessTable->first();
    QCOMPARE(texts(), ann);

    QTest::keyClick(m_w->DBCheckBox1, Qt::Key_PageDown, Qt::AltModifier);
    QCOMPARE(dm().BusinessTable->value(QStringLiteral("PersonID")).toInt(), 42);
    QCOMPARE(texts(), cecil);
    QTest::keyClick(m_w->DBCheckBox1, Qt::Key_PageUp, Qt::AltModifier);
    QCOMPARE(texts(), ann);

    // Changing the row's person and subproject by the keys of the closed lists: the texts
    // follow before anything is saved (people by company: Ann, Bob, Cecil; subprojects: Pilot,
    // Review, Phase two).
    m_w->DBLookupComboBox1->setFocus();
    QTest::keyClick(m_w->DBLookupComboBox1, Qt::Key_Down);
    QTest::keyClick(m_w->DBLookupComboBox1, Qt::Key_Down);
    QCOMPARE(dm().BusinessTable->state(), Dataset::State::Edit);
    QCOMPARE(texts(), QStringList({"Borealis", "Finance director", "Rollout", "Acme"}));
    m_w->DBLookupComboBox2->setFocus();
    QTest::keyClick(m_w->DBLookupComboBox2, Qt::Key_Down);
    QCOMPARE(dm().BusinessTable->text(QStringLiteral("SubProjectName")), QStringLiteral("Review"));
    QCOMPARE(texts(), cecil);

    // Cancelling puts the row, and with it the texts, back.
    QTest::keyClick(m_w->DBLookupComboBox2, Qt::Key_Backspace, Qt::AltModifier);
    QCOMPARE(dm().BusinessTable->state(), Dataset::State::Browse);
    QCOMPARE(texts(), ann);

    // A new row names nobody: the texts are empty, not those of the row before.
    QTest::keyClick(m_w->DBCheckBox1, Qt::Key_Insert, Qt::AltModifier);
    QCOMPARE(dm().BusinessTable->state(), Dataset::State::Insert);
    QCOMPARE(texts(), QStringList({"", "", "", ""}));
}

void TestBusinessForm::weightTakesWholeNumbersOnly()
{
    DBEdit* weight = m_w->WeightEdit;
    weight->setFocus();
    weight->selectAll();
    QTest::keyClicks(weight, QStringLiteral("x-"));
    QCOMPARE(weight->text(), QStringLiteral("-"));
    QCOMPARE(dm().BusinessTable->state(), Dataset::State::Edit);

    const QString refused = QStringLiteral("'-' is not a valid integer value for field 'SPWeight'.");
    m_w->DBCheckBox1->setFocus();
    QCOMPARE(m_f->messages.texts(), QStringList{refused});
    press(DBNavigator::Post);
    QCOMPARE(m_f->messages.texts(), QStringList({refused, refused}));
    QCOMPARE(dm().BusinessTable->state(), Dataset::State::Edit);
    QCOMPARE(weight->text(), QStringLiteral("-"));

    weight->setFocus();
    weight->end(false);
    QTest::keyClicks(weight, QStringLiteral("15"));
    press(DBNavigator::Post);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT SPWeight FROM Business WHERE PersonID = 40")).toInt(), -15);
}

void TestBusinessForm::pendingChangeOutlivesTheWindow()
{
    QTest::mouseClick(m_w->DBCheckBox1, Qt::LeftButton);
    m_w->close();
    m_w.reset();
    QCOMPARE(dm().BusinessTable->state(), Dataset::State::Edit);
    m_w = std::make_unique<TBusinessForm>(m_f->forms);
    QCOMPARE(m_w->DBCheckBox1->checkState(), Qt::Checked);
    QVERIFY(m_w->DBNavigator1->button(DBNavigator::Post)->isEnabled());
}

QTEST_MAIN(TestBusinessForm)
#include "tst_business.moc"
