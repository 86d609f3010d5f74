#pragma once

#include <QString>

// Cutting text to a width. A field's width counts characters (Unicode code points), so an emoji
// written with a surrogate pair counts once. A cut never splits a surrogate pair nor a letter
// from the combining marks that follow it (nor any other grapheme cluster): it backs off to the
// end of the last whole character that fits. Pure functions; any thread.
namespace TextWidth {

// The number of characters (code points) of text.
qsizetype length(const QString& text);
// text cut to at most width characters; width 0 or less means no limit.
QString cut(const QString& text, qsizetype width);
// text cut to at most units UTF-16 code units (0: empty), for limits counted in QString positions.
QString cutUnits(const QString& text, qsizetype units);

}
