// Inserting, editing, saving, cancelling and deleting rows; each runs through the protocol's
// two steps (DatasetProtocol.cpp) and writes through a RowWriter.
#include "toolkit/db/Dataset.h"

#include "toolkit/db/FieldValues.h"
#include "toolkit/db/RowWriter.h"
#include "toolkit/db/Snapshot.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/Transaction.h"

namespace {

StoreError closedError(const QString& name)
{
    return StoreError(QStringLiteral("%1: Cannot perform this operation on a closed dataset.").arg(name));
}

StoreError readOnlyError(const QString& name)
{
    return StoreError(QStringLiteral("%1: Cannot modify a read-only dataset.").arg(name));
}

} // namespace

void Dataset::insert()
{
    startInsert(false);
}

void Dataset::append()
{
    startInsert(true);
}

void Dataset::startInsert(bool atEnd)
{
    if (!isActive())
        throw closedError(m_name);
    if (m_readOnly)
        throw readOnlyError(m_name);
    leaveForMove();
    const int pos = atEnd || isEmpty() ? (isEmpty() ? m_lo : m_hi) : m_cur;
    QVector<QVariant> values(m_columns.size());
    if (master()) {
        // The master's key goes through the link field's own check, so a value the field
        // cannot hold is refused rather than wrapped.
        const int link = fieldIndex(m_detailField);
        values[columnOf(m_detailField)] = link >= 0 ? convertValue(m_fields[size_t(link)], m_restriction) : m_restriction;
    }
    m_buffer = values;
    insertLocalRow(pos, std::move(values));
    m_state = State::Insert;
    m_modified = false;
    if (onNewRecord) {
        m_inNewRecord = true;
        try {
            onNewRecord(*this);
        } catch (...) {
            m_inNewRecord = false;
            cancel();
            throw;
        }
        m_inNewRecord = false;
    }
    announceChange({.rows = true, .state = true, .event = &afterInsert, .scrolled = true});
}

void Dataset::edit()
{
    if (isEditing())
        return;
    if (!isActive())
        throw closedError(m_name);
    if (isEmpty()) {
        insert();
        return;
    }
    if (m_readOnly)
        throw readOnlyError(m_name);
    m_buffer = storedRow(m_rows[size_t(m_cur)]);
    m_modified = false;
    m_state = State::Edit;
    emitState();
    if (afterEdit)
        afterEdit(*this);
}

void Dataset::post()
{
    if (!isEditing())
        return;
    emit updateRecordRequested();
    postEdits();
}

// The save itself, once the controls have handed over what the user typed.
void Dataset::postEdits()
{
    if (beforePost)
        beforePost(*this);
    const bool inserting = m_state == State::Insert;
    const int linkColumn = master() ? columnOf(m_detailField) : -1;
    const bool upToDate = !isStale();
    const RowRef ref = m_rows[size_t(m_cur)];
    if (inserting)
        m_local[size_t(-ref - 1)].rowid = writer().insert(m_buffer);
    else
        writer().update({rowidOf(ref), storedRow(ref)}, m_buffer);
    keptUpToDate(upToDate);
    keepEditedRow();
    m_modified = false;
    m_state = State::Browse;
    // A new row too may have been given another link than the master's.
    if (linkColumn >= 0 && !sameValue(m_restriction, storedAt(m_rows[size_t(m_cur)], linkColumn)))
        resortCurrent(linkColumn);
    announceChange({.rows = true, .state = true, .event = &afterPost});
}

void Dataset::cancel()
{
    if (m_state == State::Edit) {
        m_buffer.clear();
        m_modified = false;
        m_state = State::Browse;
        announceChange({.state = true, .details = Details::FollowChangedLinks, .event = &afterCancel});
        return;
    }
    if (m_state != State::Insert)
        return;
    m_buffer.clear();
    m_modified = false;
    m_state = State::Browse;
    dropCurrentRow();
    announceChange({.rows = true, .state = true, .event = &afterCancel, .scrolled = true});
}

void Dataset::deleteRecord(const std::function<bool()>& confirm)
{
    if (!isActive())
        throw closedError(m_name);
    if (m_state != State::Insert) {
        if (isEmpty())
            throw StoreError(QStringLiteral("%1: Cannot perform this operation on an empty dataset.").arg(m_name));
        if (m_readOnly)
            throw readOnlyError(m_name);
    }
    // What hangs on the row is stored or dropped first, so nothing is saved after the row has
    // gone, and a question counts what is stored; a failure here deletes nothing.
    leaveRow(OwnChange::Keep);
    if (confirm && !confirm())
        return;
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    if (beforeDelete)
        beforeDelete(*this);
    {
        Transaction transaction(*m_connection);
        const bool upToDate = !isStale();
        const RowRef ref = m_rows[size_t(m_cur)];
        writer().remove({rowidOf(ref), storedRow(ref)});
        keptUpToDate(upToDate);
        if (whileDeleting)
            whileDeleting(*this);
        transaction.commit();
    }
    dropCurrentRow();
    // The row is gone from the file: every step after it runs, so the re-reads are made
    // whatever fails on the way.
    announceChange({.rows = true, .event = &afterDelete, .scrolled = true, .everyStep = true});
}

void Dataset::deleteAllRows(const QString& keyField, const std::function<void(const QVariantList&)>& removeDependents)
{
    if (!isActive())
        throw closedError(m_name);
    if (m_readOnly)
        throw readOnlyError(m_name);
    const int key = fieldIndex(keyField);
    if (key < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, keyField));
    leaveRow(OwnChange::End);
    QVariantList keys;
    std::vector<RowWriter::Row> rows;
    for (int abs = m_lo; abs < m_hi; ++abs) {
        const RowRef ref = m_rows[size_t(abs)];
        keys.append(fieldValueAt(ref, key, false));
        rows.push_back({rowidOf(ref), storedRow(ref)});
    }
    Transaction transaction(*m_connection);
    if (removeDependents)
        removeDependents(keys);
    writer().removeAll(rows);
    transaction.commit();
}
