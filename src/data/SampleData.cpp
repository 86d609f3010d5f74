#include "data/SampleData.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <vector>

#include <QDateTime>
#include <QRandomGenerator>
#include <QStringList>
#include <QVariant>

#include "data/Catalogue.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/Transaction.h"

namespace {

constexpr quint32 Seed = 20240611;
constexpr int QuestionCount = 24;
// Ids as fillLists writes them.
constexpr int TypeCount = 7;
constexpr int LastOpenStatus = 5;
constexpr int WonStatus = 6;
constexpr int LostStatus = 7;

QString insertInto(const char* table)
{
    return insertSql(Catalogue::table(QLatin1String(table)));
}

// One prepared insert per table, reused for every row.
struct Inserts
{
    explicit Inserts(Connection& c)
        : connection(c),
          company(c, insertInto("Companies")),
          person(c, insertInto("People")),
          project(c, insertInto("Projects")),
          subproject(c, insertInto("SubProjects")),
          business(c, insertInto("Business")),
          history(c, insertInto("SubProjectHistory")),
          answer(c, insertInto("QuestionsMain"))
    {
    }

    // Runs one prepared insert and returns the new row's key.
    qint64 insert(Statement& statement, std::initializer_list<QVariant> values)
    {
        int index = 0;
        for (const QVariant& value : values)
            statement.bind(++index, value);
        statement.run();
        statement.reset();
        return connection.lastInsertRowid();
    }

