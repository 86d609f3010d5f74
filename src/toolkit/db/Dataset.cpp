#include "toolkit/db/Dataset.h"

#include <algorithm>
#include <exception>
#include <limits>

#include <QDateTime>
#include <QHash>

#include "toolkit/db/Connection.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/Snapshot.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/TextWidth.h"
#include "toolkit/db/Transaction.h"

namespace {

const QString DateTimeStorage = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString quoted(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return compareValues(a, b, false) == 0;
}

QDateTime parseDateTime(const QString& text)
{
    static const char* const formats[] = {
        "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd",
        "dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd/MM/yyyy", "d/M/yyyy", "dd.MM.yyyy", "d.M.yyyy",
    };
    const QString t = text.trimmed();
    for (const char* format : formats) {
        const QDateTime dt = QDateTime::fromString(t, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    return {};
}

bool isIntegralType(FieldType type)
{
    return type == FieldType::AutoInc || type == FieldType::Integer || type == FieldType::Boolean;
}

// Saves the row being edited when it holds a change, drops it otherwise.
void endOwnChange(Dataset& d)
{
    if (!d.isEditing())
        return;
    d.updateRecord();
    if (d.modified())
        d.post();
    else
        d.cancel();
}

} // namespace

// An index of the rows held on one column, for lookups; rebuilt when the rows change.
struct Dataset::Lookup
{
    quint64 version = 0;
    QHash<qint64, int> numbers;
    QHash<QString, int> texts;
};

Dataset::Dataset(Connection* connection, const QString& name, QObject* parent)
    : QObject(parent), m_connection(connection), m_name(name)
{
    setObjectName(name);
}

Dataset::~Dataset()
{
    if (Dataset* m = master())
        std::erase(m->m_details, this);
    for (Dataset* d : m_details)
        d->m_master = nullptr;
}

void Dataset::touch()
{
    ++m_version;
    std::erase_if(m_lookupUsers, [](const QPointer<Dataset>& user) { return user.isNull(); });
    for (const QPointer<Dataset>& user : m_lookupUsers)
        if (user)
            user->emitData();
}

void Dataset::setTableName(const QString& table)
{
    m_table = table;
    m_sql.clear();
}

void Dataset::setSql(const QString& sql, const QString& updateTable, const QString& keyColumn)
{
    m_sql = sql;
    m_table = updateTable;
    m_keyColumn = keyColumn;
}

void Dataset::setParam(const QString& name, const QVariant& value)
{
    QString key = name.toLower();
    if (key.startsWith(u':'))
        key.remove(0, 1);
    m_params.insert(key, value);
}

QVariant Dataset::param(const QString& name) const
{
    QString key = name.toLower();
    if (key.startsWith(u':'))
        key.remove(0, 1);
    return m_params.value(key);
}

void Dataset::setOrderBy(const QStringList& columns)
{
    m_order = columns;
    if (!m_detailField.isEmpty() && (m_order.isEmpty() || m_order.first().compare(m_detailField, Qt::CaseInsensitive) != 0))
        m_order.prepend(m_detailField);
}

void Dataset::addField(const FieldDef& field)
{
    m_fields.push_back(field);
    m_declared = true;
    if (field.isLookup && field.lookupDataset)
        field.lookupDataset->m_lookupUsers.emplace_back(this);
}

void Dataset::setMasterSource(DataSource* master, const QString& masterField, const QString& detailField)
{
    if (Dataset* old = this->master())
        std::erase(old->m_details, this);
    m_master = master ? master->dataset() : nullptr;
    m_masterField = masterField;
    m_detailField = detailField;
    if (Dataset* m = this->master())
        m->m_details.push_back(this);
    setOrderBy(m_order);
}

Dataset* Dataset::master() const
{
    return m_master;
}

// ---------------------------------------------------------------- reading

void Dataset::resolveFields()
{
    m_columns.clear();
    if (m_sql.isEmpty()) {
        struct Column { QString name; FieldType type; int width; };
        std::vector<Column> table;
        for (const TableColumn& c : tableColumns(*m_connection, m_table)) {
            int width = 0;
            const FieldType type = fieldTypeOfDeclared(c.declaredType, c.primaryKey, &width);
            table.push_back({c.name, type, width});
        }
        if (table.empty())
            throw StoreError(QStringLiteral("The table '%1' is missing from the database.").arg(m_table));
        if (!m_declared) {
            m_fields.clear();
            for (const Column& c : table) {
                FieldDef f;
                f.name = c.name;
                f.type = c.type;
                f.width = c.width;
                f.readOnly = c.type == FieldType::AutoInc;
                m_fields.push_back(f);
            }
        }
        // Only declared fields can disagree with the file; the others are the file's own.
        if (m_declared) {
            TableRequirement need{m_table, {}};
            for (const FieldDef& f : m_fields)
                if (f.isStored())
                    need.columns.append({f.name, f.type});
            checkSchema(*m_connection, {need});
        }
        // Columns in the table's own order, so that datasets declaring the same columns in
        // another order still run the same read and can share it.
        for (const Column& c : table)
            for (const FieldDef& f : m_fields)
                if (f.isStored() && f.name.compare(c.name, Qt::CaseInsensitive) == 0) {
                    m_columns.append(c.name);
                    break;
                }
    }
    m_fieldColumn.assign(m_fields.size(), -1);
}

void Dataset::readSnapshot()
{
    QString sql;
    int rowidColumn = -1;
    if (m_sql.isEmpty()) {
        QStringList cols;
        for (const QString& c : m_columns)
            cols.append(quoted(c));
        sql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(cols.join(u", "), quoted(m_table));
        rowidColumn = 0;
    } else {
        sql = m_sql;
    }
    Statement st(*m_connection, sql);
    m_selectSql = sql;
    QString key = sql;
    for (int i = 1; i <= st.parameterCount(); ++i) {
        const QVariant v = param(st.parameterName(i));
        st.bind(i, v);
        key += QStringLiteral("\n%1=%2").arg(v.isNull() ? QStringLiteral("<null>") : v.toString());
    }

    if (!m_sql.isEmpty()) {
        m_columns.clear();
        for (int c = 0; c < st.columnCount(); ++c)
            m_columns.append(st.columnName(c));
        if (!m_declared) {
            m_fields.clear();
            for (int c = 0; c < st.columnCount(); ++c) {
                FieldDef f;
                f.name = st.columnName(c);
                f.type = fieldTypeOfDeclared(st.declaredType(c), false, &f.width);
                m_fields.push_back(f);
            }
            m_fieldColumn.assign(m_fields.size(), -1);
        }
    }
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (!m_fields[i].isStored())
            continue;
        m_fieldColumn[i] = columnOf(m_fields[i].name);
        if (m_fieldColumn[i] < 0)
            throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, m_fields[i].name));
    }
    for (const FieldDef& f : m_fields)
        if (f.isLookup && (fieldIndex(f.keyField) < 0 || !f.lookupDataset))
            throw StoreError(QStringLiteral("%1: Lookup field '%2' has no key field or dataset.").arg(m_name, f.name));

    std::vector<FieldType> kinds(m_columns.size(), FieldType::Text);
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fieldColumn[i] >= 0)
            kinds[m_fieldColumn[i]] = m_fields[i].type;
    for (size_t c = 0; c < kinds.size(); ++c)
        key += QStringLiteral("\n%1").arg(int(kinds[c]));
    m_readTables = st.tables().read;
    if (!m_table.isEmpty() && !m_readTables.contains(m_table.toLower()))
        m_readTables.append(m_table.toLower());
    m_readAt = m_connection->writeCount();

    if (auto shared = std::static_pointer_cast<const Snapshot>(m_connection->sharedRead(key))) {
        m_snapshot = std::move(shared);
        return;
    }
    auto snapshot = std::make_shared<const Snapshot>(st, rowidColumn, kinds);
    m_connection->keepSharedRead(key, snapshot);
    m_snapshot = std::move(snapshot);
}

