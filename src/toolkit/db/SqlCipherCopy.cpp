#include "toolkit/db/SqlCipherCopy.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "toolkit/db/SqlCipherConnection.h"

namespace {

// How long a step waits for another program's write to end before it answers.
constexpr int LockedWaitMs = 20;

} // namespace

void SqlCipherCopy::Finisher::operator()(sqlite3_backup* backup) const
{
    sqlite3_backup_finish(backup);
}

SqlCipherCopy::SqlCipherCopy(SqlCipherConnection& from, SqlCipherConnection& to)
    : m_to(to)
{
    m_backup.reset(sqlite3_backup_init(to.handle(), "main", from.handle(), "main"));
    if (!m_backup)
        to.raise(sqlite3_errcode(to.handle()));
}

SqlCipherCopy::~SqlCipherCopy() = default;

bool SqlCipherCopy::step(int pages)
{
    const int rc = sqlite3_backup_step(m_backup.get(), pages);
    switch (rc) {
    case SQLITE_DONE:
        return true;
    case SQLITE_OK:
        return false;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        sqlite3_sleep(LockedWaitMs);
        return false;
    default:
        // The target's handle holds the text of a failed write, the backup's code the rest.
        m_to.raise(rc);
    }
}

int SqlCipherCopy::pageCount() const
{
    return sqlite3_backup_pagecount(m_backup.get());
}

int SqlCipherCopy::remaining() const
{
    return sqlite3_backup_remaining(m_backup.get());
}
