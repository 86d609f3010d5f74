#include "profile/Tactics.h"

#include <QString>

namespace {

// Style cases, named after the signs of the two scores.
enum StyleCode {
    ZeroAssertiveZeroResponsive = 0,
    HighAssertiveLessResponsive = 1,
    HighAssertiveHighResponsive = 2,
    LessAssertiveLessResponsive = 3,
    LessAssertiveHighResponsive = 4,
    HighAssertiveZeroResponsive = 5,
    LessAssertiveZeroResponsive = 6,
    ZeroAssertiveHighResponsive = 7,
    ZeroAssertiveLessResponsive = 8,
};

const QString OpinionLine = QStringLiteral("- Always ask for customer's opinion.");

QStringList BaseLines(StyleCode code)
{
    switch (code) {
    case HighAssertiveLessResponsive:
        return {QStringLiteral("- Use a direct, business-organized approach."),
                QStringLiteral("- Act and follow up quickly."),
                QStringLiteral("- Emphasize effects of purchase decision on profits.")};
    case HighAssertiveHighResponsive:
        return {QStringLiteral("- Demonstrate how the product/solution helps achieve personal recognition."),
                QStringLiteral("- Use creative graphics and product demos heavily."),
                QStringLiteral("- Use testimonials."),
                QStringLiteral("- Always try to approach with new types of products.")};
    case LessAssertiveLessResponsive:
        return {QStringLiteral("- Use solid tangible evidence."),
                QStringLiteral("- Emphasize long-term benefits."),
                QStringLiteral("- Demonstration and presentation should emphasize person's technical experience."),
                QStringLiteral("- Reduce risk by providing information and logical arguments.")};
    case LessAssertiveHighResponsive:
        return {QStringLiteral("- Build personal relationships."),
                QStringLiteral("- Give guarantees for product performance."),
                QStringLiteral("- Stress product's benefits in terms of effects on the satisfaction of employees.")};
    case HighAssertiveZeroResponsive:
        return {QStringLiteral("- State ideas and proposals simply for quick understanding."),
                QStringLiteral("- Volunteer only strong opinions that may lead to direct solutions."),
                QStringLiteral("- Take positions on issues even if that disagrees with the customer."),
                QStringLiteral("- Speak and move fast."),
                QStringLiteral("- Use great vocal intensity."),
                QStringLiteral("- Increase eye contact.")};
    case LessAssertiveZeroResponsive:
        return {QStringLiteral("- Use asking mode rather than telling mode."),
                QStringLiteral("- Let customer assumes control of the conversation often.")};
    case ZeroAssertiveHighResponsive:
        return {QStringLiteral("- Pay compliments."),
                QStringLiteral("- Engage in social conversation."),
                QStringLiteral("- Reduce discussion of facts and logic."),
                QStringLiteral("- Use more facial expressions."),
                QStringLiteral("- Use more sitting positions.")};
    case ZeroAssertiveLessResponsive:
        return {QStringLiteral("- Discard telling your opinions."),
                QStringLiteral("- Avoid testimonials.")};
    case ZeroAssertiveZeroResponsive:
        break;
    }
    return {};
}

// One calculation over a fully answered questionnaire. Rules that a code's
// base advice already covers are skipped for that code; the opinion line can
// come from two procedures and is written once.
class TacticAdvice
{
public:
    explicit TacticAdvice(const std::array<int, 24>& answers)
    {
        // Anything but a second choice counts as the first choice, so that
        // the rules below agree with how the scores counted it.
        for (int k = 1; k <= 24; ++k)
            Answers[k] = answers[k - 1] == 1 ? 1 : 0;
    }

    const QStringList& lines() const { return m_lines; }

    void GetTactic(int a, int r)
    {
        StyleCode code;
        if (a > 0)
            code = r > 0 ? HighAssertiveHighResponsive
                 : r < 0 ? HighAssertiveLessResponsive : HighAssertiveZeroResponsive;
        else if (a < 0)
            code = r > 0 ? LessAssertiveHighResponsive
                 : r < 0 ? LessAssertiveLessResponsive : LessAssertiveZeroResponsive;
        else
            code = r > 0 ? ZeroAssertiveHighResponsive
                 : r < 0 ? ZeroAssertiveLessResponsive : ZeroAssertiveZeroResponsive;
        GetTacticQuestions(code);
    }

private:
    int Q(int question) const { return Answers[question]; }

    void add(bool condition, const QString& line)
    {
        if (condition)
            m_lines.append(line);
    }

    void adviseOpinion(bool condition)
    {
        if (condition && !OpinionAdvised) {
            m_lines.append(OpinionLine);
            OpinionAdvised = true;
        }
    }

    void GetTacticQuestions(StyleCode code)
    {
        m_lines.append(BaseLines(code));
        if (code == ZeroAssertiveZeroResponsive) {
            GetZeroAssertive();
            GetZeroResponsive();
        } else {
            GetTacticSpecialQuestions(code);
        }
    }

    void GetTacticSpecialQuestions(StyleCode code)
    {
        if (code == HighAssertiveLessResponsive || code == LessAssertiveLessResponsive
            || code == ZeroAssertiveLessResponsive)
            GetLessResponsive(code);
        if (code == HighAssertiveHighResponsive || code == LessAssertiveHighResponsive
            || code == ZeroAssertiveHighResponsive)
            GetHighResponsive(code);
        if (code == LessAssertiveLessResponsive || code == LessAssertiveHighResponsive
            || code == LessAssertiveZeroResponsive)
            GetLessAssertive(code);
        if (code == HighAssertiveLessResponsive || code == HighAssertiveHighResponsive
            || code == HighAssertiveZeroResponsive)
            GetHighAssertive(code);
    }

