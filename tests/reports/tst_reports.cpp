#include <algorithm>
#include <map>

#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include "support/MainWindowFixture.h"
#include "profile/Tactics.h"
#include "reports/CompanyPerson.h"
#include "reports/ReportMenu.h"
#include "toolkit/report/ReportPreview.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"

namespace {

// The texts of a PDF, one entry per page.
QStringList pdfPages(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
}

// The words of a text, blanks and line ends folded, so the order of printed items shows.
QStringList words(const QString& text)
{
    return text.simplified().split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void companiesPrintsProjectsAndTheirSubprojects();
    void companiesWithoutAnyCompany();
    void subprojectsWithoutContributions();
    void subprojectsWithThreeContributions();
    void listsShowWhatIsStoredNowWithHeadingsOnTheFirstPageOnly();
    void listsOrderNamesAsAPersonExpects();
    void namesInAnyScriptPrintAndCanBeFound();
    void peopleListLeavesAMissingCompanyEmpty();
    void companyPersonsWalksTheWholeHierarchy();
    void aWalkLeavesEverySharedDatasetWhereItStood();
    void storeErrorWhileWalkingEndsTheReport();
    void personReportFromTheClientsPage();
    void personReportNamesSubprojectsOfEveryProject();
    void namesPrintWholeWhereScreensCutThem();
    void allCountsPagesThrough();

private:
    void exec(const QString& sql) { m_f->exec(sql); }
    void reread() { m_f->reread(); }
    // The next preview exports itself to a PDF, which pdf() reads back.
    void exportNextPreview()
    {
        const QString path = m_dir.filePath(QStringLiteral("out%1.pdf").arg(++m_exports));
        m_f->files.answerSave(path);
        m_f->previews.step = [](ReportPreview& preview) { preview.exportPdfFile(); };
    }
    QStringList pdf() const { return pdfPages(m_dir.filePath(QStringLiteral("out%1.pdf").arg(m_exports))); }
    TMainDataModule& dm() { return *m_f->dm; }

    std::unique_ptr<MainWindowFixture> m_f;
    QTemporaryDir m_dir;
    int m_exports = 0;
};

void TestReports::init()
{
    m_f = std::make_unique<MainWindowFixture>();
}

void TestReports::cleanup()
{
    m_f.reset();
}

void TestReports::companiesPrintsProjectsAndTheirSubprojects()
{
    exec(QStringLiteral("INSERT INTO SubProjects (SubProjectID, ProjectID, Name) VALUES (30, 14, 'Third');"
                        "UPDATE Companies SET Address = 'Main Street 1', Tel1 = '555' WHERE CompanyID = 3;"));
    reread();
    exportNextPreview();
    previewCompanies(dm());
    const QStringList pages = pdf();
    QCOMPARE(pages.size(), 1);
    const QStringList w = words(pages[0]);
    // Title, the company, "Projects"; the first project with its three subprojects, then the
    // second project without a "Subprojects" band; the footer's detail number 0.
    QCOMPARE(w.mid(0, 6), QStringList({"Company", "Acme", "Address", "Main", "Street", "1"}));
    const QString order = w.join(u' ');
    QVERIFY2(QRegularExpression(QStringLiteral("Projects Name Rollout .*Subprojects Name Pilot .*Name Phase two .*"
                                               "Name Third .*Name Upgrade Code Comments 0 \\S+"))
                 .match(order).hasMatch(), qPrintable(order));
    QCOMPARE(order.count(QLatin1String("Subprojects")), 1);
    // The walk leaves the user where they were: the company's first project and subproject.
    QCOMPARE(dm().CompaniesTable->text(QStringLiteral("Name")), QStringLiteral("Acme"));
    QCOMPARE(dm().ProjectsDetail->text(QStringLiteral("Name")), QStringLiteral("Rollout"));
    QCOMPARE(dm().SubProjectsDetail->text(QStringLiteral("Name")), QStringLiteral("Pilot"));
    QVERIFY(!dm().CompaniesTable->controlsDisabled());
    QVERIFY(!dm().SubProjectsDetail->controlsDisabled());
}

void TestReports::companiesWithoutAnyCompany()
{
    exec(QStringLiteral("DELETE FROM Business; DELETE FROM SubProjectHistory; DELETE FROM SubProjects;"
                        "DELETE FROM People; DELETE FROM Projects; DELETE FROM Companies;"));
    reread();
    previewCompanies(dm());
    QCOMPARE(m_f->previews.pages().size(), size_t(1));
    const QStringList texts = m_f->previews.pageTexts(0);
    QCOMPARE(texts.mid(0, 8), QStringList({"Company", "Address", "Tel 1", "Tel 2", "Fax", "Activities", "Comments", "0"}));
    QCOMPARE(texts.size(), 9);
}

void TestReports::subprojectsWithoutContributions()
{
    dm().ProjectsDetail->first();
    QVERIFY(dm().SubProjectsDetail->locate({QStringLiteral("Name")}, {QStringLiteral("Phase two")}));
    exportNextPreview();
    previewSubprojects(dm());
    const QStringList w = words(pdf().join(u' '));
    QCOMPARE(w.mid(0, 7), QStringList({"Subproject", "name", "Phase", "two", "Project", "Rollout", "Type"}));
    QVERIFY(!w.contains(QStringLiteral("Contribution")));
    const QString text = w.join(u' ');
    QVERIFY2(text.contains(QLatin1String("Name Weight Decision Maker Gate Keeper Influencer Purchaser User Summary")), qPrintable(text));
    QVERIFY(text.endsWith(QLatin1String("Summary")));
}

void TestReports::subprojectsWithThreeContributions()
{
    exec(QStringLiteral("INSERT INTO Business (PersonID, SubProjectID, SPWeight, SPDecisionMaker) VALUES (41, 27, 20, 1), (42, 27, 30, 0);"
                        "UPDATE Business SET SPDecisionMaker = CASE WHEN PersonID = 41 THEN 1 ELSE 0 END,"
                        " SPUser = CASE WHEN PersonID = 40 THEN 1 ELSE 0 END, SPInfluencer = 0,"
                        " SPPurchaser = 0, SPGateKeeper = 0;"));
    reread();
    dm().ProjectsDetail->first();
    dm().SubProjectsDetail->first();
    exportNextPreview();
    previewSubprojects(dm());
    const QString text = words(pdf().join(u' ')).join(u' ');
    QCOMPARE(text.count(QLatin1String("Contribution")), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("Contribution Name Ann Weight 50 Decision Maker Gate Keeper Influencer Purchaser User "
                                               "False False False False True Name Bob Weight 20 .* True False False False False "
                                               "Name Cecil Weight 30 .*Summary"))
                 .match(text).hasMatch(), qPrintable(text));
    // The pie's marks name the three persons.
    const QString summary = text.mid(text.indexOf(QLatin1String("Summary")));
    for (const char* name : {"Ann", "Bob", "Cecil"})
        QVERIFY2(summary.contains(QLatin1String(name)), qPrintable(summary));
    // The walk comes back to the contribution that was current.
    QCOMPARE(dm().PeopleDetail->text(QStringLiteral("PersonName")), QStringLiteral("Ann"));
}

