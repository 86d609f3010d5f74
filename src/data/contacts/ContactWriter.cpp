#include "data/contacts/ContactWriter.h"

#include <QStringList>

#include "data/contacts/ContactParts.h"

namespace Contacts {

namespace {

QString escaped(const QString& value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\': out.append(QLatin1String("\\\\")); break;
        case ',': out.append(QLatin1String("\\,")); break;
        case ';': out.append(QLatin1String("\\;")); break;
        case '\n': out.append(QLatin1String("\\n")); break;
        case '\r': break;
        default: out.append(c);
        }
    }
    return out;
}

// Breaks before 75 bytes, never inside a letter's bytes; each further line starts with a blank.
void appendFolded(QByteArray& out, const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    int start = 0, limit = 75;
    while (bytes.size() - start > limit) {
        int end = start + limit;
        while (end > start && (uchar(bytes[end]) & 0xC0) == 0x80)
            --end;
        out.append(bytes.constData() + start, end - start);
        out.append("\r\n ");
        start = end;
        limit = 74;
    }
    out.append(bytes.constData() + start, bytes.size() - start);
    out.append("\r\n");
}

bool isOneOf(const QString& word, std::initializer_list<const char*> words)
{
    QString w = word.toLower();
    if (w.endsWith(QLatin1Char('.')) || w.endsWith(QLatin1Char(',')))
        w.chop(1);
    for (const char* candidate : words)
        if (w == QLatin1String(candidate))
            return true;
    return false;
}

struct NameParts
{
    QString family, given, prefix, suffix;
};

// The structured name of a stored name, which is its full name as the import made it (given
// names before the family name, titles before both). A title, a suffix, a family name with a
// particle ("van Dijk"), one written "Family, Given", and a company's name kept whole.
NameParts nameParts(const QString& fullName, const QString& company)
{
    QStringList words = fullName.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    NameParts n;
    if (words.isEmpty())
        return n;
    const bool companyName = fullName.simplified().compare(company.simplified(), Qt::CaseInsensitive) == 0
                             || isOneOf(words.last(), {"gmbh", "ag", "kg", "ltd", "inc", "llc", "plc", "corp", "co",
                                                       "sa", "sarl", "sas", "srl", "spa", "bv", "nv", "oy", "ab", "as",
                                                       "aps", "limited", "corporation", "company", "ug"});
    if (companyName && words.size() > 1) {
        n.family = words.join(QLatin1Char(' '));
        return n;
    }
    QStringList prefixes, suffixes;
    while (words.size() > 1 && isOneOf(words.first(), {"dr", "mr", "mrs", "ms", "miss", "mx", "prof", "sir", "dame",
                                                        "herr", "frau", "mme", "mlle", "fr", "hr"}))
        prefixes.append(words.takeFirst());
    while (words.size() > 1 && isOneOf(words.last(), {"jr", "sr", "ii", "iii", "iv", "phd", "md", "esq", "msc", "mba"}))
        suffixes.prepend(words.takeLast());
    if (!words.isEmpty() && words.last().endsWith(QLatin1Char(',')))
        words.last().chop(1);
    n.prefix = prefixes.join(QLatin1Char(' '));
    n.suffix = suffixes.join(QLatin1Char(' '));
    const QString rest = words.join(QLatin1Char(' '));
    if (const qsizetype comma = rest.indexOf(QLatin1Char(',')); comma > 0) {
        n.family = rest.left(comma).trimmed();
        n.given = rest.mid(comma + 1).trimmed();
        return n;
    }
    qsizetype family = words.size() - 1;
    for (qsizetype i = 1; i < words.size() - 1; ++i)
        if (isOneOf(words[i], {"van", "von", "de", "der", "den", "da", "di", "du", "del", "della", "dos", "das", "do",
                               "la", "le", "ter", "ten", "zu", "bin", "al"})
            && words[i][0].isLower()) {
            family = i;
            break;
        }
    n.family = words.mid(family).join(QLatin1Char(' '));
    n.given = words.mid(0, family).join(QLatin1Char(' '));
    return n;
}

QString csvValue(const QString& raw)
{
    const QString value = csvGuarded(raw);
    const bool quote = value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"'))
                       || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'))
                       || value.contains(QLatin1Char(';')) || value != value.trimmed();
    if (!quote)
        return value;
    QString v = value;
    v.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

} // namespace

QByteArray writeVCards(const std::vector<Contact>& contacts)
{
    QByteArray out;
    for (const Contact& c : contacts) {
        out.append("BEGIN:VCARD\r\nVERSION:3.0\r\n");
        const NameParts n = nameParts(c[Name], c[Company]);
        appendFolded(out, QStringLiteral("FN:") + escaped(c[Name]));
        appendFolded(out, QStringLiteral("N:%1;%2;;%3;%4")
                              .arg(escaped(n.family), escaped(n.given), escaped(n.prefix), escaped(n.suffix)));
        auto property = [&](const char* head, Field f) {
            if (!c[f].isEmpty())
                appendFolded(out, QLatin1String(head) + escaped(c[f]));
        };
        property("ORG:", Company);
        property("TITLE:", Title);
        property("EMAIL;TYPE=INTERNET:", Email);
        property("TEL;TYPE=CELL:", Mobile);
        property("TEL;TYPE=WORK,VOICE:", Tel);
        property("TEL;TYPE=WORK,FAX:", Fax);
        if (!c[Address].isEmpty())
            appendFolded(out, QStringLiteral("ADR;TYPE=WORK:;;%1;;;;").arg(escaped(c[Address])));
        property("NOTE:", Info);
        out.append("END:VCARD\r\n");
    }
    return out;
}

QByteArray writeCsv(const std::vector<Contact>& contacts, const QStringList& activities)
{
    const bool withActivities = !activities.isEmpty();
    static const char* const header[FieldCount] = {"Name",           "Job Title",    "E-mail Address",
                                                   "Mobile Phone",   "Business Phone", "Business Fax",
                                                   "Company",        "Address",        "Notes"};
    QStringList line;
    for (const char* h : header)
        line.append(QLatin1String(h));
    if (withActivities)
        line.append(QStringLiteral("Activities"));
    QString text = line.join(QLatin1Char(',')) + QLatin1String("\r\n");
    for (size_t i = 0; i < contacts.size(); ++i) {
        line.clear();
        for (const QString& v : contacts[i].values)
            line.append(csvValue(v));
        if (withActivities)
            line.append(csvValue(activities.value(qsizetype(i))));
        text += line.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace Contacts
