// Drives one change of the data module on a database file, for tests that kill it part way
// or need a second program holding the file's write lock.
//
//   vornadel-fault-driver lock FILE                   holds the write lock until a line or end of input
//   vornadel-fault-driver deleteall FILE COMPANY [N]  deletes every person of the company
//   vornadel-fault-driver cascade FILE COMPANY [N]    deletes the company with what hangs on it
//   vornadel-fault-driver answers FILE PERSON [N]     gives the person the 24 answer rows
//   vornadel-fault-driver upgrade FILE 0 [N]          upgrades the file by a step such as a new version's
//   vornadel-fault-driver writes FILE N               after a line of input, adds N companies "Writer 1".."Writer N",
//                                                     one a transaction
//
// With N > 0 the process kills itself at the N-th write, sync, truncate or delete of the
// change. A change that ends prints "done" and the number of those calls it made.

#include <cstdio>
#include <iostream>
#include <string>

#include <QCoreApplication>

#include "FaultVfs.h"
#include "data/DataModule.h"
#include "profile/AnswerStore.h"
#include "toolkit/db/Connection.h"

namespace {

QString connectionString(const QString& path)
{
    return QStringLiteral("Data Source=%1;Database Password=\"ZeKRW\";").arg(path);
}

int holdLock(const QString& path)
{
    Connection connection(connectionString(path));
    connection.exec(QStringLiteral("BEGIN IMMEDIATE"));
    std::cout << "locked" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    connection.exec(QStringLiteral("ROLLBACK"));
    return 0;
}

// A new table filled from an old one and a new column: writes over much of the file.
void addReminders(Connection& c)
{
    c.exec(QStringLiteral(
        "CREATE TABLE Reminders (ReminderID INTEGER PRIMARY KEY AUTOINCREMENT, PersonID INTEGER, Note VARCHAR(255));"
        "INSERT INTO Reminders (PersonID, Note) SELECT PersonID, Name || ' ' || Title FROM People;"
        "ALTER TABLE People ADD COLUMN Reminder VARCHAR(64);"
        "UPDATE People SET Reminder = Email"));
}

// Each company its own transaction, so a reader sees "Writer 1" to "Writer k" and nothing between.
int writeCompanies(const QString& path, int count)
{
    Connection connection(connectionString(path));
    std::cout << "ready" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    for (int i = 1; i <= count; ++i)
        connection.exec(QStringLiteral("INSERT INTO Companies (Name) VALUES ('Writer %1')").arg(i));
    std::cout << "done " << count << std::endl;
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString mode = args[1];
    const QString path = args[2];
    try {
        FaultVfs::install();
        if (mode == u"lock")
            return holdLock(path);
        if (args.size() < 4)
            return 2;
        if (mode == u"writes")
            return writeCompanies(path, args[3].toInt());
        const qint64 id = args[3].toLongLong();
        const int killAt = args.size() > 4 ? args[4].toInt() : 0;
        TMainDataModule dm;
        if (mode == u"upgrade") {
            FaultVfs::killAt(killAt);
            dm.Connect(connectionString(path), {addReminders});
            std::cout << "done " << FaultVfs::writeCalls() << std::endl;
            return 0;
        }
        dm.Connect(connectionString(path));
        dm.SetDataSetsActive(true);
        if (mode != u"answers" && !dm.CompaniesTable->locate({QStringLiteral("CompanyID")}, {id}))
            return 3;
        FaultVfs::killAt(killAt);
        if (mode == u"deleteall")
            dm.DeleteAllCompanyPeople();
        else if (mode == u"cascade")
            dm.CompaniesTable->deleteRecord();
        else if (mode == u"answers")
            addMissingAnswerRows(*dm.MainADOConnection(), id);
        else
            return 2;
        std::cout << "done " << FaultVfs::writeCalls() << std::endl;
        return 0;
    } catch (const std::exception& e) {
        std::cerr << e.what() << std::endl;
        return 1;
    }
}
