#include "profile/AnswerStore.h"

#include <QSet>

#include "profile/Questionnaire.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/Transaction.h"

int addMissingAnswerRows(Connection& connection, qint64 personId)
{
    Transaction transaction(connection);
    QSet<qint64> present;
    Statement existing(connection, QStringLiteral("SELECT QuestionID FROM QuestionsMain WHERE PersonID = :person"));
    existing.bind(QStringLiteral(":person"), personId);
    while (existing.step())
        present.insert(existing.int64(0));

    int added = 0;
    Statement insert(connection, QStringLiteral(
        "INSERT INTO QuestionsMain (PersonID, QuestionID, Answer) VALUES (:person, :question, -1)"));
    for (int question = 1; question <= Questionnaire::QuestionCount; ++question) {
        if (present.contains(question))
            continue;
        insert.reset();
        insert.bind(QStringLiteral(":person"), personId);
        insert.bind(QStringLiteral(":question"), question);
        insert.run();
        ++added;
    }
    transaction.commit();
    return added;
}
