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

// Bytes with NULs inside.
template<size_t N>
QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

QByteArray card(const QByteArray& version, const QByteArray& properties)
{
    return "BEGIN:VCARD\r\nVERSION:" + version + "\r\nFN:Ann Lee\r\n" + properties + "END:VCARD\r\n";
}

Contact readOne(const QByteArray& file)
{
    const ReadResult r = readContactFile(file);
    if (r.contacts.size() != 1)
        qFatal("%d contacts read", int(r.contacts.size()));
    return r.contacts.front();
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
    void preferredEmailIsTaken_data();
    void preferredEmailIsTaken();
    void phonesGoToTheirPlace_data();
    void phonesGoToTheirPlace();
    void longValuesArePlacedWholeByDefault();
    void strayNulSpoilsOnlyItsCard();
    void incompleteCardsAreListedAndTheRestRead();
    void csvExportGuardsFormulasAndImportTakesThemBack();
    void exportedStructuredName_data();
    void exportedStructuredName();
    void companyCardsAreMarkedAndSkipped();
    void readingReportsProgressAndCanBeCancelled();
};

void TestContacts::vCard21WithCharsetsAndQuotedPrintable()
{
    const ReadResult r = readFixture("outlook-2.1.vcf");
    QCOMPARE(r.contacts.size(), size_t(2));
    compareValues(r.contacts[0],
                  contact({"Jürgen Müller", "Geschäftsführer", "jm@acme.example", "", "+49 30 1234",
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
    // A phone without a type is the main number.
    compareValues(r.contacts[1], contact({"Bob Stone", "", "", "", "555 0100", "", "", "", ""}));
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
    // A home phone is the main number when no work number is given.
    compareValues(r.contacts[1], contact({"Li Wei", "Engineer", "li@dragon.example", "", "+86 10 3", "", "Dragon, Ltd",
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
    QTest::newRow("mostly control bytes") << raw("BEGIN:VCARD\x01\x02\x03\0\0FN:A\x04\x05") << "binary data";
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
    QCOMPARE(plan.addCount(), 2);
    plan.setLongValues(ImportPlan::LongValues::Cut);
    QCOMPARE(plan.written(0)[Mobile].size(), width(Mobile));
    QCOMPARE(plan.written(0).notes, QStringList{"Mobile cut to 30 characters"});
    plan.setLongValues(ImportPlan::LongValues::SkipContact);
    QVERIFY(!plan.writes(0));
    QVERIFY(plan.writes(1));
    QCOMPARE(plan.addCount(), 1);
}

void TestContacts::preferredEmailIsTaken_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("dropped");
    QTest::newRow("3.0 TYPE=PREF after a home one")
        << card("3.0", "EMAIL;TYPE=HOME:ann@home.example\r\nEMAIL;TYPE=WORK,PREF:ann@work.example\r\n")
        << "ann@work.example" << "ann@home.example";
    QTest::newRow("2.1 bare PREF")
        << card("2.1", "EMAIL;INTERNET:a@one.example\r\nEMAIL;INTERNET;PREF:a@two.example\r\n") << "a@two.example"
        << "a@one.example";
    QTest::newRow("4.0 lowest PREF number")
        << card("4.0", "EMAIL;TYPE=home;PREF=2:ann@home.example\r\nEMAIL;TYPE=work;PREF=1:ann@work.example\r\n")
        << "ann@work.example" << "ann@home.example";
    QTest::newRow("4.0 pref type")
        << card("4.0", "EMAIL;TYPE=home:h@x.example\r\nEMAIL;TYPE=\"internet,pref\":p@x.example\r\n") << "p@x.example"
        << "h@x.example";
    QTest::newRow("no preference: work before home")
        << card("3.0", "EMAIL;TYPE=INTERNET,HOME:h@x.example\r\nitem1.EMAIL;TYPE=INTERNET,WORK:w@x.example\r\n")
        << "w@x.example" << "h@x.example";
    QTest::newRow("nothing said: the first")
        << card("3.0", "EMAIL:first@x.example\r\nEMAIL:second@x.example\r\n") << "first@x.example" << "second@x.example";
    QTest::newRow("the same twice is no loss")
        << card("3.0", "EMAIL;TYPE=PREF:a@x.example\r\nEMAIL:A@X.example\r\n") << "a@x.example" << "";
    QTest::newRow("Outlook CSV: the first column")
        << QByteArray("Name,E-mail Address,E-mail 2 Address\r\nAnn Lee,one@x.example,two@x.example\r\n")
        << "one@x.example" << "two@x.example";
    QTest::newRow("Google CSV: the starred type")
        << QByteArray("Name,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,E-mail 2 - Value\r\n"
                      "Ann Lee,Home,h@x.example ::: h2@x.example,* Work,w@x.example\r\n")
        << "w@x.example" << "h@x.example, h2@x.example";
}

void TestContacts::preferredEmailIsTaken()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, email);
    QFETCH(QString, dropped);
    const Contact c = readOne(file);
    QCOMPARE(c[Email], email);
    QStringList notes;
    for (const QString& d : dropped.split(QStringLiteral(", "), Qt::SkipEmptyParts))
        notes.append(QStringLiteral("Other e-mail not kept: ") + d);
    QCOMPARE(c.notes, notes);
}

void TestContacts::phonesGoToTheirPlace_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("mobileTelFax");
    QTest::addColumn<QStringList>("notes");
    QTest::newRow("untyped is the main number")
        << card("3.0", "TEL:111\r\n") << QStringList{"", "111", ""} << QStringList();
    QTest::newRow("cell preferred, home fills Tel")
        << card("2.1", "TEL;CELL;PREF:0170 1\r\nTEL;HOME:030 2\r\n") << QStringList{"0170 1", "030 2", ""} << QStringList();
    QTest::newRow("work before home, whatever the order")
        << card("3.0", "TEL;TYPE=HOME,VOICE:030 home\r\nTEL;TYPE=WORK,VOICE:030 work\r\nTEL;TYPE=WORK,FAX:030 fax\r\n")
        << QStringList{"", "030 work", "030 fax"} << QStringList{"Other phone not kept: 030 home"};
    QTest::newRow("preferred work number first")
        << card("4.0", "TEL;TYPE=work;PREF=2:1\r\nTEL;TYPE=work;PREF=1:2\r\nTEL;TYPE=cell:3\r\n")
        << QStringList{"3", "2", ""} << QStringList{"Other phone not kept: 1"};
    QTest::newRow("a second mobile fills an empty Tel")
        << card("3.0", "TEL;TYPE=CELL:0170 1\r\nTEL;TYPE=CELL:0170 2\r\n") << QStringList{"0170 1", "0170 2", ""}
        << QStringList();
    QTest::newRow("Outlook CSV home phone")
        << QByteArray("Name,Mobile Phone,Home Phone,Business Fax\r\nAnn Lee,0170 1,030 2,030 3\r\n")
        << QStringList{"0170 1", "030 2", "030 3"} << QStringList();
    QTest::newRow("Google CSV types")
        << QByteArray("Name,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value\r\n"
                      "Ann Lee,Home,030 1,Mobile,0170 2 ::: 0170 3\r\n")
        << QStringList{"0170 2", "030 1", ""} << QStringList{"Other phone not kept: 0170 3"};
}

void TestContacts::phonesGoToTheirPlace()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, mobileTelFax);
    QFETCH(QStringList, notes);
    const Contact c = readOne(file);
    QCOMPARE((QStringList{c[Mobile], c[Tel], c[Fax]}), mobileTelFax);
    QCOMPARE(c.notes, notes);
}

