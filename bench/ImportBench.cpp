#include "ImportBench.h"

#include <chrono>
#include <cstdio>
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
constexpr int Contacts100k = 100000;

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

void importOnce(const QString& path, bool csv)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("Vornadel.mdb"));
    QFile::copy(path, copy);
    const QString connectionString = QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                                                    "Database Password=\"ZeKRW\";").arg(copy);
    TMainDataModule dm;
    dm.Connect(connectionString);
    dm.SetDataSetsActive(true);
    dm.MainADOConnection()->exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Import bench')"));
    const qint64 company = dm.MainADOConnection()->lastInsertRowid();
    dm.CompaniesTable->close();
    dm.CompaniesTable->open();
    dm.CompaniesTable->locate({QStringLiteral("CompanyID")}, {company});
    const QByteArray file = generatedFile(csv);

    const auto start = Clock::now();
    Contacts::ReadResult read = Contacts::readContactFile(file);
    const double parsed = msSince(start);
    PeopleTransfer transfer(dm);
    const Contacts::ImportPlan plan = transfer.preview(std::move(read));
    const double previewed = msSince(start);
    const PeopleTransfer::Outcome outcome = transfer.store(plan, [](int, int) { return true; });
    const double total = msSince(start);
    std::printf("import_100k_%s %.0f ms (read %.0f, preview %.0f, store %.0f; %d added)\n", csv ? "csv" : "vcard", total,
                parsed, previewed - parsed, total - previewed, outcome.added);
    std::printf("import_100k_%s_peak_memory %.0f MiB\n", csv ? "csv" : "vcard", peakRssMiB());
}

} // namespace

void runImportBenches(const QString& path)
{
    importOnce(path, false);
    importOnce(path, true);
}