void TestReports::listsShowWhatIsStoredNowWithHeadingsOnTheFirstPageOnly()
{
    for (int i = 0; i < 30; ++i)
        exec(QStringLiteral("INSERT INTO Companies (Name, Tel1) VALUES ('Firm %1', '0%1');").arg(i, 2, 10, QLatin1Char('0')));
    // Added through the program just before the report: the query finds it.
    dm().CompaniesTable->append();
    dm().CompaniesTable->setValue(QStringLiteral("Name"), QStringLiteral("Aardvark"));
    dm().CompaniesTable->post();
    exportNextPreview();
    previewCompaniesList(dm());
    const QStringList pages = pdf();
    QVERIFY(pages.size() >= 3);
    for (int i = 0; i < pages.size(); ++i) {
        const QStringList w = words(pages[i]);
        QCOMPARE(w.first(), QStringLiteral("Companies"));
        QCOMPARE(w.last(), QString::number(i + 1));
        QCOMPARE(w.contains(QStringLiteral("Adress")), i == 0);
    }
    const QStringList first = words(pages[0]);
    QCOMPARE(first.mid(1, 7), QStringList({"Name", "Adress", "Tel(s)", "Fax", "Comments", "Aardvark", "Acme"}));
}

void TestReports::listsOrderNamesAsAPersonExpects()
{
    exec(QString::fromUtf8("INSERT INTO Companies (Name) VALUES ('zeta'), ('\xC3\x89" "clair'), ('acorn');"
                           "INSERT INTO People (CompanyID, Name) VALUES (3, 'zoe'), (3, '\xC3\x89lodie'), (3, 'abel');"));
    const auto order = [](const QStringList& texts, const QStringList& names) {
        QList<qsizetype> at;
        for (const QString& name : names)
            at.append(texts.indexOf(name));
        return at;
    };
    previewCompaniesList(dm());
    const QList<qsizetype> companies = order(m_f->previews.allTexts(), {"Acme", "acorn", "Borealis", "Cobalt",
                                                                      QString::fromUtf8("\xC3\x89" "clair"), "zeta"});
    QVERIFY(std::is_sorted(companies.begin(), companies.end()) && companies.first() >= 0);
    previewPeopleList(dm());
    const QList<qsizetype> people = order(m_f->previews.allTexts(), {"abel", "Ann", "Bob", "Cecil",
                                                                   QString::fromUtf8("\xC3\x89lodie"), "zoe"});
    QVERIFY(std::is_sorted(people.begin(), people.end()) && people.first() >= 0);
}

