#pragma once

#include <QByteArrayView>

#include "data/contacts/Contact.h"

namespace Contacts {

// Reads the cards of a vCard 2.1, 3.0 or 4.0 file (UTF-8 bytes, or 8-bit bytes whose
// properties name their character set): folded lines, quoted-printable and escaped values,
// groups and parameters in each version's form. A card without a name, without END:VCARD or
// holding a NUL byte is a problem of its first line; so is a line outside any card or without
// a ':'. Reports progress every thousand cards.
ReadResult readVCards(QByteArrayView bytes, const ReadProgress& progress = {});

} // namespace Contacts
