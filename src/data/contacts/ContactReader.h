#pragma once

#include <QByteArray>

#include "data/contacts/Contact.h"

namespace Contacts {

// Reads a file of contacts, vCard or CSV, known by its content: a file whose first line that
// is not blank is BEGIN:VCARD is a vCard file, any other text a CSV file. UTF-8 with or
// without a byte order mark, UTF-16 with one, or an 8-bit character set. Throws FileError with
// the user's message for an empty file, a file that is mostly not text (a stray NUL spoils only
// its card or line), or a CSV file that cannot be read as a whole. Reports progress as it goes
// and stops when progress says so, with a result marked cancelled. Pure and GUI-free.
ReadResult readContactFile(const QByteArray& data, const ReadProgress& progress = {});

} // namespace Contacts