void TestReports::namesInAnyScriptPrintAndCanBeFound()
{
    // CJK, and emoji beyond the first plane from two fonts (a smile, a party popper).
    const QString names = QString::fromUtf8("\xE5\x8C\x97\xE4\xBA\xAC \xE6\x9D\xB1\xE4\xBA\xAC \xEC\x84\x9C\xEC\x9A\xB8");
    const QString company = names + QString::fromUtf8(" \xF0\x9F\x98\x80");
    const QString person = QString::fromUtf8("\xE6\x9D\x8E\xE6\x98\x8E \xF0\x9F\x8E\x89 Li");
    Statement rename(m_f->file.db(), QStringLiteral("UPDATE Companies SET Name = ? WHERE CompanyID = 3"));
    rename.bind(1, company);
    rename.step();
    Statement renamePerson(m_f->file.db(), QStringLiteral("UPDATE People SET Name = ? WHERE PersonID = 40"));
    renamePerson.bind(1, person);
    renamePerson.step();
    exportNextPreview();
    previewCompaniesList(dm());
    // The name wraps in its box: one line's end reads as a space.
    const QString companies = pdf().join(u' ').simplified();
    QVERIFY2(companies.contains(company), qPrintable(companies));
    exportNextPreview();
    previewPeopleList(dm());
    const QString people = pdf().join(u' ');
    QVERIFY2(people.contains(person), qPrintable(people));
    const QString path = m_dir.filePath(QStringLiteral("out%1.pdf").arg(m_exports));
    // The file with its completed text maps is whole to a strict reader.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    QVERIFY(info.waitForFinished());
    QCOMPARE(info.exitCode(), 0);
    QCOMPARE(info.readAllStandardError(), QByteArray());
    const QString qpdf = QStandardPaths::findExecutable(QStringLiteral("qpdf"));
    if (!qpdf.isEmpty()) {
        QProcess check;
        check.start(qpdf, {QStringLiteral("--check"), path});
        QVERIFY(check.waitForFinished());
        QVERIFY2(check.exitCode() == 0, check.readAllStandardOutput() + check.readAllStandardError());
    }
}

void TestReports::peopleListLeavesAMissingCompanyEmpty()
{
    exec(QStringLiteral("INSERT INTO People (CompanyID, Name, Title, Mobile, Email) VALUES (99, 'Orphan', 'Clerk', '0170', 'o@x.org');"
                        "UPDATE People SET Title = 'Boss' WHERE PersonID = 40;"));
    previewPeopleList(dm());
    const QStringList texts = m_f->previews.allTexts();
    QCOMPARE(texts.mid(0, 6), QStringList({"People", "Name", "Company", "Title", "Contact", "Info"}));
    QCOMPARE(texts.mid(6, 3), QStringList({"Ann", "Acme", "Boss"}));
    const int orphan = int(texts.indexOf(QStringLiteral("Orphan")));
    QCOMPARE(texts.mid(orphan, 4), QStringList({"Orphan", "Clerk", "0170", "o@x.org"}));
}

