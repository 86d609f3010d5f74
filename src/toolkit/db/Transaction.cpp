#include "toolkit/db/Transaction.h"

#include <exception>

#include "toolkit/db/EngineConnection.h"
#include "toolkit/db/StoreError.h"

Transaction::Transaction(Connection& connection)
    : m_connection(connection), m_level(connection.transactionDepth())
{
    connection.m_engine->begin(m_level);
    ++connection.transactionDepth();
}

Transaction::~Transaction()
{
    if (m_state != State::Open)
        return;
    try {
        rollback();
    } catch (...) {
        // A failed rollback leaves the store to undo the change when the connection closes.
    }
}

void Transaction::end(State state)
{
    m_state = state;
    --m_connection.transactionDepth();
    if (state == State::RolledBack)
        m_connection.noteRollback();
}

void Transaction::commit()
{
    if (m_state != State::Open)
        return;
    if (!m_connection.inTransaction()) {
        end(State::RolledBack);
        throw StoreError(QStringLiteral("The changes were not saved: the store rolled them back after an earlier error."));
    }
    m_connection.m_engine->commit(m_level);
    end(State::Committed);
}

void Transaction::rollback()
{
    if (m_state != State::Open)
        return;
    end(State::RolledBack);
    if (!m_connection.inTransaction())
        return;
    // Called from a handler of the error that made the rollback necessary: that error goes on.
    const bool handlingError = std::current_exception() != nullptr;
    try {
        m_connection.m_engine->rollback(m_level);
    } catch (...) {
        if (!handlingError)
            throw;
    }
}
