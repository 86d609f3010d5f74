#include "data/contacts/ContactReader.h"

#include <algorithm>

#include "data/contacts/CsvReader.h"
#include "data/contacts/TextDecoding.h"
#include "data/contacts/VCardReader.h"

namespace Contacts {

namespace {

bool beginsWithCard(QByteArrayView bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && QChar::isSpace(uchar(bytes[i])))
        ++i;
    const QByteArrayView head = bytes.sliced(i).first(std::min<qsizetype>(11, bytes.size() - i));
    return head.compare("BEGIN:VCARD", Qt::CaseInsensitive) == 0;
}

const QString BinaryMessage =
    QStringLiteral("The file holds binary data, not contacts. Choose a vCard (.vcf) or CSV file.");

// Text holds no control characters but line breaks, tabs and form feeds; a stray one in a
// contact file spoils a card or line, not the file. Binary data has them everywhere (about one
// in nine bytes of compressed data).
bool isControl(uint c)
{
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f';
}

bool isMostlyNotText(QByteArrayView bytes)
{
    const auto controls = std::count_if(bytes.cbegin(), bytes.cend(), [](char c) { return isControl(uchar(c)); });
    return controls * 20 > bytes.size();
}

bool isMostlyNotText(const QString& text)
{
    const auto controls = std::count_if(text.cbegin(), text.cend(), [](QChar c) { return isControl(c.unicode()); });
    return controls * 20 > text.size();
}

} // namespace

ReadResult readContactFile(const QByteArray& data, const ReadProgress& progress)
{
    QByteArray converted;
    QByteArrayView bytes;
    const QString utf16 = decodeUtf16WithBom(data);
    if (!utf16.isNull()) {
        if (isMostlyNotText(utf16))
            throw FileError(BinaryMessage);
        converted = utf16.toUtf8();
        bytes = converted;
    } else {
        bytes = withoutUtf8Bom(data);
        if (isMostlyNotText(bytes))
            throw FileError(BinaryMessage);
    }
    if (bytes.trimmed().isEmpty())
        throw FileError(QStringLiteral("The file is empty."));
    if (beginsWithCard(bytes))
        return readVCards(bytes, progress);
    return readCsv(bytes, progress);
}

} // namespace Contacts
