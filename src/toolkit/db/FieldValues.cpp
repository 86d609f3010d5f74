#include "toolkit/db/FieldValues.h"

#include <limits>

#include "toolkit/db/Snapshot.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/TextWidth.h"

namespace {

const QString DateTimeStorage = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QVariant toInteger(const FieldDef& f, const QVariant& value, bool isText, const QString& text)
{
    qint64 n = 0;
    if (isText) {
        bool ok = false;
        n = text.trimmed().toLongLong(&ok);
        if (!ok)
            throw FieldError(QStringLiteral("'%1' is not a valid integer value for field '%2'.").arg(text, f.displayLabel()));
    } else if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        if (d != double(qint64(d)))
            throw FieldError(QStringLiteral("'%1' is not a valid integer value for field '%2'.").arg(d).arg(f.displayLabel()));
        n = qint64(d);
    } else {
        n = value.toLongLong();
    }
    if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        throw FieldError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -2147483648 to 2147483647.")
                             .arg(n).arg(f.displayLabel()));
    return QVariant(n);
}

QVariant toBoolean(const FieldDef& f, const QVariant& value, bool isText, const QString& text)
{
    if (!isText)
        return QVariant(value.toLongLong() != 0 || value.toBool());
    const QString t = text.trimmed().toLower();
    if (t == u"true" || t == u"yes" || t == u"1")
        return QVariant(true);
    if (t == u"false" || t == u"no" || t == u"0")
        return QVariant(false);
    throw FieldError(QStringLiteral("'%1' is not a valid boolean value for field '%2'.").arg(text, f.displayLabel()));
}

QVariant toDateTime(const FieldDef& f, const QVariant& value)
{
    QDateTime dt;
    if (value.typeId() == QMetaType::QDate)
        dt = value.toDate().startOfDay();
    else if (value.typeId() == QMetaType::QDateTime)
        dt = value.toDateTime();
    else
        dt = parseDateTime(value.toString());
    if (!dt.isValid())
        throw FieldError(QStringLiteral("'%1' is not a valid date and time for field '%2'.").arg(value.toString(), f.displayLabel()));
    return QVariant(dt.toString(DateTimeStorage));
}

} // namespace

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return compareValues(a, b, false) == 0;
}

bool isIntegralType(FieldType type)
{
    return type == FieldType::AutoInc || type == FieldType::Integer || type == FieldType::Boolean;
}

QDateTime parseDateTime(const QString& text)
{
    static const char* const formats[] = {
        "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd",
        "dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd/MM/yyyy", "d/M/yyyy", "dd.MM.yyyy", "d.M.yyyy",
    };
    const QString t = text.trimmed();
    for (const char* format : formats) {
        const QDateTime dt = QDateTime::fromString(t, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    return {};
}

QVariant convertValue(const FieldDef& f, const QVariant& value)
{
    if (value.isNull())
        return {};
    const bool isText = value.typeId() == QMetaType::QString;
    const QString text = isText ? value.toString() : QString();
    if (isText && text.isEmpty())
        return {};
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return toInteger(f, value, isText, text);
    case FieldType::Boolean:
        return toBoolean(f, value, isText, text);
    case FieldType::DateTime:
        return toDateTime(f, value);
    case FieldType::Real: {
        bool ok = false;
        const double d = isText ? text.trimmed().toDouble(&ok) : value.toDouble(&ok);
        if (!ok)
            throw FieldError(QStringLiteral("'%1' is not a valid number for field '%2'.").arg(value.toString(), f.displayLabel()));
        return QVariant(d);
    }
    case FieldType::Text:
    case FieldType::Memo: {
        const QString s = value.toString();
        return QVariant(f.cutOnWrite ? TextWidth::cut(s, f.width) : s);
    }
    }
    return value;
}

QVariant readValue(const FieldDef& f, const QVariant& raw)
{
    if (raw.isNull())
        return raw;
    switch (f.type) {
    case FieldType::Boolean:
        return QVariant(raw.toLongLong() != 0 || raw.toString().compare(u"true", Qt::CaseInsensitive) == 0);
    case FieldType::DateTime: {
        const QDateTime dt = parseDateTime(raw.toString());
        return dt.isValid() ? QVariant(dt) : raw;
    }
    case FieldType::Text:
    case FieldType::Memo:
        return QVariant(TextWidth::cut(raw.toString(), f.width));
    default:
        return raw;
    }
}

QString formatValue(const FieldDef& field, const QVariant& value)
{
    if (value.isNull())
        return {};
    switch (field.type) {
    case FieldType::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::DateTime: {
        const QDateTime dt = value.toDateTime();
        if (!dt.isValid())
            return value.toString();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    default:
        return value.toString();
    }
}
