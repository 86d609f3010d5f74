#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QString>

// Takes the right to write away from a file or folder while it lives. Root writes whatever
// the permission bits say, so for root the file system's immutable flag does it.
class WriteProtection
{
public:
    explicit WriteProtection(const QString& path)
        : m_path(QFile::encodeName(path))
    {
        if (geteuid() != 0) {
            struct stat st {};
            m_done = ::stat(m_path.constData(), &st) == 0;
            m_mode = st.st_mode;
            m_done = m_done && ::chmod(m_path.constData(), st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
            return;
        }
        m_done = setImmutable(true);
    }
    ~WriteProtection()
    {
        if (!m_done)
            return;
        if (geteuid() != 0)
            ::chmod(m_path.constData(), m_mode);
        else
            setImmutable(false);
    }
    bool done() const { return m_done; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    }

    QByteArray m_path;
    mode_t m_mode = 0;
    bool m_done = false;
};
