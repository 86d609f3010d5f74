#include "toolkit/db/TextWidth.h"

#include <QTextBoundaryFinder>

namespace TextWidth {

namespace {

// Backs a cut position (in UTF-16 units, inside text) off to the nearest grapheme boundary at or
// before it. A boundary depends on what precedes it and on the one code point after it.
qsizetype wholeCharactersUpTo(const QString& text, qsizetype position)
{
    if (position <= 0)
        return 0;
    if (position >= text.size())
        return text.size();
    const qsizetype lookahead = text.at(position).isHighSurrogate() && position + 1 < text.size() ? 2 : 1;
    const QString head = text.left(position + lookahead);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, head);
    graphemes.setPosition(position);
    if (graphemes.isAtBoundary())
        return position;
    const qsizetype before = graphemes.toPreviousBoundary();
    return before < 0 ? 0 : before;
}

}

qsizetype length(const QString& text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count)
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    return count;
}

QString cut(const QString& text, qsizetype width)
{
    if (width <= 0 || text.size() <= width)
        return text;
    // The position in UTF-16 units just past the width-th code point.
    qsizetype position = 0;
    for (qsizetype count = 0; count < width && position < text.size(); ++count)
        position += text.at(position).isHighSurrogate() && position + 1 < text.size()
                && text.at(position + 1).isLowSurrogate() ? 2 : 1;
    return text.left(wholeCharactersUpTo(text, position));
}

QString cutUnits(const QString& text, qsizetype units)
{
    if (text.size() <= units)
        return text;
    return text.left(wholeCharactersUpTo(text, units));
}

}
