#include "BackupBench.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include "Measure.h"
#include "app/CopyProgress.h"
#include "toolkit/db/BackupFile.h"
#include "toolkit/db/Connection.h"

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

void runBackupBench(const QString& path, const QString& connectionString, int rounds)
{
    using namespace measure;
    Connection source(connectionString);
    std::vector<double> backups, copies;
    for (int round = 0; round < rounds; ++round) {
        QTemporaryDir folder;
        const QString copy = folder.filePath(QStringLiteral("copy.mdb"));
        const QString backup = folder.filePath(QStringLiteral("backup.mdb"));
        auto start = Clock::now();
        if (!QFile::copy(path, copy))
            throw std::runtime_error("the file could not be copied");
        copies.push_back(msSince(start));
        QFile::remove(copy);
        start = Clock::now();
        BackupFile file(source, backup);
        while (!file.step(CopyStepPages)) {
        }
        backups.push_back(msSince(start));
    }
    const double backupMs = median(backups), copyMs = median(copies);
    std::printf("backup_copy %.1f ms\n", backupMs);
    std::printf("file_copy %.1f ms\n", copyMs);
    std::printf("backup/copy %.2f\n", copyMs > 0 ? backupMs / copyMs : 0.0);
}
