#include "data/contacts/Contact.h"

namespace Contacts {

QString column(Field field)
{
    static const char* const names[FieldCount] = {"Name", "Title", "Email", "Mobile", "Tel",
                                                  "Fax",  "Company", "Address", "Info"};
    return QLatin1String(names[field]);
}

int width(Field field)
{
    static const int widths[FieldCount] = {255, 255, 64, 30, 255, 255, 255, 200, 200};
    return widths[field];
}

QString caption(Field field)
{
    static const char* const captions[FieldCount] = {"Name", "Position", "Email", "Mobile", "Primary Tel",
                                                     "Fax",  "Company",  "Address", "Info"};
    return QLatin1String(captions[field]);
}

QString nameKey(const QString& name)
{
    QString key;
    key.reserve(name.size());
    for (QChar c : name)
        if (!c.isSpace())
            key.append(c);
    return key.toCaseFolded();
}

QString emailKey(const QString& email)
{
    return email.trimmed().toCaseFolded();
}

ContactList::ContactList(std::initializer_list<Contact> contacts)
{
    for (const Contact& c : contacts)
        push_back(c);
}

void ContactList::push_back(const Contact& contact)
{
    QString all;
    for (const QString& v : contact.values)
        all += v + QChar(0);
    for (const QString& note : contact.notes)
        all += note + QChar(0);
    QByteArray text = all.toUtf8();
    text.squeeze();
    m_contacts.push_back({contact.line, contact.companyCard, std::move(text)});
}

Contact ContactList::operator[](size_t index) const
{
    const Packed& p = m_contacts[index];
    Contact c;
    c.line = p.line;
    c.companyCard = p.companyCard;
    qsizetype start = 0;
    for (int part = 0; start < p.text.size(); ++part) {
        const qsizetype end = p.text.indexOf('\0', start);
        const QString value = QString::fromUtf8(p.text.constData() + start, end - start);
        if (part < FieldCount)
            c.values[part] = value;
        else
            c.notes.append(value);
        start = end + 1;
    }
    return c;
}

} // namespace Contacts
