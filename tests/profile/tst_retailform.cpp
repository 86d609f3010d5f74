#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QtTest>

#include "data/DataModule.h"
#include "data/Schema.h"
#include "profile/Questionnaire.h"
#include "profile/RetailForm.h"
#include "profile/Tactics.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/Statement.h"
#include "support/AppDatabase.h"
#include "support/RecordingMessageService.h"
#include "toolkit/widgets/PageControl.h"
#include "toolkit/widgets/RadioGroup.h"

namespace {

const QString FirstMessage =
    QStringLiteral("No suggested tactics. Please answer all questions in Assertiveness and Responsiveness tabs.");
const QString SecondMessage = QStringLiteral("Please answer all questions in Assertiveness and Responsiveness tabs.");

std::array<int, 24> filled(int answer)
{
    std::array<int, 24> answers;
    answers.fill(answer);
    return answers;
}

// The window as the program has it, except that showing it does not wait for the user.
class ShownRetail : public TRetail
{
public:
    using TRetail::TRetail;

protected:
    int execModal() override
    {
        show();
        return QDialog::Accepted;
    }
};

// One running program: its data module and its profile window.
struct Program
{
    explicit Program(const AppDatabase& file)
    {
        dataModule.Connect(file.connectionString());
        dataModule.SetDataSetsActive(true);
        retail = std::make_unique<ShownRetail>(dataModule);
    }

    TMainDataModule dataModule;
    std::unique_ptr<ShownRetail> retail;
};

} // namespace

class TestRetailForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Rows of a person
    void firstShowCreatesTwentyFourUnansweredRows();
    void rowsAreCompletedAndReadByQuestion();
    void twoProgramsMakeTwentyFourRowsNotFortyEight();
    void failedRowCreationLeavesNoRows();
    void personWithoutIdKeepsWhatTheWindowShows();

    // Answers
    void clickWritesAtOnceAndSurvivesReopening();
    void loadingWritesNothing();
    void switchingPersonShowsThatPersonsAnswers();
    void failedSaveShowsErrorAndStoredAnswer();

    // Advice and tabs
    void pickingTacticsRecomputesTheAdvice();
    void pickingTabBlanksTipsAndHoverFillsThem();
    void memoOffersNoMenuAndKeepsNoSelection();
    void adviceIsShownWholeAndTipsFollowTheKeyboard();
    void layoutFollowsTheQuestionnaire();

private:
    void exec(const QString& sql) { m_file->exec(sql); }
    QVariant scalar(const QString& sql) { return m_file->scalar(sql); }
    // "QuestionID:Answer" of a person's rows in the order they were made.
    QStringList rowsOf(int person);
    qint64 dataVersion() { return scalar(QStringLiteral("PRAGMA data_version")).toLongLong(); }
    void open(Program& program);
    void pickTab(TRetail& window, int index);
    void click(TRetail& window, int question, int choice);
    void answer(TRetail& window, int question, int choice);
    std::array<int, 24> shownAnswers(const TRetail& window);

    std::unique_ptr<AppDatabase> m_file;
    std::unique_ptr<RecordingMessageService> m_messages;
    std::unique_ptr<Program> m_program;
};

void TestRetailForm::init()
{
    m_file = std::make_unique<AppDatabase>(QStringLiteral("%1.mdb").arg(QTest::currentTestFunction()));
    exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Acme');"
                        "INSERT INTO People (CompanyID, Name) VALUES (1, 'Ann'), (1, 'Bob');"));
    m_messages = std::make_unique<RecordingMessageService>();
    m_program = std::make_unique<Program>(*m_file);
}

void TestRetailForm::cleanup()
{
    m_program.reset();
    m_messages.reset();
    m_file.reset();
}

QStringList TestRetailForm::rowsOf(int person)
{
    Statement st(m_file->db(), QStringLiteral("SELECT QuestionID, Answer FROM QuestionsMain WHERE PersonID = %1 ORDER BY RowKey").arg(person));
    QStringList rows;
    while (st.step())
        rows.append(QStringLiteral("%1:%2").arg(st.text(0), st.text(1)));
    return rows;
}

void TestRetailForm::open(Program& program)
{
    program.retail->showForCurrentPerson();
    QVERIFY(program.retail->isVisible());
}

void TestRetailForm::pickTab(TRetail& window, int index)
{
    QTabBar* bar = window.PageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    QCOMPARE(window.PageControl1->currentIndex(), index);
}

