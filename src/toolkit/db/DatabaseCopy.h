#pragma once

#include <memory>

class Connection;
class EngineCopy;

// A consistent copy of one open database over another, made a few pages at a time (SQLite's
// online backup), so that the caller can show progress, keep its window painted and stop
// between steps. A write by another connection to the source between steps makes the copy
// start again from the first page, so the copy is never of a half-written state. The target
// changes only when the copy is complete; one dropped before that leaves it as it was. Both
// connections stay usable by nobody else while it lives. Throws StoreError. GUI thread only.
class DatabaseCopy
{
public:
    // Throws when target cannot take the copy (a statement of it still open, another engine).
    DatabaseCopy(Connection& from, Connection& to);
    ~DatabaseCopy();
    DatabaseCopy(const DatabaseCopy&) = delete;
    DatabaseCopy& operator=(const DatabaseCopy&) = delete;

    // Copies up to pages more pages; true when the copy is complete.
    bool step(int pages);
    // Known after the first step; 0 before it.
    int pageCount() const;
    int pagesCopied() const;

private:
    Connection& m_to;
    std::unique_ptr<EngineCopy> m_copy;
};
