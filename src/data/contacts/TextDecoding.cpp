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

QByteArrayView withoutUtf8Bom(QByteArrayView data)
{
    return data.startsWith("\xEF\xBB\xBF") ? data.sliced(3) : data;
}

bool isValidUtf8(QByteArrayView bytes)
{
    // Checked in place, so that a large file is not decoded only to be checked.
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const uchar lead = uchar(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const int length = lead >= 0xC2 && lead <= 0xDF   ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                          : 0;
        if (length == 0 || i + length > n)
            return false;
        // The second byte's range also rules out overlong forms, surrogates and code points past U+10FFFF.
        const uchar second = uchar(bytes[i + 1]);
        const uchar low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const uchar high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        if (second < low || second > high)
            return false;
        for (int k = 2; k < length; ++k)
            if ((uchar(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
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
