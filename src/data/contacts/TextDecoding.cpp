#include "data/contacts/TextDecoding.h"

#include <QStringDecoder>

namespace Contacts {

QString decodeUtf16WithBom(const QByteArray& data)
{
    if (data.size() < 2)
        return {};
    const auto b0 = uchar(data[0]), b1 = uchar(data[1]);
    QStringDecoder::Encoding encoding;
    if (b0 == 0xFF && b1 == 0xFE)
        encoding = QStringDecoder::Utf16LE;
    else if (b0 == 0xFE && b1 == 0xFF)
        encoding = QStringDecoder::Utf16BE;
    else
        return {};
    QStringDecoder decoder(encoding);
    QString text = decoder.decode(data.mid(2));
    if (text.isNull())
        text = QLatin1String("");
    return text;
}

QByteArray withoutUtf8Bom(const QByteArray& data)
{
    return data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data;
}

bool isValidUtf8(const QByteArray& bytes)
{
    for (char c : bytes)
        if (uchar(c) >= 0x80) {
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString text = decoder.decode(bytes);
            return !decoder.hasError();
        }
    return true;
}

QString decodeText(const QByteArray& bytes, const QByteArray& charset)
{
    if (!charset.isEmpty()) {
        QStringDecoder named(charset.constData());
        if (named.isValid())
            return named.decode(bytes);
    }
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
}

} // namespace Contacts
