#include "toolkit/db/DatabaseCopy.h"

#include "toolkit/db/Connection.h"
#include "toolkit/db/EngineConnection.h"

DatabaseCopy::DatabaseCopy(Connection& from, Connection& to)
    : m_to(to), m_copy(from.m_engine->copyTo(*to.m_engine))
{
}

DatabaseCopy::~DatabaseCopy() = default;

bool DatabaseCopy::step(int pages)
{
    if (!m_copy->step(pages))
        return false;
    // Every table of the target may hold other rows now.
    m_to.noteRollback();
    return true;
}

int DatabaseCopy::pageCount() const
{
    return m_copy->pageCount();
}

int DatabaseCopy::pagesCopied() const
{
    return m_copy->pageCount() - m_copy->remaining();
}
