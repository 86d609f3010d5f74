#pragma once

#include <functional>
#include <unordered_map>
#include <vector>

#include <QRectF>
#include <QString>

#include "toolkit/report/ReportDefinition.h"

// One band laid out for the row being printed: where each element goes, in points from the
// band's top-left corner, and how tall the band grows. A text stays inside its own box: a
// text without a width ends where the next element to its right begins (or at the band's
// edge), a text longer than its box wraps onto further lines within it, and what lies below
// a grown element moves down with the band. GUI thread only (fonts).
struct PlacedElement
{
    const ReportElement* element = nullptr;
    QRectF rect;
    QString text;  // a text's lines as they print, broken with '\n'
};

struct PlacedBand
{
    std::vector<PlacedElement> elements;
    qreal height = 0;
};

class BandLayout
{
public:
    using TextOf = std::function<QString(const ReportElement&)>;

    // width: the band's, in points; style: the report's text style.
    BandLayout(qreal width, const TextStyle& style) : m_width(width), m_style(style) {}

    PlacedBand lay(const ReportBand& band, const TextOf& textOf) const;
    const TextStyle& styleOf(const ReportBand& band, const ReportElement& e) const;

    static constexpr qreal MemoPadding = 1.5;

private:
    // Per element of the band, where the room of a text without a width ends.
    const std::vector<qreal>& rightEdges(const ReportBand& band) const;

    qreal m_width;
    TextStyle m_style;
    mutable std::unordered_map<const ReportBand*, std::vector<qreal>> m_rightEdges;
};