QVariantList Dataset::selectParams() const
{
    QVariantList values;
    Statement st(*m_connection, m_selectSql);
    for (int i = 1; i <= st.parameterCount(); ++i)
        values.append(param(st.parameterName(i)));
    return values;
}

int Dataset::columnOf(const QString& column) const
{
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns[c].compare(column, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void Dataset::applyOrder()
{
    std::vector<int> cols;
    for (const QString& name : m_order) {
        const int c = columnOf(name);
        if (c < 0)
            throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
        cols.push_back(c);
    }
    const auto order = m_snapshot->order(cols);
    m_rows.assign(order->begin(), order->end());
}

QVariant Dataset::storedAt(RowRef ref, int column) const
{
    return ref >= 0 ? m_snapshot->value(ref, column) : m_local[size_t(-ref - 1)].values[column];
}

qint64 Dataset::rowidOf(RowRef ref) const
{
    if (!m_keyColumn.isEmpty()) {
        const int c = columnOf(m_keyColumn);
        return c >= 0 ? storedAt(ref, c).toLongLong() : 0;
    }
    return ref >= 0 ? m_snapshot->rowid(ref) : m_local[size_t(-ref - 1)].rowid;
}

// ---------------------------------------------------------------- open and close

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
    touch();
    emitState();
    emitData();
    notifyDetails();
    if (afterOpen)
        afterOpen(*this);
    if (!isEmpty() && afterScroll)
        afterScroll(*this);
}

void Dataset::close()
{
    if (!isActive())
        return;
    m_state = State::Inactive;
    m_buffer.clear();
    m_modified = false;
    m_rows.clear();
    m_local.clear();
    m_snapshot.reset();
    m_cur = -1;
    m_lo = m_hi = 0;
    m_restricted = false;
    m_bof = m_eof = true;
    touch();
    emitState();
    emitData();
    notifyDetails();
    if (afterClose)
        afterClose(*this);
}

// ---------------------------------------------------------------- master and detail

QVariant Dataset::masterValue() const
{
    Dataset* m = master();
    if (!m || !m->isActive() || m->isEmpty())
        return {};
    const int f = m->fieldIndex(m_masterField);
    if (f < 0)
        return {};
    return m->fieldValueAt(m->m_rows[size_t(m->m_cur)], f, true);
}

void Dataset::restrict(const QVariant& value)
{
    m_restriction = value;
    m_restricted = true;
    const int col = columnOf(m_detailField);
    if (col < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, m_detailField));
    const auto lower = std::partition_point(m_rows.begin(), m_rows.end(),
                                            [&](RowRef r) { return compareValues(storedAt(r, col), value) < 0; });
    const auto upper = std::partition_point(lower, m_rows.end(),
                                            [&](RowRef r) { return compareValues(storedAt(r, col), value) == 0; });
    m_lo = int(lower - m_rows.begin());
    m_hi = int(upper - m_rows.begin());
}

