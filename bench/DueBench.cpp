#include "DueBench.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>

#include "Measure.h"
#include "data/DataModule.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/Transaction.h"
#include "ui/main/DueForm.h"
#include "ui/main/DueModel.h"

using measure::Clock;
using measure::msSince;

namespace {

constexpr int FollowUpCount = 100000;

std::vector<qint64> ids(Connection& c, const char* sql)
{
    Statement st(c, QLatin1String(sql));
    std::vector<qint64> found;
    while (st.step())
        found.push_back(st.int64(0));
    return found;
}

void addFollowUps(Connection& c)
{
    const std::vector<qint64> people = ids(c, "SELECT PersonID FROM People");
    const std::vector<qint64> subprojects = ids(c, "SELECT SubProjectID FROM SubProjects");
    // The same rows every run.
    QRandomGenerator random(19);
    const QDate today = QDate::currentDate();
    Transaction transaction(c);
    Statement insert(c, QStringLiteral("INSERT INTO FollowUps (PersonID, SubProjectID, Due, Text, Done) VALUES (?, ?, ?, ?, ?)"));
    for (int i = 0; i < FollowUpCount; ++i) {
        const int about = random.bounded(3);
        insert.bind(1, about != 1 && !people.empty() ? QVariant(people[random.bounded(int(people.size()))]) : QVariant());
        insert.bind(2, about != 0 && !subprojects.empty() ? QVariant(subprojects[random.bounded(int(subprojects.size()))]) : QVariant());
        insert.bind(3, today.addDays(random.bounded(-730, 366)).toString(QStringLiteral("yyyy-MM-dd 00:00:00")));
        insert.bind(4, QStringLiteral("Follow-up number %1").arg(i));
        insert.bind(5, random.bounded(4) == 0 ? 1 : 0);
        insert.run();
        insert.reset();
    }
    transaction.commit();
}

} // namespace

void runDueBench(const QString& path, int rounds)
{
    QTemporaryDir dir;
    const QString copy = QDir(dir.path()).filePath(QStringLiteral("Due.mdb"));
    QFile::copy(path, copy);
    TMainDataModule dm;
    dm.Connect(QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                              "Database Password=\"ZeKRW\";").arg(copy));
    addFollowUps(*dm.MainADOConnection());
    Forms forms;
    forms.MainDataModule = &dm;
    std::vector<double> times;
    qint64 due = 0;
    for (int round = 0; round < std::max(rounds, 3); ++round) {
        const auto start = Clock::now();
        TDueForm window(forms);
        window.show();
        QApplication::processEvents();
        times.push_back(msSince(start));
        due = window.Model->total();
    }
    std::sort(times.begin(), times.end());
    std::printf("due_list_rows %lld\n", static_cast<long long>(due));
    std::printf("due_list_open %.1f ms\n", times[times.size() / 2]);
}
