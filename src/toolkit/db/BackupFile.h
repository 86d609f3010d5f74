#pragma once

#include <memory>

#include <QFile>
#include <QString>

class Connection;

// A copy of an open database written to a file while the program goes on using it. The file's
// own bytes are copied, still keyed, while a second connection holds a read lock on it: no
// write can end during the copy (another program's write waits, as for any reader, up to the
// busy time), so the copy is of one committed state, at the speed of a file copy rather than
// of decrypting and encrypting every page again. Written a few pages at a time under a hidden
// name beside path, it takes path's name, replacing a file there, only when complete, so a copy
// that fails or is dropped before the end leaves no file of its own and path as it was.
// Throws StoreError saying which file could not be written. GUI thread only.
class BackupFile
{
public:
    // Throws when the copy cannot be begun (the folder cannot be written, the file is locked).
    BackupFile(Connection& source, const QString& path);
    ~BackupFile();
    BackupFile(const BackupFile&) = delete;
    BackupFile& operator=(const BackupFile&) = delete;

    // Copies up to pages more pages (all when pages < 0); true when the copy is complete and
    // has its name.
    bool step(int pages);
    int pageCount() const { return m_pageCount; }
    int pagesCopied() const { return m_pagesCopied; }

private:
    void removeUnfinished() noexcept;

    QString m_path;
    QString m_unfinished;
    std::unique_ptr<Connection> m_reader;
    QFile m_from;
    QFile m_to;
    qint64 m_pageSize = 0;
    int m_pageCount = 0;
    int m_pagesCopied = 0;
    bool m_done = false;
};
