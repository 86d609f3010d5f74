#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

// The engine's narrow, read-only view of a list of rows: the report moves it from the first
// row to the end and reads the display text of fields of the current row. An empty list, or
// a list past its end, still answers text() (an adapter over a dataset keeps its last row).
// A chart reads every row at once by number, without moving the cursor. Moves may throw what
// the rows' owner throws; the layout lets it through. GUI thread only.
class ReportCursor
{
public:
    virtual ~ReportCursor() = default;
    virtual void first() = 0;
    virtual void next() = 0;
    // true once next() has passed the last row, or at once when there is no row.
    virtual bool eof() const = 0;
    // true on the last row, before next() passes it.
    virtual bool onLastRow() const = 0;
    // The field's text as shown; empty for a missing row or an empty value.
    virtual QString text(const QString& field) const = 0;

    virtual int rowCount() const = 0;
    // Row row's (0 to rowCount() - 1) text as text() gives it, and its value.
    virtual QString textAt(int row, const QString& field) const = 0;
    virtual QVariant valueAt(int row, const QString& field) const = 0;
};

// The cursors a definition's elements and bands name, by name. Not owned.
using ReportCursors = QHash<QString, ReportCursor*>;