void Dataset::followMaster(bool force)
{
    if (!isActive())
        return;
    checkBrowseMode();
    const QVariant v = masterValue();
    if (!force && m_restricted && sameValue(v, m_restriction))
        return;
    restrict(v);
    m_cur = m_lo < m_hi ? m_lo : -1;
    m_bof = true;
    m_eof = m_lo == m_hi;
    touch();
    scrolled();
}

// Details follow a change of their link value in the row being edited, not only once it is
// saved; the others are left alone, pending changes included.
void Dataset::followChangedLinks()
{
    const std::vector<Dataset*> details = m_details;
    for (Dataset* d : details)
        if (d->isActive() && !(d->m_restricted && sameValue(d->masterValue(), d->m_restriction)))
            d->followMaster();
}

void Dataset::notifyDetails()
{
    const std::vector<Dataset*> details = m_details;
    for (Dataset* d : details)
        d->followMaster();
}

// ---------------------------------------------------------------- notifications

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

QList<Dataset*> Dataset::followers() const
{
    QList<Dataset*> chain{const_cast<Dataset*>(this)};
    for (int i = 0; i < chain.size(); ++i)
        for (Dataset* d : chain[i]->m_details)
            if (!chain.contains(d))
                chain.append(d);
    QList<Dataset*> all = chain;
    for (Dataset* d : chain)
        for (const QPointer<Dataset>& user : d->m_lookupUsers)
            if (user && !all.contains(user.data()))
                all.append(user.data());
    return all;
}

bool Dataset::changePending() const
{
    for (Dataset* d : followers()) {
        if (d->isEditing())
            return true;
        for (const QPointer<Dataset>& dependent : d->m_dependents)
            if (dependent && dependent->isEditing())
                return true;
    }
    return false;
}

void Dataset::enableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0) {
        emit stateChanged();
        emit dataChanged();
    }
}

void Dataset::scrolled()
{
    emitData();
    notifyDetails();
    if (afterScroll)
        afterScroll(*this);
}

void Dataset::setCurrent(int absolute)
{
    m_cur = absolute;
    m_bof = false;
    m_eof = false;
}

void Dataset::setState(State state)
{
    m_state = state;
    emitState();
}

// ---------------------------------------------------------------- moving

int Dataset::recordCount() const
{
    return m_hi - m_lo;
}

int Dataset::recNo() const
{
    return m_cur < 0 ? -1 : m_cur - m_lo;
}

void Dataset::first()
{
    if (!isActive())
        return;
    prepareMove();
    if (isEmpty()) {
        m_bof = m_eof = true;
        return;
    }
    setCurrent(m_lo);
    m_bof = true;
    scrolled();
}

void Dataset::last()
{
    if (!isActive())
        return;
    prepareMove();
    if (isEmpty()) {
        m_bof = m_eof = true;
        return;
    }
    setCurrent(m_hi - 1);
    m_eof = true;
    scrolled();
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
    prepareMove();
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
    scrolled();
    return moved;
}

void Dataset::moveTo(int row)
{
    if (!isActive())
        return;
    prepareMove();
    if (row >= 0 && row < recordCount() && row != recNo())
        moveWithin(row - recNo());
}

bool Dataset::locate(const QStringList& fields, const QVariantList& values, LocateOptions options)
{
    if (!isActive() || fields.size() != values.size())
        return false;
    prepareMove();
    const bool folded = options.testFlag(CaseInsensitive);
    std::vector<int> idx;
    QVariantList wanted;
    for (int k = 0; k < fields.size(); ++k) {
        idx.push_back(fieldIndex(fields[k]));
        if (idx.back() < 0)
            throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, fields[k]));
        const FieldDef& f = m_fields[size_t(idx.back())];
        QVariant v = values[k];
        if (isIntegralType(f.type) && !v.isNull() && f.type != FieldType::Boolean) {
            bool ok = false;
            const qint64 n = v.toString().trimmed().toLongLong(&ok);
            if (!ok)
                return false;
            v = n;
        }
        wanted.append(v);
    }
    auto matches = [&](int abs) {
        const RowRef ref = m_rows[size_t(abs)];
        for (size_t k = 0; k < idx.size(); ++k) {
            const FieldDef& f = m_fields[size_t(idx[k])];
            const QVariant have = fieldValueAt(ref, idx[k], false);
            const QVariant& want = wanted[int(k)];
            const bool text = !isIntegralType(f.type) && f.type != FieldType::Real;
            if (text && !want.isNull()) {
                const QString h = have.toString(), w = want.toString();
                const Qt::CaseSensitivity cs = folded ? Qt::CaseInsensitive : Qt::CaseSensitive;
                const bool ok = options.testFlag(PartialKey) && !w.isEmpty() ? h.startsWith(w, cs)
                                                                               : h.compare(w, cs) == 0;
                if (!ok)
                    return false;
            } else if (!sameValue(have, want)) {
                return false;
            }
        }
        return true;
    };
    int found = -1;
    for (int abs = m_lo; abs < m_hi; ++abs) {
        if (!matches(abs))
            continue;
        if (found < 0 || idx.size() == 1) {
            if (found < 0)
                found = abs;
            if (idx.size() == 1)
                break;
            continue;
        }
        // Of several matches on more than one key, the least by key order wins.
        for (size_t k = 0; k < idx.size(); ++k) {
            const int c = compareValues(fieldValueAt(m_rows[size_t(abs)], idx[k], false),
                                        fieldValueAt(m_rows[size_t(found)], idx[k], false), true);
            if (c != 0) {
                if (c < 0)
                    found = abs;
                break;
            }
        }
    }
    if (found < 0)
        return false;
    setCurrent(found);
    scrolled();
    return true;
}

