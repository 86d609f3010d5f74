#include "toolkit/report/PageView.h"

#include <cmath>

#include <QPainter>

#include "toolkit/report/ReportPainter.h"

namespace {
constexpr int Margin = 8;
}

PageView::PageView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::setPage(const ReportPage* page)
{
    m_page = page;
    m_highlight = QRectF();
    render();
}

void PageView::setZoom(qreal zoom)
{
    if (qFuzzyCompare(zoom, m_zoom))
        return;
    m_zoom = zoom;
    render();
}

void PageView::setHighlight(const QRectF& points)
{
    m_highlight = points;
    update();
}

qreal PageView::pixelsPerPoint() const
{
    return logicalDpiX() / 72.0;
}

QRect PageView::toPixels(const QRectF& points) const
{
    const qreal s = m_zoom * pixelsPerPoint();
    return QRectF(points.left() * s + Margin, points.top() * s + Margin, points.width() * s, points.height() * s)
        .toAlignedRect();
}

QSize PageView::sizeHint() const
{
    return m_image.isNull() ? QSize(200, 260) : m_image.size() + QSize(2 * Margin, 2 * Margin);
}

// The page is drawn once per page and zoom, not on every repaint.
void PageView::render()
{
    if (!m_page) {
        m_image = QImage();
    } else {
        const qreal s = m_zoom * pixelsPerPoint();
        const QSize size(int(std::ceil(m_page->size.width() * s)), int(std::ceil(m_page->size.height() * s)));
        m_image = QImage(size, QImage::Format_RGB32);
        m_image.fill(Qt::white);
        QPainter painter(&m_image);
        paintPage(painter, *m_page, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    resize(sizeHint());
    updateGeometry();
    update();
}

void PageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (m_image.isNull())
        return;
    painter.fillRect(QRect(QPoint(Margin + 3, Margin + 3), m_image.size()), QColor(0, 0, 0, 90));
    painter.drawImage(Margin, Margin, m_image);
    if (m_highlight.isValid()) {
        painter.setPen(QPen(QColor(255, 140, 0), 2));
        painter.setBrush(QColor(255, 200, 0, 70));
        painter.drawRect(toPixels(m_highlight).adjusted(-2, -2, 2, 2));
    }
}
