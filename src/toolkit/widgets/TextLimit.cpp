#include "toolkit/widgets/TextLimit.h"

#include <algorithm>

#include "toolkit/db/TextWidth.h"

namespace TextLimit {

namespace {

// The kept start and end of a change, in UTF-16 units of after.
struct Kept
{
    qsizetype head = 0;
    qsizetype tail = 0;
};

bool bearsOut(const QString& before, Span replaced, const QString& after)
{
    const qsizetype tail = before.size() - replaced.start - replaced.length;
    if (replaced.start < 0 || replaced.length < 0 || tail < 0 || after.size() < replaced.start + tail)
        return false;
    return QStringView(after).left(replaced.start) == QStringView(before).left(replaced.start)
        && QStringView(after).right(tail) == QStringView(before).right(tail);
}

Kept guessed(const QString& before, const QString& after)
{
    const qsizetype common = std::min(before.size(), after.size());
    Kept kept;
    while (kept.head < common && before.at(kept.head) == after.at(kept.head))
        ++kept.head;
    if (kept.head > 0 && after.at(kept.head - 1).isHighSurrogate())
        --kept.head;
    while (kept.tail < common - kept.head
           && before.at(before.size() - 1 - kept.tail) == after.at(after.size() - 1 - kept.tail))
        ++kept.tail;
    if (kept.tail > 0 && after.at(after.size() - kept.tail).isLowSurrogate())
        --kept.tail;
    return kept;
}

}

Fitted fit(const QString& before, Span replaced, const QString& after, qsizetype width)
{
    if (width <= 0 || TextWidth::length(after) <= width)
        return {after};
    const Kept kept = bearsOut(before, replaced, after)
        ? Kept{replaced.start, before.size() - replaced.start - replaced.length}
        : guessed(before, after);
    const QString head = after.left(kept.head);
    const QString tail = after.right(kept.tail);
    const qsizetype room = width - TextWidth::length(head) - TextWidth::length(tail);
    const QString inserted = after.mid(kept.head, after.size() - kept.head - kept.tail);
    const QString fitted = room > 0 ? TextWidth::cut(inserted, room) : QString();
    return {head + fitted + tail, kept.head + fitted.size()};
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