Dataset::Bookmark Dataset::bookmark() const
{
    return m_cur < 0 ? 0 : rowidOf(m_rows[size_t(m_cur)]);
}

bool Dataset::gotoBookmark(Bookmark bookmark)
{
    if (!isActive() || bookmark == 0)
        return false;
    prepareMove();
    for (int abs = m_lo; abs < m_hi; ++abs)
        if (rowidOf(m_rows[size_t(abs)]) == bookmark) {
            setCurrent(abs);
            scrolled();
            return true;
        }
    return false;
}

// ---------------------------------------------------------------- changing

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
        throw StoreError(QStringLiteral("%1: Cannot perform this operation on a closed dataset.").arg(m_name));
    if (m_readOnly)
        throw StoreError(QStringLiteral("%1: Cannot modify a read-only dataset.").arg(m_name));
    prepareMove();
    const int pos = atEnd || isEmpty() ? (isEmpty() ? m_lo : m_hi) : m_cur;
    LocalRow row;
    row.rowid = m_nextTempId--;
    row.values = QVector<QVariant>(m_columns.size());
    if (master()) {
        // The master's key goes through the link field's own check, so a value the field
        // cannot hold is refused rather than wrapped.
        const int link = fieldIndex(m_detailField);
        row.values[columnOf(m_detailField)] = link >= 0 ? convert(m_fields[size_t(link)], m_restriction) : m_restriction;
    }
    m_buffer = row.values;
    m_local.push_back(std::move(row));
    m_rows.insert(m_rows.begin() + pos, RowRef(-qint32(m_local.size())));
    ++m_hi;
    setCurrent(pos);
    m_state = State::Insert;
    m_modified = false;
    touch();
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
    emitState();
    emitData();
    notifyDetails();
    if (afterInsert)
        afterInsert(*this);
    if (afterScroll)
        afterScroll(*this);
}

void Dataset::edit()
{
    if (isEditing())
        return;
    if (!isActive())
        throw StoreError(QStringLiteral("%1: Cannot perform this operation on a closed dataset.").arg(m_name));
    if (isEmpty()) {
        insert();
        return;
    }
    if (m_readOnly)
        throw StoreError(QStringLiteral("%1: Cannot modify a read-only dataset.").arg(m_name));
    const RowRef ref = m_rows[size_t(m_cur)];
    m_buffer.resize(m_columns.size());
    for (int c = 0; c < m_columns.size(); ++c)
        m_buffer[c] = storedAt(ref, c);
    m_modified = false;
    setState(State::Edit);
    if (afterEdit)
        afterEdit(*this);
}

