#include "data/contacts/ImportPlan.h"

namespace Contacts {

namespace {

bool isPhone(Field f)
{
    return f == Mobile || f == Tel || f == Fax;
}

// A line more in Info, when all of it fits there.
bool addToInfo(Contact& c, const QString& line)
{
    const QString info = c[Info].isEmpty() ? line : c[Info] + QLatin1Char('\n') + line;
    if (info.size() > width(Info))
        return false;
    c[Info] = info;
    return true;
}

// "+49 30 1234 (mornings only)": the number runs to the last digit before the first letter.
std::pair<QString, QString> numberAndRemark(const QString& phone)
{
    qsizetype end = 0;
    for (qsizetype i = 0; i < phone.size() && !phone[i].isLetter(); ++i)
        if (phone[i].isDigit())
            end = i + 1;
    return {phone.left(end).trimmed(), phone.mid(end).trimmed()};
}

void placeWhole(Contact& c, Field f)
{
    const QString value = c[f];
    const QString name = caption(f);
    if (isPhone(f)) {
        const auto [number, remark] = numberAndRemark(value);
        if (!number.isEmpty() && !remark.isEmpty() && number.size() <= width(f) && addToInfo(c, name + QLatin1String(": ") + remark)) {
            c[f] = number;
            c.notes.append(QStringLiteral("%1: \"%2\" goes to Info").arg(name, remark));
            return;
        }
        if (f == Mobile && c[Tel].isEmpty() && value.size() <= width(Tel)) {
            c[Tel] = value;
            c[f].clear();
            c.notes.append(QStringLiteral("Mobile goes to Primary Tel, where it fits"));
            return;
        }
    }
    if (f == Name) {
        c[f].truncate(width(f));
        c.notes.append(QStringLiteral("Name cut to %1 characters").arg(width(f)));
        return;
    }
    const QString tooLong = QStringLiteral("%1 has %2 characters; the field takes %3").arg(name).arg(value.size()).arg(width(f));
    c[f].clear();
    if (f != Info && addToInfo(c, name + QLatin1String(": ") + value)) {
        c.notes.append(tooLong + QStringLiteral(": it goes to Info"));
        return;
    }
    addToInfo(c, QStringLiteral("%1 not imported (%2 characters)").arg(name).arg(value.size()));
    c.notes.append(tooLong + QStringLiteral(": not imported"));
}

} // namespace

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
        if (row.isDuplicate() || row.isCompanyCard())
            row.action = Action::Skip;
        for (int f = 0; f < FieldCount; ++f)
            if (row.contact.values[f].size() > width(Field(f)))
                row.tooLong |= 1u << f;
        m_rows.push_back(std::move(row));
    }
}

int ImportPlan::newCount() const
{
    int n = 0;
    for (const Row& r : m_rows)
        n += !r.isDuplicate() && !r.isCompanyCard();
    return n;
}

int ImportPlan::companyCardCount() const
{
    int n = 0;
    for (const Row& r : m_rows)
        n += r.isCompanyCard();
    return n;
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
    const Row& r = m_rows[row];
    Contact c = r.contact;
    if (m_longValues == LongValues::Cut) {
        for (int f = 0; f < FieldCount; ++f)
            if (r.isTooLong(Field(f))) {
                c.values[f].truncate(width(Field(f)));
                c.notes.append(QStringLiteral("%1 cut to %2 characters").arg(caption(Field(f))).arg(width(Field(f))));
            }
    } else if (m_longValues == LongValues::Place && r.tooLong) {
        // Info first, so that what moves there finds the room it leaves.
        if (r.isTooLong(Info))
            placeWhole(c, Info);
        for (int f = 0; f < FieldCount; ++f)
            if (f != Info && r.isTooLong(Field(f)))
                placeWhole(c, Field(f));
    }
    return c;
}

} // namespace Contacts
