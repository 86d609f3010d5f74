#pragma once

#include <vector>

#include <QByteArray>

#include "data/contacts/Contact.h"

namespace Contacts {

// vCard 3.0, UTF-8, CR LF line ends, lines folded at 75 bytes between letters. The name is
// FN and, taken apart again, N: a leading title (Dr., Mr., Mrs.) is its prefix, a family name
// with a particle or written "Family, Given" stays whole, and a company's name is all family
// name. The address is the street part of a work ADR.
QByteArray writeVCards(const std::vector<Contact>& contacts);

// CSV in UTF-8 with a byte order mark (so spreadsheets take it as UTF-8), a header row of
// names mail programs know, comma separated, CR LF line ends; a value is quoted when it holds a
// comma, a quote, a line break or blanks at its ends, and guarded with an apostrophe where a
// spreadsheet would take it for a formula (see csvGuarded). With activities, one text per
// contact, a last column "Activities" holds them.
QByteArray writeCsv(const std::vector<Contact>& contacts, const QStringList& activities = {});

} // namespace Contacts