void Dataset::prepareMove()
{
    endPendingChanges();
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

void Dataset::endPendingChanges()
{
    if (!isActive())
        return;
    endDependentChanges();
    endOwnChange(*this);
}

void Dataset::endDependentChanges()
{
    const std::vector<Dataset*> details = m_details;
    for (Dataset* d : details)
        d->endPendingChanges();
    std::erase_if(m_dependents, [](const QPointer<Dataset>& d) { return d.isNull(); });
    const std::vector<QPointer<Dataset>> dependents = m_dependents;
    for (const QPointer<Dataset>& d : dependents)
        if (d)
            d->endPendingChanges();
}

void Dataset::addDependent(Dataset* dataset)
{
    if (dataset && dataset != this && std::find(m_dependents.begin(), m_dependents.end(), dataset) == m_dependents.end())
        m_dependents.emplace_back(dataset);
}

void Dataset::removeDependent(Dataset* dataset)
{
    std::erase_if(m_dependents, [dataset](const QPointer<Dataset>& d) { return d.isNull() || d == dataset; });
}

void Dataset::checkBrowseMode()
{
    if (!isActive())
        return;
    const std::vector<Dataset*> details = m_details;
    for (Dataset* d : details)
        d->checkBrowseMode();
    endOwnChange(*this);
}

void Dataset::post()
{
    if (!isEditing())
        return;
    emit updateRecordRequested();
    if (beforePost)
        beforePost(*this);
    const bool inserting = m_state == State::Insert;
    const int linkColumn = master() ? columnOf(m_detailField) : -1;
    const bool upToDate = !isStale();
    if (inserting)
        writeInsert();
    else
        writeUpdate();
    keptUpToDate(upToDate);

    RowRef& ref = m_rows[size_t(m_cur)];
    if (ref >= 0) {
        LocalRow row;
        row.rowid = m_snapshot->rowid(ref);
        m_local.push_back(std::move(row));
        ref = RowRef(-qint32(m_local.size()));
    }
    m_local[size_t(-ref - 1)].values = m_buffer;
    m_buffer.clear();
    m_modified = false;
    m_state = State::Browse;
    // A new row too may have been given another link than the master's.
    if (linkColumn >= 0 && !sameValue(m_restriction, storedAt(ref, linkColumn)))
        resortCurrent(linkColumn);
    touch();
    emitState();
    emitData();
    notifyDetails();
    if (afterPost)
        afterPost(*this);
}

// A detail row whose link changed moves to its new group, so the rows stay sorted on the link.
void Dataset::resortCurrent(int linkColumn)
{
    const RowRef ref = m_rows[size_t(m_cur)];
    m_rows.erase(m_rows.begin() + m_cur);
    const QVariant v = storedAt(ref, linkColumn);
    const auto at = std::partition_point(m_rows.begin(), m_rows.end(),
                                         [&](RowRef r) { return compareValues(storedAt(r, linkColumn), v) <= 0; });
    m_rows.insert(at, ref);
    restrict(m_restriction);
    // clamp needs a non-empty range: the moved row may have been the master's only one.
    m_cur = m_lo == m_hi ? -1 : std::clamp(m_cur, m_lo, m_hi - 1);
}

void Dataset::cancel()
{
    if (m_state == State::Edit) {
        m_buffer.clear();
        m_modified = false;
        m_state = State::Browse;
        emitState();
        emitData();
        followChangedLinks();
        if (afterCancel)
            afterCancel(*this);
        return;
    }
    if (m_state != State::Insert)
        return;
    m_buffer.clear();
    m_modified = false;
    m_state = State::Browse;
    dropCurrentRow();
    emitState();
    emitData();
    notifyDetails();
    if (afterCancel)
        afterCancel(*this);
    if (afterScroll)
        afterScroll(*this);
}

// The row after the one removed becomes current, or the one before at the end.
void Dataset::dropCurrentRow()
{
    m_rows.erase(m_rows.begin() + m_cur);
    --m_hi;
    if (m_cur >= m_hi)
        m_cur = m_hi - 1;
    if (m_lo == m_hi)
        m_cur = -1;
    m_bof = m_cur <= m_lo;
    m_eof = m_lo == m_hi;
    touch();
}

void Dataset::deleteRecord()
{
    if (!isActive())
        throw StoreError(QStringLiteral("%1: Cannot perform this operation on a closed dataset.").arg(m_name));
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (isEmpty())
        throw StoreError(QStringLiteral("%1: Cannot perform this operation on an empty dataset.").arg(m_name));
    if (m_readOnly)
        throw StoreError(QStringLiteral("%1: Cannot modify a read-only dataset.").arg(m_name));
    // What hangs on the row is stored or dropped first, so nothing is saved after the row
    // has gone; a failure here deletes nothing.
    endDependentChanges();
    if (m_state == State::Edit)
        cancel();
    if (beforeDelete)
        beforeDelete(*this);
    {
        Transaction transaction(*m_connection);
        const bool upToDate = !isStale();
        writeDelete();
        keptUpToDate(upToDate);
        if (whileDeleting)
            whileDeleting(*this);
        transaction.commit();
    }
    dropCurrentRow();
    emitData();
    // The row is gone from the file: every step after it runs, so the re-reads are made
    // whatever fails on the way; the first failure is reported.
    std::exception_ptr failure;
    auto step = [&](const std::function<void()>& run) {
        try {
            run();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    };
    step([this] { notifyDetails(); });
    step([this] { if (afterDelete) afterDelete(*this); });
    step([this] { if (afterScroll) afterScroll(*this); });
    if (failure)
        std::rethrow_exception(failure);
}

void Dataset::deleteAllRows(const QString& keyField, const std::function<void(const QVariantList&)>& removeDependents)
{
    if (!isActive())
        throw StoreError(QStringLiteral("%1: Cannot perform this operation on a closed dataset.").arg(m_name));
    if (m_readOnly)
        throw StoreError(QStringLiteral("%1: Cannot modify a read-only dataset.").arg(m_name));
    endPendingChanges();
    const int key = fieldIndex(keyField);
    if (key < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, keyField));
    QVariantList keys;
    for (int abs = m_lo; abs < m_hi; ++abs)
        keys.append(fieldValueAt(m_rows[size_t(abs)], key, false));
    Transaction transaction(*m_connection);
    if (removeDependents)
        removeDependents(keys);
    std::unique_ptr<Statement> remove;
    for (int abs = m_lo; abs < m_hi; ++abs) {
        QVariantList binds;
        const QString where = whereOriginal(m_rows[size_t(abs)], binds);
        // Rows of one dataset differ only in which values are null, so the text is mostly reused.
        if (!remove || remove->sql() != QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(m_table), where))
            remove = std::make_unique<Statement>(*m_connection, QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(m_table), where));
        else
            remove->reset();
        for (int i = 0; i < binds.size(); ++i)
            remove->bind(i + 1, binds[i]);
        remove->run();
        if (m_connection->changes() == 0)
            throw StoreError(StoreError::Kind::RowChanged, QStringLiteral("Row cannot be located for deleting. It may have been changed or deleted since it was last read."));
    }
    transaction.commit();
}

