#include "data/contacts/ContactParts.h"

namespace Contacts {

void Phones::add(Kind kind, const QString& number)
{
    const QString n = number.trimmed();
    if (n.isEmpty())
        return;
    QString& slot = kind == MobilePhone ? mobile : kind == MainPhone ? main : kind == FaxPhone ? fax : other;
    if (slot.isEmpty())
        slot = n;
}

void Phones::fill(Contact& contact) const
{
    contact[Mobile] = mobile.isEmpty() ? other : mobile;
    contact[Tel] = main;
    contact[Fax] = fax;
}

QString joined(const QStringList& parts, const QString& separator)
{
    QStringList kept;
    for (const QString& part : parts) {
        const QString p = part.trimmed();
        if (!p.isEmpty())
            kept.append(p);
    }
    return kept.join(separator);
}

QString addressText(const QStringList& streetLines, const QString& city, const QString& region,
                    const QString& postalCode, const QString& country)
{
    QStringList lines;
    for (const QString& street : streetLines)
        lines.append(street);
    lines.append(joined({postalCode, city}, QStringLiteral(" ")));
    lines.append(region);
    lines.append(country);
    return joined(lines, QStringLiteral("\n"));
}

QString cleaned(const QString& value)
{
    QString v = value;
    if (v.contains(QLatin1Char('\r'))) {
        v.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        v.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return v.trimmed();
}

} // namespace Contacts
