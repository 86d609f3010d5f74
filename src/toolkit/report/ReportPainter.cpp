#include "toolkit/report/ReportPainter.h"

#include <QPaintDevice>
#include <QPainter>

namespace {

// The device turns a font's points into its own pixels, and the painter's scale applies on
// top; shrinking the font by the device's resolution keeps one point the size of one unit.
QFont deviceFont(const QFont& font, const QPaintDevice* device)
{
    QFont f = font;
    f.setPointSizeF(font.pointSizeF() * 72.0 / device->logicalDpiY());
    return f;
}

void paintPicture(QPainter& painter, const ReportPrimitive& p)
{
    // Pictures draw in screen pixels of the page (1/96 inch), whatever the device.
    constexpr qreal PointsPerPixel = 72.0 / 96.0;
    painter.save();
    painter.setClipRect(p.rect, Qt::IntersectClip);
    painter.scale(PointsPerPixel, PointsPerPixel);
    p.picture(painter, QRectF(p.rect.topLeft() / PointsPerPixel, p.rect.size() / PointsPerPixel));
    painter.restore();
}

void paintText(QPainter& painter, const ReportPrimitive& p)
{
    painter.setFont(deviceFont(p.font, painter.device()));
    painter.setPen(p.color);
    const bool cut = p.clip.isValid() && p.clip != p.rect && !(p.flags & Qt::TextWordWrap);
    if (cut) {
        painter.save();
        painter.setClipRect(p.clip, Qt::IntersectClip);
    }
    painter.drawText(p.rect, p.flags, p.text);
    if (cut)
        painter.restore();
}

} // namespace

void paintPage(QPainter& painter, const ReportPage& page, const QRectF& target)
{
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / page.size.width(), target.height() / page.size.height());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const ReportPrimitive& p : page.items) {
        switch (p.kind) {
        case ReportPrimitive::Kind::Fill:
            painter.fillRect(p.rect, p.fill);
            break;
        case ReportPrimitive::Kind::Line:
            painter.setPen(QPen(p.color, p.penWidth, Qt::SolidLine, Qt::SquareCap));
            painter.drawLine(p.rect.topLeft(), p.rect.bottomRight());
            break;
        case ReportPrimitive::Kind::Frame:
            painter.setPen(QPen(p.color, p.penWidth));
            painter.setBrush(p.fill.isValid() ? QBrush(p.fill) : QBrush());
            painter.drawRect(p.rect);
            painter.setBrush(QBrush());
            break;
        case ReportPrimitive::Kind::Text:
            paintText(painter, p);
            break;
        case ReportPrimitive::Kind::Picture:
            paintPicture(painter, p);
            break;
        }
    }
    painter.restore();
}
