#include "data/contacts/ContactWriter.h"

#include <QStringList>

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

QString csvValue(const QString& value)
{
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
        const QString name = c[Name].trimmed();
        const int blank = int(name.lastIndexOf(QLatin1Char(' ')));
        const QString family = blank < 0 ? name : name.mid(blank + 1);
        const QString given = blank < 0 ? QString() : name.left(blank);
        appendFolded(out, QStringLiteral("FN:") + escaped(c[Name]));
        appendFolded(out, QStringLiteral("N:%1;%2;;;").arg(escaped(family), escaped(given)));
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

QByteArray writeCsv(const std::vector<Contact>& contacts)
{
    static const char* const header[FieldCount] = {"Name",           "Job Title",    "E-mail Address",
                                                   "Mobile Phone",   "Business Phone", "Business Fax",
                                                   "Company",        "Address",        "Notes"};
    QStringList line;
    for (const char* h : header)
        line.append(QLatin1String(h));
    QString text = line.join(QLatin1Char(',')) + QLatin1String("\r\n");
    for (const Contact& c : contacts) {
        line.clear();
        for (const QString& v : c.values)
            line.append(csvValue(v));
        text += line.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace Contacts
