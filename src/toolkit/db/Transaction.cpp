#include "toolkit/db/Transaction.h"

#include <exception>

#include "toolkit/db/StoreError.h"

Transaction::Transaction(Connection& connection)
    : m_connection(connection)
{
    int& depth = connection.transactionDepth();
    if (depth == 0)
        connection.exec(QStringLiteral("BEGIN IMMEDIATE"));
    else {
        m_savepoint = QStringLiteral("sp%1").arg(depth);
        connection.exec(QStringLiteral("SAVEPOINT ") + m_savepoint);
    }
    ++depth;
}

Transaction::~Transaction()
{
    if (m_state != State::Open)
        return;
    try {
        rollback();
    } catch (...) {
        // A failed rollback leaves SQLite to undo the journal when the connection closes.
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
    m_connection.exec(m_savepoint.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_savepoint);
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
        if (m_savepoint.isEmpty())
            m_connection.exec(QStringLiteral("ROLLBACK"));
        else
            m_connection.exec(QStringLiteral("ROLLBACK TO ") + m_savepoint + QStringLiteral("; RELEASE ") + m_savepoint);
    } catch (...) {
        if (!handlingError)
            throw;
    }
}
