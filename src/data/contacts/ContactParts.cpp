#include "data/contacts/ContactParts.h"

#include <algorithm>

namespace Contacts {

namespace {

// Offers in the order they are taken: by preference, then as the file lists them.
template<typename Offer>
std::vector<const Offer*> byPreference(const std::vector<Offer>& offers)
{
    std::vector<const Offer*> sorted;
    for (const Offer& o : offers)
        sorted.push_back(&o);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Offer* a, const Offer* b) { return a->preference < b->preference; });
    return sorted;
}

} // namespace

void Emails::add(const QString& address, int preference, bool work)
{
    const QString a = address.trimmed();
    if (!a.isEmpty())
        m_offers.push_back({a, preference, work});
}

void Emails::fill(Contact& contact) const
{
    const std::vector<const Offer*> sorted = byPreference(m_offers);
    const Offer* chosen = sorted.empty() ? nullptr : sorted.front();
    if (chosen && chosen->preference == NoPreference)
        for (const Offer* o : sorted)
            if (o->work) {
                chosen = o;
                break;
            }
    contact[Email] = chosen ? chosen->address : QString();
    for (const Offer* o : sorted)
        if (o != chosen && o->address.compare(chosen->address, Qt::CaseInsensitive) != 0
            && !contact.notes.contains(QStringLiteral("Other e-mail not kept: ") + o->address))
            contact.notes.append(QStringLiteral("Other e-mail not kept: ") + o->address);
}

void Phones::add(Kind kind, const QString& number, int preference)
{
    const QString n = number.trimmed();
    if (!n.isEmpty())
        m_offers.push_back({n, kind, preference});
}

void Phones::fill(Contact& contact) const
{
    const std::vector<const Offer*> sorted = byPreference(m_offers);
    std::vector<const Offer*> left = sorted;
    auto take = [&](Field field, std::initializer_list<Kind> kinds) {
        for (Kind kind : kinds)
            for (auto it = left.begin(); it != left.end(); ++it)
                if ((*it)->kind == kind) {
                    contact[field] = (*it)->number;
                    left.erase(it);
                    return;
                }
    };
    take(Mobile, {MobilePhone});
    take(Fax, {FaxPhone});
    take(Tel, {WorkPhone, VoicePhone, MobilePhone});
    for (const Offer* o : left) {
        const QString note = QStringLiteral("Other phone not kept: ") + o->number;
        if (o->number != contact[Mobile] && o->number != contact[Tel] && o->number != contact[Fax]
            && !contact.notes.contains(note))
            contact.notes.append(note);
    }
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

namespace {

bool startsFormulaAfterApostrophes(const QString& value)
{
    qsizetype i = 0;
    while (i < value.size() && value[i] == QLatin1Char('\''))
        ++i;
    return i < value.size() && QStringView(u"=+-@\t\r").contains(value[i]);
}

} // namespace

QString csvGuarded(const QString& value)
{
    return startsFormulaAfterApostrophes(value) ? QLatin1Char('\'') + value : value;
}

QString csvUnguarded(const QString& value)
{
    return value.startsWith(QLatin1Char('\'')) && startsFormulaAfterApostrophes(value) ? value.mid(1) : value;
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
