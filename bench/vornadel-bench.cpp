// Measures start-up and browsing on a generated database, alternating the bare read of the
// rows that start-up reads (the floor) with the real start-up, each on a fresh connection;
// then the delete of every client of a company of 300 (added for it and removed after), and two
// reports against the in-place walk of the same datasets without layout.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "BackupBench.h"
#include "DueBench.h"
#include "ImportBench.h"
#include "Measure.h"
#include "SearchBench.h"
#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/SchemaUpgrade.h"
#include "reports/CompanyPerson.h"
#include "reports/PeopleReport.h"
#include "reports/ReportForm.h"
#include "toolkit/chart/DBChart.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/Transaction.h"
#include "toolkit/report/ReportPages.h"
#include "ui/main/Forms.h"
#include "ui/views/Business.h"
#include "ui/views/NavCompanyProject.h"
#include "ui/views/NavPersonSubProject.h"
#include "ui/views/NavProjectSubProject.h"

namespace {

using measure::Clock;
using measure::msSince;
using measure::peakRssMiB;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

struct Read
{
    QString sql;
    QVariantList params;
};

QString quoted(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The statements the shared datasets run when they open, one per dataset: each table's stored
// fields in the table's order, as a dataset reads them; the status history for its subproject.
std::vector<Read> startupReads(const QString& connectionString)
{
    TMainDataModule dm;
    dm.Connect(connectionString);
    dm.SetDataSetsActive(true);
    std::vector<Read> reads;
    for (Dataset* d : dm.sharedDatasets()) {
        if (d == dm.SubProjectHistoryQ) {
            reads.push_back({QStringLiteral("SELECT SubProjectHistory.Date, SubProjectHistory.ID, SubProjectHistory.SubProjectID,"
                                            " SubProjectHistory.SubProjectStatusID FROM SubProjects INNER JOIN SubProjectHistory"
                                            " ON SubProjects.SubProjectID = SubProjectHistory.SubProjectID"
                                            " WHERE SubProjectHistory.SubProjectID = ? ORDER BY SubProjectHistory.Date"),
                             {d->param(QStringLiteral("SPID"))}});
            continue;
        }
        // The kinds of an activity are a constant list, read from no table.
        if (d->tableName().isEmpty())
            continue;
        QStringList columns;
        for (const TableColumn& c : tableColumns(*dm.MainADOConnection(), d->tableName()))
            if (d->hasField(c.name) && d->field(c.name).isStored())
                columns.append(quoted(c.name));
        reads.push_back({QStringLiteral("SELECT rowid, %1 FROM %2").arg(columns.join(u", "), quoted(d->tableName())), {}});
    }
    return reads;
}

double floorRead(const QString& connectionString, const std::vector<Read>& reads)
{
    const auto start = Clock::now();
    Connection connection(connectionString);
    qint64 sink = 0;
    for (const Read& r : reads) {
        Statement st(connection, r.sql);
        for (int i = 0; i < r.params.size(); ++i)
            st.bind(i + 1, r.params[i]);
        while (st.step())
            for (int c = 0; c < st.columnCount(); ++c)
                sink += st.value(c).isNull() ? 0 : 1;
    }
    const double ms = msSince(start);
    return sink >= 0 ? ms : -ms;
}

// Adds a company with a project, a subproject and 300 people, each with 24 answers and a
// buying role there; returns the company's id.
qint64 addCompanyOf300(const QString& connectionString)
{
    Connection c(connectionString);
    Transaction transaction(c);
    c.exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Delete-all bench')"));
    const qint64 company = c.lastInsertRowid();
    c.exec(QStringLiteral("INSERT INTO Projects (CompanyID, Name) VALUES (%1, 'Bench')").arg(company));
    c.exec(QStringLiteral("INSERT INTO SubProjects (ProjectID, Name, SubProjectTypeID, SizeID) VALUES (%1, 'Bench', 1, 1)")
               .arg(c.lastInsertRowid()));
    const qint64 subproject = c.lastInsertRowid();
    Statement person(c, QStringLiteral("INSERT INTO People (CompanyID, Name) VALUES (?, ?)"));
    Statement answer(c, QStringLiteral("INSERT INTO QuestionsMain (PersonID, QuestionID, Answer) VALUES (?, ?, ?)"));
    Statement role(c, QStringLiteral("INSERT INTO Business (PersonID, SubProjectID, %1, %2) VALUES (?, ?, 1, 10)")
                          .arg(Catalogue::roles().first().field, Catalogue::weightField()));
    for (int i = 0; i < 300; ++i) {
        person.bind(1, company);
        person.bind(2, QStringLiteral("Client %1").arg(i));
        person.run();
        person.reset();
        const qint64 id = c.lastInsertRowid();
        for (int q = 1; q <= 24; ++q) {
            answer.bind(1, id);
            answer.bind(2, q);
            answer.bind(3, q % 2);
            answer.run();
            answer.reset();
        }
        role.bind(1, id);
        role.bind(2, subproject);
        role.run();
        role.reset();
    }
    transaction.commit();
    return company;
}

double deleteAll300(const QString& connectionString)
{
    const qint64 company = addCompanyOf300(connectionString);
    TMainDataModule dm;
    dm.Connect(connectionString);
    dm.SetDataSetsActive(true);
    if (!dm.CompaniesTable->locate({QStringLiteral("CompanyID")}, {company}) || dm.PeopleCompanyDet->recordCount() != 300)
        throw std::runtime_error("the company of 300 is not there");
    const auto start = Clock::now();
    dm.DeleteAllCompanyPeople();
    const double ms = msSince(start);
    dm.CompaniesTable->deleteRecord();
    return ms;
}

// Keeps every page, as the preview does, and notes when the first one was made.
struct TimedSink : PageSink
{
    Clock::time_point start = Clock::now();
    double firstPageMs = 0;
    ReportPages pages;
    void addPage(ReportPage page) override
    {
        if (pages.empty())
            firstPageMs = msSince(start);
        pages.push_back(std::move(page));
    }
};

// Moves the report's datasets as its layout does, reading nothing and placing no band.
void walkLevels(const std::vector<SubDetail>& levels, const QHash<QString, Dataset*>& datasets)
{
    for (const SubDetail& level : levels) {
        Dataset* d = datasets.value(level.source);
        d->first();
        if (d->eof())
            walkLevels(level.children, datasets);
        for (; !d->eof(); d->next())
            walkLevels(level.children, datasets);
    }
}

double walkMs(ReportForm& report, const QHash<QString, Dataset*>& datasets, const std::function<void()>& prepare)
{
    const auto start = Clock::now();
    prepare();
    Dataset* main = datasets.value(report.QuickRep1.mainSource);
    main->first();
    for (; !main->eof(); main->next())
        walkLevels(report.QuickRep1.subDetails, datasets);
    return msSince(start);
}

void benchReport(ReportForm& report, const QHash<QString, Dataset*>& datasets, const std::function<void()>& prepare,
                 int rounds, double* ratio, double* totalMs = nullptr)
{
    const QString name = report.metaObject()->className();
    std::vector<double> firsts, totals, walks;
    size_t pages = 0;
    for (int round = 0; round < rounds; ++round) {
        walks.push_back(walkMs(report, datasets, prepare));
        TimedSink sink;
        report.produce(sink);
        totals.push_back(msSince(sink.start));
        firsts.push_back(sink.firstPageMs);
        pages = sink.pages.size();
    }
    const double total = median(totals), walk = median(walks);
    std::printf("report_%s_first_page %.1f ms\n", qPrintable(name), median(firsts));
    std::printf("report_%s_total %.1f ms\n", qPrintable(name), total);
    std::printf("report_%s_pages %zu\n", qPrintable(name), pages);
    std::printf("walk_%s %.1f ms\n", qPrintable(name), walk);
    if (ratio)
        *ratio = walk > 0 ? total / walk : 0.0;
    if (totalMs)
        *totalMs = total;
}

// The floor of the whole-hierarchy report: one statement reading the rows it prints in its
// order, every row stepped through and its printed values read as text.
double hierarchyFloorMs(Connection& connection)
{
    const auto start = Clock::now();
    Statement rows(connection, QStringLiteral(
        "SELECT c.Name, p.Name, s.Name, pe.Name, b.%1 FROM Companies c"
        " LEFT JOIN Projects p ON p.CompanyID = c.CompanyID"
        " LEFT JOIN SubProjects s ON s.ProjectID = p.ProjectID"
        " LEFT JOIN Business b ON b.SubProjectID = s.SubProjectID"
        " LEFT JOIN People pe ON pe.PersonID = b.PersonID"
        " ORDER BY c.CompanyID, p.ProjectID, s.SubProjectID, b.RowKey").arg(Catalogue::weightField()));
    volatile qsizetype read = 0;
    while (rows.step())
        for (int column = 0; column < 5; ++column)
            read = read + rows.value(column).toString().size();
    return msSince(start);
}

void benchReports(const QString& connectionString, int rounds)
{
    TMainDataModule dm;
    dm.Connect(connectionString);
    dm.SetDataSetsActive(true);
    // The imports' peak is theirs: what the reports add starts from the program as it opened.
    measure::resetPeak();
    const double before = measure::rssMiB();
    double ratio = 0;
    double total = 0;
    {
        TCompanyPersonForm report(dm);
        QHash<QString, Dataset*> datasets;
        for (Dataset* d : {dm.CompaniesTable, dm.ProjectsDetail, dm.SubProjectsDetail, dm.PeopleDetail})
            datasets.insert(d->name(), d);
        benchReport(report, datasets, [] {}, rounds, &ratio, &total);
    }
    std::vector<double> floors;
    for (int round = 0; round < rounds; ++round)
        floors.push_back(hierarchyFloorMs(*dm.MainADOConnection()));
    const double floor = median(floors);
    std::printf("report_floor %.1f ms\n", floor);
    std::printf("report/floor %.2f\n", floor > 0 ? total / floor : 0.0);
    {
        TPeopleReportForm report(dm);
        Dataset* query = report.ADOQuery1;
        benchReport(report, {{query->name(), query}}, [query] { query->close(); query->open(); }, rounds, nullptr);
    }
    std::printf("report_peak_memory %.0f MiB\n", peakRssMiB());
    std::printf("report_added_memory %.0f MiB\n", peakRssMiB() - before);
    std::printf("report/walk %.2f\n", ratio);
}

// Median ms to create a view and show it, offscreen.
template <class View>
double viewOpen(TMainDataModule& dm, int rounds)
{
    Forms forms;
    forms.MainDataModule = &dm;
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        View view(forms);
        view.show();
        QApplication::processEvents();
        times.push_back(msSince(start));
    }
    return median(times);
}

// Median ms of a chart's re-read of 50 buying-role rows with their person names; painting
// is left out (a re-read only asks for a repaint).
double chartReread(TMainDataModule& dm)
{
    Dataset roles(dm.MainADOConnection(), QStringLiteral("Roles"));
    roles.setSql(QStringLiteral("SELECT rowid AS RowID, PersonID, %1 FROM Business LIMIT 50").arg(Catalogue::weightField()),
                 QStringLiteral("Business"),
                 QStringLiteral("RowID"));
    roles.addField(FieldDef::integer(QStringLiteral("RowID")));
    roles.addField(FieldDef::integer(QStringLiteral("PersonID")));
    roles.addField(Catalogue::field(QStringLiteral("Business"), Catalogue::weightField()));
    roles.addField(FieldDef::lookup(QStringLiteral("PersonName"), QStringLiteral("PersonID"), dm.PeopleTable,
                                    QStringLiteral("PersonID"), QStringLiteral("Name")));
    roles.open();
    DataSource source(&roles);
    DBChart chart;
    chart.setSeries(&source, Catalogue::weightField(), QStringLiteral("PersonName"));
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        const auto start = Clock::now();
        chart.refreshData();
        times.push_back(msSince(start));
    }
    return median(times);
}

} // namespace

