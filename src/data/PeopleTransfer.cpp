#include "data/PeopleTransfer.h"

#include <algorithm>

#include <QScopeGuard>

#include "data/DataModule.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/Transaction.h"

using namespace Contacts;

namespace {

const QString CompanyId = QStringLiteral("CompanyID");

QVariant nullIfEmpty(const QString& value)
{
    return value.isEmpty() ? QVariant() : QVariant(value);
}

QString columnList()
{
    QStringList names;
    for (int f = 0; f < FieldCount; ++f)
        names.append(column(Field(f)));
    return names.join(QStringLiteral(", "));
}

// Each column takes the contact's value only where it is empty.
QString fillEmptySql()
{
    QStringList sets;
    for (int f = 0; f < FieldCount; ++f)
        sets.append(QStringLiteral("%1 = CASE WHEN %1 IS NULL OR %1 = '' THEN ? ELSE %1 END").arg(column(Field(f))));
    return QStringLiteral("UPDATE People SET %1 WHERE PersonID = ?").arg(sets.join(QStringLiteral(", ")));
}

} // namespace

std::optional<ImportPlan> PeopleTransfer::preview(ReadResult read, const Progress& progress) const
{
    // A person being entered counts among the stored ones the file is compared with.
    m_dm.PeopleCompanyDet->endPendingChanges();
    Connection& connection = *m_dm.MainADOConnection();
    const QVariant company = m_dm.CompaniesTable->value(CompanyId);
    Statement count(connection, QStringLiteral("SELECT COUNT(*) FROM People WHERE CompanyID IS ?"));
    count.bind(1, company);
    count.step();
    const qint64 storedCount = count.int64(0);
    const qint64 total = storedCount + qint64(read.contacts.size());
    // Thousandths of the stored people read and the contacts compared.
    const auto report = [&](qint64 done) {
        return !progress || progress(int(done * 1000 / std::max<qint64>(total, 1)), 1000);
    };

    Statement st(connection,
                 QStringLiteral("SELECT PersonID, Name, Email FROM People WHERE CompanyID IS ? ORDER BY PersonID"));
    st.bind(1, company);
    std::vector<StoredPerson> stored;
    stored.reserve(size_t(storedCount));
    while (st.step()) {
        if (stored.size() % 1000 == 0 && !report(qint64(stored.size())))
            return std::nullopt;
        stored.push_back({st.int64(0), st.text(1), st.text(2)});
    }
    ImportPlan plan(std::move(read), stored, [&](qint64 done, qint64) { return report(qint64(stored.size()) + done); });
    if (plan.isCancelled())
        return std::nullopt;
    return plan;
}

PeopleTransfer::Outcome PeopleTransfer::store(ImportPlan plan, const Progress& progress)
{
    const int total = int(plan.rows().size());
    const Outcome outcome = write(plan, progress);
    plan = ImportPlan({}, {});
    if (!outcome.cancelled) {
        // Reading a large company's people again takes a while; the caller keeps its window painting.
        Connection& connection = *m_dm.MainADOConnection();
        if (progress)
            connection.setPulse([&] { progress(total, total); });
        const auto unset = qScopeGuard([&] { connection.setPulse({}); });
        readAgain(outcome.firstAdded);
    }
    return outcome;
}

PeopleTransfer::Outcome PeopleTransfer::write(const ImportPlan& plan, const Progress& progress)
{
    m_dm.PeopleCompanyDet->endPendingChanges();
    Connection& connection = *m_dm.MainADOConnection();
    const QVariant company = m_dm.CompaniesTable->value(CompanyId);
    Outcome outcome;
    {
        Transaction transaction(connection);
        Statement insert(connection, QStringLiteral("INSERT INTO People (CompanyID, %1) VALUES (?%2)")
                                         .arg(columnList(), QStringLiteral(", ?").repeated(FieldCount)));
        Statement update(connection, fillEmptySql());
        const int total = int(plan.rows().size());
        for (int i = 0; i < total; ++i) {
            if (progress && i % 500 == 0 && !progress(i, total)) {
                outcome = Outcome();
                outcome.cancelled = true;
                return outcome;
            }
            if (!plan.writes(i))
                continue;
            const Contact c = plan.written(i);
            const ImportPlan::Row& row = plan.rows()[i];
            Statement& st = row.action == ImportPlan::Action::UpdateEmpty ? update : insert;
            int p = 1;
            if (&st == &insert)
                st.bind(p++, company);
            for (const QString& v : c.values)
                st.bind(p++, nullIfEmpty(v));
            if (&st == &update)
                st.bind(p++, row.storedDuplicate);
            st.run();
            st.reset();
            if (&st == &update) {
                ++outcome.updated;
            } else {
                ++outcome.added;
                if (outcome.firstAdded.isNull())
                    outcome.firstAdded = connection.lastInsertRowid();
            }
        }
        if (progress)
            progress(total, total);
        transaction.commit();
    }
    return outcome;
}

void PeopleTransfer::readAgain(const QVariant& personId)
{
    // Only the Clients page's people: the other datasets over people are stale now and are read
    // again when a window or page that shows them comes forward, so that an import does not read
    // every person into a second copy at once.
    m_dm.PeopleCompanyDet->close();
    m_dm.PeopleCompanyDet->open();
    if (!personId.isNull())
        m_dm.PeopleCompanyDet->locate({QStringLiteral("PersonID")}, {personId});
}

std::vector<Contact> PeopleTransfer::exportedPeople(bool allPeople) const
{
    // A person being entered goes out with the others.
    m_dm.PeopleCompanyDet->endPendingChanges();
    Statement st(*m_dm.MainADOConnection(),
                 QStringLiteral("SELECT %1 FROM People %2 ORDER BY Name COLLATE NAMES, PersonID")
                     .arg(columnList(), allPeople ? QString() : QStringLiteral("WHERE CompanyID IS ?")));
    if (!allPeople)
        st.bind(1, m_dm.CompaniesTable->value(CompanyId));
    std::vector<Contact> people;
    while (st.step()) {
        Contact c;
        for (int f = 0; f < FieldCount; ++f)
            c.values[f] = st.text(f);
        people.push_back(std::move(c));
    }
    return people;
}

QStringList PeopleTransfer::exportedActivities(bool allPeople) const
{
    m_dm.PeopleCompanyDet->endPendingChanges();
    Connection& c = *m_dm.MainADOConnection();
    Statement people(c, QStringLiteral("SELECT PersonID FROM People %1 ORDER BY Name COLLATE NAMES, PersonID")
                            .arg(allPeople ? QString() : QStringLiteral("WHERE CompanyID IS ?")));
    if (!allPeople)
        people.bind(1, m_dm.CompaniesTable->value(CompanyId));
    Statement log(c, QStringLiteral("SELECT \"Date\", Kind, Text FROM Activities WHERE PersonID = ?"
                                    " ORDER BY \"Date\" DESC, ActivityID DESC"));
    QStringList logs;
    while (people.step()) {
        log.bind(1, people.int64(0));
        QStringList entries;
        while (log.step())
            entries.append(QStringLiteral("%1 %2: %3").arg(log.text(0).left(16), log.text(1), log.text(2)));
        log.reset();
        logs.append(entries.join(u'\n'));
    }
    return logs;
}
