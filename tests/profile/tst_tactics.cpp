#include <array>
#include <climits>
#include <initializer_list>

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include "profile/Tactics.h"

using Answers = std::array<int, 24>;
Q_DECLARE_METATYPE(Answers)

namespace {

const QString AnswerAll = QStringLiteral(
    "No suggested tactics. Please answer all questions in Assertiveness and Responsiveness tabs.");
const QString AnswerResponsiveness = QStringLiteral(
    "Please answer all questions in Assertiveness and Responsiveness tabs.");
const QString Opinion = QStringLiteral("- Always ask for customer's opinion.");

// The listed questions answered with the second choice, all others with the first.
Answers secondChoices(std::initializer_list<int> questions)
{
    Answers answers{};
    for (int q : questions)
        answers[q - 1] = 1;
    return answers;
}

Answers secondChoicesFrom(int first, int last)
{
    Answers answers{};
    for (int q = first; q <= last; ++q)
        answers[q - 1] = 1;
    return answers;
}

QString describe(const Answers& answers, const QStringList& lines)
{
    QString text;
    for (int answer : answers)
        text += QString::number(answer) + u' ';
    return text + QStringLiteral(": ") + lines.join(u'|');
}

}

class TestTactics : public QObject
{
    Q_OBJECT

private slots:
    void unansweredQuestionGivesOnlyAMessage_data();
    void unansweredQuestionGivesOnlyAMessage();
    void adviceFollowsTheStyleCase_data();
    void adviceFollowsTheStyleCase();
    void balancedScoresLeanByTieRules_data();
    void balancedScoresLeanByTieRules();
    void randomAnswersNeverRepeatALine();
};

void TestTactics::unansweredQuestionGivesOnlyAMessage_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QString>("message");

    Answers none;
    none.fill(-1);
    QTest::newRow("nothing answered") << none << AnswerAll;

    Answers q6 = secondChoicesFrom(1, 24);
    q6[5] = -1;
    QTest::newRow("question 6 open") << q6 << AnswerAll;

    Answers q24{};
    q24[23] = -1;
    QTest::newRow("question 24 open") << q24 << AnswerResponsiveness;

    Answers q12q13{};
    q12q13[11] = q12q13[12] = -1;
    QTest::newRow("first open question decides") << q12q13 << AnswerAll;

    Answers odd{};
    odd.fill(7);
    odd[0] = INT_MIN;
    odd[20] = -1;
    QTest::newRow("only -1 counts as open") << odd << AnswerResponsiveness;
}

void TestTactics::unansweredQuestionGivesOnlyAMessage()
{
    QFETCH(Answers, answers);
    QFETCH(QString, message);
    QCOMPARE(TacticLines(answers), QStringList{message});
}

