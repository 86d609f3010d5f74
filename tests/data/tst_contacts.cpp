#include <QFile>
#include <QtTest>

#include "data/contacts/ContactReader.h"
#include "data/contacts/ContactWriter.h"
#include "data/contacts/ImportPlan.h"

using namespace Contacts;

namespace {

ReadResult readFixture(const char* name)
{
    QFile file(QStringLiteral(CONTACT_FILES "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return readContactFile(file.readAll());
}

// Name, title, email, mobile, tel, fax, company, address, info.
Contact contact(std::initializer_list<const char*> values)
{
    Contact c;
    int f = 0;
    for (const char* v : values)
        c.values[f++] = QString::fromUtf8(v);
    return c;
}

void compareValues(const Contact& actual, const Contact& expected)
{
    for (int f = 0; f < FieldCount; ++f)
        if (actual.values[f] != expected.values[f])
            QFAIL(qPrintable(QStringLiteral("%1: \"%2\", expected \"%3\"")
                                 .arg(column(Field(f)), actual.values[f], expected.values[f])));
}

QStringList problemLines(const ReadResult& r)
{
    QStringList lines;
    for (const Problem& p : r.problems)
        lines.append(QString::number(p.line));
    return lines;
}

} // namespace

class TestContacts : public QObject
{
    Q_OBJECT

private slots:
    void vCard21WithCharsetsAndQuotedPrintable();
    void vCard30FoldedInsideALetterAndEscaped();
    void vCard40();
    void outlookCsv();
    void spreadsheetCsvInUtf16AndAnsi();
    void badFilesAreRefusedWhole_data();
    void badFilesAreRefusedWhole();
    void writtenFilesReadBackEqual();
    void previewCountsAndDuplicates();
    void longValuesAreCutOrSkipped();
};

void TestContacts::vCard21WithCharsetsAndQuotedPrintable()
{
    const ReadResult r = readFixture("outlook-2.1.vcf");
    QCOMPARE(r.contacts.size(), size_t(2));
    compareValues(r.contacts[0],
                  contact({"Jürgen Müller", "Geschäftsführer", "jm@acme.example", "+49 30 9999", "+49 30 1234",
                           "+49 30 1235", "Acme GmbH, Sales", "Hauptstraße 1\n10115 Berlin\nGermany",
                           "Met at the fair â€“ no: first line\nsecond line, über café"}));
    QCOMPARE(r.contacts[0].line, 1);
    QCOMPARE(r.contacts[1][Name], QStringLiteral("Anna Smith"));
    QCOMPARE(r.contacts[1][Mobile], QStringLiteral("0170 222"));
    // The card without a name, and the line without a colon.
    QCOMPARE(problemLines(r), QStringList({"17", "26"}));
}

void TestContacts::vCard30FoldedInsideALetterAndEscaped()
{
    const ReadResult r = readFixture("folded-3.0.vcf");
    QVERIFY(r.problems.empty());
    QCOMPARE(r.contacts.size(), size_t(2));
    compareValues(r.contacts[0],
                  contact({"Zoé Ångström-Lefèvre", "Head of R&D", "zoe@example.org", "+33 6 12", "+33 1 40", "",
                           "Café, Thé ; Co", "1 rue de la Paix\nBâtiment B\n75002 Paris\nFrance",
                           "Line one\nLine two with a backslash \\ and a very long text that goes on and on beyond "
                           "seventy-five octets"}));
    // A phone without a type is the mobile column's fallback, never the main phone.
    compareValues(r.contacts[1], contact({"Bob Stone", "", "", "555 0100", "", "", "", "", ""}));
}

void TestContacts::vCard40()
{
    const ReadResult r = readFixture("plain-4.0.vcf");
    QCOMPARE(r.contacts.size(), size_t(1));
    compareValues(r.contacts[0], contact({"Chidi Okafor", "", "chidi@example.ng", "+234-1-555", "", "+234-1-556", "",
                                          "12 Marina Road\nLagos", ""}));
}

void TestContacts::outlookCsv()
{
    const ReadResult r = readFixture("outlook.csv");
    QCOMPARE(r.contacts.size(), size_t(3));
    compareValues(r.contacts[0], contact({"Maria Garcia", "Buyer, Europe", "maria@iberia.example", "+34 600",
                                          "+34 91 1", "+34 91 2", "Iberia SA", "Calle Mayor 5\nPiso 2\n28013 Madrid\nSpain",
                                          "She said \"call me\" on Monday"}));
    QCOMPARE(r.contacts[0].line, 2);
    compareValues(r.contacts[1], contact({"Li Wei", "Engineer", "li@dragon.example", "+86 10 3", "", "", "Dragon, Ltd",
                                          "", ""}));
    QCOMPARE(r.contacts[1].line, 4);
    QCOMPARE(r.contacts[2][Name], QStringLiteral("Otto Normal"));
    // A row without a name, and one with a value more than the header names.
    QCOMPARE(problemLines(r), QStringList({"5", "6"}));
}

void TestContacts::spreadsheetCsvInUtf16AndAnsi()
{
    const ReadResult r = readFixture("spreadsheet-utf16.csv");
    QVERIFY(r.problems.empty());
    QCOMPARE(r.contacts.size(), size_t(2));
    compareValues(r.contacts[0], contact({"Søren Kierkegaard", "Philosopher", "soren@example.dk", "", "+45 33 1", "", "",
                                          "", "a;b"}));
    QCOMPARE(r.contacts[1][Name], QStringLiteral("Ève Curie"));

    const ReadResult ansi = readFixture("ansi.csv");
    QCOMPARE(ansi.contacts.size(), size_t(1));
    QCOMPARE(ansi.contacts[0][Name], QStringLiteral("François Côté"));
    QCOMPARE(ansi.contacts[0][Email], QStringLiteral("fc@example.ca"));
}

void TestContacts::badFilesAreRefusedWhole_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << "The file is empty.";
    QTest::newRow("blank lines only") << QByteArray("\r\n  \n\t\n") << "The file is empty.";
    QTest::newRow("byte order mark only") << QByteArray("\xEF\xBB\xBF") << "The file is empty.";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "binary data";
    QTest::newRow("UTF-16 binary") << QByteArray("\xFF\xFE" "A\0\0\0", 6) << "binary data";
    QTest::newRow("CSV without a name column") << QByteArray("Company,Email\r\nAcme,a@b.c\r\n") << "no column for the name";
    QTest::newRow("CSV header only") << QByteArray("Name,Email\r\n") << "holds no contacts";
    QTest::newRow("vCard without END") << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\n") << "line 1 has no END:VCARD";
    QTest::newRow("vCard END missing before the next")
        << QByteArray("BEGIN:VCARD\nFN:Ann\nEND:VCARD\nBEGIN:VCARD\nFN:Bob\nBEGIN:VCARD\nFN:Cy\nEND:VCARD\n")
        << "line 4 has no END:VCARD before the next card";
}

void TestContacts::badFilesAreRefusedWhole()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    try {
        readContactFile(data);
        QFAIL("no error");
    } catch (const FileError& e) {
        QVERIFY2(e.text().contains(message), qPrintable(e.text()));
    }
}

