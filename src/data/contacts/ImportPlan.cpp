#include "data/contacts/ImportPlan.h"

namespace Contacts {

ImportPlan::ImportPlan(ReadResult read, const std::vector<StoredPerson>& stored)
    : m_problems(std::move(read.problems))
{
    QHash<QString, const StoredPerson*> storedNames, storedEmails;
    for (const StoredPerson& p : stored) {
        if (const QString k = nameKey(p.name); !k.isEmpty() && !storedNames.contains(k))
            storedNames.insert(k, &p);
        if (const QString k = emailKey(p.email); !k.isEmpty() && !storedEmails.contains(k))
            storedEmails.insert(k, &p);
    }
    QHash<QString, int> fileNames, fileEmails;
    m_rows.reserve(read.contacts.size());
    for (Contact& contact : read.contacts) {
        Row row;
        row.contact = std::move(contact);
        const QString name = nameKey(row.contact[Name]), email = emailKey(row.contact[Email]);
        const StoredPerson* match = email.isEmpty() ? nullptr : storedEmails.value(email);
        if (!match)
            match = storedNames.value(name);
        if (match) {
            row.storedDuplicate = match->id;
            row.duplicateName = match->name;
        } else {
            row.fileDuplicate = email.isEmpty() ? -1 : fileEmails.value(email, -1);
            if (row.fileDuplicate < 0)
                row.fileDuplicate = fileNames.value(name, -1);
            if (row.fileDuplicate >= 0)
                row.duplicateName = m_rows[row.fileDuplicate].contact[Name];
        }
        const int index = int(m_rows.size());
        if (!fileNames.contains(name))
            fileNames.insert(name, index);
        if (!email.isEmpty() && !fileEmails.contains(email))
            fileEmails.insert(email, index);
        if (row.isDuplicate())
            row.action = Action::Skip;
        for (int f = 0; f < FieldCount; ++f)
            if (row.contact.values[f].size() > width(Field(f)))
                row.tooLong |= 1u << f;
        m_rows.push_back(std::move(row));
    }
}

int ImportPlan::newCount() const
{
    return int(m_rows.size()) - duplicateCount();
}

int ImportPlan::duplicateCount() const
{
    int n = 0;
    for (const Row& r : m_rows)
        n += r.isDuplicate();
    return n;
}

int ImportPlan::tooLongCount() const
{
    int n = 0;
    for (const Row& r : m_rows)
        n += r.tooLong != 0;
    return n;
}

int ImportPlan::addCount() const
{
    int n = 0;
    for (int i = 0; i < int(m_rows.size()); ++i)
        n += writes(i) && m_rows[i].action == Action::Add;
    return n;
}

int ImportPlan::updateCount() const
{
    int n = 0;
    for (int i = 0; i < int(m_rows.size()); ++i)
        n += writes(i) && m_rows[i].action == Action::UpdateEmpty;
    return n;
}

void ImportPlan::setAction(int row, Action action)
{
    Row& r = m_rows[row];
    if (action == Action::UpdateEmpty && r.storedDuplicate == 0)
        return;
    r.action = action;
}

bool ImportPlan::writes(int row) const
{
    const Row& r = m_rows[row];
    return r.action != Action::Skip && !(r.tooLong && m_longValues == LongValues::SkipContact);
}

Contact ImportPlan::written(int row) const
{
    Contact c = m_rows[row].contact;
    for (int f = 0; f < FieldCount; ++f)
        c.values[f].truncate(width(Field(f)));
    return c;
}

} // namespace Contacts
