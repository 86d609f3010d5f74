#pragma once

#include <vector>

#include <QStringList>

#include "data/contacts/Contact.h"

// Pieces the readers assemble a contact from, and the CSV guard the writer shares with them.
namespace Contacts {

// A file's preference for one of several values of a kind: 1 is the most preferred, as a
// vCard 4.0 PREF number; a value the file does not prefer comes after all it does.
constexpr int NoPreference = 1000;

// The e-mails of a contact: the Email column takes the preferred one (the lowest preference),
// else the first work address, else the first; the others are noted as not kept.
class Emails
{
public:
    void add(const QString& address, int preference, bool work);
    void fill(Contact& contact) const;

private:
    struct Offer
    {
        QString address;
        int preference;
        bool work;
    };
    std::vector<Offer> m_offers;
};

// The phones of a contact, placed by kind and, within a kind, by preference then file order:
// Mobile takes a mobile number, Fax a fax number, and Tel, the main number, a work number, else
// a home, voice or untyped one, else a mobile number Mobile did not take. Numbers no column
// takes are noted as not kept.
class Phones
{
public:
    enum Kind { MobilePhone, WorkPhone, VoicePhone, FaxPhone };

    void add(Kind kind, const QString& number, int preference = NoPreference);
    void fill(Contact& contact) const;

private:
    struct Offer
    {
        QString number;
        Kind kind;
        int preference;
    };
    std::vector<Offer> m_offers;
};

// A postal address in parts, written as lines: street lines, "postal code city", region,
// country. Empty parts leave no line.
QString addressText(const QStringList& streetLines, const QString& city, const QString& region,
                    const QString& postalCode, const QString& country);

// The non-empty, trimmed parts joined by separator.
QString joined(const QStringList& parts, const QString& separator);

// A CSV value as spreadsheets take it for text, never for a formula: one that starts with
// '=', '+', '-', '@', a tab or a carriage return, after any apostrophes, gets one more
// apostrophe in front. csvUnguarded takes that apostrophe off again.
QString csvGuarded(const QString& value);
QString csvUnguarded(const QString& value);

// Line breaks of any kind become "\n"; blanks around the value go.
QString cleaned(const QString& value);

} // namespace Contacts