    Connection& connection;
    Statement company;
    Statement person;
    Statement project;
    Statement subproject;
    Statement business;
    Statement history;
    Statement answer;
};

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

QString dateText(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The people of a subproject: the first is usually the one who decides and carries the most weight.
void addRoles(Inserts& in, QRandomGenerator& rng, qint64 subprojectId, const std::vector<qint64>& people)
{
    for (size_t i = 0; i < people.size(); ++i) {
        const bool lead = i == 0;
        const bool decides = lead ? rng.bounded(10) < 8 : rng.bounded(10) == 0;
        const int weight = lead ? 40 + 5 * int(rng.bounded(9)) : 5 + 5 * int(rng.bounded(8));
        in.insert(in.business, {people[i], subprojectId, decides, rng.bounded(3) == 0, rng.bounded(2) == 0,
                                !lead && rng.bounded(4) == 0, !lead && rng.bounded(6) == 0, weight});
    }
}

// Statuses follow the sale in order; most histories of three or more changes end won or lost.
void addHistory(Inserts& in, QRandomGenerator& rng, qint64 subprojectId, int count, QDateTime when)
{
    for (int i = 0; i < count; ++i) {
        int status = std::min(i + 1, LastOpenStatus);
        if (i == count - 1 && count >= 3 && rng.bounded(3) != 0)
            status = rng.bounded(3) == 0 ? LostStatus : WonStatus;
        in.insert(in.history, {subprojectId, status, dateText(when)});
        when = when.addDays(7 + rng.bounded(60)).addSecs(rng.bounded(-3, 4) * 3600);
    }
}

QDateTime randomStart(QRandomGenerator& rng, int firstYear, int years)
{
    const QDate day = QDate(firstYear, 1, 1).addDays(rng.bounded(365 * years));
    // UTC: local time would consult the time-zone files for every row, and stored dates carry no zone.
    return QDateTime(day, QTime(8 + rng.bounded(9), 15 * rng.bounded(4)), Qt::UTC);
}

// unanswered: chance in a hundred that a question is left open (-1).
void addAnswers(Inserts& in, QRandomGenerator& rng, qint64 personId, int unanswered)
{
    for (int q = 1; q <= QuestionCount; ++q) {
        const int answer = int(rng.bounded(100)) < unanswered ? -1 : int(rng.bounded(2));
        in.insert(in.answer, {personId, q, answer});
    }
}

// Up to count distinct entries of from, in random order.
std::vector<qint64> pick(QRandomGenerator& rng, std::vector<qint64> from, size_t count)
{
    count = std::min(count, from.size());
    for (size_t i = 0; i < count; ++i)
        std::swap(from[i], from[i + rng.bounded(quint32(from.size() - i))]);
    from.resize(count);
    return from;
}

// Sizes 2 to 4 are the common ones.
int randomSize(QRandomGenerator& rng)
{
    static const int sizes[] = {1, 2, 2, 2, 3, 3, 3, 4, 4, 5};
    return sizes[rng.bounded(10)];
}

struct DemoPerson
{
    const char* name;
    const char* title;
    const char* email;
    const char* mobile;
    const char* info;
};

struct DemoProject
{
    const char* name;
    const char* code;
    const char* comments;
};

struct DemoCompany
{
    const char* name;
    const char* address;
    const char* tel1;
    const char* tel2;
    const char* fax;
    const char* activities;
    const char* comments;
    std::vector<DemoPerson> people;
    std::vector<DemoProject> projects;
};

struct DemoSubproject
{
    const char* name;
    int type;
    const char* comments;
};

// Telephone numbers come from the ranges reserved for fiction; mail domains end in .example.
const std::vector<DemoCompany>& demoCompanies()
{
    static const std::vector<DemoCompany> companies = {
        {"Harbourline Logistics", "14 Quay Street, Bristol BS1 4RD", "0117 496 0210", "0117 496 0211", "0117 496 0299",
         "Port warehousing, container haulage and customs clearance",
         "The warehouse system reaches the end of its support next year.",
         {{"Joanna Harper", "Operations Director", "j.harper@harbourline.example", "07700 900114",
           "Prefers short meetings before 10 am"},
          {"Mark Ellison", "IT Manager", "m.ellison@harbourline.example", "07700 900127",
           "Runs the current warehouse system in-house"},
          {"Priya Natarajan", "Head of Procurement", "p.natarajan@harbourline.example", "07700 900135",
           "Every order above 50,000 goes through her"},
          {"Tom Whitcombe", "Shift Supervisor", "t.whitcombe@harbourline.example", "", "Key user at the dock site"}},
         {{"Warehouse system renewal", "HL-WMS", "Replace the ageing warehouse system at both sites"},
          {"Yard scanning", "HL-SCAN", "Hand-held scanners for container check-in"}}},
        {"Fenwick & Crane Insurance", "2 Mercer Lane, London EC2V 6AA", "020 7946 0320", "020 7946 0321",
         "020 7946 0390", "Commercial property and liability insurance for mid-sized firms",
         "Every purchase above the threshold goes to a formal tender.",
         {{"Charles Fenwick", "Managing Partner", "c.fenwick@fenwickcrane.example", "07700 900201",
           "Signs off anything strategic"},
          {"Alison Brandt", "Chief Information Officer", "a.brandt@fenwickcrane.example", "07700 900214",
           "Joined last year from a bank"},
          {"Deepak Rao", "Information Security Officer", "d.rao@fenwickcrane.example", "07700 900226",
           "Asks for a security questionnaire with every offer"}},
         {{"Claims portal", "FC-CLM", "Brokers file and follow claims on line"},
          {"Document archive", "FC-DOC", "Scan and index twenty years of policy files"},
          {"Security review", "FC-SEC", "Yearly review demanded by the regulator"}}},
        {"Alder Valley Health Trust", "Alder Valley Hospital, Station Road, Reading RG1 1LX", "0118 496 0400",
         "0118 496 0401", "0118 496 0480", "Acute hospital care and community clinics for 400,000 residents",
         "Public procurement rules apply; framework agreements are preferred.",
         {{"Dr Helen Okafor", "Medical Director", "helen.okafor@aldervalley.example", "07700 900301",
           "Champions anything that shortens waiting lists"},
          {"Simon Marsh", "Director of Digital Services", "simon.marsh@aldervalley.example", "07700 900312",
           "Holds the budget for clinical systems"},
          {"Karen Lowe", "Procurement Lead", "karen.lowe@aldervalley.example", "07700 900318",
           "Runs every tender by the book"},
          {"Gareth Price", "Information Governance Manager", "gareth.price@aldervalley.example", "",
           "Must approve any use of patient data"},
          {"Lucy Chen", "Ward Sister", "lucy.chen@aldervalley.example", "07700 900333", "Runs the pilot ward"}},
         {{"Patient flow dashboard", "AV-PFD", "Live view of beds, admissions and discharges"},
          {"Clinic scheduling", "AV-SCH", "Book outpatient clinics across four sites"}}},
        {"Brightwater Foods", "Unit 7, Meadow Park, Leeds LS11 5TY", "0113 496 0510", "", "0113 496 0590",
         "Chilled ready meals for supermarket own brands", "Growing fast, with an IT team of four.",
         {{"Neil Brightwater", "Owner and Chief Executive", "neil@brightwater.example", "07700 900402",
           "Decides quickly once convinced"},
          {"Sandra Kowalski", "Finance Director", "s.kowalski@brightwater.example", "07700 900415",
           "Wants the payback period on one page"},
          {"Owen Hughes", "Production Planner", "o.hughes@brightwater.example", "07700 900427",
           "Plans three shifts with spreadsheets today"}},
         {{"Production planning", "BW-PLAN", "Plan the lines from the supermarkets' orders"},
          {"Traceability", "BW-TRACE", "Batch tracing from ingredient to pallet"},
          {"Finance system", "BW-FIN", "Move off the accounting package they outgrew"}}},
        {"Kestrel Engineering", "Kestrel Works, Canal Road, Birmingham B6 7JE", "0121 496 0620", "0121 496 0621",
         "0121 496 0690", "Precision machined parts for aerospace and rail",
         "A quality audit is due in spring; they are busy until then.",
         {{"Robert Kaye", "Works Manager", "rkaye@kestrel-eng.example", "07700 900503",
           "Thirty years on the shop floor"},
          {"Emma Sutcliffe", "Quality Manager", "esutcliffe@kestrel-eng.example", "07700 900516",
           "Needs records the auditors accept"},
          {"Ian Doherty", "Buyer", "idoherty@kestrel-eng.example", "", "Compares three quotes for everything"}},
         {{"Shop-floor data capture", "KE-SFDC", "Terminals at every machine for job times"},
          {"Quality records", "KE-QMS", "Paperless inspection records"}}},
        {"Northgate City Council", "Civic Centre, Market Square, Nottingham NG1 2AB", "0115 496 0730",
         "0115 496 0731", "0115 496 0790", "Local services: housing, waste, planning and libraries",
         "The budget is approved each March by the cabinet.",
         {{"Janet Moss", "Cabinet Member for Resources", "janet.moss@northgate.example", "",
           "Elected member; meets suppliers only with officers present"},
          {"Paul Adebayo", "Head of ICT", "paul.adebayo@northgate.example", "07700 900612",
           "Wants fewer systems, not more"},
          {"Rachel Green", "Contracts Officer", "rachel.green@northgate.example", "07700 900624",
           "Keeps the framework call-off rules"},
          {"Stephen Burke", "Libraries Service Manager", "stephen.burke@northgate.example", "07700 900637",
           "Twelve branch libraries"}},
         {{"Customer contact centre", "NC-CCC", "One number and one case system for residents"},
          {"Library self-service", "NC-LIB", "Self-service kiosks in the branches"},
          {"Mobile working for inspectors", "NC-MOB", "Tablets for housing and planning inspectors"}}},
        {"Pemberton School of Business", "40 College Green, Manchester M15 6BH", "0161 496 0840", "",
         "0161 496 0890", "Postgraduate and executive education",
         "Term dates decide when anything can go live.",
         {{"Margaret Lyle", "Dean", "m.lyle@pemberton.example", "07700 900705", "Speaks at every open day"},
          {"Daniel Frost", "Head of Learning Technology", "d.frost@pemberton.example", "07700 900718",
           "Ran the move to on-line teaching"}},
         {{"Virtual classroom", "PS-VC", "Live teaching for the part-time programmes"},
          {"Student records", "PS-SR", "Admissions to graduation in one system"}}},
        {"Solway Renewables", "3 Firth View, Edinburgh EH6 7AB", "0131 496 0950", "0131 496 0951", "",
         "Onshore wind farm development and operation", "Sites across Scotland; the head office is in Leith.",
         {{"Fiona MacLeod", "Chief Operating Officer", "fiona.macleod@solway.example", "07700 900801",
           "Visits every site each quarter"},
          {"Ewan Stewart", "SCADA Engineer", "ewan.stewart@solway.example", "07700 900814",
           "Knows every turbine controller by heart"},
          {"Moira Campbell", "Commercial Manager", "moira.campbell@solway.example", "07700 900822",
           "Negotiates every service contract"},
          {"Angus Reid", "Health and Safety Lead", "angus.reid@solway.example", "", "Lone-worker safety is his priority"}},
         {{"Turbine monitoring", "SR-MON", "Alarms and output of all turbines in one place"},
          {"Field service app", "SR-FSA", "Work orders and checklists for the engineers"}}},
    };
    return companies;
}

const DemoSubproject DemoSubprojects[] = {
    {"Requirements study", 2, "Workshops with the key users to fix the scope"},
    {"Pilot", 3, "One site or department first, then a review"},
    {"Roll-out", 3, "All remaining sites after a successful pilot"},
    {"Software licences", 4, "Licences for the first two years"},
    {"Servers and storage", 5, "Installed in the customer's server room"},
    {"Data migration", 1, "Move the records out of the old system"},
    {"User training", 7, "Train-the-trainer sessions for the key users"},
    {"Support contract", 6, "Three years of support with a help desk"},
};

} // namespace

SampleSize SampleSize::typical()
{
    return {1000, 10000, 5000, 20000, 50000, 60000, 2000};
}

SampleSize SampleSize::large()
{
    const SampleSize t = typical();
    return {t.companies * 10, t.people * 10, t.projects * 10, t.subprojects * 10,
            t.business * 10, t.history * 10, t.answeredPeople * 10};
}

void addDemoData(Connection& connection)
{
    Transaction transaction(connection);
    Inserts in(connection);
    QRandomGenerator rng(Seed);
    const int subprojectKinds = int(std::size(DemoSubprojects));
    int personNumber = 0;
    for (const DemoCompany& c : demoCompanies()) {
        const QString name = u8(c.name);
        const QString address = u8(c.address);
        const qint64 companyId = in.insert(in.company, {name, address, u8(c.tel1), u8(c.tel2), u8(c.fax),
                                                        u8(c.activities), u8(c.comments)});
        std::vector<qint64> people;
        for (const DemoPerson& p : c.people) {
            const QString directLine = QStringLiteral("%1 ext. %2").arg(u8(c.tel1)).arg(200 + personNumber);
            const qint64 personId = in.insert(in.person, {companyId, u8(p.name), u8(p.title), u8(p.email), u8(p.mobile),
                                                          u8(p.info), name, address, directLine, u8(c.fax)});
            people.push_back(personId);
            // One person in three has a profile; one of those has left some questions open.
            if (personNumber % 3 == 0)
                addAnswers(in, rng, personId, personNumber == 6 ? 20 : 0);
            ++personNumber;
        }
        for (const DemoProject& p : c.projects) {
            const QString code = u8(p.code);
            const qint64 projectId = in.insert(in.project, {companyId, u8(p.name), code, u8(p.comments)});
            const int count = 1 + int(rng.bounded(4));
            const int first = int(rng.bounded(subprojectKinds));
            for (int k = 0; k < count; ++k) {
                const DemoSubproject& s = DemoSubprojects[(first + k) % subprojectKinds];
                const qint64 subprojectId = in.insert(in.subproject, {s.type, projectId, randomSize(rng), u8(s.name),
                                                                      QStringLiteral("%1-%2").arg(code).arg(k + 1),
                                                                      u8(s.comments)});
                const size_t taking = 1 + rng.bounded(3);
                addRoles(in, rng, subprojectId, pick(rng, people, taking));
                const int changes = 1 + int(rng.bounded(5));
                addHistory(in, rng, subprojectId, changes, randomStart(rng, 2024, 1));
            }
        }
    }
    // In one deal a single person nearly decides alone.
    connection.exec(QStringLiteral("UPDATE Business SET %1 = 95, %2 = 1 WHERE RowKey = "
                                   "(SELECT RowKey FROM Business ORDER BY %1 DESC, RowKey LIMIT 1)")
                        .arg(Catalogue::weightField(), Catalogue::roles().first().field));
    transaction.commit();
}

void addGeneratedData(Connection& connection, const SampleSize& size)
{
    static const QStringList places = {"Ashby", "Brampton", "Castleford", "Dunmore", "Elmswell", "Foxley",
                                       "Granton", "Hexham", "Ivybridge", "Kelso", "Lydney", "Malton",
                                       "Newent", "Oakham", "Penrith", "Redruth", "Selby", "Thirsk",
                                       "Ulverston", "Wantage"};
    static const QStringList trades = {"Logistics", "Foods", "Engineering", "Insurance", "Health", "Textiles",
                                       "Software", "Energy", "Builders", "Pharma", "Retail", "Printing",
                                       "Motors", "Water", "Media"};
    static const QStringList forms = {"Ltd", "plc", "Group", "& Sons"};
    static const QStringList streets = {"High Street", "Station Road", "Mill Lane", "Church Street",
                                        "Park Avenue", "Victoria Road", "Bridge Street", "Kings Road"};
    static const QStringList firstNames = {"Amelia", "Ben", "Chloe", "David", "Eleanor", "Farid", "Grace",
                                           "Harry", "Isla", "James", "Kavita", "Liam", "Maya", "Noah",
                                           "Olivia", "Patrick", "Ruth", "Samuel", "Tara", "Yusuf"};
    static const QStringList lastNames = {"Ahmed", "Baker", "Clarke", "Davies", "Evans", "Fraser", "Gill",
                                          "Hughes", "Iqbal", "Jones", "Khan", "Lewis", "Morgan", "Nolan",
                                          "Owen", "Patel", "Quinn", "Roberts", "Smith", "Walsh"};
    static const QStringList titles = {"Managing Director", "Finance Director", "IT Manager", "Buyer",
                                       "Operations Manager", "Project Manager", "Head of Procurement",
                                       "Office Manager", "Engineer", "Team Leader"};
    static const QStringList projectNames = {"System renewal", "Cloud move", "New site", "Cost reduction",
                                             "Customer portal", "Reporting", "Security upgrade", "Automation"};
    static const QStringList subprojectNames = {"Study", "Pilot", "Roll-out", "Licences", "Hardware",
                                                "Migration", "Training", "Support"};

    // Index pages stay decrypted in memory while many rows go in, which halves the time; the
    // connection's own cache size comes back afterwards.
    const qint64 cacheSize = connection.cacheSize();
    connection.setCacheSize(-262144);
    Transaction transaction(connection);
    Inserts in(connection);
    QRandomGenerator rng(Seed);
    const auto any = [&rng](const QStringList& list) { return list[rng.bounded(int(list.size()))]; };

    std::vector<qint64> companyIds;
    for (int i = 0; i < size.companies; ++i) {
        const QString place = any(places);
        const QString trade = any(trades);
        const QString tel = QStringLiteral("01632 960%1").arg(i % 1000, 3, 10, QLatin1Char('0'));
        companyIds.push_back(in.insert(in.company, {QStringLiteral("%1 %2 %3").arg(place, trade, any(forms)),
                                                    QStringLiteral("%1 %2, %3").arg(1 + rng.bounded(200)).arg(any(streets), place),
                                                    tel, QVariant(), QVariant(), trade, QVariant()}));
    }

    // People are spread evenly, so every company has about the same number.
    std::vector<std::vector<qint64>> peopleOf(companyIds.size());
    std::vector<qint64> personIds;
    for (int i = 0; i < size.people && !companyIds.empty(); ++i) {
        const size_t c = size_t(i) % companyIds.size();
        const QString first = any(firstNames);
        const QString last = any(lastNames);
        const qint64 id = in.insert(in.person, {companyIds[c], first + u' ' + last, any(titles),
                                                QStringLiteral("%1.%2@mail.example").arg(first, last).toLower(),
                                                QStringLiteral("07700 900%1").arg(i % 1000, 3, 10, QLatin1Char('0')),
                                                QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
        peopleOf[c].push_back(id);
        personIds.push_back(id);
    }

    std::vector<size_t> companyOfProject;
    std::vector<qint64> projectIds;
    for (int i = 0; i < size.projects && !companyIds.empty(); ++i) {
        const size_t c = rng.bounded(quint32(companyIds.size()));
        projectIds.push_back(in.insert(in.project, {companyIds[c], any(projectNames), QStringLiteral("P%1").arg(i + 1),
                                                    QVariant()}));
        companyOfProject.push_back(c);
    }

    for (int i = 0; i < size.subprojects && !projectIds.empty(); ++i) {
        const size_t p = rng.bounded(quint32(projectIds.size()));
        const qint64 id = in.insert(in.subproject, {1 + int(rng.bounded(TypeCount)), projectIds[p], randomSize(rng),
                                                    any(subprojectNames), QStringLiteral("S%1").arg(i + 1), QVariant()});
        // Role and history rows are shared out evenly: subproject i gets the difference of the
        // running totals, so the sums come out exact.
        const auto share = [&](int total) {
            return int(qint64(i + 1) * total / size.subprojects - qint64(i) * total / size.subprojects);
        };
        addRoles(in, rng, id, pick(rng, peopleOf[companyOfProject[p]], size_t(share(size.business))));
        addHistory(in, rng, id, share(size.history), randomStart(rng, 2019, 6));
    }

    const int answered = std::min(size.answeredPeople, int(personIds.size()));
    for (int i = 0; i < answered; ++i)
        addAnswers(in, rng, personIds[size_t(qint64(i) * qsizetype(personIds.size()) / answered)], 5);

    transaction.commit();
    connection.setCacheSize(cacheSize);
}