void TestContacts::writtenFilesReadBackEqual()
{
    const std::vector<Contact> people = {
        contact({"Ann O'Neil, Jr.", "Head; of \"Sales\"", "ann@x.example", "+1 555", "+1 556", "+1 557", "Acme, Inc; Ltd",
                 "1 Main St\nSuite 2\\3", "Likes: tea, coffee\nand a very long note that is folded once at seventy-five "
                 "octets, with letters like é, 漢字 and ümlauts across the fold"}),
        contact({"Bo", "", "", "", "+1 600", "", "", "", ""}),
        contact({"  Cy  Two ", "", "", "", "", "", "", "", ""}),
    };
    for (const QByteArray& file : {writeVCards(people), writeCsv(people)}) {
        const ReadResult r = readContactFile(file);
        QVERIFY(r.problems.empty());
        QCOMPARE(r.contacts.size(), people.size());
        for (size_t i = 0; i < people.size(); ++i) {
            Contact expected = people[i];
            expected[Name] = expected[Name].trimmed();
            compareValues(r.contacts[i], expected);
        }
    }
    for (const QByteArray& line : writeVCards(people).split('\n'))
        QVERIFY(line.size() <= 76);
}

void TestContacts::previewCountsAndDuplicates()
{
    ReadResult read;
    read.contacts = {contact({"ANN  smith", "", "", "", "", "", "", "", ""}),      // stored name, other case and blanks
                     contact({"Someone Else", "", "BOB@X.example ", "", "", "", "", "", ""}),  // stored e-mail
                     contact({"New Person", "", "np@x.example", "", "", "", "", "", ""}),
                     contact({"Other", "", "NP@x.example", "", "", "", "", "", ""}),  // e-mail of an earlier row
                     contact({"new person", "", "", "", "", "", "", "", ""}),         // name of an earlier row
                     contact({"Fresh", "", "", "", "", "", "", "", ""})};
    read.problems = {{7, QStringLiteral("bad")}};
    ImportPlan plan(read, {{40, QStringLiteral("Ann Smith"), {}}, {41, QStringLiteral("Bob"), QStringLiteral("bob@x.example")}});
    QCOMPARE(plan.newCount(), 2);
    QCOMPARE(plan.duplicateCount(), 4);
    QCOMPARE(plan.problemCount(), 1);
    QCOMPARE(plan.rows()[0].storedDuplicate, 40);
    QCOMPARE(plan.rows()[1].storedDuplicate, 41);
    QCOMPARE(plan.rows()[3].fileDuplicate, 2);
    QCOMPARE(plan.rows()[4].fileDuplicate, 2);
    // Duplicates are skipped unless chosen otherwise.
    QCOMPARE(plan.addCount(), 2);
    QCOMPARE(plan.updateCount(), 0);
    plan.setAction(0, ImportPlan::Action::UpdateEmpty);
    plan.setAction(3, ImportPlan::Action::UpdateEmpty);  // no stored person to update: unchanged
    plan.setAction(4, ImportPlan::Action::Add);
    QCOMPARE(plan.rows()[3].action, ImportPlan::Action::Skip);
    QCOMPARE(plan.addCount(), 3);
    QCOMPARE(plan.updateCount(), 1);
}

void TestContacts::longValuesAreCutOrSkipped()
{
    ReadResult read;
    read.contacts = {contact({"Long", "", "", "0123456789012345678901234567890123", "", "", "", "", ""}),
                     contact({"Short", "", "", "0123", "", "", "", "", ""})};
    ImportPlan plan(read, {});
    QCOMPARE(plan.tooLongCount(), 1);
    QVERIFY(plan.rows()[0].isTooLong(Mobile));
    QVERIFY(!plan.rows()[0].isTooLong(Name));
    QCOMPARE(plan.written(0)[Mobile].size(), width(Mobile));
    QCOMPARE(plan.addCount(), 2);
    plan.setLongValues(ImportPlan::LongValues::SkipContact);
    QVERIFY(!plan.writes(0));
    QVERIFY(plan.writes(1));
    QCOMPARE(plan.addCount(), 1);
}

QTEST_GUILESS_MAIN(TestContacts)
#include "tst_contacts.moc"
