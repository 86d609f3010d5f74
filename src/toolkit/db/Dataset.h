#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include "toolkit/db/DatasetEvent.h"
#include "toolkit/db/Field.h"
#include "toolkit/db/LookupIndex.h"

class Connection;
class DataSource;
class RowWriter;
class Snapshot;

// A dataset: the rows of a table (all, ordered on columns, or those of a master's current row)
// or of a statement with named parameters, read into a snapshot when opened and worked on
// there. Changes go to the file at once, one row at a time, with optimistic checks: a row
// changed or removed in the file since it was read is not overwritten (StoreError).
//
// Operations throw StoreError (the store's text), FieldError (a value a field cannot take) or
// whatever an event handler throws; a failed post or delete keeps the pending change.
// Every operation orders its side effects through two steps (DatasetProtocol.cpp): leaving
// the row, then announcing the change. Controls follow through a DataSource. GUI thread only.
//
// The implementation is split by job: DatasetSetup (configuration and links), DatasetQuery
// (reading), DatasetRows (the rows held and the current row), DatasetProtocol (the two steps,
// moves, open and close, reading again), DatasetChanges (inserting, saving, cancelling,
// deleting), DatasetValues (fields and values), with RowWriter, FieldValues and LookupIndex
// beneath.
class Dataset : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum LocateOption { CaseInsensitive = 1, PartialKey = 2 };
    Q_DECLARE_FLAGS(LocateOptions, LocateOption)
    // A row's identity that survives moves and refreshes; 0 for no row.
    using Bookmark = qint64;

    Dataset(Connection* connection, const QString& name, QObject* parent = nullptr);
    ~Dataset() override;

    // Configuration, while closed.
    void setTableName(const QString& table);
    // A statement whose rows are changed through updateTable, found there by keyColumn.
    void setSql(const QString& sql, const QString& updateTable, const QString& keyColumn);
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    void setOrderBy(const QStringList& columns);
    void addField(const FieldDef& field);
    // Follows the current row of master's dataset: rows whose detailField equals masterField.
    void setMasterSource(DataSource* master, const QString& masterField, const QString& detailField);
    void setMasterSource(DataSource* master, const QString& linkField) { setMasterSource(master, linkField, linkField); }
    void setReadOnly(bool on) { m_readOnly = on; }
    bool isReadOnly() const { return m_readOnly; }

    const QString& name() const { return m_name; }
    const QString& tableName() const { return m_table; }
    Connection* connection() const { return m_connection; }
    // For datasets made before their connection is open; while closed.
    void setConnection(Connection* connection) { m_connection = connection; }
    Dataset* master() const { return m_master; }

    // Events.
    DatasetEvent afterOpen, afterClose;
    // Before a move, once the pending changes that depend on the current row have ended
    // (endPendingChanges); also before the master moves. A throw stops the move.
    DatasetEvent beforeScroll;
    DatasetEvent afterScroll;       // a move, a search, a master's move, a new or cancelled new row, a delete
    DatasetEvent onNewRecord;       // defaults for a new row; what it writes does not count as a change
    DatasetEvent afterInsert, afterEdit;
    DatasetEvent beforePost;        // throw AbortAction to refuse the save
    DatasetEvent afterPost;
    DatasetEvent beforeDelete;
    DatasetEvent whileDeleting;     // inside the row's delete transaction: remove what hangs on the row
    DatasetEvent afterDelete, afterCancel, afterRefresh;
    // The question a navigator asks before a delete; empty: the toolkit's own.
    std::function<QString(Dataset&)> deleteQuestion;

    // Opening and closing.
    void open();
    void close();
    void setActive(bool active) { active ? open() : close(); }
    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

    // Moving. Each first ends the pending changes of the dataset, its details and its
    // dependents (saves a changed row, drops an unchanged one); a failure stops the move.
    void first();
    void last();
    void next();
    void prior();
    int moveBy(int distance);
    // Moves to row index (0-based, within the rows held once the pending change has ended).
    void moveTo(int row);
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    int recordCount() const;
    // 0-based index of the current row; -1 when empty.
    int recNo() const;
    bool isEmpty() const { return recordCount() == 0; }
    bool locate(const QStringList& fields, const QVariantList& values, LocateOptions options = {});
    Bookmark bookmark() const;
    bool gotoBookmark(Bookmark bookmark);

    // Changing.
    void insert();
    void append();
    void edit();
    void post();
    void cancel();
    // Ends the pending changes hanging on the row first; then, when confirm is given, asks it
    // (false: nothing is deleted).
    void deleteRecord(const std::function<bool()>& confirm = {});
    // Ends the pending changes as a move does, then deletes every row held (for a detail: those
    // of the master's current row) in one
    // transaction, each only if the file still holds it as it was read; removeDependents runs
    // first inside it with the rows' values of keyField. On a failure nothing is deleted. Reads
    // nothing again and raises no events: the caller re-reads what the delete affected.
    void deleteAllRows(const QString& keyField, const std::function<void(const QVariantList&)>& removeDependents);
    // Re-reads the rows held and keeps the current row; rows gone from the file drop out.
    void refresh();
    // Whether a table the rows come from was written, through any dataset or statement of
    // the connection, since they were read (the dataset's own saves and deletes aside).
    bool isStale() const;
    // Reads the rows anew, rows added elsewhere included, after ending the pending change as a
    // move does; the current row stays where the file still holds it, else the one at its
    // place becomes current.
    void reread();
    // Drops from the rows held, without reading, those whose column holds one of values (as
    // stored, exactly), for rows known to be gone from the file. The current row stays, or the
    // one at its place when it went; controls are told once.
    void forgetRows(const QString& column, const QVariantList& values);
    // Ends the pending changes of the details (down the chain) and dependents, then this one's:
    // saves a changed row, drops an unchanged one. A failure stops at the change that failed.
    void endPendingChanges();
    // A dataset that follows this one's current row without being its detail: its pending
    // change ends whenever this one leaves its row. Held weakly.
    void addDependent(Dataset* dataset);
    bool modified() const { return m_modified; }
    // Asks the bound controls to hand over what the user typed, so modified() tells all.
    void updateRecord() { if (isEditing()) emit updateRecordRequested(); }

    void disableControls() { ++m_disableCount; }
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }
    // This dataset, its details down the chain and the datasets that look up in any of them.
    QList<Dataset*> followers() const;
    // Whether this dataset, a follower or a dependent of one holds a new or edited row.
    bool changePending() const;

    // Fields.
    int fieldCount() const { return int(m_fields.size()); }
    const FieldDef& field(int index) const { return m_fields[index]; }
    int fieldIndex(const QString& name) const;
    const FieldDef& field(const QString& name) const;
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }

    // Values of the current row (a null QVariant when there is none).
    QVariant value(const QString& field) const;
    bool isNull(const QString& field) const { return value(field).isNull(); }
    // The value as shown: texts cut to width, booleans "True"/"False", dates as text.
    QString text(const QString& field) const;
    // Ids keep their full 64-bit value.
    qint64 asInteger(const QString& field) const;
    bool asBoolean(const QString& field) const;
    // Writes the current row, which must be in editing. A lookup field writes its key field.
    void setValue(const QString& field, const QVariant& value);
    // Writes text as a user typed it; an empty text writes null.
    void setText(const QString& field, const QString& text);

    // Values of any row held, by 0-based index, for grids and reports.
    QVariant valueAt(int row, const QString& field) const;
    QString textAt(int row, const QString& field) const;
    // As text() and textAt(), but whole rather than cut to the field's width (a lookup's value
    // too): print wraps a long name that a screen cuts.
    QString wholeText(const QString& field) const;
    QString wholeTextAt(int row, const QString& field) const;

    // The rows of a lookup field's dataset, in its order: key, shown text.
    QList<QPair<QVariant, QString>> lookupList(const QString& field) const;
    // Shows a value the way the field shows it.
    QString format(const FieldDef& field, const QVariant& value) const;

