#include "toolkit/chart/PiePainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QPainterPath>

namespace {

const QColor MarkBack(255, 255, 225);

QPointF onEllipse(const QRectF& ellipse, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return {ellipse.center().x() + ellipse.width() / 2 * std::cos(a), ellipse.center().y() - ellipse.height() / 2 * std::sin(a)};
}

// The part of a slice's rim that faces the viewer: the lower half of the ellipse, 180 to 360
// degrees (and once round again, for slices that start late).
void paintSide(QPainter& painter, const PieLayout& layout, const PieSliceShape& slice)
{
    const QRectF top = layout.pieRect;
    const QRectF bottom = top.translated(0, layout.depth);
    const double start = std::fmod(slice.startAngle, 360.0);
    const double end = start + slice.spanAngle;
    for (const double from : {180.0, 540.0}) {
        const double a = std::max(start, from);
        const double b = std::min(end, from + 180.0);
        if (b <= a)
            continue;
        QPainterPath side(onEllipse(top, a));
        side.arcTo(top, a, b - a);
        side.lineTo(onEllipse(bottom, b));
        side.arcTo(bottom, b, a - b);
        side.closeSubpath();
        painter.setBrush(slice.color.darker(140));
        painter.drawPath(side);
    }
}

void paintSlices(QPainter& painter, const PieLayout& layout)
{
    painter.setPen(QPen(Qt::black, 0));
    if (layout.depth > 0)
        for (const PieSliceShape& s : layout.slices)
            if (s.drawn && s.spanAngle > 0)
                paintSide(painter, layout, s);
    for (const PieSliceShape& s : layout.slices) {
        if (!s.drawn || s.spanAngle <= 0)
            continue;
        painter.setBrush(s.color);
        if (s.spanAngle >= 360.0 - 1e-9)
            painter.drawEllipse(layout.pieRect);
        else
            painter.drawPie(layout.pieRect, int(std::lround(s.startAngle * 16)), int(std::lround(s.spanAngle * 16)));
    }
}

void paintMarks(QPainter& painter, const PieSettings& settings, const PieLayout& layout)
{
    painter.setFont(PieGeometry::markFont());
    for (const PieMark& mark : layout.marks) {
        QPen arrow(settings.markArrowColor, 0, settings.markArrowStyle);
        painter.setPen(arrow);
        const QPointF boxEdge(mark.arrowEnd.x() < mark.box.center().x() ? mark.box.left() : mark.box.right(),
                              std::clamp(mark.arrowEnd.y(), mark.box.top(), mark.box.bottom()));
        painter.drawLine(mark.anchor, mark.arrowEnd);
        painter.drawLine(mark.arrowEnd, boxEdge);
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(MarkBack);
        painter.drawRect(mark.box);
        painter.drawText(mark.box, Qt::AlignCenter, layout.slices[mark.slice].markText);
    }
}

void paintLegend(QPainter& painter, const QVector<PieSlice>& slices, const PieLayout& layout)
{
    const QFont font = PieGeometry::markFont();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    painter.drawRect(layout.legendRect);
    double y = layout.legendRect.top() + 3;
    for (int i = 0; i < slices.size(); ++i) {
        const PieSliceShape& s = layout.slices[i];
        const QRectF swatch(layout.legendRect.left() + 3, y + (metrics.lineSpacing() - 10) / 2, 10, 10);
        painter.setBrush(s.drawn ? s.color : QColor(Qt::transparent));
        painter.drawRect(swatch);
        const QString text = slices[i].label.isEmpty() ? QString::number(s.value, 'g', 15) : slices[i].label;
        painter.drawText(QRectF(swatch.right() + 3, y, layout.legendRect.right() - swatch.right() - 3, metrics.lineSpacing()),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
        y += metrics.lineSpacing();
    }
}

} // namespace

void paintPie(QPainter& painter, const QRectF& rect, const PieSettings& settings, const QVector<PieSlice>& slices)
{
    const PieLayout layout = PieGeometry::layout(rect, settings, slices);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(PieGeometry::titleFont(settings));
    painter.setPen(Qt::black);
    if (!layout.titleRect.isEmpty())
        painter.drawText(layout.titleRect, Qt::AlignHCenter | Qt::AlignTop, settings.title);
    if (!layout.footRect.isEmpty())
        painter.drawText(layout.footRect, Qt::AlignHCenter | Qt::AlignBottom, settings.foot);
    if (!layout.pieRect.isEmpty()) {
        paintSlices(painter, layout);
        paintMarks(painter, settings, layout);
    }
    if (!layout.legendRect.isEmpty())
        paintLegend(painter, slices, layout);
    painter.restore();
}
