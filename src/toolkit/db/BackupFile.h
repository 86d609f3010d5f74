#pragma once

#include <memory>

#include <QString>

class Connection;
class DatabaseCopy;

// A copy of an open database written to a file while the program goes on using it, keyed as
// the open file is (DatabaseCopy, a few pages at a time). It is written under a hidden name
// beside path and takes path's name, replacing a file there, only when complete, so a copy
// that fails or is dropped before the end leaves no file of its own and path as it was.
// Throws StoreError saying which file could not be written. GUI thread only.
class BackupFile
{
public:
    // Throws when the copy cannot be begun (the folder cannot be written).
    BackupFile(Connection& source, const QString& path);
    ~BackupFile();
    BackupFile(const BackupFile&) = delete;
    BackupFile& operator=(const BackupFile&) = delete;

    // Copies up to pages more pages; true when the copy is complete and has its name.
    bool step(int pages);
    int pageCount() const;
    int pagesCopied() const;

private:
    void removeUnfinished() noexcept;

    QString m_path;
    QString m_unfinished;
    std::unique_ptr<Connection> m_target;
    std::unique_ptr<DatabaseCopy> m_copy;
    int m_pageCount = 0;
    bool m_done = false;
};
