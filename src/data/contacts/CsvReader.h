#pragma once

#include <QString>

#include "data/contacts/Contact.h"

namespace Contacts {

// Reads a CSV file of contacts as mail programs and spreadsheets write it: a header row, comma
// or semicolon between values (whichever the header uses more), quoted values that hold
// separators, doubled quotes and line breaks. Columns are known by the names common mail
// programs give them, without regard to case, blanks and punctuation; a name is the full-name
// column or, where that is empty, first, middle and last name together. A row without a name,
// or with more or fewer values than the header, is a problem of its line. Throws FileError when
// no column holds a name or no row follows the header.
ReadResult readCsv(const QString& text);

} // namespace Contacts