signals:
    void dataChanged();
    void recordChanged(const QString& field);
    void stateChanged();
    void updateRecordRequested();


private:
    using RowRef = qint32;  // >= 0: a row of the snapshot; < 0: a row of m_local
    struct LocalRow
    {
        qint64 rowid = 0;
        QVector<QVariant> values;
    };
    // What the dataset's own pending change does when it leaves its row.
    enum class OwnChange { End, Keep };
    // How details follow an announced change.
    enum class Details { Follow, FollowChangedLinks };
    // What changed, for announceChange: everything it tells, in its one order.
    struct Change
    {
        bool rows = false;              // the rows held changed
        bool state = false;             // the state changed
        Details details = Details::Follow;
        DatasetEvent* event = nullptr;  // afterOpen, afterPost, ...
        bool scrolled = false;          // afterScroll, last
        // Each step after the controls' runs even if one before failed; the first failure is
        // thrown once all have run.
        bool everyStep = false;
    };

    // ---- the protocol (DatasetProtocol.cpp): the only places that order side effects
    // The dataset, its details down the chain and its dependents end their pending changes;
    // this one's own as own says. A failure stops the caller with the user on the change.
    void leaveRow(OwnChange own);
    // leaveRow, then beforeScroll down the chain: the first half of every move.
    void leaveForMove();
    void announceChange(const Change& change);
    void moved() { announceChange({.scrolled = true}); }
    void postEdits();
    void startInsert(bool atEnd);
    int moveWithin(int distance);
    void raiseBeforeScroll();
    // The row matching values on fields (see locate), absolute; -1 for none.
    int findRow(const QStringList& fields, const QVariantList& values, LocateOptions options) const;

    // ---- links (DatasetSetup.cpp)
    void followMaster();
    void followChangedLinks();
    void notifyDetails();
    QVariant masterValue() const;

    // ---- reading (DatasetQuery.cpp)
    void resolveFields();
    void readSnapshot();
    void applyOrder();
    int columnOf(const QString& column) const;
    // After a write of this dataset's own rows, which the rows held show: up to date if it was.
    void keptUpToDate(bool wasUpToDate);
    RowWriter writer() const;

    // ---- the rows held and the current row (DatasetRows.cpp): no SQL, no events
    QVariant storedAt(RowRef ref, int column) const;
    qint64 rowidOf(RowRef ref) const;
    qint64 snapshotRowid(int row) const;
    // The row as read, for the writer's checks.
    QVector<QVariant> storedRow(RowRef ref) const;
    void restrict(const QVariant& value);
    void placeCurrent(Bookmark keep, int keepRow);
    void setCurrent(int absolute);
    void insertLocalRow(int pos, QVector<QVariant> values);
    void keepEditedRow();
    void resortCurrent(int linkColumn);
    void dropCurrentRow();
    // Matches the rows held against a new read of the same rows, in their order.
    void rematchRows(const std::vector<qint64>& held);
    void clearRows();
    // The rows held changed: lookup indexes rebuild, lookup users show them again.
    void touch();

    // ---- values (DatasetValues.cpp)
    QVariant fieldValueAt(RowRef ref, int fieldIndex, bool current, bool cut = true) const;
    QVariant lookupValue(const FieldDef& field, const QVariant& key, bool cut = true) const;
    // A held row's value by 0-based index; null past the rows held.
    QVariant rowValue(int row, const QString& field, bool cut) const;
    int findInView(const QString& column, const QVariant& key) const;
    void emitData();
    void emitState();

    Connection* m_connection;
    QString m_name;
    QString m_table;
    QString m_sql;
    QString m_keyColumn;
    QHash<QString, QVariant> m_params;
    QStringList m_order;
    std::vector<FieldDef> m_fields;
    bool m_declared = false;
    bool m_readOnly = false;

    // The master dataset, not its data source, so a data source may go before its details.
    Dataset* m_master = nullptr;
    QString m_masterField;
    QString m_detailField;
    std::vector<Dataset*> m_details;
    std::vector<QPointer<Dataset>> m_dependents;
    // Datasets whose lookup fields read this one, told to show their rows again when ours change.
    std::vector<QPointer<Dataset>> m_lookupUsers;
    QVariant m_restriction;
    bool m_restricted = false;

    // Stored columns of the snapshot and, per field, its column (-1 for lookups).
    QStringList m_columns;
    std::vector<int> m_fieldColumn;
    std::shared_ptr<const Snapshot> m_snapshot;
    // The tables the snapshot was read from, and the connection's write count then.
    QStringList m_readTables;
    quint64 m_readAt = 0;
    std::vector<LocalRow> m_local;
    std::vector<RowRef> m_rows;  // every row held, in order
    int m_lo = 0, m_hi = 0;      // the rows that follow the master
    int m_cur = -1;              // absolute index of the current row
    bool m_bof = true, m_eof = true;

    State m_state = State::Inactive;
    QVector<QVariant> m_buffer;  // the current row while editing
    bool m_modified = false;
    bool m_inNewRecord = false;
    int m_disableCount = 0;
    qint64 m_nextTempId = -1;

    quint64 m_version = 0;
    mutable QHash<QString, LookupIndex> m_lookups;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Dataset::LocateOptions)