void Dataset::refresh()
{
    if (!isActive())
        return;
    checkBrowseMode();
    const Bookmark keep = bookmark();
    const int keepRow = recNo();
    const quint64 readBefore = m_readAt;
    const std::vector<qint64> held = [&] {
        std::vector<qint64> ids;
        ids.reserve(m_rows.size());
        for (RowRef r : m_rows)
            ids.push_back(rowidOf(r));
        return ids;
    }();
    readSnapshot();
    m_local.clear();
    QHash<qint64, qint32> fresh;
    fresh.reserve(m_snapshot->rowCount());
    for (int i = 0; i < m_snapshot->rowCount(); ++i)
        fresh.insert(snapshotRowid(i), i);
    m_rows.clear();
    for (qint64 id : held) {
        const auto it = fresh.constFind(id);
        if (it != fresh.cend())
            m_rows.push_back(*it);
    }
    // Rows added elsewhere are not taken in, so the dataset has not caught up with them.
    if (size_t(m_snapshot->rowCount()) > m_rows.size())
        m_readAt = readBefore;
    // A row whose order column was changed elsewhere moves to its place, so the binary
    // search for the master's rows stays sound.
    std::vector<int> orderColumns;
    for (const QString& name : m_order)
        orderColumns.push_back(columnOf(name));
    const auto before = [&](RowRef a, RowRef b) {
        for (int c : orderColumns) {
            const int r = compareValues(storedAt(a, c), storedAt(b, c));
            if (r != 0)
                return r < 0;
        }
        return false;
    };
    // Seldom needed, and a sort of a large table's rows costs far more than the check.
    if (!std::is_sorted(m_rows.begin(), m_rows.end(), before))
        std::stable_sort(m_rows.begin(), m_rows.end(), before);
    showRowsRead(keep, keepRow);
}

void Dataset::showRowsRead(Bookmark keep, int keepRow)
{
    placeCurrent(keep, keepRow);
    touch();
    emitData();
    notifyDetails();
    if (afterRefresh)
        afterRefresh(*this);
}

bool Dataset::isStale() const
{
    return isActive() && m_connection->lastWriteTo(m_readTables) > m_readAt;
}

void Dataset::keptUpToDate(bool wasUpToDate)
{
    if (wasUpToDate)
        m_readAt = m_connection->writeCount();
}

void Dataset::reread()
{
    if (!isActive())
        return;
    checkBrowseMode();
    const Bookmark keep = bookmark();
    const int keepRow = recNo();
    readSnapshot();
    m_local.clear();
    applyOrder();
    showRowsRead(keep, keepRow);
    if (bookmark() != keep && afterScroll)
        afterScroll(*this);
}

// After the rows held changed: the master's rows again, and the row kept current, or the one
// at its place.
void Dataset::placeCurrent(Bookmark keep, int keepRow)
{
    if (m_restricted)
        restrict(m_restriction);
    else {
        m_lo = 0;
        m_hi = int(m_rows.size());
    }
    m_cur = -1;
    for (int abs = m_lo; abs < m_hi && keep != 0; ++abs)
        if (rowidOf(m_rows[size_t(abs)]) == keep)
            m_cur = abs;
    if (m_cur < 0 && m_lo < m_hi)
        m_cur = std::clamp(m_lo + keepRow, m_lo, m_hi - 1);
    m_bof = m_cur <= m_lo;
    m_eof = m_lo == m_hi;
}

void Dataset::forgetRows(const QString& column, const QVariantList& values)
{
    if (!isActive() || values.isEmpty())
        return;
    const int col = columnOf(column);
    if (col < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, column));
    checkBrowseMode();
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
    touch();
    emitData();
    notifyDetails();
    if (bookmark() != keep && afterScroll)
        afterScroll(*this);
}

qint64 Dataset::snapshotRowid(int row) const
{
    if (!m_keyColumn.isEmpty()) {
        const int c = columnOf(m_keyColumn);
        return c >= 0 ? m_snapshot->value(row, c).toLongLong() : 0;
    }
    return m_snapshot->rowid(row);
}

// ---------------------------------------------------------------- writing to the file

QString Dataset::whereOriginal(RowRef ref, QVariantList& binds) const
{
    QStringList terms;
    if (m_keyColumn.isEmpty()) {
        terms.append(QStringLiteral("rowid = ?"));
        binds.append(rowidOf(ref));
    }
    for (int c = 0; c < m_columns.size(); ++c) {
        const QVariant stored = storedAt(ref, c);
        if (isBooleanColumn(c) && !stored.isNull()) {
            // Any non-zero value reads as true, so the check compares truth, not the number.
            terms.append(QStringLiteral("(CAST(%1 AS INTEGER) <> 0) IS ?").arg(quoted(m_columns[c])));
            binds.append(stored.toBool() ? 1 : 0);
            continue;
        }
        terms.append(quoted(m_columns[c]) + QStringLiteral(" IS ?"));
        binds.append(stored);
    }
    return terms.join(QStringLiteral(" AND "));
}

bool Dataset::isBooleanColumn(int column) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fieldColumn[i] == column)
            return m_fields[i].type == FieldType::Boolean;
    return false;
}

void Dataset::writeInsert()
{
    QStringList names, marks;
    QVariantList binds;
    for (int c = 0; c < m_columns.size(); ++c) {
        const int f = fieldIndex(m_columns[c]);
        if (f >= 0 && m_fields[size_t(f)].type == FieldType::AutoInc)
            continue;
        if (m_buffer[c].isNull())
            continue;
        names.append(quoted(m_columns[c]));
        marks.append(QStringLiteral("?"));
        binds.append(m_buffer[c]);
    }
    const QString sql = names.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoted(m_table), names.join(u", "), marks.join(u", "));
    Statement st(*m_connection, sql);
    for (int i = 0; i < binds.size(); ++i)
        st.bind(i + 1, binds[i]);
    st.run();
    const qint64 rowid = m_connection->lastInsertRowid();
    // Read the row back: later checks compare with what the file holds, its key and the
    // defaults it filled in included.
    Statement back(*m_connection, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(quoted(m_table)));
    back.bind(1, rowid);
    if (back.step())
        for (int i = 0; i < back.columnCount(); ++i) {
            const int c = columnOf(back.columnName(i));
            if (c >= 0)
                m_buffer[c] = back.value(i);
        }
    m_local[size_t(-m_rows[size_t(m_cur)] - 1)].rowid = rowid;
}