void TestRetailForm::click(TRetail& window, int question, int choice)
{
    const int tab = question <= 12 ? 0 : 1;
    if (window.PageControl1->currentIndex() != tab)
        pickTab(window, tab);
    QRadioButton* button = window.radioGroup(question)->findChildren<QRadioButton*>().at(choice);
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect indicator = button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, {}, indicator.center());
}

void TestRetailForm::answer(TRetail& window, int question, int choice)
{
    click(window, question, choice);
    QCOMPARE(window.radioGroup(question)->itemIndex(), choice);
}

std::array<int, 24> TestRetailForm::shownAnswers(const TRetail& window)
{
    std::array<int, 24> shown{};
    for (int n = 1; n <= 24; ++n)
        shown[size_t(n - 1)] = window.radioGroup(n)->itemIndex();
    return shown;
}

// ---------------------------------------------------------------- rows of a person

void TestRetailForm::firstShowCreatesTwentyFourUnansweredRows()
{
    TRetail& window = *m_program->retail;
    QCOMPARE(rowsOf(1), QStringList());
    open(*m_program);

    QStringList expected;
    for (int n = 1; n <= 24; ++n)
        expected.append(QStringLiteral("%1:-1").arg(n));
    QCOMPARE(rowsOf(1), expected);
    QCOMPARE(rowsOf(2), QStringList());
    QCOMPARE(shownAnswers(window), filled(-1));
    QCOMPARE(window.Memo1->toPlainText(), FirstMessage);
    QCOMPARE(window.PageControl1->currentWidget(), window.TabSheet3);
    QCOMPARE(window.windowTitle(), QStringLiteral("Profile"));

    window.hide();
    const qint64 version = dataVersion();
    open(*m_program);
    QCOMPARE(rowsOf(1), expected);
    QCOMPARE(dataVersion(), version);
    QCOMPARE(m_messages->texts(), QStringList());
}

void TestRetailForm::rowsAreCompletedAndReadByQuestion()
{
    // Rows made out of order and only for some questions, as an older file may hold them.
    exec(QStringLiteral("INSERT INTO QuestionsMain (PersonID, QuestionID, Answer) VALUES"
                        " (1, 3, 1), (1, 2, 0), (1, 1, 1), (1, 1, 0)"));
    TRetail& window = *m_program->retail;
    open(*m_program);

    QStringList rows = rowsOf(1);
    QCOMPARE(rows.size(), 25);
    QCOMPARE(rows.mid(0, 5), (QStringList{"3:1", "2:0", "1:1", "1:0", "4:-1"}));
    QCOMPARE(rows.last(), QStringLiteral("24:-1"));
    QCOMPARE(window.radioGroup(1)->itemIndex(), 1);
    QCOMPARE(window.radioGroup(2)->itemIndex(), 0);
    QCOMPARE(window.radioGroup(3)->itemIndex(), 1);
    QCOMPARE(window.radioGroup(4)->itemIndex(), -1);
    QCOMPARE(window.Memo1->toPlainText(), FirstMessage);

    // The first row of question 1 is the one shown, scored and written.
    answer(window, 1, 0);
    QCOMPARE(rowsOf(1).mid(2, 2), (QStringList{"1:0", "1:0"}));
}

void TestRetailForm::twoProgramsMakeTwentyFourRowsNotFortyEight()
{
    // Both windows read the empty table before either made rows.
    Program other(*m_file);
    open(*m_program);
    QCOMPARE(rowsOf(1).size(), 24);
    answer(*m_program->retail, 5, 1);

    open(other);
    QCOMPARE(rowsOf(1).size(), 24);
    QCOMPARE(other.retail->radioGroup(5)->itemIndex(), 1);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM QuestionsMain")).toInt(), 24);
    QCOMPARE(m_messages->texts(), QStringList());
}

void TestRetailForm::failedRowCreationLeavesNoRows()
{
    exec(QStringLiteral("CREATE TRIGGER Full BEFORE INSERT ON QuestionsMain WHEN NEW.QuestionID = 13"
                        " BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
    TRetail& window = *m_program->retail;
    open(*m_program);
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("database or disk is full")});
    QCOMPARE(rowsOf(1), QStringList());
    QCOMPARE(window.PageControl1->currentWidget(), window.TabSheet3);

    exec(QStringLiteral("DROP TRIGGER Full"));
    window.hide();
    open(*m_program);
    QCOMPARE(rowsOf(1).size(), 24);
    QCOMPARE(window.Memo1->toPlainText(), FirstMessage);
}