void TestReports::companyPersonsWalksTheWholeHierarchy()
{
    previewCompanyPersons(dm());
    // The page header repeats on each page; the rest follows the hierarchy.
    QStringList texts = m_f->previews.allTexts();
    QCOMPARE(texts.first(), QStringLiteral("Companies"));
    texts.removeAll(QStringLiteral("Companies"));
    const QString text = texts.join(u' ');
    QVERIFY2(text.startsWith(QLatin1String("TITLE Acme Projects Rollout Subprojects Pilot Contribution Ann 50 "
                                           "Phase two Contribution Upgrade Subprojects Contribution Borealis Projects Audit "
                                           "Subprojects Review Contribution Cecil 70 Cobalt Projects Subprojects Contribution")),
             qPrintable(text));
    int pies = 0;
    for (const ReportPage& page : m_f->previews.pages())
        for (const ReportPrimitive& p : page.items)
            pies += p.kind == ReportPrimitive::Kind::Picture;
    QCOMPARE(pies, 5);
    QVERIFY(!dm().PeopleDetail->controlsDisabled());
}

void TestReports::aWalkLeavesEverySharedDatasetWhereItStood()
{
    // The user stands on Borealis, its project Audit, subproject Review and person Cecil.
    QVERIFY(dm().CompaniesTable->locate({QStringLiteral("Name")}, {QStringLiteral("Borealis")}));
    QCOMPARE(dm().SubProjectsDetail->text(QStringLiteral("Name")), QStringLiteral("Review"));
    QCOMPARE(dm().PeopleCompanyDet->text(QStringLiteral("Name")), QStringLiteral("Cecil"));
    std::map<Dataset*, QVariantList> before;
    for (Dataset* d : dm().sharedDatasets())
        before[d] = d->isEmpty() ? QVariantList() : QVariantList({d->recNo(), d->value(d->field(0).name)});
    previewCompanyPersons(dm());
    previewCompanies(dm());
    for (Dataset* d : dm().sharedDatasets())
        QCOMPARE(d->isEmpty() ? QVariantList() : QVariantList({d->recNo(), d->value(d->field(0).name)}), before[d]);
    // The next report of the current company prints that company.
    previewCompanies(dm());
    QCOMPARE(m_f->previews.allTexts().mid(0, 2), QStringList({"Company", "Borealis"}));
}

void TestReports::storeErrorWhileWalkingEndsTheReport()
{
    // Moving to another subproject re-reads its status history, which is gone.
    exec(QStringLiteral("DROP TABLE SubProjectHistory;"));
    previewCompanyPersons(dm());
    QCOMPARE(m_f->previews.runs(), 1);
    QCOMPARE(m_f->messages.entries().size(), 1);
    QCOMPARE(m_f->messages.entries()[0].type, MessageService::Type::Error);
    QVERIFY(m_f->messages.entries()[0].text.contains(QLatin1String("SubProjectHistory"), Qt::CaseInsensitive));
    for (Dataset* d : dm().sharedDatasets())
        QVERIFY(!d->controlsDisabled());
}

void TestReports::personReportFromTheClientsPage()
{
    TDataEntryForm window(m_f->forms);
    window.show();
    window.MainDataEntry->setCurrentIndex(TDataEntryForm::ClientsPage);
    QCOMPARE(dm().PeopleCompanyDet->text(QStringLiteral("Name")), QStringLiteral("Ann"));
    QTest::mouseClick(window.Button5, Qt::LeftButton);
    QCOMPARE(m_f->previews.runs(), 1);
    const QStringList texts = m_f->previews.allTexts();
    QCOMPARE(texts.mid(0, 2), QStringList({"Name", "Ann"}));
    // No answers stored: the advice of the unanswered case, and no rows made for it.
    std::array<int, 24> none;
    none.fill(-1);
    QVERIFY(texts.contains(TacticLines(none).join(u'\n')));
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM QuestionsMain")).toInt(), 0);
    QVERIFY(texts.contains(QStringLiteral("Pilot")));
    QVERIFY(texts.contains(QStringLiteral("Contribution Graph")));

    // A company without people: nothing to report on.
    dm().CompaniesTable->last();
    QTest::mouseClick(window.Button5, Qt::LeftButton);
    QCOMPARE(m_f->previews.runs(), 1);
    QCOMPARE(m_f->messages.texts(), QStringList({"No record selected."}));
}

