#include "toolkit/widgets/TextLimit.h"

#include <algorithm>

#include "toolkit/db/TextWidth.h"

namespace TextLimit {

Fitted fit(const QString& before, const QString& after, qsizetype width)
{
    if (width <= 0 || TextWidth::length(after) <= width)
        return {after};
    const qsizetype common = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < common && before.at(prefix) == after.at(prefix))
        ++prefix;
    if (prefix > 0 && after.at(prefix - 1).isHighSurrogate())
        --prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix && before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix))
        ++suffix;
    if (suffix > 0 && after.at(after.size() - suffix).isLowSurrogate())
        --suffix;
    const QString head = after.left(prefix);
    const QString tail = after.right(suffix);
    const qsizetype room = width - TextWidth::length(head) - TextWidth::length(tail);
    const QString inserted = after.mid(prefix, after.size() - prefix - suffix);
    const QString kept = room > 0 ? TextWidth::cut(inserted, room) : QString();
    return {head + kept + tail, prefix + kept.size()};
}

qsizetype tighter(qsizetype a, qsizetype b)
{
    if (a <= 0)
        return b;
    if (b <= 0)
        return a;
    return std::min(a, b);
}

}