void TestContacts::longValuesArePlacedWholeByDefault()
{
    const QString longMail = QStringLiteral("firstname.middlename.lastname.department.unit@subsidiary.example-company.com");
    std::vector<Contact> people = {contact({"Mail", "", "", "", "", "", "", "", "Met at the fair"}),
                                   contact({"Phone", "", "", "+49 170 1234567 (mornings only)"}),
                                   contact({"Digits", "", "", "+49 170 1234567 8901234567 89012"}),
                                   contact({"Notes"}), contact({"Fits nowhere"})};
    people[0][Email] = longMail;
    people[3][Info] = QString(220, QLatin1Char('i'));
    people[4][Email] = QStringLiteral("other.") + longMail;
    people[4][Info] = QString(150, QLatin1Char('n'));
    ReadResult read;
    for (const Contact& c : people)
        read.contacts.push_back(c);
    ImportPlan plan(read, {});
    QCOMPARE(plan.longValues(), ImportPlan::LongValues::Place);
    QCOMPARE(plan.tooLongCount(), 5);
    QCOMPARE(plan.addCount(), 5);

    const Contact mail = plan.written(0);
    QCOMPARE(mail[Email], QString());
    QCOMPARE(mail[Info], QStringLiteral("Met at the fair\nEmail: ") + longMail);
    QCOMPARE(mail.notes, QStringList{"Email has 76 characters; the field takes 64: it goes to Info"});

    const Contact phone = plan.written(1);
    QCOMPARE(phone[Mobile], QStringLiteral("+49 170 1234567"));
    QCOMPARE(phone[Info], QStringLiteral("Mobile: (mornings only)"));

    const Contact digits = plan.written(2);
    QCOMPARE(digits[Mobile], QString());
    QCOMPARE(digits[Tel], QStringLiteral("+49 170 1234567 8901234567 89012"));

    QCOMPARE(plan.written(3)[Info], QStringLiteral("Info not imported (220 characters)"));

    const Contact nowhere = plan.written(4);
    QCOMPARE(nowhere[Email], QString());
    QCOMPARE(nowhere[Info], QString(150, QLatin1Char('n')) + QStringLiteral("\nEmail not imported (82 characters)"));
    QCOMPARE(nowhere.notes, QStringList{"Email has 82 characters; the field takes 64: not imported"});

    // Whatever the choice, no written value exceeds its field.
    for (auto choice : {ImportPlan::LongValues::Place, ImportPlan::LongValues::Cut}) {
        plan.setLongValues(choice);
        for (int row = 0; row < int(plan.rows().size()); ++row)
            for (int f = 0; f < FieldCount; ++f)
                QVERIFY(plan.written(row).values[f].size() <= width(Field(f)));
    }
}

