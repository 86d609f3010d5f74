#pragma once

#include <functional>

#include <QStringList>

class QFile;

// Qt 6.4's PDF writer maps only the BMP in its fonts' ToUnicode tables, so characters beyond
// it (emoji, rarer CJK) print but cannot be found or copied from the file. completeToUnicode
// finds the glyphs shown without a character, learns which character each stands for from the
// texts drawn on its page, and appends the missing entries to the file as an incremental
// update, leaving what was written as it was.
//
// textsOfPage(i) gives the texts Qt drew on the file's page i (0-based), one per text item in
// drawing order, as a recording paint engine sees them. A page whose glyphs and characters do
// not pair up one to one is left as it is. pdf must be open for reading and writing on a file
// Qt's writer made; a file not of that shape is left untouched. Throws std::runtime_error when
// the update cannot be written. GUI thread only.
using PageTexts = std::function<QStringList(int page)>;
void completeToUnicode(QFile& pdf, const PageTexts& textsOfPage);
