#pragma once

#include <QString>

// Fitting a change of a text control into a width in characters (TextWidth): of a change that
// replaced one span (typing, pasting, dropping, an input method), the inserted part is cut, at
// whole characters, so that the whole text fits; the text around it stays as it was.
namespace TextLimit {

// The span of the text before a change that the change replaced, in UTF-16 units: a selection,
// or an empty span at the cursor. The control knows it; the text alone does not.
struct Span
{
    qsizetype start = 0;
    qsizetype length = 0;
};

struct Fitted
{
    QString text;
    // Where the cursor goes, just past what was kept of the insertion; -1 when nothing was cut.
    qsizetype cursor = -1;
    bool cut() const { return cursor >= 0; }
};

// after is before with the span replaced by what was inserted; width 0 or less means no
// limit. A span that after does not bear out (an undo, an input method replacing text around
// the cursor) gives way to the longest common start and end of the two texts.
Fitted fit(const QString& before, Span replaced, const QString& after, qsizetype width);
// The smaller of two limits, where 0 or less means none.
qsizetype tighter(qsizetype a, qsizetype b);

}
