#pragma once

#include <memory>

#include <QString>
#include <QTemporaryDir>

#include "data/SchemaUpgrade.h"

class BackupFile;
class Connection;
class DatabaseCopy;
class TMainDataModule;

// Puts a chosen copy in the place of the open database. The pages are copied into the data
// module's own connection, so every dataset and window keeps the connection it holds and
// reads the restored rows when it reads again.
//
// The constructor checks the chosen file on a copy of it in a temporary folder, which is
// upgraded there when older; the chosen file itself is never written. It must open with the
// program's key and hold the program's tables; otherwise the constructor throws StoreError
// saying what is wrong, and nothing has changed. Then step() by step(): every pending change
// of the shared datasets is ended, a copy of the open database is written beside it, the
// shared datasets are closed, the checked file is copied over the open one, and the datasets
// are opened again. A restore dropped before its end leaves the open database as it was and
// opens the datasets again. Throws StoreError. GUI thread only.
class DatabaseRestore
{
public:
    DatabaseRestore(TMainDataModule& dm, const QString& chosen, const UpgradeSteps& upgrades = schemaUpgrades());
    ~DatabaseRestore();
    DatabaseRestore(const DatabaseRestore&) = delete;
    DatabaseRestore& operator=(const DatabaseRestore&) = delete;

    // The copy of the open database that the first steps write: beside it, named after it and
    // the time.
    const QString& safetyCopy() const { return m_safetyCopy; }

    // Copies up to pages more pages; true when the restore is complete.
    bool step(int pages);
    // How far the restore is, from 0 to 100.
    int percent() const;
    // Drops an unfinished restore: the open database stays as it was, its datasets open again.
    void cancel();

private:
    enum class Phase { Checked, SafetyCopy, CopyIn, Done };

    TMainDataModule& m_dm;
    QTemporaryDir m_folder;
    std::unique_ptr<Connection> m_checked;
    QString m_safetyCopy;
    std::unique_ptr<BackupFile> m_safety;
    std::unique_ptr<DatabaseCopy> m_copyIn;
    Phase m_phase = Phase::Checked;
    bool m_datasetsClosed = false;
};
