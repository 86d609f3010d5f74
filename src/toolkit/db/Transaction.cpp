#include "toolkit/db/Transaction.h"

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

void Transaction::commit()
{
    if (m_state != State::Open)
        return;
    m_connection.exec(m_savepoint.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_savepoint);
    m_state = State::Committed;
    --m_connection.transactionDepth();
}

void Transaction::rollback()
{
    if (m_state != State::Open)
        return;
    m_state = State::RolledBack;
    --m_connection.transactionDepth();
    if (m_savepoint.isEmpty())
        m_connection.exec(QStringLiteral("ROLLBACK"));
    else
        m_connection.exec(QStringLiteral("ROLLBACK TO ") + m_savepoint + QStringLiteral("; RELEASE ") + m_savepoint);
}
