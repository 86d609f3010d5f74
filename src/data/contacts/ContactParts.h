#pragma once

#include <QStringList>

#include "data/contacts/Contact.h"

// Pieces both readers assemble a contact from.
namespace Contacts {

// The phones of a contact by kind; the first of each kind counts. The mobile column takes a
// mobile number, else the first phone that is neither the main one nor a fax.
struct Phones
{
    enum Kind { MobilePhone, MainPhone, FaxPhone, OtherPhone };
    QString mobile, main, fax, other;

    void add(Kind kind, const QString& number);
    void fill(Contact& contact) const;
};

// A postal address in parts, written as lines: street lines, "postal code city", region,
// country. Empty parts leave no line.
QString addressText(const QStringList& streetLines, const QString& city, const QString& region,
                    const QString& postalCode, const QString& country);

// The non-empty, trimmed parts joined by separator.
QString joined(const QStringList& parts, const QString& separator);

// Line breaks of any kind become "\n"; blanks around the value go.
QString cleaned(const QString& value);

} // namespace Contacts
