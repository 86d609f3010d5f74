#include "profile/RetailForm.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShowEvent>
#include <QToolTip>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "profile/AnswerStore.h"
#include "profile/Tactics.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/HintHook.h"
#include "toolkit/widgets/PageControl.h"
#include "toolkit/widgets/RadioGroup.h"

namespace {

const QString PersonID = QStringLiteral("PersonID");
const QString QuestionID = QStringLiteral("QuestionID");
const QString Answer = QStringLiteral("Answer");

const QString Prompt = QStringLiteral("Please answer the following about your customer then press Tactics");
const QColor Navy(0, 0, 128);

// The choice a group shows for a stored answer: the same reading as the scoring, where only
// -1 is unanswered and any value but 1 counts as the first choice.
int shownChoice(int answer)
{
    if (answer == -1)
        return -1;
    return answer == 1 ? 1 : 0;
}

void useTipColours(QWidget* box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QToolTip::palette().color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, Navy);
    box->setPalette(palette);
}

}

TRetail::TRetail(TMainDataModule& dataModule, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_dataModule(&dataModule)
{
    setObjectName(QStringLiteral("Retail"));
    setWindowTitle(QStringLiteral("Profile"));
    setFixedSize(493, 516);

    PageControl1 = new PageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    // Without the frame around the pages, the tip boxes at the foot fit in the page.
    PageControl1->setDocumentMode(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);

    TabSheet1 = makeQuestionPage(QStringLiteral("Assertiveness"), 1, Label3, AssertTip);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    Label3->setObjectName(QStringLiteral("Label3"));
    AssertTip->setObjectName(QStringLiteral("AssertTip"));
    TabSheet2 = makeQuestionPage(QStringLiteral("Responsiveness"), 13, Label1, ResponTip);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    Label1->setObjectName(QStringLiteral("Label1"));
    ResponTip->setObjectName(QStringLiteral("ResponTip"));
    buildTactics();
    PageControl1->setCurrentWidget(TabSheet3);

    ApplicationEvents1 = new HintHook(this);
    connect(ApplicationEvents1, &HintHook::hintShown, this, &TRetail::ApplicationEvents1ShowHint);
    connect(PageControl1, &PageControl::userChanged, this, &TRetail::PageControl1Change);
    m_focusFollow = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { RadioGroupEnter(now); });

    QMainTable = new Dataset(m_dataModule->MainADOConnection(), QStringLiteral("QMainTable"), this);
    QMainTable->setTableName(QStringLiteral("QuestionsMain"));
    Catalogue::addFields(*QMainTable, QStringLiteral("QuestionsMain"));
    QMainTable->setMasterSource(m_dataModule->PeopleCompanyDS, PersonID);
    QMainTable->setOrderBy({PersonID, QuestionID});

    FormCreate();
}

TRetail::~TRetail()
{
    disconnect(m_focusFollow);
}

QWidget* TRetail::makeQuestionPage(const QString& caption, int firstQuestion, QLabel*& label, QPlainTextEdit*& tip)
{
    auto* page = new QWidget;
    label = new QLabel(Prompt, page);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->move(12, 3);
    label->adjustSize();

    // Made in question order, so the keyboard focus moves through them in that order.
    for (int n = firstQuestion; n < firstQuestion + 12; ++n) {
        const Questionnaire::Question& question = Questionnaire::question(n);
        auto* group = new RadioGroup(page);
        group->setObjectName(QStringLiteral("RadioGroup%1").arg(n));
        group->setItems({question.choice0, question.choice1});
        group->setColumns(2);
        group->setTag(n);
        group->setToolTip(question.hint);
        group->setGeometry(12, 20 + 36 * (n - firstQuestion), 457, 37);
        connect(group, &RadioGroup::clicked, this, [this, group] { guarded([&] { RadioGroup1Click(group); }); });
        m_groups[size_t(n - 1)] = group;
    }

    tip = makeTipBox(page);
    tip->setGeometry(12, 456, 457, 33);
    PageControl1->addTab(page, caption);
    return page;
}

QPlainTextEdit* TRetail::makeTipBox(QWidget* parent)
{
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Two lines of a hint fit in the box's 33 pixels only with a thin margin.
    box->document()->setDocumentMargin(1);
    useTipColours(box);
    return box;
}

void TRetail::buildTactics()
{
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    Memo1 = new QPlainTextEdit(TabSheet3);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    // The messages and some advice lines are wider than the window: wrapped, they are read whole.
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WordWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFocusPolicy(Qt::ClickFocus);
    // The request is taken as handled: no menu here and none from the window behind.
    Memo1->setContextMenuPolicy(Qt::PreventContextMenu);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    Memo1->setFont(font);
    useTipColours(Memo1);
    Memo1->viewport()->setMouseTracking(true);
    Memo1->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(TabSheet3);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    PageControl1->addTab(TabSheet3, QStringLiteral("Tactics"));
}

