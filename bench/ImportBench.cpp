#include "ImportBench.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>

#include <QFile>
#include <QTemporaryDir>

#include "Measure.h"
#include "data/DataModule.h"
#include "data/PeopleTransfer.h"
#include "data/contacts/ContactReader.h"
#include "data/contacts/ContactWriter.h"
#include "toolkit/db/Connection.h"

namespace {

using measure::Clock;
using measure::msSince;
using measure::peakRssMiB;
using measure::resetPeak;
using measure::rssMiB;
constexpr int Contacts100k = 100000;
constexpr int Contacts200k = 200000;

QByteArray generatedFile(bool csv)
{
    std::vector<Contacts::Contact> people(Contacts100k);
    for (int i = 0; i < Contacts100k; ++i) {
        Contacts::Contact& c = people[size_t(i)];
        c[Contacts::Name] = QStringLiteral("Person %1 Müller").arg(i);
        c[Contacts::Title] = QStringLiteral("Buyer, level %1").arg(i % 7);
        c[Contacts::Email] = QStringLiteral("person%1@example.com").arg(i);
        c[Contacts::Mobile] = QStringLiteral("+49 170 %1").arg(i);
        c[Contacts::Tel] = QStringLiteral("+49 30 %1").arg(i);
        c[Contacts::Company] = QStringLiteral("Firm %1; Sales").arg(i % 500);
        c[Contacts::Address] = QStringLiteral("Hauptstraße %1\n10115 Berlin").arg(i % 300);
        if (i % 3 == 0)
            c[Contacts::Info] = QStringLiteral("Met at the fair in %1, wants a call back about the offer.").arg(2000 + i % 25);
    }
    return csv ? Contacts::writeCsv(people) : Contacts::writeVCards(people);
}

// A phone's or mail program's list of 200,000 people, about 80 bytes a row.
QByteArray generated200kCsv()
{
    std::vector<Contacts::Contact> people(Contacts200k);
    for (int i = 0; i < Contacts200k; ++i) {
        Contacts::Contact& c = people[size_t(i)];
        c[Contacts::Name] = QStringLiteral("Person %1 Müller").arg(i);
        c[Contacts::Email] = QStringLiteral("person%1@example.com").arg(i);
        c[Contacts::Mobile] = QStringLiteral("+49 170 %1").arg(i);
        c[Contacts::Company] = QStringLiteral("Firm %1 Sales").arg(i % 500);
    }
    return Contacts::writeCsv(people);
}

// The data module on a copy of the file at path, or on the server that server (a connection
// string) names, standing on a new company without people.
void openOnNewCompany(TMainDataModule& dm, const QString& path, const QString& server, const QString& copy)
{
    if (server.isEmpty())
        QFile::copy(path, copy);
    dm.Connect(server.isEmpty() ? QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                                                 "Database Password=\"ZeKRW\";").arg(copy)
                                : server);
    dm.SetDataSetsActive(true);
    dm.MainADOConnection()->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Import bench')"));
    const qint64 company = dm.MainADOConnection()->lastInsertRowid();
    dm.CompaniesTable->close();
    dm.CompaniesTable->open();
    dm.CompaniesTable->locate({QStringLiteral("CompanyID")}, {company});
}

// A server's database is no copy: the company and its imported people go again.
void removeBenchCompany(TMainDataModule& dm, const QString& server)
{
    if (server.isEmpty())
        return;
    const qint64 company = dm.CompaniesTable->asInteger(QStringLiteral("CompanyID"));
    dm.MainADOConnection()->exec(QStringLiteral("DELETE FROM People WHERE CompanyID = %1; DELETE FROM Companies WHERE CompanyID = %1")
                                     .arg(company));
}

void importOnce(const QString& path, const QString& server, bool csv)
{
    QTemporaryDir dir;
    TMainDataModule dm;
    openOnNewCompany(dm, path, server, dir.filePath(QStringLiteral("Vornadel.mdb")));
    const QByteArray file = generatedFile(csv);

    const auto start = Clock::now();
    Contacts::ReadResult read = Contacts::readContactFile(file);
    const double parsed = msSince(start);
    PeopleTransfer transfer(dm);
    Contacts::ImportPlan plan = *transfer.preview(std::move(read));
    const double previewed = msSince(start);
    const PeopleTransfer::Outcome outcome = transfer.store(std::move(plan), [](int, int) { return true; });
    const double total = msSince(start);
    std::printf("import_100k_%s %.0f ms (read %.0f, preview %.0f, store %.0f; %d added)\n", csv ? "csv" : "vcard", total,
                parsed, previewed - parsed, total - previewed, outcome.added);
    std::printf("import_100k_%s_peak_memory %.0f MiB\n", csv ? "csv" : "vcard", peakRssMiB());
    removeBenchCompany(dm, server);
}

// What importing a 200,000-row CSV adds to the process at its peak: from reading the file to
// the people read again, as the Clients page does it.
void importAddedMemory(const QString& path, const QString& server)
{
    QTemporaryDir dir;
    TMainDataModule dm;
    openOnNewCompany(dm, path, server, dir.filePath(QStringLiteral("Vornadel.mdb")));
    const QString csv = dir.filePath(QStringLiteral("people.csv"));
    {
        QFile out(csv);
        if (!out.open(QIODevice::WriteOnly) || out.write(generated200kCsv()) < 0)
            throw std::runtime_error("cannot write the CSV file");
    }
    resetPeak();
    const double before = rssMiB();
    const auto start = Clock::now();
    QFile in(csv);
    if (!in.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the CSV file");
    PeopleTransfer transfer(dm);
    Contacts::ImportPlan plan = *transfer.preview(Contacts::readContactFile(in.readAll()));
    const PeopleTransfer::Outcome outcome = transfer.store(std::move(plan), [](int, int) { return true; });
    std::printf("import_200k_csv_added_memory %.0f MiB (%.0f ms, file %.0f MiB, %d added)\n", peakRssMiB() - before,
                msSince(start), double(in.size()) / (1024 * 1024), outcome.added);
    removeBenchCompany(dm, server);
}

} // namespace

void runImportBenches(const QString& path, const QString& server)
{
    importOnce(path, server, false);
    importOnce(path, server, true);
    importAddedMemory(path, server);
}
