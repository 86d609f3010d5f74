#include "data/contacts/CsvReader.h"

#include <algorithm>
#include <functional>

#include <QHash>
#include <QStringDecoder>
#include <QStringList>

#include "data/contacts/ContactParts.h"
#include "data/contacts/TextDecoding.h"

namespace Contacts {

namespace {

struct Record
{
    QStringList values;
    int line = 0;
    bool closed = true;  // false: a quoted value runs to the end of the file
};

char separatorOf(QByteArrayView text)
{
    int commas = 0, semicolons = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

// The records of the text one by one, so that a large file is never held as values all at
// once; a line break inside quotes belongs to the value. Works on the bytes of UTF-8 or an 8-bit
// character set, where quotes, separators and line breaks are single bytes, and decodes each
// value.
class RecordReader
{
public:
    using Decode = std::function<QString(QByteArrayView)>;

    RecordReader(QByteArrayView text, Decode decode)
        : m_text(text), m_decode(std::move(decode)), m_separator(separatorOf(text)) {}

    qsizetype position() const { return m_i; }

    // The next record that holds anything; false at the end of the text.
    bool next(Record& record)
    {
        while (m_i < m_text.size() || !m_ended) {
            record = Record();
            record.line = m_line;
            if (readRecord(record))
                return true;
        }
        return false;
    }

private:
    bool readRecord(Record& record)
    {
        QByteArray value;
        bool quoted = false, anything = false;
        const qsizetype n = m_text.size();
        auto endValue = [&] {
            record.values.append(m_decode(value));
            value.clear();
        };
        for (; m_i < n; ++m_i) {
            const char c = m_text[m_i];
            if (quoted) {
                if (c == '"') {
                    if (m_i + 1 < n && m_text[m_i + 1] == '"') {
                        value.append(c);
                        ++m_i;
                    } else {
                        quoted = false;
                    }
                } else {
                    if (c == '\n' || (c == '\r' && !(m_i + 1 < n && m_text[m_i + 1] == '\n')))
                        ++m_line;
                    value.append(c);
                }
            } else if (c == '"' && value.trimmed().isEmpty()) {
                value.clear();
                quoted = anything = true;
            } else if (c == m_separator) {
                endValue();
                anything = true;
            } else if (c == '\n' || c == '\r') {
                if (c == '\r' && m_i + 1 < n && m_text[m_i + 1] == '\n')
                    ++m_i;
                ++m_i;
                ++m_line;
                endValue();
                return anything;
            } else {
                value.append(c);
                if (uchar(c) > ' ')
                    anything = true;
            }
        }
        m_ended = true;
        record.closed = !quoted;
        endValue();
        return anything;
    }

    QByteArrayView m_text;
    Decode m_decode;
    char m_separator;
    qsizetype m_i = 0;
    int m_line = 1;
    bool m_ended = false;
};

// Lower-case letters and digits only: "E-mail Address" and "Email address" are one name.
QString normalized(const QString& header)
{
    QString key;
    for (QChar c : header)
        if (c.isLetterOrNumber())
            key.append(c.toLower());
    return key;
}

struct AddressColumns
{
    QList<int> streets;
    int city = -1, region = -1, postalCode = -1, country = -1;
    bool any() const { return !streets.isEmpty() || city >= 0 || region >= 0 || postalCode >= 0 || country >= 0; }
};

struct AddressNames
{
    QStringList streets, city, region, postalCode, country;
};

// In the order they are taken: business, work, Google's first, plain, home, other.
const QList<AddressNames>& addressGroups()
{
    static const QList<AddressNames> groups = {
        {{"businessstreet", "businessstreet2", "businessstreet3"}, {"businesscity"}, {"businessstate"},
         {"businesspostalcode"}, {"businesscountryregion", "businesscountry"}},
        {{"workaddress", "workaddress2", "workstreet"}, {"workcity"}, {"workstate"}, {"workzipcode", "workpostalcode"},
         {"workcountry"}},
        {{"address1pobox", "address1extendedaddress", "address1street"}, {"address1city"}, {"address1region"},
         {"address1postalcode"}, {"address1country"}},
        {{"street", "street2"}, {"city", "town"}, {"state", "region", "province"},
         {"postalcode", "zip", "zipcode", "postcode"}, {"country"}},
        {{"homestreet", "homestreet2", "homestreet3", "homeaddress", "homeaddress2"}, {"homecity"}, {"homestate"},
         {"homepostalcode", "homezipcode"}, {"homecountryregion", "homecountry"}},
        {{"otherstreet", "otherstreet2", "otherstreet3"}, {"othercity"}, {"otherstate"}, {"otherpostalcode"},
         {"othercountryregion", "othercountry"}},
    };
    return groups;
}

class ColumnMap
{
public:
    explicit ColumnMap(const QStringList& header)
    {
        for (int i = 0; i < header.size(); ++i) {
            const QString key = normalized(header[i]);
            if (!key.isEmpty() && !m_index.contains(key))
                m_index.insert(key, i);
        }
        m_fullName = find({"name", "fullname", "displayname", "contactname", "contact"});
        m_first = find({"firstname", "givenname", "first", "forename"});
        m_middle = find({"middlename", "additionalname"});
        m_last = find({"lastname", "familyname", "surname", "last"});
        m_suffix = find({"suffix", "namesuffix"});
        m_title = find({"jobtitle", "organization1title", "organizationtitle", "position", "role", "job"});
        // Outlook's "Title" is Mr. or Dr.; it is the job title only where no other column is.
        if (m_title.isEmpty())
            m_title = find({"title"});
        m_company = find({"company", "organization", "organisation", "organization1name", "organizationname",
                          "companyname"});
        m_info = find({"notes", "note", "info", "comments", "comment", "description"});
        m_formattedAddress = find({"address", "address1formatted", "fulladdress", "postaladdress", "mailingaddress"});
        m_mobile = find({"mobilephone", "mobilenumber", "mobile", "cellphone", "cellularphone", "cell", "mobiletel"});
        m_main = find({"businessphone", "workphone", "companymainphone", "primaryphone", "mainphone", "phone",
                       "telephone", "tel", "primarytel", "phonenumber", "worktel", "businessphone2"});
        m_fax = find({"businessfax", "fax", "faxnumber", "workfax", "homefax", "otherfax"});
        m_other = find({"homephone", "homephone2", "otherphone", "assistantsphone", "carphone", "pager",
                        "pagernumber", "radiophone", "callback", "isdn", "telex", "ttytddphone"});
        for (int i = 0; i < header.size(); ++i) {
            const QString key = normalized(header[i]);
            const bool mail = key.contains(QLatin1String("email")) || key == QLatin1String("mail");
            if (mail && !key.contains(QLatin1String("type")) && !key.contains(QLatin1String("display"))
                && !key.contains(QLatin1String("label")))
                m_emails.append({i, typeColumn(key)});
        }
        for (int n = 1; n <= 9; ++n) {
            const int value = column(QStringLiteral("phone%1value").arg(n));
            if (value < 0)
                continue;
            const int type = column(QStringLiteral("phone%1type").arg(n));
            m_typedPhones.append({type >= 0 ? type : column(QStringLiteral("phone%1label").arg(n)), value});
        }
        for (const AddressNames& names : addressGroups()) {
            AddressColumns group;
            group.streets = find(names.streets);
            group.city = first(names.city);
            group.region = first(names.region);
            group.postalCode = first(names.postalCode);
            group.country = first(names.country);
            if (group.any())
                m_addresses.append(group);
        }
    }

    bool hasName() const { return !m_fullName.isEmpty() || !m_first.isEmpty() || !m_last.isEmpty(); }

    Contact contact(const QStringList& values, int line) const
    {
        auto at = [&](int i) { return i >= 0 && i < values.size() ? csvUnguarded(values[i].trimmed()) : QString(); };
        auto firstOf = [&](const QList<int>& columns) {
            for (int i : columns) {
                const QString v = at(i).section(QLatin1String(" ::: "), 0, 0);
                if (!v.isEmpty())
                    return v;
            }
            return QString();
        };
        Contact c;
        c.line = line;
        c[Name] = firstOf(m_fullName);
        if (c[Name].isEmpty())
            c[Name] = joined({firstOf(m_first), firstOf(m_middle), firstOf(m_last), firstOf(m_suffix)},
                             QStringLiteral(" "));
        c[Title] = firstOf(m_title);
        c[Company] = firstOf(m_company);
        c[Info] = firstOf(m_info);
        // Google writes several values of a column as "a ::: b" and marks the preferred type with "*".
        auto each = [&](int column, const std::function<void(const QString&)>& use) {
            for (const QString& v : at(column).split(QLatin1String(" ::: ")))
                use(v);
        };
        auto preference = [](const QString& type) { return type.startsWith(QLatin1Char('*')) ? 1 : NoPreference; };
        Emails emails;
        for (const auto& [value, type] : m_emails)
            each(value, [&](const QString& v) {
                emails.add(v, preference(at(type)), at(type).contains(QLatin1String("work"), Qt::CaseInsensitive));
            });
        emails.fill(c);
        Phones phones;
        for (const auto& [columns, kind] : {std::pair{&m_mobile, Phones::MobilePhone}, std::pair{&m_main, Phones::WorkPhone},
                                            std::pair{&m_fax, Phones::FaxPhone}})
            for (int i : *columns)
                each(i, [&, kind = kind](const QString& v) { phones.add(kind, v); });
        for (const auto& [type, value] : m_typedPhones)
            each(value, [&](const QString& v) { phones.add(phoneKind(at(type)), v, preference(at(type))); });
        for (int i : m_other)
            each(i, [&](const QString& v) { phones.add(Phones::VoicePhone, v); });
        phones.fill(c);
        c[Address] = firstOf(m_formattedAddress);
        for (int g = 0; g < m_addresses.size() && c[Address].isEmpty(); ++g) {
            const AddressColumns& a = m_addresses[g];
            QStringList streets;
            for (int i : a.streets)
                streets.append(at(i));
            c[Address] = addressText(streets, at(a.city), at(a.region), at(a.postalCode), at(a.country));
        }
        for (QString& v : c.values)
            v = cleaned(v);
        return c;
    }

private:
    static Phones::Kind phoneKind(const QString& type)
    {
        const QString t = type.toLower();
        if (t.contains(QLatin1String("fax")))
            return Phones::FaxPhone;
        if (t.contains(QLatin1String("mobile")) || t.contains(QLatin1String("cell")))
            return Phones::MobilePhone;
        if (t.contains(QLatin1String("work")) || t.contains(QLatin1String("main")))
            return Phones::WorkPhone;
        return Phones::VoicePhone;
    }

    // The type column Google gives a numbered e-mail's value column; -1 for other columns.
    int typeColumn(const QString& valueKey) const
    {
        if (!valueKey.endsWith(QLatin1String("value")))
            return -1;
        return column(valueKey.chopped(5) + QLatin1String("type"));
    }

    int column(const QString& key) const { return m_index.value(key, -1); }

    int first(const QStringList& keys) const
    {
        const QList<int> found = find(keys);
        return found.isEmpty() ? -1 : found.first();
    }

    QList<int> find(const QStringList& keys) const
    {
        QList<int> found;
        for (const QString& key : keys)
            if (const int i = column(key); i >= 0)
                found.append(i);
        return found;
    }

    QList<int> find(std::initializer_list<const char*> keys) const
    {
        QStringList list;
        for (const char* k : keys)
            list.append(QLatin1String(k));
        return find(list);
    }

    QHash<QString, int> m_index;
    QList<int> m_fullName, m_first, m_middle, m_last, m_suffix, m_title, m_company, m_info, m_formattedAddress;
    QList<int> m_mobile, m_main, m_fax, m_other;
    QList<std::pair<int, int>> m_emails;  // value column, type column
    QList<std::pair<int, int>> m_typedPhones;
    QList<AddressColumns> m_addresses;
};

} // namespace

ReadResult readCsv(QByteArrayView text, const ReadProgress& progress)
{
    const bool utf8 = isValidUtf8(text);
    QStringDecoder windows1252("windows-1252", QStringDecoder::Flag::Stateless);
    RecordReader reader(text, [&](QByteArrayView v) {
        return utf8 || !windows1252.isValid() ? QString::fromUtf8(v) : QString(windows1252.decode(v));
    });
    Record header;
    if (!reader.next(header))
        throw FileError(QStringLiteral("The file is empty."));
    const ColumnMap map(header.values);
    if (!map.hasName())
        throw FileError(QStringLiteral("The file has no column for the name: the first line names none of "
                                       "\"Name\", \"Full Name\", \"Display Name\", \"First Name\" or \"Last Name\"."));
    const int columns = int(header.values.size());
    ReadResult result;
    Record row;
    bool anyRow = false;
    for (int count = 1; reader.next(row); ++count) {
        anyRow = true;
        if (progress && count % 1000 == 0 && !progress(reader.position(), text.size())) {
            result = ReadResult();
            result.cancelled = true;
            return result;
        }
        if (!row.closed) {
            result.problems.push_back({row.line, QStringLiteral("A quoted value that begins here is not closed before "
                                                                "the end of the file.")});
            continue;
        }
        if (row.values.size() != columns) {
            result.problems.push_back({row.line, QStringLiteral("The line has %1 values where the header names %2.")
                                                     .arg(row.values.size()).arg(columns)});
            continue;
        }
        if (std::any_of(row.values.cbegin(), row.values.cend(), [](const QString& v) { return v.contains(QChar(0)); })) {
            result.problems.push_back({row.line, QStringLiteral("The line holds binary data (a NUL byte).")});
            continue;
        }
        const Contact c = map.contact(row.values, row.line);
        if (c[Name].isEmpty())
            result.problems.push_back({row.line, QStringLiteral("The line has no name.")});
        else
            result.contacts.push_back(c);
    }
    if (!anyRow)
        throw FileError(QStringLiteral("The file holds no contacts: it has a header line and nothing below it."));
    return result;
}

} // namespace Contacts
