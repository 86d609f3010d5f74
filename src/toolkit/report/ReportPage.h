#pragma once

#include <vector>

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "toolkit/report/ReportDefinition.h"

// One laid-out page: what to draw, in points from the paper's top-left corner. Pages are
// made by the layout and only read afterwards, by the painter, the preview and the search.
struct ReportPrimitive
{
    enum class Kind { Text, Fill, Line, Frame, Picture };

    Kind kind = Kind::Text;
    QRectF rect;          // a line runs from rect's top-left to its bottom-right
    QString text;
    QFont font;
    QColor color = Qt::black;  // text or pen colour
    QColor fill;               // a filled box
    qreal penWidth = 0;        // points
    int flags = 0;             // text alignment
    QRectF clip;               // text: the visible part of rect
    ReportPicture picture;
};

struct ReportPage
{
    int number = 0;
    QSizeF size;  // points
    std::vector<ReportPrimitive> items;
};

// Millimetres to points.
constexpr qreal mmToPoints(qreal mm) { return mm * 72.0 / 25.4; }
