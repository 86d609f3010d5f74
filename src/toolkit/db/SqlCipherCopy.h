#pragma once

#include <memory>

#include "toolkit/db/EngineCopy.h"

struct sqlite3_backup;
class SqlCipherConnection;

// SQLite's online backup between two keyed SQLCipher files. The pages are read through the
// source's key and written through the target's, so the copy is keyed as the target was
// opened. The constructor throws StoreError when the target cannot take the copy (another
// statement of it open). Finishing before the end rolls the target back. GUI thread only.
class SqlCipherCopy final : public EngineCopy
{
public:
    SqlCipherCopy(SqlCipherConnection& from, SqlCipherConnection& to);
    ~SqlCipherCopy() override;

    bool step(int pages) override;
    int pageCount() const override;
    int remaining() const override;

private:
    struct Finisher { void operator()(sqlite3_backup* backup) const; };
    SqlCipherConnection& m_to;
    std::unique_ptr<sqlite3_backup, Finisher> m_backup;
};