void TestTactics::adviceFollowsTheStyleCase_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("1: high assertive, less responsive") << secondChoicesFrom(1, 12) << QStringList{
        "- Use a direct, business-organized approach.", "- Act and follow up quickly.",
        "- Emphasize effects of purchase decision on profits.",
        "- Do not engage in social conversation.", "- Avoid testimonials.", Opinion,
        "- Always discuss facts and logic.", "- Use less sitting positions.",
        "- Show great respect to dates, appointments, and schedules.", "- Use less facial expressions.",
        "- Volunteer only strong opinions that may lead to direct solutions.",
        "- Take positions on issues even if that disagrees with the customer.",
        "- State ideas and proposals simply for quick understanding.", "- Increase eye contact.",
        "- Use great vocal intensity.", "- Speak and move fast."};
    QTest::newRow("2: all second choices") << secondChoicesFrom(1, 24) << QStringList{
        "- Demonstrate how the product/solution helps achieve personal recognition.",
        "- Use creative graphics and product demos heavily.", "- Use testimonials.",
        "- Always try to approach with new types of products.",
        "- Engage in social conversation.", "- Pay compliments.", "- Discuss personal opinions.",
        "- Reduce discussion of facts and logic.", "- Use more sitting positions.",
        "- Use more facial expressions.",
        "- Volunteer only strong opinions that may lead to direct solutions.",
        "- Take positions on issues even if that disagrees with the customer.",
        "- State ideas and proposals simply for quick understanding.", "- Increase eye contact.",
        "- Use great vocal intensity.", "- Speak and move fast."};
    const QStringList allFirst{
        "- Use solid tangible evidence.", "- Emphasize long-term benefits.",
        "- Demonstration and presentation should emphasize person's technical experience.",
        "- Reduce risk by providing information and logical arguments.",
        "- Do not engage in social conversation.", "- Avoid testimonials.", Opinion,
        "- Always discuss facts and logic.", "- Use less sitting positions.",
        "- Show great respect to dates, appointments, and schedules.", "- Use less facial expressions.",
        "- Use asking mode rather than telling mode.",
        "- Let customer assumes control of the conversation often.", "- Use moderate eye contact.",
        "- Use moderate vocal intensity."};
    QTest::newRow("3: all first choices") << Answers{} << allFirst;
    Answers odd;
    odd.fill(2);
    odd[3] = INT_MAX;
    odd[17] = -7;
    QTest::newRow("3: values other than 1 are first choices") << odd << allFirst;
    QTest::newRow("4: less assertive, high responsive") << secondChoicesFrom(13, 24) << QStringList{
        "- Build personal relationships.", "- Give guarantees for product performance.",
        "- Stress product's benefits in terms of effects on the satisfaction of employees.",
        "- Engage in social conversation.", "- Pay compliments.", "- Discuss personal opinions.",
        "- Reduce discussion of facts and logic.", "- Use more sitting positions.",
        "- Use more facial expressions.", "- Use asking mode rather than telling mode.",
        "- Let customer assumes control of the conversation often.", Opinion,
        "- Use moderate eye contact.", "- Use moderate vocal intensity."};
    QTest::newRow("5: every high assertive rule skipped") << secondChoicesFrom(1, 18) << QStringList{
        "- State ideas and proposals simply for quick understanding.",
        "- Volunteer only strong opinions that may lead to direct solutions.",
        "- Take positions on issues even if that disagrees with the customer.",
        "- Speak and move fast.", "- Use great vocal intensity.", "- Increase eye contact."};
    QTest::newRow("6: asking rules skipped") << secondChoicesFrom(13, 18) << QStringList{
        "- Use asking mode rather than telling mode.",
        "- Let customer assumes control of the conversation often.", Opinion,
        "- Use moderate eye contact.", "- Use moderate vocal intensity."};
    QTest::newRow("7: only the opinion rule left")
        << secondChoices({1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24})
        << QStringList{"- Pay compliments.", "- Engage in social conversation.",
                       "- Reduce discussion of facts and logic.", "- Use more facial expressions.",
                       "- Use more sitting positions.", "- Discuss personal opinions."};
    QTest::newRow("8: no testimonials or opinion rules") << secondChoicesFrom(1, 6) << QStringList{
        "- Discard telling your opinions.", "- Avoid testimonials.",
        "- Do not engage in social conversation.", "- Always discuss facts and logic.",
        "- Use less sitting positions.", "- Show great respect to dates, appointments, and schedules.",
        "- Use less facial expressions."};
}

void TestTactics::adviceFollowsTheStyleCase()
{
    QFETCH(Answers, answers);
    QFETCH(QStringList, lines);
    QCOMPARE(TacticLines(answers), lines);
}

