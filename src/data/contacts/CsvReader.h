#pragma once

#include <QByteArrayView>

#include "data/contacts/Contact.h"

namespace Contacts {

// Reads a CSV file of contacts as mail programs and spreadsheets write it: a header row, comma
// or semicolon between values (whichever the header uses more), quoted values that hold
// separators, doubled quotes and line breaks. Columns are known by the names common mail
// programs give them, without regard to case, blanks and punctuation; a name is the full-name
// column or, where that is empty, first, middle and last name together. A row without a name,
// or with more or fewer values than the header, is a problem of its line. The text is UTF-8,
// else Windows-1252. Reports progress every thousand rows. Throws FileError when no column
// holds a name or no row follows the header.
ReadResult readCsv(QByteArrayView text, const ReadProgress& progress = {});

} // namespace Contacts