void TestContacts::strayNulSpoilsOnlyItsCard()
{
    const QByteArray bad = raw("BEGIN:VCARD\r\nFN:Bad\r\nNOTE:x\0y\r\nEND:VCARD\r\n");
    const ReadResult r = readContactFile(card("3.0", "EMAIL:a@x.example\r\n") + bad + card("3.0", ""));
    QCOMPARE(r.contacts.size(), size_t(2));
    QCOMPARE(problemLines(r), QStringList{"6"});
    QCOMPARE(r.problems[0].reason, QStringLiteral("The card holds binary data (a NUL byte on line 8)."));

    const ReadResult csv = readContactFile(raw("Name,Email\r\nAnn,a@x\r\nB\0b,b@x\r\nCy,c@x\r\n"));
    QCOMPARE(csv.contacts.size(), size_t(2));
    QCOMPARE(problemLines(csv), QStringList{"3"});
}

void TestContacts::incompleteCardsAreListedAndTheRestRead()
{
    const ReadResult r = readContactFile(
        QByteArray("BEGIN:VCARD\nFN:Ann\nEND:VCARD\nBEGIN:VCARD\nFN:Bob\nBEGIN:VCARD\nFN:Cy\nEND:VCARD\nBEGIN:VCARD\nFN:Di\n"));
    QCOMPARE(r.contacts.size(), size_t(2));
    QCOMPARE(r.contacts[0][Name], QStringLiteral("Ann"));
    QCOMPARE(r.contacts[1][Name], QStringLiteral("Cy"));
    QCOMPARE(problemLines(r), (QStringList{"4", "9"}));
    QCOMPARE(r.problems[0].reason, QStringLiteral("The card has no END:VCARD before the next card."));
    QCOMPARE(r.problems[1].reason, QStringLiteral("The card has no END:VCARD: the file ends inside it."));
}

void TestContacts::csvExportGuardsFormulasAndImportTakesThemBack()
{
    const QStringList risky = {"=1+2", "+49 30 1", "-5", "@SUM(A1)", "'=already", "''+x", "'plain", "a=b",
                               "=HYPERLINK(\"x\";\"y\")"};
    std::vector<Contact> people;
    for (const QString& value : risky) {
        people.push_back(contact({"Ann"}));
        people.back()[Info] = value;
    }
    const QByteArray file = writeCsv(people);
    const QList<QByteArray> lines = file.split('\n');
    QCOMPARE(lines[1].trimmed(), QByteArray("Ann,,,,,,,,'=1+2"));
    QCOMPARE(lines[5].trimmed(), QByteArray("Ann,,,,,,,,''=already"));
    QCOMPARE(lines[7].trimmed(), QByteArray("Ann,,,,,,,,'plain"));
    QCOMPARE(lines[8].trimmed(), QByteArray("Ann,,,,,,,,a=b"));
    for (const QByteArray& line : lines.mid(1))
        for (const char* start : {",=", ",+", ",-", ",@", ",\"=", ",\"+"})
            QVERIFY2(!line.contains(start), line.constData());
    const ReadResult back = readContactFile(file);
    QCOMPARE(back.contacts.size(), people.size());
    for (size_t i = 0; i < people.size(); ++i)
        QCOMPARE(back.contacts[i][Info], risky[int(i)]);
}