// Both scores 0: the single answers choose which assertive and which
// responsive advice is given, with tie rules when their counts are equal.
void TestTactics::balancedScoresLeanByTieRules_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("high 4:3, high 5:3")
        << secondChoices({1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 17, 18}) << QStringList{
        "- Volunteer only strong opinions that may lead to direct solutions.",
        "- Take positions on issues even if that disagrees with the customer.",
        "- State ideas and proposals simply for quick understanding.",
        "- Engage in social conversation.", "- Pay compliments.", "- Discuss personal opinions.",
        "- Reduce discussion of facts and logic."};
    QTest::newRow("less 5:3, tie without Q15 or Q18 is less")
        << secondChoices({2, 4, 5, 8, 10, 12, 13, 17, 19, 20, 22, 23}) << QStringList{
        "- Use asking mode rather than telling mode.",
        "- Let customer assumes control of the conversation often.", Opinion,
        "- Use moderate vocal intensity.", "- Do not engage in social conversation.",
        "- Avoid testimonials."};
    QTest::newRow("tie Q3 and Q4 high, before Q2 and Q7")
        << secondChoices({3, 4, 5, 6, 8, 10, 14, 15, 20, 21, 22, 24}) << QStringList{
        "- Take positions on issues even if that disagrees with the customer.",
        "- State ideas and proposals simply for quick understanding.", "- Increase eye contact.",
        "- Speak and move fast.", Opinion, "- Always discuss facts and logic.",
        "- Use less sitting positions.", "- Use less facial expressions."};
    QTest::newRow("tie Q2 and Q7 first is less")
        << secondChoices({1, 4, 5, 9, 10, 12, 15, 16, 17, 20, 21, 24}) << QStringList{
        "- Let customer assumes control of the conversation often.", Opinion,
        "- Use moderate eye contact.", "- Do not engage in social conversation.",
        "- Use less sitting positions.", "- Show great respect to dates, appointments, and schedules.",
        "- Use less facial expressions."};
    QTest::newRow("tie Q3 and Q16 first is less")
        << secondChoices({2, 4, 7, 8, 9, 11, 14, 15, 18, 19, 21, 23}) << QStringList{
        "- Use asking mode rather than telling mode.", Opinion, "- Engage in social conversation.",
        "- Pay compliments.", "- Use more sitting positions.", "- Use more facial expressions."};
    QTest::newRow("tie Q3 second alone is less")
        << secondChoices({2, 3, 6, 7, 8, 11, 15, 17, 18, 19, 21, 23}) << QStringList{
        "- Use asking mode rather than telling mode.", "- Use moderate vocal intensity.",
        "- Pay compliments.", "- Reduce discussion of facts and logic.",
        "- Use more sitting positions.", "- Use more facial expressions."};
    QTest::newRow("tie otherwise high")
        << secondChoices({1, 2, 4, 5, 6, 7, 13, 16, 19, 21, 22, 24}) << QStringList{
        "- Volunteer only strong opinions that may lead to direct solutions.",
        "- Take positions on issues even if that disagrees with the customer.",
        "- State ideas and proposals simply for quick understanding.",
        "- Do not engage in social conversation.", "- Avoid testimonials.",
        "- Always discuss facts and logic.", "- Use less facial expressions."};
    QTest::newRow("responsive tie with Q15 is high")
        << secondChoices({1, 2, 6, 7, 8, 9, 13, 15, 16, 22, 23, 24}) << QStringList{
        "- Volunteer only strong opinions that may lead to direct solutions.",
        "- State ideas and proposals simply for quick understanding.", "- Increase eye contact.",
        "- Use great vocal intensity.", "- Pay compliments.", "- Discuss personal opinions.",
        "- Use more facial expressions."};
    QTest::newRow("responsive tie with Q18 is high")
        << secondChoices({1, 2, 3, 7, 9, 12, 13, 16, 18, 19, 23, 24}) << QStringList{
        "- Volunteer only strong opinions that may lead to direct solutions.",
        "- Take positions on issues even if that disagrees with the customer.",
        "- Use great vocal intensity.", "- Pay compliments.", "- Discuss personal opinions.",
        "- Use more sitting positions.", "- Use more facial expressions."};
}

void TestTactics::balancedScoresLeanByTieRules()
{
    QFETCH(Answers, answers);
    QFETCH(QStringList, lines);
    QCOMPARE(TacticLines(answers), lines);
}

// Over many answer sets: advice lines are unique, and any stored value other
// than -1 and 1 gives the same advice as a first choice.
void TestTactics::randomAnswersNeverRepeatALine()
{
    QRandomGenerator random(20240611);
    const int odd[] = {INT_MIN, -2, 2, 3, INT_MAX};
    for (int run = 0; run < 50000; ++run) {
        Answers answers;
        Answers stored;
        for (int k = 0; k < 24; ++k) {
            answers[k] = int(random.bounded(2));
            stored[k] = answers[k] == 1 ? 1 : odd[random.bounded(5)];
        }
        const QStringList lines = TacticLines(answers);
        const QSet<QString> unique(lines.cbegin(), lines.cend());
        if (unique.size() != lines.size() || TacticLines(stored) != lines)
            QFAIL(qPrintable(describe(answers, lines)));
    }
}

QTEST_GUILESS_MAIN(TestTactics)
#include "tst_tactics.moc"