void TestRetailForm::personWithoutIdKeepsWhatTheWindowShows()
{
    TRetail& window = *m_program->retail;
    open(*m_program);
    answer(window, 1, 1);
    window.hide();
    const QString shown = window.Memo1->toPlainText();
    const qint64 rows = scalar(QStringLiteral("SELECT count(*) FROM QuestionsMain")).toLongLong();

    m_program->dataModule.PeopleCompanyDet->insert();
    open(*m_program);
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM QuestionsMain")).toLongLong(), rows);
    QCOMPARE(window.Memo1->toPlainText(), shown);
    QCOMPARE(window.radioGroup(1)->itemIndex(), 1);
    QVERIFY(window.QMainTable->isEmpty());
    QCOMPARE(m_messages->texts(), QStringList());
}

// ---------------------------------------------------------------- answers

void TestRetailForm::clickWritesAtOnceAndSurvivesReopening()
{
    TRetail& window = *m_program->retail;
    open(*m_program);
    answer(window, 1, 1);
    QCOMPARE(rowsOf(1).first(), QStringLiteral("1:1"));
    answer(window, 1, 0);
    QCOMPARE(rowsOf(1).first(), QStringLiteral("1:0"));
    answer(window, 24, 1);
    QCOMPARE(rowsOf(1).last(), QStringLiteral("24:1"));
    QCOMPARE(rowsOf(1).size(), 24);
    QCOMPARE(window.QMainTable->state(), Dataset::State::Browse);

    // Reopened, the window shows what the file holds, not what its groups held.
    window.hide();
    exec(QStringLiteral("UPDATE QuestionsMain SET Answer = 1 WHERE QuestionID = 2"));
    open(*m_program);
    QCOMPARE(window.radioGroup(1)->itemIndex(), 0);
    QCOMPARE(window.radioGroup(2)->itemIndex(), 1);
    QCOMPARE(window.radioGroup(24)->itemIndex(), 1);

    // And so does another program on the same file.
    Program other(*m_file);
    open(other);
    QCOMPARE(shownAnswers(*other.retail), shownAnswers(window));
    QCOMPARE(m_messages->texts(), QStringList());
}

void TestRetailForm::loadingWritesNothing()
{
    exec(QStringLiteral("WITH RECURSIVE q(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM q WHERE n < 24)"
                        " INSERT INTO QuestionsMain (PersonID, QuestionID, Answer)"
                        " SELECT 1, n, CASE WHEN n % 3 = 0 THEN -1 ELSE n % 2 END FROM q"));
    const QStringList before = rowsOf(1);
    const qint64 version = dataVersion();
    TRetail& window = *m_program->retail;
    open(*m_program);

    std::array<int, 24> expected;
    for (int n = 1; n <= 24; ++n)
        expected[size_t(n - 1)] = n % 3 == 0 ? -1 : n % 2;
    QCOMPARE(shownAnswers(window), expected);
    QVERIFY(!window.Loading);
    QCOMPARE(rowsOf(1), before);
    QCOMPARE(dataVersion(), version);
    QCOMPARE(window.Memo1->toPlainText(), FirstMessage);
}

void TestRetailForm::switchingPersonShowsThatPersonsAnswers()
{
    TRetail& window = *m_program->retail;
    open(*m_program);
    for (int n = 1; n <= 24; ++n)
        answer(window, n, 1);
    pickTab(window, 2);
    const QString annAdvice = window.Memo1->toPlainText();
    QCOMPARE(annAdvice.split(u'\n').size(), 16);
    window.hide();

    m_program->dataModule.PeopleCompanyDet->next();
    open(*m_program);
    QCOMPARE(shownAnswers(window), filled(-1));
    QCOMPARE(window.Memo1->toPlainText(), FirstMessage);
    QCOMPARE(rowsOf(2).size(), 24);
    answer(window, 7, 0);
    QCOMPARE(rowsOf(2).at(6), QStringLiteral("7:0"));
    QCOMPARE(rowsOf(1).at(6), QStringLiteral("7:1"));
    window.hide();

    m_program->dataModule.PeopleCompanyDet->first();
    open(*m_program);
    QCOMPARE(shownAnswers(window), filled(1));
    QCOMPARE(window.Memo1->toPlainText(), annAdvice);
}

