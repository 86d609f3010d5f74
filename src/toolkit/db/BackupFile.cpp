#include "toolkit/db/BackupFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "toolkit/db/Connection.h"
#include "toolkit/db/DatabaseCopy.h"
#include "toolkit/db/StoreError.h"

namespace {

// Hidden and unique, in the target's own folder so that the final rename stays on one disk.
QString unfinishedName(const QString& path)
{
    const QFileInfo target(path);
    const QString tag = QString::number(QRandomGenerator::global()->generate64(), 16);
    return target.dir().filePath(QStringLiteral(".%1.%2.part").arg(target.fileName(), tag));
}

StoreError notWritten(const QString& path, const QString& reason)
{
    return StoreError(QStringLiteral("The copy '%1' could not be written: %2").arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

BackupFile::BackupFile(Connection& source, const QString& path)
    : m_path(path), m_unfinished(unfinishedName(path))
{
    try {
        m_target = std::make_unique<Connection>(source.createKeyedAlike(m_unfinished));
        m_copy = std::make_unique<DatabaseCopy>(source, *m_target);
    } catch (const StoreError& e) {
        removeUnfinished();
        throw notWritten(path, e.text());
    }
}

BackupFile::~BackupFile()
{
    if (!m_done)
        removeUnfinished();
}

void BackupFile::removeUnfinished() noexcept
{
    m_copy.reset();
    m_target.reset();
    QFile::remove(m_unfinished);
    QFile::remove(m_unfinished + QStringLiteral("-journal"));
}

bool BackupFile::step(int pages)
{
    try {
        if (!m_copy->step(pages))
            return false;
    } catch (const StoreError& e) {
        throw notWritten(m_path, e.text());
    }
    // Closed first: the store has synced the copy at the end of its write.
    m_pageCount = m_copy->pageCount();
    m_copy.reset();
    m_target.reset();
    // rename() replaces a file of that name in one step, so there is always a whole one.
    if (std::rename(QFile::encodeName(m_unfinished).constData(), QFile::encodeName(m_path).constData()) != 0)
        throw notWritten(m_path, QString::fromLocal8Bit(std::strerror(errno)));
    m_done = true;
    return true;
}

int BackupFile::pageCount() const
{
    return m_copy ? m_copy->pageCount() : m_pageCount;
}

int BackupFile::pagesCopied() const
{
    return m_copy ? m_copy->pagesCopied() : m_pageCount;
}
