#include "toolkit/db/BackupFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
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

qint64 scalar(Connection& c, const QString& sql)
{
    Statement st(c, sql);
    return st.step() ? st.int64(0) : 0;
}

} // namespace

BackupFile::BackupFile(Connection& source, const QString& path)
    : m_path(path), m_unfinished(unfinishedName(path))
{
    try {
        m_reader = std::make_unique<Connection>(source.openKeyedAlike(source.path()));
        // The read lock taken here is held until the transaction ends, after the last byte.
        m_reader->exec(QStringLiteral("BEGIN"));
        scalar(*m_reader, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        m_pageSize = scalar(*m_reader, QStringLiteral("PRAGMA page_size"));
    } catch (const StoreError& e) {
        m_reader.reset();
        throw notWritten(path, e.text());
    }
    m_from.setFileName(source.path());
    m_to.setFileName(m_unfinished);
    if (!m_from.open(QIODevice::ReadOnly))
        throw notWritten(path, m_from.errorString());
    if (!m_to.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw notWritten(path, m_to.errorString());
    if (m_pageSize <= 0)
        m_pageSize = 4096;
    m_pageCount = int((m_from.size() + m_pageSize - 1) / m_pageSize);
}

BackupFile::~BackupFile()
{
    if (!m_done)
        removeUnfinished();
}

void BackupFile::removeUnfinished() noexcept
{
    m_reader.reset();
    m_from.close();
    if (m_to.isOpen()) {
        m_to.close();
        QFile::remove(m_unfinished);
    }
}

bool BackupFile::step(int pages)
{
    const int wanted = pages < 0 ? m_pageCount - m_pagesCopied : std::min(pages, m_pageCount - m_pagesCopied);
    if (wanted > 0) {
        const QByteArray chunk = m_from.read(wanted * m_pageSize);
        if (chunk.isEmpty() && m_from.error() != QFileDevice::NoError)
            throw notWritten(m_path, m_from.errorString());
        if (m_to.write(chunk) != chunk.size())
            throw notWritten(m_path, m_to.errorString());
        m_pagesCopied += wanted;
    }
    if (m_pagesCopied < m_pageCount)
        return false;
    // On the disk before it takes the name, so a crash never leaves a short copy under it.
    if (!m_to.flush() || ::fsync(m_to.handle()) != 0)
        throw notWritten(m_path, m_to.errorString());
    m_to.close();
    m_from.close();
    m_reader.reset();
    // rename() replaces a file of that name in one step, so there is always a whole one.
    if (std::rename(QFile::encodeName(m_unfinished).constData(), QFile::encodeName(m_path).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(m_unfinished);
        throw notWritten(m_path, reason);
    }
    m_done = true;
    return true;
}