void TestReports::personReportNamesSubprojectsOfEveryProject()
{
    exec(QStringLiteral("INSERT INTO Business (PersonID, SubProjectID, SPWeight) VALUES (40, 28, 30), (40, 29, 0);"));
    reread();
    // The user stands on Acme's project without subprojects: none of Ann's is in view.
    QVERIFY(dm().ProjectsDetail->locate({QStringLiteral("Name")}, {QStringLiteral("Upgrade")}));
    QVERIFY(dm().SubProjectsDetail->isEmpty());
    exportNextPreview();
    previewPerson(dm());
    const QString text = words(pdf().join(u' ')).join(u' ');
    for (const char* line : {"Name Pilot Weight 50", "Name Review Weight 30", "Name Phase two Weight 0"})
        QVERIFY2(text.contains(QLatin1String(line)), qPrintable(text));
    // A subproject added since start-up, in another project, is named too.
    QVERIFY(dm().ProjectsDetail->locate({QStringLiteral("Name")}, {QStringLiteral("Rollout")}));
    dm().SubProjectsDetail->append();
    dm().SubProjectsDetail->setValue(QStringLiteral("Name"), QStringLiteral("Fresh"));
    dm().SubProjectsDetail->post();
    const QVariant fresh = dm().SubProjectsDetail->value(QStringLiteral("SubProjectID"));
    QVERIFY(dm().ProjectsDetail->locate({QStringLiteral("Name")}, {QStringLiteral("Upgrade")}));
    dm().PeopleProjectDetail->append();
    dm().PeopleProjectDetail->setValue(QStringLiteral("SubProjectID"), fresh);
    dm().PeopleProjectDetail->setValue(QStringLiteral("SPWeight"), 10);
    dm().PeopleProjectDetail->post();
    exportNextPreview();
    previewPerson(dm());
    QVERIFY2(words(pdf().join(u' ')).join(u' ').contains(QLatin1String("Name Fresh Weight 10")),
             qPrintable(words(pdf().join(u' ')).join(u' ')));
    // The pie's marks name them too, the one of weight 0 included.
    const QString graph = text.mid(text.indexOf(QLatin1String("Contribution Graph")));
    for (const char* name : {"Pilot", "Review", "Phase two"})
        QVERIFY2(graph.contains(QLatin1String(name)), qPrintable(graph));
}

void TestReports::namesPrintWholeWhereScreensCutThem()
{
    // Longer than the 20 and 10 characters the screens' lookups show.
    const QString person = QStringLiteral("Ann-Sophie Ærøskøbing Larsen");
    const QString subproject = QStringLiteral("Pilot in the northern depots");
    exec(QStringLiteral("UPDATE People SET Name = '%1' WHERE Name = 'Ann';"
                        "UPDATE SubProjects SET Name = '%2' WHERE Name = 'Pilot';").arg(person, subproject));
    reread();
    QCOMPARE(dm().PeopleDetail->text(QStringLiteral("PersonName")).size(), 20);

    exportNextPreview();
    previewCompanyPersons(dm());
    const QString hierarchy = words(pdf().join(u' ')).join(u' ');
    // Once in its row, once by its slice of the pie.
    QVERIFY2(hierarchy.count(person) >= 2, qPrintable(hierarchy));

    QVERIFY(dm().CompaniesTable->locate({QStringLiteral("Name")}, {QStringLiteral("Acme")}));
    exportNextPreview();
    previewPerson(dm());
    const QString report = words(pdf().join(u' ')).join(u' ');
    QVERIFY2(report.contains(QStringLiteral("Name %1 Weight 50").arg(subproject)), qPrintable(report));
    QVERIFY2(report.mid(report.indexOf(QLatin1String("Contribution Graph"))).contains(subproject), qPrintable(report));
}

void TestReports::allCountsPagesThrough()
{
    for (int i = 0; i < 20; ++i)
        exec(QStringLiteral("INSERT INTO People (CompanyID, Name) VALUES (7, 'P%1');").arg(i));
    reread();
    previewAll(dm());
    const ReportPages& pages = m_f->previews.pages();
    QVERIFY(pages.size() >= 4);
    for (size_t i = 0; i < pages.size(); ++i)
        QCOMPARE(pages.read(i).number, int(i) + 1);
    QStringList firsts;
    for (size_t i = 0; i < pages.size(); ++i)
        firsts.append(m_f->previews.pageTexts(int(i)).first());
    QCOMPARE(firsts.first(), QStringLiteral("Companies"));
    QVERIFY(firsts.contains(QStringLiteral("People")));
    QCOMPARE(firsts.last(), QStringLiteral("Companies"));
    // The list reports' page numbers go on where the one before ended.
    const int peopleFirst = int(firsts.indexOf(QStringLiteral("People")));
    QCOMPARE(m_f->previews.pageTexts(peopleFirst).last(), QString::number(peopleFirst + 1));
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
