#include "data/contacts/VCardReader.h"

#include <algorithm>

#include <QStringList>

#include "data/contacts/ContactParts.h"
#include "data/contacts/TextDecoding.h"

namespace Contacts {

namespace {

struct Line
{
    QByteArray text;
    int number = 0;
};

struct Property
{
    QByteArray name;
    QList<QByteArray> types;  // lower case, from TYPE= and bare parameters
    bool quotedPrintable = false;
    QByteArray charset;
    QByteArray label;  // the formatted address a 4.0 ADR may carry
    int preference = NoPreference;
    QByteArray value;
};

bool startsWithNoCase(const QByteArray& text, const char* prefix)
{
    return text.startsWith(prefix) || text.toUpper().startsWith(prefix);
}

bool isLine(const QByteArray& line, const char* text)
{
    // Most lines differ in their first letter; only the rest pay for the trimmed copy.
    const char first = line.isEmpty() ? ' ' : line[0];
    if (first != ' ' && first != '\t' && (first | 0x20) != (text[0] | 0x20))
        return false;
    return line.trimmed().compare(text, Qt::CaseInsensitive) == 0;
}

// The physical lines of the file, ended by CR LF, LF or CR, numbered from 1.
QList<Line> physicalLines(QByteArrayView bytes)
{
    QList<Line> lines;
    int start = 0, number = 1;
    const int n = int(bytes.size());
    for (int i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r')
            continue;
        lines.append({bytes.sliced(start, i - start).toByteArray(), number++});
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append({bytes.sliced(start).toByteArray(), number});
    return lines;
}

// Splits at the first ':' outside double quotes; -1 when there is none.
int valueStart(const QByteArray& line)
{
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

bool isQuotedPrintable(const QByteArray& line)
{
    const int colon = valueStart(line);
    return colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

// Joins folded lines. 3.0 and 4.0 drop the line break and the one blank after it, done on
// bytes so that a fold inside a multi-byte letter joins it again; 2.1 folds where blanks are
// and keeps them. A quoted-printable value ending in '=' goes on in the next line.
QList<Line> logicalLines(const QList<Line>& lines, int from, int to, bool keepFoldBlank)
{
    QList<Line> logical;
    for (int i = from; i < to; ++i) {
        const QByteArray& text = lines[i].text;
        if (!logical.isEmpty()) {
            QByteArray& last = logical.last().text;
            if (last.endsWith('=') && isQuotedPrintable(last)) {
                last.chop(1);
                last.append(text);
                continue;
            }
            if (!text.isEmpty() && (text[0] == ' ' || text[0] == '\t')) {
                last.append(keepFoldBlank ? text : text.mid(1));
                continue;
            }
        }
        if (!text.trimmed().isEmpty())
            logical.append(lines[i]);
    }
    return logical;
}

QByteArray unquoted(QByteArray value)
{
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    return value;
}

QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator)
{
    QList<QByteArray> parts;
    bool quoted = false;
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    return parts;
}

bool parseProperty(const QByteArray& line, Property& p)
{
    const int colon = valueStart(line);
    if (colon <= 0)
        return false;
    p.value = line.mid(colon + 1);
    const QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    p.name = head[0].trimmed().toUpper();
    const int dot = int(p.name.lastIndexOf('.'));
    if (dot >= 0)
        p.name = p.name.mid(dot + 1);
    for (int i = 1; i < head.size(); ++i) {
        const QByteArray& param = head[i];
        const int eq = int(param.indexOf('='));
        const QByteArray key = (eq < 0 ? param : param.left(eq)).trimmed().toUpper();
        const QByteArray value = eq < 0 ? QByteArray() : unquoted(param.mid(eq + 1).trimmed());
        if (eq < 0) {
            if (key == "QUOTED-PRINTABLE")
                p.quotedPrintable = true;
            else
                p.types.append(key.toLower());
        } else if (key == "TYPE") {
            for (const QByteArray& t : splitOutsideQuotes(value, ','))
                p.types.append(unquoted(t.trimmed()).toLower());
        } else if (key == "ENCODING") {
            p.quotedPrintable = value.toUpper() == "QUOTED-PRINTABLE";
        } else if (key == "CHARSET") {
            p.charset = value;
        } else if (key == "LABEL") {
            p.label = value;
        } else if (key == "PREF") {
            bool number = false;
            const int n = value.toInt(&number);
            p.preference = number && n > 0 ? std::min(n, NoPreference - 1) : 1;
        }
    }
    // 2.1 and 3.0 mark the preferred value by a type; 4.0 by a number.
    if (p.types.contains("pref"))
        p.preference = std::min(p.preference, 1);
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "=XX" is a byte; anything else, a malformed escape included, stays as written.
QByteArray decodeQuotedPrintable(const QByteArray& value)
{
    QByteArray out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == '=' && i + 2 < value.size()) {
            const int hi = hexDigit(value[i + 1]), lo = hexDigit(value[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out.append(char(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        out.append(value[i]);
    }
    return out;
}

// Splits a structured value at ';' that no backslash escapes, and undoes the escapes of each part.
QStringList components(const QString& value)
{
    QStringList parts;
    QString part;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar e = value[++i];
            if (e == QLatin1Char('n') || e == QLatin1Char('N'))
                part.append(QLatin1Char('\n'));
            else
                part.append(e);
        } else if (c == QLatin1Char(';')) {
            parts.append(part);
            part.clear();
        } else {
            part.append(c);
        }
    }
    parts.append(part);
    return parts;
}

QString unescaped(const QString& value)
{
    if (!value.contains(QLatin1Char('\\')))
        return value;
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar e = value[++i];
            out.append(e == QLatin1Char('n') || e == QLatin1Char('N') ? QChar(QLatin1Char('\n')) : e);
        } else {
            out.append(c);
        }
    }
    return out;
}

QString text(const Property& p, const QByteArray& bytes)
{
    return decodeText(p.quotedPrintable ? decodeQuotedPrintable(bytes) : bytes, p.charset);
}

bool isOneOf(const QString& value, std::initializer_list<const char*> words)
{
    for (const char* w : words)
        if (value.compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool hasType(const Property& p, std::initializer_list<const char*> types)
{
    for (const char* t : types)
        if (p.types.contains(QByteArray(t)))
            return true;
    return false;
}

class CardBuilder
{
public:
    explicit CardBuilder(int line) { m_contact.line = line; }

    void add(const Property& p)
    {
        static const QList<QByteArray> known = {"FN",    "N",   "TITLE", "ROLE", "EMAIL",       "TEL",
                                                "ADR",   "LABEL", "ORG", "NOTE", "X-ABSHOWAS", "KIND"};
        if (!known.contains(p.name))
            return;
        const QString value = text(p, p.value);
        if (p.name == "FN")
            setOnce(m_fullName, unescaped(value));
        else if (p.name == "N")
            setOnce(m_structuredName, nameFromParts(components(value)));
        else if (p.name == "TITLE")
            setOnce(m_contact[Title], unescaped(value));
        else if (p.name == "ROLE")
            setOnce(m_role, unescaped(value));
        else if (p.name == "EMAIL")
            m_emails.add(unescaped(value), p.preference, hasType(p, {"work"}));
        else if (p.name == "TEL")
            addPhone(p, unescaped(value));
        else if (p.name == "ADR")
            addAddress(p, value);
        else if (p.name == "LABEL")
            setOnce(m_label, unescaped(value));
        else if (p.name == "ORG")
            setOnce(m_contact[Company], joined(components(value), QStringLiteral(", ")));
        else if (p.name == "NOTE")
            setOnce(m_contact[Info], unescaped(value));
        else if (p.name == "X-ABSHOWAS" || p.name == "KIND")
            m_markedCompany = m_markedCompany || isOneOf(value.trimmed(), {"company", "org"});
    }

    Contact finish()
    {
        // A company's card names the company, not a person, and is told apart from a person's.
        m_contact.companyCard = m_markedCompany && m_structuredName.trimmed().isEmpty();
        m_contact[Name] = !m_fullName.trimmed().isEmpty() ? m_fullName
                          : m_contact.companyCard         ? m_contact[Company]
                                                          : m_structuredName;
        if (m_contact[Title].isEmpty())
            m_contact[Title] = m_role;
        m_contact[Address] = !m_workAddress.isEmpty() ? m_workAddress : !m_address.isEmpty() ? m_address : m_label;
        m_emails.fill(m_contact);
        m_phones.fill(m_contact);
        for (QString& v : m_contact.values)
            v = cleaned(v);
        return m_contact;
    }

private:
    static void setOnce(QString& slot, const QString& value)
    {
        if (slot.trimmed().isEmpty())
            slot = value;
    }

    // N is family; given; additional; prefixes; suffixes.
    static QString nameFromParts(const QStringList& n)
    {
        auto part = [&](int i) { return i < n.size() ? n[i] : QString(); };
        return joined({part(3), part(1), part(2), part(0), part(4)}, QStringLiteral(" "));
    }

    void addPhone(const Property& p, const QString& value)
    {
        QString number = value.trimmed();
        if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
            number = number.mid(4);
        const Phones::Kind kind = hasType(p, {"fax"})                       ? Phones::FaxPhone
                                  : hasType(p, {"cell", "mobile", "iphone"}) ? Phones::MobilePhone
                                  : hasType(p, {"work", "main"})             ? Phones::WorkPhone
                                                                             : Phones::VoicePhone;
        m_phones.add(kind, number, p.preference);
    }

    // ADR is post office box; extended address; street; locality; region; postal code; country.
    void addAddress(const Property& p, const QString& value)
    {
        QString address;
        if (!p.label.isEmpty()) {
            address = unescaped(text(p, p.label));
        } else {
            const QStringList a = components(value);
            auto part = [&](int i) { return i < a.size() ? a[i] : QString(); };
            address = addressText({part(0), part(1), part(2)}, part(3), part(4), part(5), part(6));
        }
        setOnce(hasType(p, {"work"}) ? m_workAddress : m_address, address);
    }

    Contact m_contact;
    QString m_fullName, m_structuredName, m_role, m_label, m_address, m_workAddress;
    bool m_markedCompany = false;
    Emails m_emails;
    Phones m_phones;
};

void readCard(const QList<Line>& lines, int from, int to, ReadResult& result)
{
    // A stray NUL spoils its card only; the cards around it are read.
    for (int i = from; i < to; ++i)
        if (lines[i].text.contains('\0')) {
            result.problems.push_back(
                {lines[from - 1].number,
                 QStringLiteral("The card holds binary data (a NUL byte on line %1).").arg(lines[i].number)});
            return;
        }
    bool version21 = false;
    for (int i = from; i < to; ++i)
        if (startsWithNoCase(lines[i].text, "VERSION:")) {
            version21 = lines[i].text.mid(8).trimmed() == "2.1";
            break;
        }
    CardBuilder card(lines[from - 1].number);
    for (const Line& line : logicalLines(lines, from, to, version21)) {
        Property p;
        if (!parseProperty(line.text, p))
            result.problems.push_back({line.number, QStringLiteral("The line is not a property: it has no ':'.")});
        else
            card.add(p);
    }
    Contact contact = card.finish();
    if (contact[Name].isEmpty())
        result.problems.push_back({contact.line, QStringLiteral("The card has no name (FN or N).")});
    else
        result.contacts.push_back(std::move(contact));
}

} // namespace

ReadResult readVCards(QByteArrayView bytes, const ReadProgress& progress)
{
    ReadResult result;
    const QList<Line> lines = physicalLines(bytes);
    int begin = -1;  // index of the line after BEGIN:VCARD, while inside a card
    int cards = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& text = lines[i].text;
        if (begin < 0) {
            if (isLine(text, "BEGIN:VCARD"))
                begin = i + 1;
            else if (!text.trimmed().isEmpty())
                result.problems.push_back({lines[i].number, QStringLiteral("The line is outside any card.")});
        } else if (isLine(text, "END:VCARD")) {
            readCard(lines, begin, i, result);
            begin = -1;
            if (progress && ++cards % 1000 == 0 && !progress(i, lines.size())) {
                result = ReadResult();
                result.cancelled = true;
                return result;
            }
        } else if (isLine(text, "BEGIN:VCARD")) {
            result.problems.push_back({lines[begin - 1].number,
                                       QStringLiteral("The card has no END:VCARD before the next card.")});
            begin = i + 1;
        }
    }
    if (begin >= 0)
        result.problems.push_back({lines[begin - 1].number,
                                   QStringLiteral("The card has no END:VCARD: the file ends inside it.")});
    return result;
}

} // namespace Contacts