void TestContacts::exportedStructuredName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("n");
    QTest::newRow("given family") << "Élodie Dubois" << "" << "N:Dubois;Élodie;;;";
    QTest::newRow("title as prefix") << "Dr. Élodie Dubois" << "" << "N:Dubois;Élodie;;Dr.;";
    QTest::newRow("two titles") << "Prof. Dr. Hans Weber" << "" << "N:Weber;Hans;;Prof. Dr.;";
    QTest::newRow("Mrs without dot") << "Mrs Ann Lee" << "" << "N:Lee;Ann;;Mrs;";
    QTest::newRow("two given names") << "Mary Ann Smith" << "" << "N:Smith;Mary Ann;;;";
    QTest::newRow("suffix") << "Ann O'Neil, Jr." << "" << "N:O'Neil;Ann;;;Jr.";
    QTest::newRow("family first") << "Dubois, Élodie" << "" << "N:Dubois;Élodie;;;";
    QTest::newRow("particle") << "Ludwig van Beethoven" << "" << "N:van Beethoven;Ludwig;;;";
    QTest::newRow("company form") << "Acme Widgets GmbH" << "" << "N:Acme Widgets GmbH;;;;";
    QTest::newRow("the person's company") << "Blue Harbour Trading" << "blue harbour trading"
                                          << "N:Blue Harbour Trading;;;;";
    QTest::newRow("one word") << "Cher" << "" << "N:Cher;;;;";
    QTest::newRow("a title alone is a name") << "Dr." << "" << "N:Dr.;;;;";
}

void TestContacts::exportedStructuredName()
{
    QFETCH(QString, name);
    QFETCH(QString, company);
    QFETCH(QString, n);
    Contact c;
    c[Name] = name;
    c[Company] = company;
    const QString file = QString::fromUtf8(writeVCards({c}));
    QVERIFY2(file.contains(QStringLiteral("\r\n") + n + QStringLiteral("\r\n")), qPrintable(file));
    QCOMPARE(readOne(writeVCards({c}))[Name], name);
}

void TestContacts::companyCardsAreMarkedAndSkipped()
{
    const QByteArray file = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;;;;\r\nFN:Acme Widgets GmbH\r\nORG:Acme Widgets GmbH;\r\n"
                            "X-ABShowAs:COMPANY\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:org\r\nORG:Bolt Ltd\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:org\r\nN:Stone;Bob;;;\r\nORG:Bolt Ltd\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nORG:Bolt Ltd\r\nEND:VCARD\r\n";
    const ReadResult r = readContactFile(file);
    QVERIFY(r.problems.empty());
    QCOMPARE(r.contacts.size(), size_t(4));
    QCOMPARE(r.contacts[0][Name], QStringLiteral("Acme Widgets GmbH"));
    QCOMPARE(r.contacts[1][Name], QStringLiteral("Bolt Ltd"));
    QVERIFY(r.contacts[0].companyCard);
    QVERIFY(r.contacts[1].companyCard);
    QVERIFY(!r.contacts[2].companyCard);  // marked, but it names a person
    QVERIFY(!r.contacts[3].companyCard);

    ImportPlan plan(r, {});
    QCOMPARE(plan.companyCardCount(), 2);
    QCOMPARE(plan.newCount(), 2);
    QCOMPARE(plan.addCount(), 2);
    QVERIFY(!plan.writes(0));
    plan.setAction(1, ImportPlan::Action::Add);
    QVERIFY(plan.writes(1));
    QCOMPARE(plan.addCount(), 3);
}

void TestContacts::readingReportsProgressAndCanBeCancelled()
{
    std::vector<Contact> people;
    for (int i = 0; i < 2500; ++i)
        people.push_back(contact({"Person", "", "p@x.example"}));
    for (const QByteArray& file : {writeCsv(people), writeVCards(people)}) {
        QList<qint64> done;
        const ReadResult all = readContactFile(file, [&](qint64 d, qint64 total) {
            done.append(d);
            return d <= total;
        });
        QVERIFY(!all.cancelled);
        QCOMPARE(all.contacts.size(), people.size());
        QCOMPARE(done.size(), 2);
        QVERIFY(done[0] > 0 && done[1] > done[0]);

        const ReadResult stopped = readContactFile(file, [](qint64, qint64) { return false; });
        QVERIFY(stopped.cancelled);
        QVERIFY(stopped.contacts.empty());
        QVERIFY(stopped.problems.empty());
    }
}

QTEST_GUILESS_MAIN(TestContacts)
#include "tst_contacts.moc"