    void GetLessResponsive(StyleCode code)
    {
        // Code 8's base advice says not to tell opinions, so asking for the
        // customer's is left out along with the testimonials it already holds.
        const bool skip = code == ZeroAssertiveLessResponsive;
        add(Q(14) == 0, QStringLiteral("- Do not engage in social conversation."));
        add(Q(15) == 0 && !skip, QStringLiteral("- Avoid testimonials."));
        adviseOpinion(Q(16) == 0 && !skip);
        add(Q(17) == 0, QStringLiteral("- Always discuss facts and logic."));
        add(Q(19) == 0, QStringLiteral("- Use less sitting positions."));
        add(Q(22) == 0, QStringLiteral("- Show great respect to dates, appointments, and schedules."));
        add(Q(23) == 0, QStringLiteral("- Use less facial expressions."));
    }

    void GetHighResponsive(StyleCode code)
    {
        const bool skip = code == ZeroAssertiveHighResponsive;
        add(Q(14) == 1 && !skip, QStringLiteral("- Engage in social conversation."));
        add((Q(15) == 1 || Q(18) == 1) && !skip, QStringLiteral("- Pay compliments."));
        add(Q(16) == 1, QStringLiteral("- Discuss personal opinions."));
        add(Q(17) == 1 && !skip, QStringLiteral("- Reduce discussion of facts and logic."));
        add(Q(19) == 1 && !skip, QStringLiteral("- Use more sitting positions."));
        add(Q(23) == 1 && !skip, QStringLiteral("- Use more facial expressions."));
    }

    void GetLessAssertive(StyleCode code)
    {
        const bool skip = code == LessAssertiveZeroResponsive;
        add(Q(1) == 0 && !skip, QStringLiteral("- Use asking mode rather than telling mode."));
        add((Q(2) == 0 || Q(7) == 0) && !skip,
            QStringLiteral("- Let customer assumes control of the conversation often."));
        adviseOpinion(Q(3) == 0);
        add(Q(8) == 0, QStringLiteral("- Use moderate eye contact."));
        add(Q(9) == 0, QStringLiteral("- Use moderate vocal intensity."));
    }

    void GetHighAssertive(StyleCode code)
    {
        // Code 5's base advice already holds every line of this procedure.
        if (code == HighAssertiveZeroResponsive)
            return;
        add(Q(1) == 1, QStringLiteral("- Volunteer only strong opinions that may lead to direct solutions."));
        add(Q(3) == 1 || Q(4) == 1, QStringLiteral("- Take positions on issues even if that disagrees with the customer."));
        add(Q(6) == 1, QStringLiteral("- State ideas and proposals simply for quick understanding."));
        add(Q(8) == 1, QStringLiteral("- Increase eye contact."));
        add(Q(9) == 1, QStringLiteral("- Use great vocal intensity."));
        add(Q(10) == 1, QStringLiteral("- Speak and move fast."));
    }

    // A balanced assertiveness score is leaned one way by the answers that
    // the advice rules look at; question 16 counts here too.
    void GetZeroAssertive()
    {
        int less = 0;
        int high = 0;
        for (int q : {1, 3, 8, 9})
            ++(Q(q) == 0 ? less : high);
        for (int q : {2, 7, 16})
            less += Q(q) == 0;
        for (int q : {10, 4, 6})
            high += Q(q) == 1;

        if (high > less)
            GetHighAssertive(ZeroAssertiveZeroResponsive);
        else if (less > high)
            GetLessAssertive(ZeroAssertiveZeroResponsive);
        else if (Q(3) == 1 && Q(4) == 1)
            GetHighAssertive(ZeroAssertiveZeroResponsive);
        else if ((Q(2) == 0 && Q(7) == 0) || (Q(3) == 0 && Q(16) == 0) || Q(3) == 1)
            GetLessAssertive(ZeroAssertiveZeroResponsive);
        else // only Q3 = 0 with Q16 = 1 is left
            GetHighAssertive(ZeroAssertiveZeroResponsive);
    }

    void GetZeroResponsive()
    {
        int less = 0;
        int high = 0;
        for (int q : {14, 15, 16, 17, 19, 23})
            ++(Q(q) == 0 ? less : high);
        less += Q(22) == 0;
        high += Q(18) == 1;

        if (high > less || (high == less && (Q(15) == 1 || Q(18) == 1)))
            GetHighResponsive(ZeroAssertiveZeroResponsive);
        else
            GetLessResponsive(ZeroAssertiveZeroResponsive);
    }

    std::array<int, 25> Answers{};
    bool OpinionAdvised = false;
    QStringList m_lines;
};

}

QStringList TacticLines(const std::array<int, 24>& answers)
{
    int a = 0;
    for (int k = 1; k <= 12; ++k) {
        if (answers[k - 1] == -1)
            return {QStringLiteral("No suggested tactics. Please answer all questions in Assertiveness and Responsiveness tabs.")};
        a += answers[k - 1] == 1 ? 1 : -1;
    }
    int r = 0;
    for (int k = 13; k <= 24; ++k) {
        if (answers[k - 1] == -1)
            return {QStringLiteral("Please answer all questions in Assertiveness and Responsiveness tabs.")};
        r += answers[k - 1] == 1 ? 1 : -1;
    }
    TacticAdvice advice(answers);
    advice.GetTactic(a, r);
    return advice.lines();
}
