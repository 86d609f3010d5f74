#pragma once

#include <QString>

// The fixed questionnaire of the client profile: 24 two-choice questions,
// 1 to 12 about assertiveness and 13 to 24 about responsiveness. The choice
// index is the stored answer (0 first choice, 1 second choice).
namespace Questionnaire {

inline constexpr int QuestionCount = 24;

struct Question
{
    QString choice0;
    QString choice1;
    QString hint;
};

// Throws std::out_of_range unless 1 <= number <= QuestionCount.
const Question& question(int number);

}
