#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Turning the bytes of a contact file into text.
namespace Contacts {

// The file's text when it starts with a UTF-16 byte order mark; a null string otherwise.
QString decodeUtf16WithBom(const QByteArray& data);

// Drops a leading UTF-8 byte order mark.
QByteArrayView withoutUtf8Bom(QByteArrayView data);

bool isValidUtf8(QByteArrayView bytes);

// bytes in the named 8-bit or Unicode character set; without a name (or with one the system
// does not know), UTF-8 when the bytes are valid UTF-8, else Windows-1252, which mail programs
// write when they write no Unicode.
QString decodeText(const QByteArray& bytes, const QByteArray& charset = {});

} // namespace Contacts
