#pragma once

#include <QString>

// Fitting a change of a text control into a width in characters (TextWidth): of a change that
// replaced one span (typing, pasting, dropping, an input method), the inserted part is cut, at
// whole characters, so that the whole text fits.
namespace TextLimit {

struct Fitted
{
    QString text;
    // Where the cursor goes, just past what was kept of the insertion; -1 when nothing was cut.
    qsizetype cursor = -1;
    bool cut() const { return cursor >= 0; }
};

// after is before with one span replaced; width 0 or less means no limit.
Fitted fit(const QString& before, const QString& after, qsizetype width);
// The smaller of two limits, where 0 or less means none.
qsizetype tighter(qsizetype a, qsizetype b);

}
