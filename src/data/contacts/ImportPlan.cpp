#include "data/contacts/ImportPlan.h"

#include <functional>

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
        if (!number.isEmpty() && !remark.isEmpty() && number.size() <= width(f)
            && addToInfo(c, name + QLatin1String(": ") + remark)) {
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
    const QString tooLong =
        QStringLiteral("%1 has %2 characters; the field takes %3").arg(name).arg(value.size()).arg(width(f));
    c[f].clear();
    if (f != Info && addToInfo(c, name + QLatin1String(": ") + value)) {
        c.notes.append(tooLong + QStringLiteral(": it goes to Info"));
        return;
    }
    addToInfo(c, QStringLiteral("%1 not imported (%2 characters)").arg(name).arg(value.size()));
    c.notes.append(tooLong + QStringLiteral(": not imported"));
}


// The first holder of each key, kept by the key's hash alone so that a large file's keys are not
// held twice; a hit is confirmed with the holder's own key.
template<typename Holder>
class FirstByKey
{
public:
    using KeyOf = std::function<QString(const Holder&)>;
    explicit FirstByKey(KeyOf keyOf) : m_keyOf(std::move(keyOf)) {}

    const Holder* find(const QString& key) const
    {
        if (key.isEmpty())
            return nullptr;
        const auto it = m_first.constFind(qHash(key));
        return it != m_first.cend() && m_keyOf(*it) == key ? &*it : nullptr;
    }
    void add(const QString& key, const Holder& holder)
    {
        if (const size_t hash = qHash(key); !key.isEmpty() && !m_first.contains(hash))
            m_first.insert(hash, holder);
    }

private:
    QHash<size_t, Holder> m_first;
    KeyOf m_keyOf;
};

} // namespace

ImportPlan::ImportPlan(ReadResult read, const std::vector<StoredPerson>& stored, const ReadProgress& progress)
    : m_contacts(std::move(read.contacts)), m_problems(std::move(read.problems))
{
    FirstByKey<const StoredPerson*> storedNames([](const StoredPerson* p) { return nameKey(p->name); });
    FirstByKey<const StoredPerson*> storedEmails([](const StoredPerson* p) { return emailKey(p->email); });
    for (const StoredPerson& p : stored) {
        storedNames.add(nameKey(p.name), &p);
        storedEmails.add(emailKey(p.email), &p);
    }
    FirstByKey<int> fileNames([this](int row) { return nameKey(m_contacts[size_t(row)][Name]); });
    FirstByKey<int> fileEmails([this](int row) { return emailKey(m_contacts[size_t(row)][Email]); });
    m_rows.reserve(m_contacts.size());
    for (size_t i = 0; i < m_contacts.size(); ++i) {
        if (progress && i % 1000 == 0 && !progress(qint64(i), qint64(m_contacts.size()))) {
            *this = ImportPlan({}, {});
            m_cancelled = true;
            return;
        }
        const Contact contact = m_contacts[i];
        Row row;
        row.companyCard = contact.companyCard;
        const QString name = nameKey(contact[Name]), email = emailKey(contact[Email]);
        const StoredPerson* const* match = storedEmails.find(email);
        if (!match)
            match = storedNames.find(name);
        if (match) {
            row.storedDuplicate = (*match)->id;
            m_storedNames.insert((*match)->id, (*match)->name);
        } else if (const int* earlier = fileEmails.find(email)) {
            row.fileDuplicate = *earlier;
        } else if (const int* earlierName = fileNames.find(name)) {
            row.fileDuplicate = *earlierName;
        }
        fileNames.add(name, int(i));
        fileEmails.add(email, int(i));
        if (row.isDuplicate() || row.isCompanyCard())
            row.action = Action::Skip;
        for (int f = 0; f < FieldCount; ++f)
            if (contact.values[f].size() > width(Field(f)))
                row.tooLong |= 1u << f;
        m_rows.push_back(row);
    }
}

QString ImportPlan::duplicateName(int row) const
{
    const Row& r = m_rows[row];
    if (r.storedDuplicate)
        return m_storedNames.value(r.storedDuplicate);
    return r.fileDuplicate >= 0 ? contact(r.fileDuplicate)[Name] : QString();
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
    Contact c = contact(row);
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