void Dataset::writeUpdate()
{
    const RowRef ref = m_rows[size_t(m_cur)];
    QStringList sets;
    QVariantList binds;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (sameValue(m_buffer[c], storedAt(ref, c)))
            continue;
        sets.append(quoted(m_columns[c]) + QStringLiteral(" = ?"));
        binds.append(m_buffer[c]);
    }
    if (sets.isEmpty())
        return;
    const QString where = whereOriginal(ref, binds);
    Statement st(*m_connection, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(quoted(m_table), sets.join(u", "), where));
    for (int i = 0; i < binds.size(); ++i)
        st.bind(i + 1, binds[i]);
    st.run();
    if (m_connection->changes() == 0)
        throw StoreError(StoreError::Kind::RowChanged, QStringLiteral("Row cannot be located for updating. Some values may have been changed since it was last read."));
}

void Dataset::writeDelete()
{
    QVariantList binds;
    const QString where = whereOriginal(m_rows[size_t(m_cur)], binds);
    Statement st(*m_connection, QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(m_table), where));
    for (int i = 0; i < binds.size(); ++i)
        st.bind(i + 1, binds[i]);
    st.run();
    if (m_connection->changes() == 0)
        throw StoreError(StoreError::Kind::RowChanged, QStringLiteral("Row cannot be located for deleting. It may have been changed or deleted since it was last read."));
}

// ---------------------------------------------------------------- fields