int TRetail::showForCurrentPerson()
{
    move(screen()->availableGeometry().center() - rect().center());
    return execModal();
}

int TRetail::execModal()
{
    return exec();
}

void TRetail::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Coming back from minimised is not a new showing.
    if (!event->spontaneous())
        FormShow();
}

bool TRetail::eventFilter(QObject* watched, QEvent* event)
{
    // Swallowed, so that a drag cannot grow a selection either.
    if (watched == Memo1->viewport() && event->type() == QEvent::MouseMove) {
        Memo1MouseMove();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TRetail::FormCreate()
{
    Loading = false;
    QMainTable->open();
}

void TRetail::FormShow()
{
    guarded([this] {
        AddQuestionsClick();
        LoadDataClick();
        CalculateClick();
    });
    PageControl1->setCurrentWidget(TabSheet3);
}

void TRetail::PageControl1Change()
{
    AssertTip->setPlainText(QStringLiteral(" "));
    ResponTip->setPlainText(QStringLiteral(" "));
    if (PageControl1->currentWidget() == TabSheet3)
        guarded([this] { CalculateClick(); });
}

void TRetail::ApplicationEvents1ShowHint(const QString& hint)
{
    AssertTip->setPlainText(hint);
    ResponTip->setPlainText(hint);
}

void TRetail::RadioGroupEnter(QWidget* focus)
{
    // Someone working by keyboard reads the hint of the question they are on, as a mouse user does.
    for (QWidget* w = focus; w && w != this; w = w->parentWidget())
        if (auto* group = qobject_cast<RadioGroup*>(w); group && isAncestorOf(group)) {
            ApplicationEvents1ShowHint(group->toolTip());
            return;
        }
}

void TRetail::Memo1MouseMove()
{
    QTextCursor cursor = Memo1->textCursor();
    if (!cursor.hasSelection())
        return;
    cursor.clearSelection();
    Memo1->setTextCursor(cursor);
}

void TRetail::reread()
{
    QMainTable->close();
    QMainTable->open();
}

void TRetail::AddQuestionsClick()
{
    const QVariant person = m_dataModule->PeopleCompanyDet->value(PersonID);
    if (!person.isNull() && person.toLongLong() != 0)
        addMissingAnswerRows(*m_dataModule->MainADOConnection(), person.toLongLong());
    reread();
}

void TRetail::LoadDataClick()
{
    reread();
    if (QMainTable->isEmpty())
        return;
    showAnswers(storedAnswers());
}

bool TRetail::LocateQuestion(int question)
{
    return QMainTable->locate({QuestionID}, {question});
}

void TRetail::RadioGroup1Click(RadioGroup* sender)
{
    if (Loading)
        return;
    reread();
    if (QMainTable->isEmpty() || !LocateQuestion(sender->tag()))
        return;
    try {
        QMainTable->edit();
        QMainTable->setValue(Answer, sender->itemIndex());
        QMainTable->post();
    } catch (...) {
        // The group must not show an answer that the file does not hold.
        QMainTable->cancel();
        const QVariant stored = QMainTable->value(Answer);
        Loading = true;
        sender->setItemIndex(stored.isNull() ? -1 : shownChoice(stored.toInt()));
        Loading = false;
        throw;
    }
    reread();
}

void TRetail::CalculateClick()
{
    reread();
    if (QMainTable->isEmpty())
        return;
    Memo1->setPlainText(TacticLines(storedAnswers()).join(u'\n'));
}

std::array<int, Questionnaire::QuestionCount> TRetail::storedAnswers() const
{
    std::array<int, Questionnaire::QuestionCount> answers;
    answers.fill(-1);
    std::array<bool, Questionnaire::QuestionCount> seen{};
    // Rows come ordered on QuestionID; of two rows for one question the first counts, being
    // the one that a click finds and writes.
    for (int row = 0; row < QMainTable->recordCount(); ++row) {
        const qint64 question = QMainTable->valueAt(row, QuestionID).toLongLong();
        if (question < 1 || question > Questionnaire::QuestionCount || seen[size_t(question - 1)])
            continue;
        seen[size_t(question - 1)] = true;
        const QVariant answer = QMainTable->valueAt(row, Answer);
        if (!answer.isNull())
            answers[size_t(question - 1)] = answer.toInt();
    }
    return answers;
}

void TRetail::showAnswers(const std::array<int, Questionnaire::QuestionCount>& answers)
{
    Loading = true;
    for (int n = 1; n <= Questionnaire::QuestionCount; ++n)
        radioGroup(n)->setItemIndex(shownChoice(answers[size_t(n - 1)]));
    Loading = false;
}
