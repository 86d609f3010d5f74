#include <QAbstractItemView>
#include <QHelpEvent>
#include <QRadioButton>
#include <QTabBar>
#include <QtTest>

#include "toolkit/widgets/HintHook.h"
#include "toolkit/widgets/MonthCalendar.h"
#include "toolkit/widgets/PageControl.h"
#include "toolkit/widgets/RadioGroup.h"

// The controls that hold no data: page control, radio group, hint hook and calendar.
class TestPlainControls : public QObject
{
    Q_OBJECT
private slots:
    void pageControlTellsUserChangesFromProgramOnes();
    void radioGroupReportsOnlyUserClicks();
    void radioGroupLaysChoicesSideBySide();
    void hintHookReportsTheHintAboutToBeShown();
    void calendarReportsDoubleClicks();
};

void TestPlainControls::pageControlTellsUserChangesFromProgramOnes()
{
    PageControl pages;
    for (const char* caption : {"Companies", "Projects", "Clients"})
        pages.addTab(new QWidget, caption);
    pages.resize(400, 200);
    pages.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pages));
    QSignalSpy user(&pages, &PageControl::userChanged);

    pages.setCurrentIndex(2);
    pages.setCurrentWidget(pages.widget(1));
    QCOMPARE(user.size(), 0);

    QTabBar* bar = pages.tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QTest::keyClick(&pages, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages.currentIndex(), 1);
    QCOMPARE(user.size(), 2);
    QCOMPARE(user[0][0].toInt(), 0);
    QCOMPARE(user[1][0].toInt(), 1);
}

void TestPlainControls::radioGroupReportsOnlyUserClicks()
{
    RadioGroup group;
    group.setItems({"Slow", "Fast"});
    group.setTag(7);
    QSignalSpy clicks(&group, &RadioGroup::clicked);
    QCOMPARE(group.itemIndex(), -1);
    group.setItemIndex(1);
    QCOMPARE(group.itemIndex(), 1);
    group.setItemIndex(-1);
    QCOMPARE(group.itemIndex(), -1);
    QCOMPARE(clicks.size(), 0);

    const QList<QRadioButton*> buttons = group.findChildren<QRadioButton*>();
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    QCOMPARE(group.itemIndex(), 0);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(group.tag(), 7);
    group.setItemIndex(5);
    QCOMPARE(group.itemIndex(), 0);
}

void TestPlainControls::radioGroupLaysChoicesSideBySide()
{
    RadioGroup group;
    group.setItems({"Left", "Right"});
    group.setColumns(2);
    group.resize(400, 37);
    group.show();
    QVERIFY(QTest::qWaitForWindowExposed(&group));
    const QList<QRadioButton*> buttons = group.findChildren<QRadioButton*>();
    QCOMPARE(buttons[0]->y(), buttons[1]->y());
    QVERIFY(buttons[1]->x() >= group.width() / 2 - 10);
}

void TestPlainControls::hintHookReportsTheHintAboutToBeShown()
{
    HintHook hook;
    QSignalSpy hints(&hook, &HintHook::hintShown);
    QWidget group;
    group.setToolTip("Slow : takes time * Fast : decides quickly");
    auto* choice = new QRadioButton("Slow", &group);
    group.show();
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), choice->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(choice, &event);
    QCOMPARE(hints.size(), 1);
    QCOMPARE(hints[0][0].toString(), QString("Slow : takes time * Fast : decides quickly"));
}

void TestPlainControls::calendarReportsDoubleClicks()
{
    MonthCalendar calendar;
    calendar.setSelectedDate(QDate(2024, 5, 10));
    calendar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&calendar));
    QSignalSpy doubles(&calendar, &MonthCalendar::doubleClicked);
    auto* days = calendar.findChild<QAbstractItemView*>();
    const QModelIndex cell = days->currentIndex();
    QTest::mouseDClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(cell).center());
    QCOMPARE(doubles.size(), 1);
    QCOMPARE(calendar.selectedDate(), QDate(2024, 5, 10));
    QVERIFY(calendar.isVisible());
}

QTEST_MAIN(TestPlainControls)
#include "tst_plaincontrols.moc"
