#include "data/contacts/ContactReader.h"

#include "data/contacts/CsvReader.h"
#include "data/contacts/TextDecoding.h"
#include "data/contacts/VCardReader.h"

namespace Contacts {

namespace {

bool beginsWithCard(const QByteArray& bytes)
{
    int i = 0;
    while (i < bytes.size() && QChar::isSpace(uchar(bytes[i])))
        ++i;
    return bytes.mid(i, 11).compare("BEGIN:VCARD", Qt::CaseInsensitive) == 0;
}

} // namespace

ReadResult readContactFile(const QByteArray& data)
{
    QByteArray bytes;
    const QString utf16 = decodeUtf16WithBom(data);
    if (!utf16.isNull()) {
        if (utf16.contains(QChar(0)))
            throw FileError(QStringLiteral("The file holds binary data, not contacts. Choose a vCard (.vcf) or CSV file."));
        bytes = utf16.toUtf8();
    } else {
        bytes = withoutUtf8Bom(data);
        if (bytes.contains('\0'))
            throw FileError(QStringLiteral("The file holds binary data, not contacts. Choose a vCard (.vcf) or CSV file."));
    }
    if (bytes.trimmed().isEmpty())
        throw FileError(QStringLiteral("The file is empty."));
    if (beginsWithCard(bytes))
        return readVCards(bytes);
    return readCsv(decodeText(bytes));
}

} // namespace Contacts
