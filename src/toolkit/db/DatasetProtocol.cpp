// The order of a dataset's side effects. Every operation that leaves the current row or
// changes the rows held runs through two steps, and only these order side effects:
//   leaveRow       the dataset, its details down the chain and its dependents end their
//                  pending changes (save a changed row, drop an unchanged one); a failure
//                  stops the operation and the user stays on the change;
//   announceChange the rows held changed or the row moved: lookup users, state, controls,
//                  details, the operation's own event, afterScroll; once, in that order.
// Moves, locate, open, close, the master's move, refresh, reread and forgetRows are here;
// inserting, saving, cancelling and deleting are in DatasetChanges.cpp.
#include "toolkit/db/Dataset.h"

#include <algorithm>
#include <exception>
#include <functional>

#include "toolkit/db/FieldValues.h"
#include "toolkit/db/Snapshot.h"
#include "toolkit/db/StoreError.h"

// ---------------------------------------------------------------- the two steps

void Dataset::leaveRow(OwnChange own)
{
    if (!isActive())
        return;
    const std::vector<Dataset*> details = m_details;
    for (Dataset* d : details)
        d->leaveRow(OwnChange::End);
    std::erase_if(m_dependents, [](const QPointer<Dataset>& d) { return d.isNull(); });
    const std::vector<QPointer<Dataset>> dependents = m_dependents;
    for (const QPointer<Dataset>& d : dependents)
        if (d)
            d->leaveRow(OwnChange::End);
    if (own == OwnChange::Keep || !isEditing())
        return;
    updateRecord();
    if (m_modified)
        postEdits();
    else
        cancel();
}