int main(int argc, char* argv[])
{
    // Reports measure text and views are shown, which needs a GUI application; offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: vornadel-bench FILE|postgresql://URI [ROUNDS] [--only-search | --only-reports | --only-backup"
                             " | --only-due | --only-import]\n");
        return 2;
    }
    QTemporaryDir upgraded;
    QString file = args[1];
    const auto connectionOf = [](const QString& path) {
        return QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                              "Database Password=\"ZeKRW\";").arg(path);
    };
    // A server's database (made by vornadel-mkdb --server) is measured in place.
    const bool server = file.startsWith(QStringLiteral("postgresql://")) || file.startsWith(QStringLiteral("postgres://"));
    // A file of an earlier version is measured in a copy, which opening upgrades: the file given
    // is never changed.
    try {
        if (!server && Connection(connectionOf(file)).schemaVersion() < programSchemaVersion()) {
            const QString copy = QDir(upgraded.path()).filePath(QFileInfo(file).fileName());
            if (!QFile::copy(file, copy))
                throw std::runtime_error("cannot copy the file to upgrade it");
            file = copy;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const QString connectionString =
        server ? QStringLiteral("Provider=PostgreSQL;Data Source=\"%1\";").arg(QString(file).replace(u'"', QStringLiteral("\"\"")))
               : connectionOf(file);
    // The copies of a file that these two measure have no like on a server.
    const auto fileOnly = [server](const char* what) {
        if (server)
            std::printf("%s: not measured on a server\n", what);
        return !server;
    };
    const int rounds = args.size() > 2 ? args[2].toInt() : 5;
    try {
        if (args.contains(QStringLiteral("--only-due"))) {
            if (fileOnly("due_list_open"))
                runDueBench(file, rounds);
            return 0;
        }
        if (args.contains(QStringLiteral("--only-search"))) {
            TMainDataModule dm;
            dm.Connect(connectionString);
            dm.SetDataSetsActive(true);
            runSearchBenches(dm, rounds);
            return 0;
        }
        if (args.contains(QStringLiteral("--only-reports"))) {
            benchReports(connectionString, std::min(rounds, 3));
            return 0;
        }
        if (args.contains(QStringLiteral("--only-backup"))) {
            if (fileOnly("backup"))
                runBackupBench(file, connectionString, rounds);
            return 0;
        }
        if (args.contains(QStringLiteral("--only-import"))) {
            runImportBenches(file, server ? connectionString : QString());
            return 0;
        }
        const std::vector<Read> reads = startupReads(connectionString);
        std::vector<double> floors, startups, moves;
        double peak = 0;
        for (int round = 0; round < rounds; ++round) {
            floors.push_back(floorRead(connectionString, reads));
            const auto start = Clock::now();
            TMainDataModule dm;
            dm.Connect(connectionString);
            dm.SetDataSetsActive(true);
            startups.push_back(msSince(start));
            peak = std::max(peak, peakRssMiB());
            Dataset* companies = dm.CompaniesTable;
            for (int i = 0; i < 200; ++i) {
                const auto t = Clock::now();
                companies->next();
                if (companies->eof())
                    companies->first();
                moves.push_back(msSince(t));
            }
        }
        const double floor = median(floors), startup = median(startups);
        std::printf("floor %.1f ms\n", floor);
        std::printf("startup %.1f ms\n", startup);
        std::printf("company_move %.3f ms\n", median(moves));
        std::printf("peak_memory %.0f MiB\n", peak);
        std::printf("startup/floor %.2f\n", floor > 0 ? startup / floor : 0.0);
        std::vector<double> deletes;
        for (int round = 0; round < std::min(rounds, 3); ++round)
            deletes.push_back(deleteAll300(connectionString));
        std::printf("delete_all_300 %.1f ms\n", median(deletes));
        // Peak memory only grows: the imports go before the reports so that each figure is its own.
        runImportBenches(file, server ? connectionString : QString());
        benchReports(connectionString, std::min(rounds, 3));

        TMainDataModule dm;
        dm.Connect(connectionString);
        dm.SetDataSetsActive(true);
        std::printf("chart_reread %.3f ms\n", chartReread(dm));
        const double views[] = {viewOpen<TNavCompanyPersonForm>(dm, rounds), viewOpen<TNavProjectSubProjectForm>(dm, rounds),
                                viewOpen<TNavPersonSubProjectForm>(dm, rounds), viewOpen<TBusinessForm>(dm, rounds)};
        std::printf("view_open_NavCompanyProject %.1f ms\n", views[0]);
        std::printf("view_open_NavProjectSubProject %.1f ms\n", views[1]);
        std::printf("view_open_NavPersonSubProject %.1f ms\n", views[2]);
        std::printf("view_open_Business %.1f ms\n", views[3]);
        runSearchBenches(dm, rounds);
        if (fileOnly("backup"))
            runBackupBench(file, connectionString, rounds);
        if (fileOnly("due_list_open"))
            runDueBench(file, rounds);
        std::printf("view_open/floor %.3f\n", floor > 0 ? *std::max_element(std::begin(views), std::end(views)) / floor : 0.0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
