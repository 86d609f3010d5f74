#pragma once

#include "toolkit/db/Connection.h"

// Begins in the constructor (a savepoint when another transaction is open). commit() or
// rollback() end it; the destructor rolls back one still open and never throws.
class Transaction
{
public:
    explicit Transaction(Connection& connection);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    void commit();
    void rollback();

private:
    enum class State { Open, Committed, RolledBack };
    Connection& m_connection;
    State m_state = State::Open;
    QString m_savepoint;
};
