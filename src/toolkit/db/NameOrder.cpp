#include "toolkit/db/NameOrder.h"

#include <QCollator>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

namespace {

bool isAscii(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// The letters without their accents and case.
QString folded(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining
            && category != QChar::Mark_Enclosing)
            out.append(c);
    }
    return out.toCaseFolded();
}

int sign(qsizetype value)
{
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

int collate(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return NameOrder::compare(QStringView(static_cast<const char16_t*>(a), lengthA / 2),
                              QStringView(static_cast<const char16_t*>(b), lengthB / 2));
}

} // namespace

namespace NameOrder {

int compare(QStringView a, QStringView b)
{
    // Most names are plain ASCII: compared in place, without folding copies.
    const int primary = isAscii(a) && isAscii(b) ? sign(a.compare(b, Qt::CaseInsensitive))
                                                 : sign(folded(a).compare(folded(b)));
    if (primary != 0)
        return primary;
    thread_local const QCollator locale;
    const int finer = sign(locale.compare(a, b));
    return finer != 0 ? finer : sign(a.compare(b));
}

int install(sqlite3* db)
{
    return sqlite3_create_collation_v2(db, "NAMES", SQLITE_UTF16_ALIGNED, nullptr, collate, nullptr);
}

}