void Dataset::announceChange(const Change& change)
{
    if (change.rows)
        touch();
    if (change.state)
        emitState();
    emitData();
    const auto details = [&] {
        if (change.details == Details::Follow)
            notifyDetails();
        else
            followChangedLinks();
    };
    const auto event = [&] {
        if (change.event && *change.event)
            (*change.event)(*this);
    };
    const auto scrolled = [&] {
        if (change.scrolled && afterScroll)
            afterScroll(*this);
    };
    if (!change.everyStep) {
        details();
        event();
        scrolled();
        return;
    }
    std::exception_ptr failure;
    for (const auto& step : {std::function<void()>(details), std::function<void()>(event), std::function<void()>(scrolled)}) {
        try {
            step();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void Dataset::leaveForMove()
{
    leaveRow(OwnChange::End);
    raiseBeforeScroll();
}

void Dataset::raiseBeforeScroll()
{
    if (!isActive())
        return;
    if (beforeScroll)
        beforeScroll(*this);
    const std::vector<Dataset*> details = m_details;
    for (Dataset* d : details)
        d->raiseBeforeScroll();
}

void Dataset::touch()
{
    ++m_version;
    std::erase_if(m_lookupUsers, [](const QPointer<Dataset>& user) { return user.isNull(); });
    for (const QPointer<Dataset>& user : m_lookupUsers)
        if (user)
            user->emitData();
}

void Dataset::emitData()
{
    if (!controlsDisabled())
        emit dataChanged();
}

void Dataset::emitState()
{
    if (!controlsDisabled())
        emit stateChanged();
}

void Dataset::endPendingChanges()
{
    leaveRow(OwnChange::End);
}

// ---------------------------------------------------------------- open, close, the master's move

void Dataset::open()
{
    if (isActive())
        return;
    resolveFields();
    readSnapshot();
    m_local.clear();
    applyOrder();
    m_state = State::Browse;
    m_modified = false;
    if (master())
        restrict(masterValue());
    else {
        m_restricted = false;
        m_lo = 0;
        m_hi = int(m_rows.size());
    }
    m_cur = m_lo < m_hi ? m_lo : -1;
    m_bof = true;
    m_eof = m_lo == m_hi;
    announceChange({.rows = true, .state = true, .event = &afterOpen, .scrolled = !isEmpty()});
}

// The dataset's own pending change goes with its rows; those hanging on it end first.
void Dataset::close()
{
    if (!isActive())
        return;
    leaveRow(OwnChange::Keep);
    m_state = State::Inactive;
    clearRows();
    announceChange({.rows = true, .state = true, .event = &afterClose});
}

void Dataset::followMaster()
{
    if (!isActive())
        return;
    leaveRow(OwnChange::End);
    const QVariant v = masterValue();
    if (m_restricted && sameValue(v, m_restriction))
        return;
    restrict(v);
    m_cur = m_lo < m_hi ? m_lo : -1;
    m_bof = true;
    m_eof = m_lo == m_hi;
    announceChange({.rows = true, .scrolled = true});
}

// ---------------------------------------------------------------- moving

void Dataset::first()
{
    if (!isActive())
        return;
    leaveForMove();
    if (isEmpty()) {
        m_bof = m_eof = true;
        return;
    }
    setCurrent(m_lo);
    m_bof = true;
    moved();
}

void Dataset::last()
{
    if (!isActive())
        return;
    leaveForMove();
    if (isEmpty()) {
        m_bof = m_eof = true;
        return;
    }
    setCurrent(m_hi - 1);
    m_eof = true;
    moved();
}

void Dataset::next()
{
    moveBy(1);
}

void Dataset::prior()
{
    moveBy(-1);
}

int Dataset::moveBy(int distance)
{
    if (!isActive())
        return 0;
    leaveForMove();
    return moveWithin(distance);
}

int Dataset::moveWithin(int distance)
{
    if (isEmpty()) {
        m_bof = m_eof = true;
        return 0;
    }
    const int target = std::clamp(m_cur + distance, m_lo, m_hi - 1);
    const int moved = target - m_cur;
    if (moved == 0) {
        if (distance > 0)
            m_eof = true;
        if (distance < 0)
            m_bof = true;
        return 0;
    }
    setCurrent(target);
    this->moved();
    return moved;
}

void Dataset::moveTo(int row)
{
    if (!isActive())
        return;
    leaveForMove();
    if (row >= 0 && row < recordCount() && row != recNo())
        moveWithin(row - recNo());
}

bool Dataset::locate(const QStringList& fields, const QVariantList& values, LocateOptions options)
{
    if (!isActive() || fields.size() != values.size())
        return false;
    leaveForMove();
    const int found = findRow(fields, values, options);
    if (found < 0)
        return false;
    setCurrent(found);
    moved();
    return true;
}

bool Dataset::gotoBookmark(Bookmark bookmark)
{
    if (!isActive() || bookmark == 0)
        return false;
    leaveForMove();
    for (int abs = m_lo; abs < m_hi; ++abs)
        if (rowidOf(m_rows[size_t(abs)]) == bookmark) {
            setCurrent(abs);
            moved();
            return true;
        }
    return false;
}

// ---------------------------------------------------------------- reading again

void Dataset::refresh()
{
    if (!isActive())
        return;
    leaveRow(OwnChange::End);
    const Bookmark keep = bookmark();
    const int keepRow = recNo();
    const quint64 readBefore = m_readAt;
    std::vector<qint64> held;
    held.reserve(m_rows.size());
    for (RowRef r : m_rows)
        held.push_back(rowidOf(r));
    readSnapshot();
    rematchRows(held);
    // Rows added elsewhere are not taken in, so the dataset has not caught up with them.
    if (size_t(m_snapshot->rowCount()) > m_rows.size())
        m_readAt = readBefore;
    placeCurrent(keep, keepRow);
    announceChange({.rows = true, .event = &afterRefresh});
}

void Dataset::reread()
{
    if (!isActive())
        return;
    leaveRow(OwnChange::End);
    const Bookmark keep = bookmark();
    const int keepRow = recNo();
    readSnapshot();
    m_local.clear();
    applyOrder();
    placeCurrent(keep, keepRow);
    announceChange({.rows = true, .event = &afterRefresh, .scrolled = bookmark() != keep});
}

void Dataset::forgetRows(const QString& column, const QVariantList& values)
{
    if (!isActive() || values.isEmpty())
        return;
    const int col = columnOf(column);
    if (col < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, column));
    leaveRow(OwnChange::End);
    const auto less = [](const QVariant& a, const QVariant& b) { return compareValues(a, b, false) < 0; };
    std::vector<QVariant> gone(values.begin(), values.end());
    std::sort(gone.begin(), gone.end(), less);
    const Bookmark keep = bookmark();
    const int keepRow = recNo();
    // The snapshot is shared and stays as read; only this dataset's list of rows shrinks.
    const auto dropped = std::erase_if(m_rows, [&](RowRef r) {
        return std::binary_search(gone.begin(), gone.end(), storedAt(r, col), less);
    });
    if (dropped == 0)
        return;
    placeCurrent(keep, keepRow);
    announceChange({.rows = true, .scrolled = bookmark() != keep});
}
