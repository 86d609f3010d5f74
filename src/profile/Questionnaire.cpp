#include "profile/Questionnaire.h"

#include <array>
#include <stdexcept>
#include <string>

namespace Questionnaire {

namespace {

// Texts are shown to the user as they stand, trailing blanks included.
const std::array<Question, QuestionCount>& questions()
{
    static const std::array<Question, QuestionCount> all = {{
        // 1
        {QStringLiteral("Ask oriented"), QStringLiteral("Tell oriented"),
         QStringLiteral("Ask oriented: Calls for answers and seeks to obtain information * Tell oriented: Reveals or signifies information")},
        // 2
        {QStringLiteral("Go-along attitude"), QStringLiteral("Take-charge attitude"),
         QStringLiteral("Go-along attitude: Lets others assume control * Take-charge attitude: Assumes control")},
        // 3
        {QStringLiteral("Cooperative"), QStringLiteral("Competitive"),
         QStringLiteral("Cooperative: Willing to work or act together * Competitive: Having a strong urge to win")},
        // 4
        {QStringLiteral("Supportive"), QStringLiteral("Directive"),
         QStringLiteral("Supportive: Provides help or encouragement * Directive: Practices authority")},
        // 5
        {QStringLiteral("Risk avoider"), QStringLiteral("Risk taker"),
         QStringLiteral("Risk avoider: Refuses the chance or possibility of danger, loss, etc... * Risk taker: Accepts the chance or possibility of danger, loss, etc...")},
        // 6
        {QStringLiteral("Makes decisions slowly"), QStringLiteral("Makes decisions quickly"),
         QStringLiteral("Makes decisions slowly: Slow act or process of deciding * Makes decisions quickly: Quick act or process of deciding")},
        // 7
        {QStringLiteral("Lets others take initiative"), QStringLiteral("Takes initiative"),
         QStringLiteral("Lets others take initiative: Lets others take the first step * Takes initiative: Takes the first step or have the power to begin the conversation")},
        // 8
        {QStringLiteral("Indirect eye contact"), QStringLiteral("Direct eye contact"),
         QStringLiteral("Indirect eye contact: Does not look directly in the eyes * Direct eye contact: Looks directly in the eyes")},
        // 9
        {QStringLiteral("Speaks softly and slowly"), QStringLiteral("Speaks intensely and quickly "),
         QStringLiteral("Speaks softly and slowly: Utters words smoothly and not quickly * Speaks intensely and rapidly: Utters words swiftly and forcefully")},
        // 10
        {QStringLiteral("Moves deliberately "), QStringLiteral("Moves rapidly"),
         QStringLiteral("Moves deliberately: Cautious and unhurried movement * Moves rapidly: Quick and swift movement")},
        // 11
        {QStringLiteral("Makes few statements"), QStringLiteral("Makes many statements"),
         QStringLiteral("Makes few statements: Utters few words * Makes many statements: Utters more words")},
        // 12
        {QStringLiteral("Expresses moderate opinions"), QStringLiteral("Expresses strong opinions"),
         QStringLiteral("Expresses moderate opinions: Avoids extreme unproven beliefs * Expresses strong opinions: Emphasizes extreme unproven beliefs")},
        // 13
        {QStringLiteral("Controls emotions"), QStringLiteral("Shows emotions"),
         QStringLiteral("Controls emotions: Does not express strong instinctive feelings * Shows emotions: Expresses strong instinctive feelings")},
        // 14
        {QStringLiteral("Cool and aloof"), QStringLiteral("Warm and approachable"),
         QStringLiteral("Cool and aloof: Unfriendly, distant, and unsympathetic * Warm and approachable: Friendly and easy to talk to")},
        // 15
        {QStringLiteral("Task oriented"), QStringLiteral("People oriented"),
         QStringLiteral("Task oriented: Directed and devoted to work * People oriented: Directed towards personal relations")},
        // 16
        {QStringLiteral("Uses facts"), QStringLiteral("Uses opinions"),
         QStringLiteral("Uses facts: Brings into service things that are known to exist or to be true * Uses opinions: Brings into service unproven beliefs")},
        // 17
        {QStringLiteral("Serious"), QStringLiteral("Playful"),
         QStringLiteral("Serious: Inclined to occupy oneself with work-related issues * Playful: Inclined to occupy oneself pleasantly")},
        // 18
        {QStringLiteral("Impersonal and businesslike"), QStringLiteral("Personable and friendly"),
         QStringLiteral("Impersonal and businesslike: Systematic appearance and behavior * Personable and friendly: Pleasing in appearance and behavior")},
        // 19
        {QStringLiteral("Moves stiffly"), QStringLiteral("Moves freely"),
         QStringLiteral("Moves stiffly: Rigid and inflexible changes in position or posture * Moves freely: Relaxed and flexible changes in position or posture ")},
        // 20
        {QStringLiteral("Seldom gestures"), QStringLiteral("Gestures frequently"),
         QStringLiteral("Seldom gestures: Limited significant moves of limbs * Gestures frequently: Many significant moves of limbs")},
        // 21
        {QStringLiteral("Formal dress"), QStringLiteral("Informal dress"),
         QStringLiteral("Formal dress: Dresses in accordance with rules * Informal dress: Does not dress in accordance with rules")},
        // 22
        {QStringLiteral("Disciplined about time"), QStringLiteral("Undisciplined about time"),
         QStringLiteral("Disciplined about time: Pays great attention to time * Undisciplined about time: Does not pay great attention to time")},
        // 23
        {QStringLiteral("Controlled facial expressions"), QStringLiteral("Animated facial expressions"),
         QStringLiteral("Controlled facial expressions: Limited face impressions * Animated facial expressions: Many face impressions")},
        // 24
        {QStringLiteral("Monotone voice"), QStringLiteral("Many vocal infections"),
         QStringLiteral("Monotone voice: Does not change the volume of voice * Many vocal infections: Changes the volume of voice frequently")},
    }};
    return all;
}

}

const Question& question(int number)
{
    if (number < 1 || number > QuestionCount)
        throw std::out_of_range("no questionnaire question " + std::to_string(number));
    return questions()[number - 1];
}

}