void TestRetailForm::failedSaveShowsErrorAndStoredAnswer()
{
    TRetail& window = *m_program->retail;
    open(*m_program);
    answer(window, 2, 1);
    exec(QStringLiteral("CREATE TRIGGER Locked BEFORE UPDATE ON QuestionsMain"
                        " BEGIN SELECT RAISE(ABORT, 'attempt to write a readonly database'); END"));

    click(window, 2, 0);
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("attempt to write a readonly database")});
    QCOMPARE(window.radioGroup(2)->itemIndex(), 1);
    QCOMPARE(rowsOf(1).at(1), QStringLiteral("2:1"));
    QCOMPARE(window.QMainTable->state(), Dataset::State::Browse);

    // Nothing left pending: the next click, once the file takes writes, saves only itself.
    exec(QStringLiteral("DROP TRIGGER Locked"));
    answer(window, 3, 0);
    QCOMPARE(rowsOf(1).mid(1, 2), (QStringList{"2:1", "3:0"}));
    QCOMPARE(m_messages->texts().size(), 1);
}

// ---------------------------------------------------------------- advice and tabs

void TestRetailForm::pickingTacticsRecomputesTheAdvice()
{
    TRetail& window = *m_program->retail;
    open(*m_program);
    std::array<int, 24> answers = filled(-1);
    for (int n = 1; n <= 12; ++n) {
        answers[size_t(n - 1)] = n <= 6 ? 1 : 0;
        answer(window, n, answers[size_t(n - 1)]);
    }
    QCOMPARE(window.Memo1->toPlainText(), FirstMessage);
    pickTab(window, 2);
    QCOMPARE(window.Memo1->toPlainText(), SecondMessage);

    for (int n = 13; n <= 24; ++n) {
        answers[size_t(n - 1)] = n <= 18 ? 1 : 0;
        answer(window, n, answers[size_t(n - 1)]);
    }
    QCOMPARE(window.Memo1->toPlainText(), SecondMessage);
    pickTab(window, 2);
    const QStringList advice = window.Memo1->toPlainText().split(u'\n');
    QCOMPARE(advice, TacticLines(answers));
    QCOMPARE(advice.first(), QStringLiteral("- Volunteer only strong opinions that may lead to direct solutions."));
    QCOMPARE(advice.size(), 7);

    // Picking a questionnaire tab leaves the advice alone.
    exec(QStringLiteral("UPDATE QuestionsMain SET Answer = -1 WHERE QuestionID = 1"));
    pickTab(window, 0);
    QCOMPARE(window.Memo1->toPlainText().split(u'\n'), advice);
}

