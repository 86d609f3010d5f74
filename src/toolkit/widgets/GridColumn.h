#pragma once

#include <utility>

#include <QColor>
#include <QString>

// One column of a DBGrid: which field it shows and how, e.g.
// GridColumn("Date", 160).withEllipsis() or GridColumn("CompanyName", 92).asReadOnly().
struct GridColumn
{
    QString field;
    // Empty: the field's display label.
    QString title;
    // Pixels; 0: worked out from the field's width and the title.
    int width = 0;
    bool readOnly = false;
    // Background of the column's cells; invalid: the grid's own.
    QColor color;
    // A "..." button in the focused cell that raises DBGrid::editButtonClick.
    bool ellipsis = false;

    GridColumn() = default;
    explicit GridColumn(QString fieldName, int pixels = 0) : field(std::move(fieldName)), width(pixels) {}

    GridColumn& withTitle(const QString& text) { title = text; return *this; }
    GridColumn& asReadOnly() { readOnly = true; return *this; }
    GridColumn& withColor(const QColor& background) { color = background; return *this; }
    GridColumn& withEllipsis() { ellipsis = true; return *this; }

    bool operator==(const GridColumn&) const = default;
};
