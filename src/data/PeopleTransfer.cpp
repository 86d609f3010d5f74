#include "data/PeopleTransfer.h"

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

ImportPlan PeopleTransfer::preview(ReadResult read) const
{
    // A person being entered counts among the stored ones the file is compared with.
    m_dm.PeopleCompanyDet->endPendingChanges();
    Statement st(*m_dm.MainADOConnection(),
                 QStringLiteral("SELECT PersonID, Name, Email FROM People WHERE CompanyID IS ? ORDER BY PersonID"));
    st.bind(1, m_dm.CompaniesTable->value(CompanyId));
    std::vector<StoredPerson> stored;
    while (st.step())
        stored.push_back({st.int64(0), st.text(1), st.text(2)});
    return ImportPlan(std::move(read), stored);
}

PeopleTransfer::Outcome PeopleTransfer::store(ImportPlan plan, const Progress& progress)
{
    const Outcome outcome = write(plan, progress);
    plan = ImportPlan({}, {});
    if (!outcome.cancelled)
        readAgain(outcome.firstAdded);
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
    for (Dataset* d : {m_dm.PeopleTable, m_dm.PeopleTableEX, m_dm.PeopleCompanyDet}) {
        d->close();
        d->open();
    }
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