void TestRetailForm::pickingTabBlanksTipsAndHoverFillsThem()
{
    TRetail& window = *m_program->retail;

    // A hint of another window, before the profile is opened, stays in the tip boxes.
    QLabel elsewhere(QStringLiteral("Elsewhere"));
    elsewhere.setToolTip(QStringLiteral("A hint of another window"));
    elsewhere.show();
    QHelpEvent away(QEvent::ToolTip, QPoint(1, 1), elsewhere.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&elsewhere, &away);
    open(*m_program);
    QCOMPARE(window.AssertTip->toPlainText(), QStringLiteral("A hint of another window"));
    QCOMPARE(window.ResponTip->toPlainText(), QStringLiteral("A hint of another window"));

    pickTab(window, 0);
    QCOMPARE(window.AssertTip->toPlainText(), QStringLiteral(" "));
    QCOMPARE(window.ResponTip->toPlainText(), QStringLiteral(" "));

    // Resting the mouse on a choice of question 3 brings up the group's hint.
    QRadioButton* button = window.radioGroup(3)->findChildren<QRadioButton*>().at(1);
    QTest::mouseMove(button, QPoint(5, 5));
    QTest::mouseMove(button, button->rect().center());
    QTRY_COMPARE(window.AssertTip->toPlainText(), Questionnaire::question(3).hint);
    QCOMPARE(window.ResponTip->toPlainText(), Questionnaire::question(3).hint);

    // A change of tab made by the window itself is not the user's and blanks nothing.
    window.PageControl1->setCurrentIndex(1);
    QCOMPARE(window.AssertTip->toPlainText(), Questionnaire::question(3).hint);

    QRadioButton* later = window.radioGroup(19)->findChildren<QRadioButton*>().at(0);
    QHelpEvent rest(QEvent::ToolTip, QPoint(2, 2), later->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(later, &rest);
    QCOMPARE(window.ResponTip->toPlainText(), Questionnaire::question(19).hint);
    QCOMPARE(window.AssertTip->toPlainText(), Questionnaire::question(19).hint);

    pickTab(window, 2);
    QCOMPARE(window.AssertTip->toPlainText(), QStringLiteral(" "));
    QCOMPARE(window.ResponTip->toPlainText(), QStringLiteral(" "));
}

void TestRetailForm::adviceIsShownWholeAndTipsFollowTheKeyboard()
{
    TRetail& window = *m_program->retail;
    open(*m_program);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.Memo1->toPlainText(), FirstMessage);
    QCOMPARE(window.Memo1->horizontalScrollBar()->maximum(), 0);
    QVERIFY(!window.Memo1->verticalScrollBar()->isVisible() || window.Memo1->verticalScrollBar()->maximum() == 0);

    // To the first tab and into its questions by keyboard: each question's hint comes up.
    window.PageControl1->tabBar()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(window.PageControl1->currentWidget(), window.TabSheet1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(window.radioGroup(1)->isAncestorOf(QApplication::focusWidget()));
    QCOMPARE(window.AssertTip->toPlainText(), Questionnaire::question(1).hint);
    for (int i = 0; i < 3 && !window.radioGroup(2)->isAncestorOf(QApplication::focusWidget()); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(window.radioGroup(2)->isAncestorOf(QApplication::focusWidget()));
    QCOMPARE(window.AssertTip->toPlainText(), Questionnaire::question(2).hint);
}

void TestRetailForm::memoOffersNoMenuAndKeepsNoSelection()
{
    TRetail& window = *m_program->retail;
    open(*m_program);
    QPlainTextEdit* memo = window.Memo1;
    QWidget* area = memo->viewport();

    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(10, 10), area->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(area, &request);
    QVERIFY(request.isAccepted());
    QCOMPARE(QApplication::activePopupWidget(), nullptr);

    memo->selectAll();
    QVERIFY(memo->textCursor().hasSelection());
    QTest::mouseMove(area, QPoint(20, 8));
    QVERIFY(!memo->textCursor().hasSelection());

    // Dragging across the text selects nothing.
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(4, 8));
    QMouseEvent drag(QEvent::MouseMove, QPointF(200, 8), area->mapToGlobal(QPointF(200, 8)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &drag);
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(200, 8));
    QVERIFY(!memo->textCursor().hasSelection());

    QCOMPARE(memo->focusPolicy() & Qt::TabFocus, 0);
    QVERIFY(memo->isReadOnly());
}

void TestRetailForm::layoutFollowsTheQuestionnaire()
{
    TRetail& window = *m_program->retail;
    QCOMPARE(window.size(), QSize(493, 516));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.PageControl1->count(), 3);
    QCOMPARE(window.PageControl1->tabText(0), QStringLiteral("Assertiveness"));
    QCOMPARE(window.PageControl1->tabText(1), QStringLiteral("Responsiveness"));
    QCOMPARE(window.PageControl1->tabText(2), QStringLiteral("Tactics"));

    for (int n = 1; n <= 24; ++n) {
        const RadioGroup* group = window.radioGroup(n);
        const Questionnaire::Question& q = Questionnaire::question(n);
        QCOMPARE(group->objectName(), QStringLiteral("RadioGroup%1").arg(n));
        QCOMPARE(group->parentWidget(), n <= 12 ? window.TabSheet1 : window.TabSheet2);
        QCOMPARE(group->geometry(), QRect(12, 20 + 36 * ((n - 1) % 12), 457, 37));
        QCOMPARE(group->items(), (QStringList{q.choice0, q.choice1}));
        QCOMPARE(group->columns(), 2);
        QCOMPARE(group->tag(), n);
        QCOMPARE(group->toolTip(), q.hint);
    }
    QCOMPARE(window.AssertTip->geometry(), QRect(12, 456, 457, 33));
    QCOMPARE(window.ResponTip->parentWidget(), window.TabSheet2);
    QCOMPARE(window.ResponTip->geometry(), QRect(12, 456, 457, 33));
    QVERIFY(window.AssertTip->toPlainText().isEmpty());

}

QTEST_MAIN(TestRetailForm)
#include "tst_retailform.moc"
