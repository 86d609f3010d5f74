#include "reports/PersonsRep.h"

#include "data/DataModule.h"
#include "profile/Questionnaire.h"
#include "profile/Tactics.h"
#include "reports/ReportParts.h"
#include "toolkit/db/Statement.h"

using namespace ReportParts;

namespace {

const QString Person = QStringLiteral("PeopleCompanyDet");
const QString Contributions = QStringLiteral("PeopleProjectDetail");
const QString Memo = QStringLiteral("TacticksQRMemo");

ReportBand personBand()
{
    ReportBand b = band(77.0, Qt::white, BandFrame::all(2));
    const char* const fields[] = {"Name", "Title", "Mobile", "Email", "Info"};
    const qreal tops[] = {2.1, 8.5, 14.8, 21.2, 27.5};
    for (int i = 0; i < 5; ++i) {
        const QString field = QLatin1String(fields[i]);
        b.add(ReportElement::label(field, 2.1, tops[i]).styled(arial(12, true, Navy)).on(Qt::white));
        b.add(ReportElement::dataField(Person, field, 29.6, tops[i]).styled(arial(12, true)).on(Silver));
    }
    b.add(ReportElement::rectangle(QRectF(0.0, 38.1, 195.0, 2.4)));
    b.add(ReportElement::label(QStringLiteral("Tactics"), 2.1, 42.3).styled(arial(12, true, Navy)));
    // Wide enough for lines of advice; it grows downward with them.
    ReportElement memo = ReportElement::memo(Memo, QRectF(10.6, 50.8, 174.6, 23.5));
    memo.parameter = Memo;
    memo.frame = BandFrame::all();
    memo.background = Cream;
    b.add(memo.styled(arial(10, true)));
    return b;
}

ReportBand contributionBand()
{
    ReportBand b = band(44.5, Qt::white, BandFrame::all());
    addCaption(b, QStringLiteral("Subproject"), 72.0, 2.1);
    addCaption(b, QStringLiteral("Name"), 8.5, 10.6);
    addValue(b, Contributions, QStringLiteral("Subproject"), 27.5, 10.6);
    addCaption(b, Catalogue::weightCaption(), 8.5, 16.9);
    addValue(b, Contributions, Catalogue::weightField(), 27.5, 16.9);
    addRoles(b, Contributions, {8.5, 40.2, 65.6, 84.7, 110.1}, 25.4, {8.5, 40.2, 65.6, 86.8, 110.1}, 33.9);
    return b;
}

} // namespace

TPersons::TPersons(TMainDataModule& dataModule, QObject* parent)
    : ReportForm(dataModule, QStringLiteral("Persons"), QStringLiteral("Persons"), parent)
{
    addCursor(dataModule.PeopleProjectDetail);
    addCursor(dataModule.PeopleCompanyDet);
    QuickRep1.mainSource = Contributions;
    QuickRep1.title = personBand();
    QuickRep1.detail = contributionBand();
    QuickRep1.summary = band(55.0, Qt::white, BandFrame::all(2));
    QuickRep1.summary->add(ReportElement::label(QStringLiteral("Contribution Graph"), 82.5, 2.1).styled(arial(10, true)));
    QuickRep1.summary->add(pie(QStringLiteral("MyChart"), QRectF(6.3, 8.5, 178.1, 40.5), Contributions,
                               QStringLiteral("Subproject"), Catalogue::weightField()));
}

ReportParameters TPersons::prepare()
{
    const QVariant person = m_dataModule.PeopleCompanyDet->value(QStringLiteral("PersonID"));
    if (person.isNull())
        return {};
    return {{Memo, personTacticLines(*m_dataModule.MainADOConnection(), person).join(u'\n')}};
}

QStringList personTacticLines(Connection& connection, const QVariant& personId)
{
    std::array<int, Questionnaire::QuestionCount> answers;
    answers.fill(-1);
    std::array<bool, Questionnaire::QuestionCount> seen{};
    Statement rows(connection, QStringLiteral("SELECT QuestionID, Answer FROM QuestionsMain WHERE PersonID = :id "
                                              "ORDER BY QuestionID, RowKey"));
    rows.bind(QStringLiteral(":id"), personId);
    // Of two rows for one question the first counts, as in the profile window.
    while (rows.step()) {
        const qint64 question = rows.int64(0);
        if (question < 1 || question > Questionnaire::QuestionCount || seen[size_t(question - 1)])
            continue;
        seen[size_t(question - 1)] = true;
        if (!rows.isNull(1))
            answers[size_t(question - 1)] = int(rows.int64(1));
    }
    return TacticLines(answers);
}
