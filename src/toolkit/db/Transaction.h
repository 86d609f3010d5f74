#pragma once

#include "toolkit/db/Connection.h"

// Begins in the constructor (a savepoint when another transaction is open); throws StoreError.
// commit() or rollback() end it; the destructor rolls back one still open and never throws.
// The store ends a transaction by itself on some errors (a full disk, an I/O error): then
// nothing is left to roll back, and a commit says that nothing was saved. A rollback made
// while an error is being handled never throws, so that error is the one the user sees.
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
    void end(State state);
    Connection& m_connection;
    State m_state = State::Open;
    // 0 for the transaction itself, deeper for a savepoint inside it.
    int m_level;
};