int Dataset::fieldIndex(const QString& name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const FieldDef& Dataset::field(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
    return m_fields[size_t(i)];
}

QVariant Dataset::fieldValueAt(RowRef ref, int fieldIndex, bool current) const
{
    const FieldDef& f = m_fields[size_t(fieldIndex)];
    if (f.isLookup) {
        const int key = this->fieldIndex(f.keyField);
        return lookupValue(f, fieldValueAt(ref, key, current));
    }
    const int c = m_fieldColumn[size_t(fieldIndex)];
    const QVariant raw = current && isEditing() ? m_buffer[c] : storedAt(ref, c);
    if (raw.isNull())
        return raw;
    switch (f.type) {
    case FieldType::Boolean:
        return QVariant(raw.toLongLong() != 0 || raw.toString().compare(u"true", Qt::CaseInsensitive) == 0);
    case FieldType::DateTime: {
        const QDateTime dt = parseDateTime(raw.toString());
        return dt.isValid() ? QVariant(dt) : raw;
    }
    case FieldType::Text:
    case FieldType::Memo: {
        const QString text = raw.toString();
        return QVariant(TextWidth::cut(text, f.width));
    }
    default:
        return raw;
    }
}

QVariant Dataset::lookupValue(const FieldDef& field, const QVariant& key) const
{
    Dataset* source = field.lookupDataset;
    if (key.isNull() || !source || !source->isActive())
        return {};
    const int abs = source->findInView(field.lookupKeyField, key);
    const int result = source->fieldIndex(field.lookupResultField);
    if (abs < 0 || result < 0)
        return {};
    QVariant v = source->fieldValueAt(source->m_rows[size_t(abs)], result, false);
    if (field.width > 0 && v.typeId() == QMetaType::QString)
        v = TextWidth::cut(v.toString(), field.width);
    return v;
}

int Dataset::findInView(const QString& column, const QVariant& key) const
{
    const int f = fieldIndex(column);
    if (f < 0 || key.isNull())
        return -1;
    auto& slot = m_lookups[column.toLower()];
    if (!slot || slot->version != m_version) {
        slot = std::make_shared<Lookup>();
        slot->version = m_version;
        for (int abs = m_hi - 1; abs >= m_lo; --abs) {
            const QVariant v = fieldValueAt(m_rows[size_t(abs)], f, false);
            if (v.isNull())
                continue;
            if (isIntegralType(m_fields[size_t(f)].type))
                slot->numbers.insert(v.toLongLong(), abs);
            else
                slot->texts.insert(v.toString(), abs);
        }
    }
    if (isIntegralType(m_fields[size_t(f)].type)) {
        bool ok = false;
        const qint64 n = key.toLongLong(&ok);
        return ok ? slot->numbers.value(n, -1) : -1;
    }
    return slot->texts.value(key.toString(), -1);
}

QVariant Dataset::value(const QString& name) const
{
    const int f = fieldIndex(name);
    if (f < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
    if (m_cur < 0)
        return {};
    return fieldValueAt(m_rows[size_t(m_cur)], f, true);
}

QString Dataset::format(const FieldDef& field, const QVariant& value) const
{
    if (value.isNull())
        return {};
    switch (field.type) {
    case FieldType::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::DateTime: {
        const QDateTime dt = value.toDateTime();
        if (!dt.isValid())
            return value.toString();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    default:
        return value.toString();
    }
}

QString Dataset::text(const QString& name) const
{
    return format(field(name), value(name));
}

qint64 Dataset::asInteger(const QString& name) const
{
    return value(name).toLongLong();
}

bool Dataset::asBoolean(const QString& name) const
{
    return value(name).toBool();
}

QVariant Dataset::valueAt(int row, const QString& name) const
{
    const int f = fieldIndex(name);
    if (f < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
    const int abs = m_lo + row;
    if (row < 0 || abs >= m_hi)
        return {};
    return fieldValueAt(m_rows[size_t(abs)], f, abs == m_cur);
}

QString Dataset::textAt(int row, const QString& name) const
{
    return format(field(name), valueAt(row, name));
}

QVariant Dataset::convert(const FieldDef& f, const QVariant& value) const
{
    if (value.isNull())
        return {};
    const bool isText = value.typeId() == QMetaType::QString;
    const QString text = isText ? value.toString() : QString();
    if (isText && text.isEmpty())
        return {};
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Integer: {
        qint64 n = 0;
        if (isText) {
            bool ok = false;
            n = text.trimmed().toLongLong(&ok);
            if (!ok)
                throw FieldError(QStringLiteral("'%1' is not a valid integer value for field '%2'.").arg(text, f.displayLabel()));
        } else if (value.typeId() == QMetaType::Double) {
            const double d = value.toDouble();
            if (d != double(qint64(d)))
                throw FieldError(QStringLiteral("'%1' is not a valid integer value for field '%2'.").arg(d).arg(f.displayLabel()));
            n = qint64(d);
        } else {
            n = value.toLongLong();
        }
        if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
            throw FieldError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -2147483648 to 2147483647.")
                                 .arg(n).arg(f.displayLabel()));
        return QVariant(n);
    }
    case FieldType::Boolean: {
        if (!isText)
            return QVariant(value.toLongLong() != 0 || value.toBool());
        const QString t = text.trimmed().toLower();
        if (t == u"true" || t == u"yes" || t == u"1")
            return QVariant(true);
        if (t == u"false" || t == u"no" || t == u"0")
            return QVariant(false);
        throw FieldError(QStringLiteral("'%1' is not a valid boolean value for field '%2'.").arg(text, f.displayLabel()));
    }
    case FieldType::DateTime: {
        QDateTime dt;
        if (value.typeId() == QMetaType::QDate)
            dt = value.toDate().startOfDay();
        else if (value.typeId() == QMetaType::QDateTime)
            dt = value.toDateTime();
        else
            dt = parseDateTime(value.toString());
        if (!dt.isValid())
            throw FieldError(QStringLiteral("'%1' is not a valid date and time for field '%2'.").arg(value.toString(), f.displayLabel()));
        return QVariant(dt.toString(DateTimeStorage));
    }
    case FieldType::Real: {
        bool ok = false;
        const double d = isText ? text.trimmed().toDouble(&ok) : value.toDouble(&ok);
        if (!ok)
            throw FieldError(QStringLiteral("'%1' is not a valid number for field '%2'.").arg(value.toString(), f.displayLabel()));
        return QVariant(d);
    }
    case FieldType::Text:
    case FieldType::Memo: {
        const QString s = value.toString();
        return QVariant(f.cutOnWrite ? TextWidth::cut(s, f.width) : s);
    }
    }
    return value;
}

void Dataset::setValue(const QString& name, const QVariant& value)
{
    const int fi = fieldIndex(name);
    if (fi < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
    const FieldDef& f = m_fields[size_t(fi)];
    if (!isEditing())
        throw FieldError(QStringLiteral("%1: Dataset not in edit or insert mode.").arg(m_name));
    if (f.isLookup) {
        QVariant key;
        if (!value.isNull())
            for (const auto& [k, shown] : lookupList(name))
                if (shown == value.toString()) {
                    key = k;
                    break;
                }
        setValue(f.keyField, key);
        emit recordChanged(f.name);
        return;
    }
    if (f.readOnly)
        throw FieldError(QStringLiteral("Field '%1' cannot be modified.").arg(f.displayLabel()));
    m_buffer[m_fieldColumn[size_t(fi)]] = convert(f, value);
    if (!m_inNewRecord) {
        m_modified = true;
        followChangedLinks();
    }
    if (!controlsDisabled())
        emit recordChanged(f.name);
}

void Dataset::setText(const QString& name, const QString& text)
{
    setValue(name, text.isEmpty() ? QVariant() : QVariant(text));
}

QList<QPair<QVariant, QString>> Dataset::lookupList(const QString& name) const
{
    const FieldDef& f = field(name);
    QList<QPair<QVariant, QString>> list;
    Dataset* source = f.lookupDataset;
    if (!f.isLookup || !source || !source->isActive())
        return list;
    const int key = source->fieldIndex(f.lookupKeyField);
    const int result = source->fieldIndex(f.lookupResultField);
    if (key < 0 || result < 0)
        return list;
    for (int abs = source->m_lo; abs < source->m_hi; ++abs) {
        const RowRef ref = source->m_rows[size_t(abs)];
        QString shown = source->format(source->m_fields[size_t(result)], source->fieldValueAt(ref, result, false));
        shown = TextWidth::cut(shown, f.width);
        list.append({source->fieldValueAt(ref, key, false), shown});
    }
    return list;
}
